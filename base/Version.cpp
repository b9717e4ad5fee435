#include "base/Version.h"

#ifndef TAVRIN_FILE_VERSION
#error "TAVRIN_FILE_VERSION must be defined by the build"
#endif
#ifndef TAVRIN_PRODUCT_VERSION
#error "TAVRIN_PRODUCT_VERSION must be defined by the build"
#endif

namespace tavrin {

std::string GetVersionInfo(const std::string& key) {
    struct Row {
        const char* key;
        const char* value;
    };
    static constexpr Row record[] = {
        {"FileVersion", TAVRIN_FILE_VERSION},
        {"ProductVersion", TAVRIN_PRODUCT_VERSION},
        {"ProductName", "Tavrin"},
        {"FileDescription", "Tavrin - 碁盤と棋譜ビューア"},
        {"InternalName", "Tavrin"},
        {"OriginalFilename", "tavrin"},
    };
    for (const Row& r : record)
        if (key == r.key) return r.value;
    return {};
}

}  // namespace tavrin
