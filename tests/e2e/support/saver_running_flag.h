#pragma once
#include <windows.h>

// The screen-saver-running flag as a fresh process reads it (bin/e2e_saver_running_flag.exe):
// a process keeps the first value it reads, so this process's own reading would be stale.
bool SaverRunningFlag();

// Sets the flag (the setting reaches every process that reads it afterwards).
void SetSaverRunningFlag(bool running);
