#pragma once

// The process's command line after the program's own path and the blanks that follow it.
const char* CommandLineTail();
