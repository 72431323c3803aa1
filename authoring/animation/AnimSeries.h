// Numbered picture series for animation frames: "walk1.bmp", "walk2.bmp", ... "walk10.bmp".
// Splitting a path and ordering the numbers need no Windows code (AnimSeries.cpp); listing the
// folder is the frame source's (AnimFrames_win.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kMaxSeriesFiles = 1000;

struct SeriesName {
    std::string folder;  // with its trailing separator, or empty
    std::string stem;    // the name without its trailing digits
    std::string digits;  // the trailing digits of the chosen file
    std::string extension;  // from the last dot, the dot included; may be empty
};

// Splits the path into folder, name and extension (the last dot of the name). False when the
// name does not end in digits or is digits only: no series.
bool SplitSeriesPath(std::string_view path, SeriesName* out);
// The trailing digits of a listed file's name when it is one of the series (same stem and
// extension, case ignored, digits only between them); else empty.
std::string SeriesDigitsOf(const SeriesName& series, std::string_view fileName);
// Shorter digit strings first, those of equal length by their value: 1, 9, 10, 011.
void SortSeriesDigits(std::vector<std::string>* digits);
// The path of the file of the series with these digits.
std::string SeriesFilePath(const SeriesName& series, std::string_view digits);
