// Arbitrary bytes as a stack's 'NBAs' data: a file name comes back only when it is safe and
// terminated inside its field; what is read makes a record that reads back the same.
#include <vector>

#include "actions/NbaInfo.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 14;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::span<const uint8_t> input(data, size);
    NbaModuleFacts facts;
    facts.shortName = NbaShortNameOf(input);
    facts.aboutText = NbaAboutTextOf(input);
    FuzzCheck(facts.shortName.size() < 32);
    if (const std::optional<std::string> name = NbaFileNameOf(input)) {
        FuzzCheck(IsSafeNbaFileName(*name) && name->size() < 256);
        facts.fileName = *name;
    }
    const std::vector<uint8_t> record = MakeNbaInfoRecord(facts);
    FuzzCheck(NbaShortNameOf(record) == facts.shortName && NbaAboutTextOf(record) == facts.aboutText);
    FuzzCheck(NbaFileNameOf(record).value_or("") == facts.fileName);
    return 0;
}
