// The lines of a scrolling text block.
#include "core/text/TextBlockLines.h"

std::vector<std::string_view> SplitTextBlockLines(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t feed = text.find('\n');
        std::string_view line = text.substr(0, feed);
        text = feed == std::string_view::npos ? std::string_view{} : text.substr(feed + 1);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line.empty() ? std::string_view(" ") : line);
    }
    return lines;
}

int32_t TextBlockLowerBound(size_t lineCount, int32_t lineHeight) {
    // start - (start + count x height) + height
    return lineHeight - static_cast<int32_t>(lineCount) * lineHeight;
}
