// Finds a code page among the generated tables and expands it once.
#include <memory>
#include <mutex>
#include <vector>

#include "platform/codepage_tables/codepage_table.h"

namespace cptables {

const CodePageTable* CodePageTable::find(std::uint32_t codePage) {
    struct Slot {
        std::once_flag once;
        std::unique_ptr<CodePageTable> table;
    };
    static std::vector<Slot> slots(kSourceCount);
    for (std::size_t i = 0; i < kSourceCount; ++i) {
        if (kSources[i]->codePage != codePage) continue;
        Slot& slot = slots[i];
        std::call_once(slot.once, [&slot, i] { slot.table = std::make_unique<CodePageTable>(*kSources[i]); });
        return slot.table.get();
    }
    return nullptr;
}

}  // namespace cptables
