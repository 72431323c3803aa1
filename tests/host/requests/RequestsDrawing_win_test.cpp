// Requests of drawing in the hosted plug-in: the drawing targets and the offscreen context a
// module borrows, a mask made from a bitmap, the tool state record, tools chosen, the card
// rendered into a DIB, the palette, and a picture file loaded by path.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/dib/Dib.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/palette/CurrentColors.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/state/MenuOptions.h"
#include "stack/save/SaveStack.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

using namespace requestpage;

template <class T>
T* As(uint32_t value) {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(value));
}

BITMAP BitmapInfo(uint32_t value) {
    BITMAP info{};
    GetObjectA(As<void>(value), sizeof info, &info);
    return info;
}

TEST(RequestsDrawing, TargetsContextsMasksToolsRendersAndPictures) {
    RequestPage page("requests-drawing");
    ASSERT_TRUE(page.Open());

    // 48: what a module draws into; 86 lends the offscreen's context, 85 gives it back.
    const NbaParamBlock targets = Request(48);
    EXPECT_EQ(As<void>(targets.param1), GetOffscreenBitmap());
    EXPECT_EQ(As<HWND__>(targets.param2), GetMainWindow());
    EXPECT_EQ(As<void>(targets.param3), GetLayerMaskBitmap());
    const uint32_t dc = Request(86).param1;
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(GetCurrentObject(As<HDC__>(dc), OBJ_BITMAP), GetOffscreenBitmap());
    Request(161, 0x1234);  // not the lent context: kept
    EXPECT_EQ(GetCurrentObject(As<HDC__>(dc), OBJ_BITMAP), GetOffscreenBitmap());
    Request(85);
    Request(85);  // nothing more to give back: the offscreen's count stays balanced
    const uint32_t again = Request(86).param1;
    EXPECT_NE(again, 0u);
    Request(161, again);

    // 50: a one-bit mask of a bitmap; anything else gives none.
    {
        WindowDC screen(nullptr);
        HBITMAP picture = CreateCompatibleBitmap(screen.get(), 16, 8);
        const uint32_t mask = Request(50, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(picture))).param2;
        ASSERT_NE(mask, 0u);
        EXPECT_EQ(BitmapInfo(mask).bmBitsPixel, 1);
        EXPECT_EQ(BitmapInfo(mask).bmWidth, 16);
        DeleteObject(As<void>(mask));
        DeleteObject(picture);
        EXPECT_EQ(Request(50, 0x4321, 77).param2, 0u);
    }

    // 146 and 103: a tool chosen, the previous one answered, the state record filled.
    ASSERT_EQ(GetCurrentTool(), static_cast<uint32_t>(kBrowseTool));
    EXPECT_EQ(Request(146, 1, 3).param2, static_cast<uint32_t>(kBrowseTool));
    EXPECT_EQ(GetCurrentTool(), 3u);
    const NbaParamBlock asked = Request(146, 0, 9);
    EXPECT_EQ(asked.param1, 3u);
    EXPECT_EQ(asked.param2, 0u);
    Request(146, 1, 99);  // no such tool
    EXPECT_EQ(GetCurrentTool(), 3u);
    if (!IsDrawFilled())
        ToggleDrawFilled();
    uint8_t state[28 + 4];
    std::memset(state, 0xEE, sizeof state);
    Request(103, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(state)));
    uint16_t tool = 0, width = 0;
    int32_t words[6] = {};
    std::memcpy(&tool, state, 2);
    std::memcpy(&width, state + 2, 2);
    std::memcpy(words, state + 4, sizeof words);
    EXPECT_EQ(tool, 3);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(words[0], GetToolColor('t'));
    EXPECT_EQ(words[2], GetToolColor('e'));
    EXPECT_EQ(words[3], IsDrawMultiple() ? 1 : 0);
    EXPECT_EQ(words[4], 1) << "Draw Filled";
    EXPECT_EQ(words[5], IsDrawCentered() ? 1 : 0);
    EXPECT_EQ(state[28], 0xEE) << "nothing past the record";
    ToggleDrawFilled();
    Request(146, 1, kBrowseTool);

    // 115: the current card as a DIB of the card's size; a handle not in the card list: none.
    const Handle dib = static_cast<Handle>(Request(115).param1);
    {
        LockedDib locked(dib);
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked.layout().width, 200);
        EXPECT_EQ(locked.layout().height, 150);
    }
    DisposeHandle(dib);
    const Handle stranger = NewHandle(200);
    EXPECT_EQ(Request(115, static_cast<uint32_t>(stranger)).param1, 0u);
    DisposeHandle(stranger);

    EXPECT_EQ(As<void>(Request(150).param1), GetAppPalette());

    // 162: a picture file by the path in a handle; a file of another kind loads nothing. The
    // page's stack is from the web, whose names are its site's: this file the user gave here.
    const std::string bmp = TempPath("requests-picture.bmp");
    RememberFileChosenHere(bmp.c_str());
    const DibHandle picture = NewDib(6, 4, 24);
    ASSERT_EQ(SaveDibAsBmp(picture, bmp.c_str()), 1);
    DisposeHandle(picture);
    const Handle path = NewHandleFromBytes(std::span(reinterpret_cast<const uint8_t*>(bmp.c_str()), bmp.size() + 1));
    const NbaParamBlock loaded = Request(162, static_cast<uint32_t>(path));
    ASSERT_NE(loaded.param3, 0u);
    EXPECT_EQ(BitmapInfo(loaded.param3).bmWidth, 6);
    EXPECT_EQ(BitmapInfo(loaded.param3).bmHeight, 4);
    DeleteObject(As<void>(loaded.param3));
    if (loaded.param4)
        DeleteObject(As<void>(loaded.param4));
    const std::string text = TempPath("requests-notes.txt");
    SetHandleBytes(path, std::span(reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1));
    EXPECT_EQ(Request(162, static_cast<uint32_t>(path)).param3, 0u);
    EXPECT_EQ(Request(162, 0x7FFF0001u).param3, 0u) << "no handle of ours";
    DisposeHandle(path);
    DeleteFileA(bmp.c_str());
}

}  // namespace
