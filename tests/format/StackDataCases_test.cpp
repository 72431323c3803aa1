// The stack-file cases in tests/data/stack: each folder holds input.stk, written from the file
// layout by an independent script (make_cases.py beside them), and expected.json, what the
// reader must report. New folders are picked up without code changes.
#include <filesystem>
#include "stack/cards/StackDescribe.h"
#include <fstream>
#include <sstream>

#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;
namespace fs = std::filesystem;

fs::path CasesFolder() {
    if (const char* source = std::getenv("LOOM_SOURCE"))
        return fs::path(source) / "tests" / "data" / "stack";
    return fs::path(__FILE__).parent_path().parent_path() / "data" / "stack";
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// JSON without the white space between its tokens.
std::string Compact(const std::string& json) {
    std::string out;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        char c = json[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < json.size())
                out += json[++i];
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
            out += c;
        } else if (c != ' ' && c != '\n' && c != '\r' && c != '\t') {
            out += c;
        }
    }
    return out;
}

class StackDataCasesTest : public StackFileTest {};

TEST_F(StackDataCasesTest, EveryCaseReadsAsExpected) {
    const fs::path folder = CasesFolder();
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_directory() || !fs::exists(entry.path() / "input.stk"))
            continue;
        ++cases;
        const std::string input = ReadText(entry.path() / "input.stk");
        const std::string expected = ReadText(entry.path() / "expected.json");
        ASSERT_FALSE(expected.empty()) << entry.path() << " has no expected.json";
        const std::vector<uint8_t> bytes(input.begin(), input.end());
        const std::string actual = DescribeStackJson(bytes, StackConversion{});
        EXPECT_EQ(Compact(actual), Compact(expected)) << "case " << entry.path().filename();
    }
    EXPECT_GE(cases, 6);
}

}  // namespace
