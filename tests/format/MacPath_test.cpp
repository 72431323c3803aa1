// Paths in records: Mac form to DOS form with the stack's drive, and back keeping the length.
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

std::string Dos(std::string_view mac, const char* drive = "E:\\") {
    std::vector<uint8_t> region = sb::MacPath(mac);
    std::vector<uint8_t> out;
    size_t first = 0;
    EXPECT_TRUE(MacPathToDos(region, nullptr, drive, out, &first));
    EXPECT_EQ(first, out.size());
    EXPECT_EQ(out.size() % 2, 0u);
    EXPECT_GE(out.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(out.end() - 6, out.end()), std::vector<uint8_t>(6, 0)) << mac;
    return CStringAt(out, 0);
}

TEST(MacPath, MacToDos) {
    EXPECT_EQ(Dos("Macintosh HD:Stacks:Sounds:bell.wav"), "E:\\Stacks\\Sounds\\bell.wav");
    EXPECT_EQ(Dos("C::Stacks:a.stk"), "C:\\Stacks\\a.stk") << "a drive letter and two colons keep the drive";
    EXPECT_EQ(Dos("Disk:"), "E:\\");
    EXPECT_EQ(Dos("name.wav"), "name.wav") << "a bare name is kept";
    EXPECT_EQ(Dos(""), "");
    EXPECT_EQ(Dos("::x"), "E:\\\\x");

    // Second string, and the length of the first part.
    std::vector<uint8_t> first = sb::MacPath("V:a");
    std::vector<uint8_t> second = sb::MacPath("V:bb");
    std::span<const uint8_t> secondSpan = second;
    std::vector<uint8_t> out;
    size_t firstLength = 0;
    ASSERT_TRUE(MacPathToDos(first, &secondSpan, "C:\\", out, &firstLength));
    EXPECT_EQ(firstLength, 12u);  // "C:\a" + NUL = 5, padded to 6, six zeros
    EXPECT_EQ(CStringAt(out, 0), "C:\\a");
    EXPECT_EQ(CStringAt(out, firstLength), "C:\\bb");
    EXPECT_EQ(out.size(), 12u + 6);

    // A length byte longer than its region reads only the region.
    std::vector<uint8_t> cut = {200, 'V', ':', 'x'};
    ASSERT_TRUE(MacPathToDos(cut, nullptr, "C:\\", out, nullptr));
    EXPECT_EQ(CStringAt(out, 0), "C:\\x");

    // Two long strings do not fit the 500-byte work area.
    std::string longName(250, 'n');
    std::vector<uint8_t> a = sb::MacPath("V:" + longName);
    std::vector<uint8_t> b = sb::MacPath("V:" + longName);
    std::span<const uint8_t> bSpan = b;
    EXPECT_FALSE(MacPathToDos(a, &bSpan, "C:\\", out, nullptr));
    EXPECT_TRUE(PathRegionHasDrive(std::vector<uint8_t>{'C', ':', '\\'}));
    EXPECT_FALSE(PathRegionHasDrive(std::vector<uint8_t>{3, 'C', ':'}));
}

TEST(MacPath, DosToMacKeepsTheLength) {
    const char text[] = "C:\\Stacks\\a.stk\0\0\0\0\0\0\0";
    std::vector<uint8_t> region(text, text + sizeof text - 1);
    const size_t size = region.size();
    EXPECT_TRUE(DosPathToMac(region));
    ASSERT_EQ(region.size(), size);
    EXPECT_EQ(PStringAt(region, 0), "C::Stacks:a.stk");
    EXPECT_EQ(region[16], 0);
    // Mac form back to DOS gives the same region.
    std::vector<uint8_t> out;
    ASSERT_TRUE(MacPathToDos(region, nullptr, "Q:\\", out, nullptr));
    EXPECT_EQ(CStringAt(out, 0), "C:\\Stacks\\a.stk");

    // A string that fills its region loses its last character to the length byte.
    std::vector<uint8_t> full = {'a', 'b', 'c'};
    EXPECT_FALSE(DosPathToMac(full));
    EXPECT_EQ(full, (std::vector<uint8_t>{2, 'a', 'b'}));
    std::vector<uint8_t> empty;
    EXPECT_TRUE(DosPathToMac(empty));
    EXPECT_TRUE(empty.empty());
    // Over 255 characters the length byte holds 255, and the cut is told.
    std::vector<uint8_t> big(400, 'x');
    big[300] = 0;
    EXPECT_FALSE(DosPathToMac(big));
    EXPECT_EQ(big[0], 255);
    EXPECT_EQ(big[256], 0);
    // Converting a record to the file counts each path it had to cut.
    StackConversion cv;
    std::vector<uint8_t> record(300, 'y');
    record[270] = 0;
    size_t newLength = 0;
    ASSERT_TRUE(ConvertPathRegion(record, 0, 280, ByteOrder::ToFile, cv, &newLength));
    EXPECT_EQ(cv.pathsCut, 1u);
    std::vector<uint8_t> fits(20, 0);
    fits[0] = 'z';
    ASSERT_TRUE(ConvertPathRegion(fits, 0, 20, ByteOrder::ToFile, cv, &newLength));
    EXPECT_EQ(cv.pathsCut, 1u);
}

}  // namespace
