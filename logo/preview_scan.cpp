#include "logo/preview_scan.h"

bool ScanForPreview(std::string_view text) {
    bool slashSeen = false;
    bool preview = false;
    for (const char c : text) {
        if (c == 'p' && slashSeen) preview = true;
        if (c == '/') slashSeen = true;
    }
    return preview;
}
