#include "actions/NbaInfo.h"

#include <algorithm>
#include <cctype>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

// The text of a NUL-terminated field; none when it runs to the field's end.
std::optional<std::string> TerminatedField(std::span<const uint8_t> data, size_t offset, size_t size) {
    if (offset > data.size() || data.size() - offset < size)
        return std::nullopt;
    const auto field = data.subspan(offset, size);
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    if (end == field.end())
        return std::nullopt;
    return std::string(field.begin(), end);
}

std::string BoundedText(std::span<const uint8_t> data, size_t offset, size_t size) {
    if (offset >= data.size())
        return {};
    const auto field = data.subspan(offset, std::min(size, data.size() - offset));
    return std::string(field.begin(), std::find(field.begin(), field.end(), uint8_t{0}));
}

void PutText(std::vector<uint8_t>& record, size_t offset, std::string_view text, size_t room) {
    const size_t n = std::min(text.size(), room - 1);
    std::copy_n(text.begin(), n, record.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

bool IsSafeNbaFileName(std::string_view name) {
    if (name.size() <= 4 || name.find_first_of("\\/:") != std::string_view::npos ||
        name.find("..") != std::string_view::npos || name.find('\0') != std::string_view::npos)
        return false;
    std::string tail(name.substr(name.size() - 4));
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".nba";
}

std::optional<std::string> NbaFileNameOf(std::span<const uint8_t> data) {
    if (data.size() < kNbaInfoMinBytes)
        return std::nullopt;
    std::optional<std::string> name = TerminatedField(data, kNbaInfoFileName, kNbaInfoFileNameBytes);
    if (!name || !IsSafeNbaFileName(*name))
        return std::nullopt;
    return name;
}

std::string NbaShortNameOf(std::span<const uint8_t> data) {
    return BoundedText(data, kNbaInfoShortName, kNbaInfoShortNameBytes - 1);
}

std::string NbaAboutTextOf(std::span<const uint8_t> data) { return BoundedText(data, kNbaInfoAbout, 32000); }

std::string AboutTextOfResource(std::span<const uint8_t> text) {
    const auto end = std::find_if(text.begin(), text.end(), [](uint8_t c) { return c == '/' || c == 0; });
    return std::string(text.begin(), end);
}

std::vector<uint8_t> MakeNbaInfoRecord(const NbaModuleFacts& facts) {
    std::vector<uint8_t> record(kNbaInfoAbout + facts.aboutText.size() + 1, 0);
    SetU16(record, kNbaInfoAboutFlags, facts.aboutFlags);
    SetU16(record, kNbaInfoId, facts.nbaId);
    PutText(record, kNbaInfoShortName, facts.shortName, kNbaInfoShortNameBytes);
    PutText(record, kNbaInfoFileName, facts.fileName, kNbaInfoFileNameBytes);
    std::copy(facts.aboutText.begin(), facts.aboutText.end(), record.begin() + kNbaInfoAbout);
    return record;
}

bool NbaTimerGate::Pass(uint32_t now) {
    if (started_ && now - last_ < kIntervalMs)
        return false;
    started_ = true;
    last_ = now;
    return true;
}
