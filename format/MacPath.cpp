// File paths inside records: stored in Mac form (a length-prefixed "volume:folder:file"), held
// in memory in DOS form (zero-terminated "C:\folder\file"). The volume name stands for the
// disk the stack lies on, so reading puts the current stack's drive in its place.
#include <cctype>

#include "format/StackFile.h"

namespace {

// The characters of a length-prefixed string, its length byte clamped to the region.
std::span<const uint8_t> PStringChars(std::span<const uint8_t> region) {
    if (region.empty())
        return {};
    size_t length = region[0];
    if (length > region.size() - 1)
        length = region.size() - 1;
    return region.subspan(1, length);
}

// One Mac path (or a region that already holds a DOS path) appended in DOS form, zero-terminated.
void AppendDosPath(std::span<const uint8_t> region, const char* drive, std::vector<uint8_t>& out) {
    if (PathRegionHasDrive(region)) {
        for (uint8_t c : region) {
            if (c == 0)
                break;
            out.push_back(c);
        }
        out.push_back(0);
        return;
    }
    std::span<const uint8_t> s = PStringChars(region);
    size_t i = 0;
    if (s.size() >= 3 && std::isalpha(s[0]) && s[1] == ':' && s[2] == ':') {
        // A drive letter and two colons: the drive is kept.
        out.push_back(s[0]);
        out.push_back(':');
        out.push_back('\\');
        i = 3;
    } else {
        size_t colon = 0;
        while (colon < s.size() && s[colon] != ':')
            ++colon;
        if (colon < s.size()) {
            // The volume name gives way to the stack's drive.
            for (int k = 0; k < 3 && drive[k]; ++k)
                out.push_back(static_cast<uint8_t>(drive[k]));
            i = colon + 1;
        }
        // Without a colon the string is a bare name and is kept.
    }
    for (; i < s.size(); ++i) {
        uint8_t c = s[i];
        if (c == 0)
            break;
        out.push_back(c == ':' ? '\\' : c);
    }
    out.push_back(0);
}

}  // namespace

bool PathRegionHasDrive(std::span<const uint8_t> region) {
    return region.size() >= 3 && region[1] == ':' && region[2] == '\\';
}

bool MacPathToDos(std::span<const uint8_t> first, const std::span<const uint8_t>* second,
                  const char* drive, std::vector<uint8_t>& out, size_t* firstLength) {
    out.clear();
    AppendDosPath(first, drive, out);
    if (out.size() & 1)
        out.push_back(0);
    out.insert(out.end(), 6, 0);
    if (firstLength)
        *firstLength = out.size();
    if (second)
        AppendDosPath(*second, drive, out);
    return out.size() <= kMaxConvertedPath;
}

bool DosPathToMac(std::span<uint8_t> region) {
    if (region.empty())
        return true;
    size_t length = 0;
    while (length < region.size() && region[length] != 0)
        ++length;
    // The length byte takes the place of the terminator, so the string moves up by one; a
    // string that fills the region loses its last character, as one over 255 characters does.
    const size_t whole = length;
    if (length > region.size() - 1)
        length = region.size() - 1;
    if (length > 255)
        length = 255;
    for (size_t i = length; i > 0; --i) {
        uint8_t c = region[i - 1];
        region[i] = c == '\\' ? ':' : c;
    }
    region[0] = static_cast<uint8_t>(length);
    // What followed the string (its terminator, the pad and the six zero bytes) reads as zeros.
    for (size_t i = length + 1; i < region.size(); ++i)
        region[i] = 0;
    return length == whole;
}

bool ConvertPathRegion(std::vector<uint8_t>& record, size_t start, size_t length, ByteOrder order,
                       const StackConversion& cv, size_t* newLength) {
    *newLength = length;
    if (start > record.size() || length > record.size() - start)
        return false;
    std::span<uint8_t> region(record.data() + start, length);
    if (order == ByteOrder::ToFile) {
        if (!DosPathToMac(region))
            ++cv.pathsCut;
        return true;
    }
    if (region.empty() || PathRegionHasDrive(region))
        return true;
    std::vector<uint8_t> dos;
    if (!MacPathToDos(region, nullptr, cv.stackDrive, dos, nullptr))
        return false;
    record.erase(record.begin() + static_cast<std::ptrdiff_t>(start),
                 record.begin() + static_cast<std::ptrdiff_t>(start + length));
    record.insert(record.begin() + static_cast<std::ptrdiff_t>(start), dos.begin(), dos.end());
    *newLength = dos.size();
    return true;
}
