// The lines of a scrolling text block: text lines separated by line feeds, a carriage return
// before a line feed dropped, an empty line drawn as one blank.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// The lines as drawn. A line feed ends a line, so text ending in one has no empty last line;
// the text ends at its first NUL. An empty line comes back as " ".
std::vector<std::string_view> SplitTextBlockLines(std::string_view text);

// The lowest scroll offset before the block starts again: the start offset minus the offset
// after the last line, plus one line height (lines advance by lineHeight).
int32_t TextBlockLowerBound(size_t lineCount, int32_t lineHeight);
