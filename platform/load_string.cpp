// LoadStringW over the string table compiled into the calling module.
#include "platform/string_resources.h"
#include "platform/win_standin.h"

extern "C" int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity) {
    // Windows treats capacity 0 as a request for a read-only pointer to the
    // resource; this module has no such use and writes nothing then.
    if (instance == nullptr || buffer == nullptr || capacity <= 0) return 0;
    for (const standin::StringResource* r = standin::kModuleStrings; r->text != nullptr; ++r) {
        if (r->id != id) continue;
        int n = 0;
        while (r->text[n] != u'\0' && n < capacity - 1) {
            buffer[n] = static_cast<WCHAR>(r->text[n]);
            ++n;
        }
        buffer[n] = 0;
        return n;
    }
    buffer[0] = 0;
    return 0;
}
