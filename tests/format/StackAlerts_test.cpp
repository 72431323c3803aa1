// The refusal alerts the tools print are the string-table texts the plug-in shows.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/stack/StackTestUtil.h"

namespace {

// The text of one entry of resources/strings.rci, with the resource compiler's escapes undone.
std::string StringTableText(const std::string& rci, int id) {
    const std::string key = std::to_string(id) + ",";
    size_t at = 0;
    while ((at = rci.find(key, at)) != std::string::npos) {
        if (at == 0 || rci[at - 1] == ' ' || rci[at - 1] == '\n')
            break;
        ++at;
    }
    if (at == std::string::npos)
        return {};
    size_t quote = rci.find('"', at);
    std::string text;
    for (size_t i = quote + 1; i < rci.size(); ++i) {
        char c = rci[i];
        if (c == '"') {
            if (i + 1 < rci.size() && rci[i + 1] == '"') {
                text += '"';
                ++i;
                continue;
            }
            break;
        }
        if (c == '\\' && i + 1 < rci.size()) {
            char e = rci[++i];
            text += e == 'n' ? '\n' : e;
            continue;
        }
        text += c;
    }
    return text;
}

TEST(StackAlerts, TextsMatchTheStringTable) {
    const char* source = std::getenv("LOOM_SOURCE");
    const std::filesystem::path root = source ? std::filesystem::path(source)
                                              : std::filesystem::path(__FILE__).parent_path() / ".." / "..";
    const std::filesystem::path path = root / "resources" / "strings.rci";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::stringstream s;
    s << in.rdbuf();
    const std::string rci = s.str();
    for (int id : {kAlertStackTooNew, kAlertStackTooOld, kAlertBlackAndWhiteStack, kAlertNotAStack,
                   kAlertNoCardsRead}) {
        ASSERT_NE(StackAlertText(id), nullptr) << id;
        EXPECT_EQ(StringTableText(rci, id), StackAlertText(id)) << id;
    }
}

}  // namespace
