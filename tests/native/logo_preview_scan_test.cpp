#include <gtest/gtest.h>

#include "logo/preview_scan.h"

TEST(ScanForPreview, LowercasePAnywhereAfterASlash) {
    struct Row {
        const char* text;
        bool preview;
    };
    const Row table[] = {
        {"/p 1234", true},   {"/P 1234", false}, {"-p 1234", false}, {"/l 1234", false},
        {"/s", false},       {"x/yp", true},     {"p/", false},      {"", false},
        {"/s /p", true},     {"/pp//p", true},   {"pP-/P", false},   {" /c:1234", false},
    };
    for (const Row& row : table) EXPECT_EQ(ScanForPreview(row.text), row.preview) << '"' << row.text << '"';
}
