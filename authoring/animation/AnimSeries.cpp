// Numbered picture series: splitting the path and ordering the numbers (AnimSeries.h).
#include "authoring/animation/AnimSeries.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool SplitSeriesPath(std::string_view path, SeriesName* out) {
    const size_t slash = path.find_last_of("\\/:");
    const size_t nameAt = slash == std::string_view::npos ? 0 : slash + 1;
    std::string_view name = path.substr(nameAt);
    const size_t dot = name.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    name = name.substr(0, dot == std::string_view::npos ? name.size() : dot);
    size_t digitsAt = name.size();
    while (digitsAt > 0 && IsDigit(name[digitsAt - 1]))
        --digitsAt;
    if (digitsAt == name.size() || digitsAt == 0)
        return false;
    out->folder = std::string(path.substr(0, nameAt));
    out->stem = std::string(name.substr(0, digitsAt));
    out->digits = std::string(name.substr(digitsAt));
    out->extension = std::string(extension);
    return true;
}

std::string SeriesDigitsOf(const SeriesName& series, std::string_view fileName) {
    if (fileName.size() <= series.stem.size() + series.extension.size())
        return {};
    if (!SameText(fileName.substr(0, series.stem.size()), series.stem) ||
        !SameText(fileName.substr(fileName.size() - series.extension.size()), series.extension))
        return {};
    const std::string_view digits =
        fileName.substr(series.stem.size(), fileName.size() - series.stem.size() - series.extension.size());
    if (!std::all_of(digits.begin(), digits.end(), IsDigit))
        return {};
    return std::string(digits);
}

void SortSeriesDigits(std::vector<std::string>* digits) {
    // Equal lengths of decimal digits compare by value as text.
    std::stable_sort(digits->begin(), digits->end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
}

std::string SeriesFilePath(const SeriesName& series, std::string_view digits) {
    return series.folder + series.stem + std::string(digits) + series.extension;
}
