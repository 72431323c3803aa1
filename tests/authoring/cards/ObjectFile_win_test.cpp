// A paint selection dropped off the card, saved as a 24-bit bitmap file beside the stack; a
// write that fails leaves no file behind and is told.
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "authoring/cards/ObjectFileBmp.h"
#include "tests/stack/SaveTestUtil.h"

namespace {

using namespace savetest;

int g_writesLeft = -1;  // -1: every write succeeds

const FileSystemOps& FailingWrites() {
    static FileSystemOps ops = [] {
        FileSystemOps o = MemoryFileSystemOps();
        o.write = [](FileRef file, const void* buffer, uint32_t count) -> int32_t {
            if (g_writesLeft == 0)
                return -1;
            if (g_writesLeft > 0)
                --g_writesLeft;
            return MemoryFileSystemOps().write(file, buffer, count);
        };
        return o;
    }();
    return ops;
}

class PictureDropTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the templates and strings are linked in
    }
};

TEST_F(PictureDropTest, SavedAsNumberedBitmapsAndPartialFilesDeleted) {
    SetFileSpecFromPath(kSlotCurrentStack, "C:\\Work\\demo.stk");
    SetFileSystem(&FailingWrites());
    const WindowDC screen(nullptr);
    const OwnedGdiObject bitmap(CreateCompatibleBitmap(screen.get(), 40, 30));
    {
        const HDC dc = CreateCompatibleDC(screen.get());
        const HGDIOBJ old = SelectObject(dc, bitmap.get());
        const OwnedGdiObject red(CreateSolidBrush(RGB(255, 0, 0)));
        const RECT all{0, 0, 40, 30};
        FillRect(dc, &all, static_cast<HBRUSH>(red.get()));
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    g_writesLeft = -1;
    EXPECT_EQ(SavePictureAsBmp(static_cast<HBITMAP>(bitmap.get()), nullptr, {5000, 5000}), 1);
    const std::vector<uint8_t> bytes = FileBytes("C:\\Work\\Pict.bmp");
    ASSERT_GE(bytes.size(), 54u + 40u * 3u * 30u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(GetU16(bytes, 14 + 14), 24) << "24 bits per pixel";
    EXPECT_EQ(GetU32(bytes, 2), bytes.size());
    // The bottom-left pixel (first in the file): red, stored blue, green, red.
    const uint32_t bits = GetU32(bytes, 10);
    EXPECT_EQ(bytes[bits + 2], 255);
    EXPECT_EQ(bytes[bits], 0);

    // The second drop takes the next name; one whose write fails leaves nothing and says so.
    g_writesLeft = 0;
    EXPECT_EQ(SavePictureAsBmp(static_cast<HBITMAP>(bitmap.get()), nullptr, {5000, 5000}), 0);
    std::vector<uint8_t> none;
    EXPECT_FALSE(GetMemoryFile("C:\\Work\\Pict1.bmp", none));
    EXPECT_EQ(SaveRec().alerts, std::vector<uint32_t>{kAlertExportFailed});
    for (const std::string& left : MemoryFilePaths())
        EXPECT_EQ(left.find("LMTMP"), std::string::npos) << "no new file left: " << left;
    g_writesLeft = -1;
    EXPECT_EQ(SavePictureAsBmp(static_cast<HBITMAP>(bitmap.get()), nullptr, {5000, 5000}), 1);
    EXPECT_TRUE(GetMemoryFile("C:\\Work\\Pict1.bmp", none));
}

}  // namespace
