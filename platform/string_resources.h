// A module's string table where Windows string resources are not available.
#pragma once

#include <cstdint>

namespace standin {

struct StringResource {
    unsigned id;
    const char16_t* text;
};

// Defined by each module that calls LoadStringW; ends with an entry whose
// text is null.
extern const StringResource kModuleStrings[];

}  // namespace standin
