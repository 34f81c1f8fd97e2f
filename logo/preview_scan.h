#pragma once
#include <string_view>

// True when a lowercase 'p' appears anywhere after a '/' in the text. Only '/' opens a switch and
// only a lowercase 'p' counts.
bool ScanForPreview(std::string_view text);
