// The GDI guards: what each one selects or owns is put back or deleted at the end of its scope.
#include "core/ui/GdiGuards.h"

#include <gtest/gtest.h>

namespace {

TEST(GdiGuardsWin, SelectionsComeBackAndOwnedObjectsGo) {
    WindowDC screen(nullptr);
    ASSERT_TRUE(screen);
    MemoryDC memory(screen.get());
    ASSERT_TRUE(memory);
    const HDC dc = memory.get();
    const HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ paletteBefore = GetCurrentObject(dc, OBJ_PAL);

    HBRUSH kept = nullptr;
    HBRUSH dropped = nullptr;
    {
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
        OwnedGdiObject<HBRUSH> other(CreateSolidBrush(RGB(4, 5, 6)));
        ASSERT_TRUE(brush);
        dropped = brush.get();
        kept = other.release();
        EXPECT_FALSE(other);
        SelectedObject selected(dc, brush.get());
        EXPECT_TRUE(selected);
        EXPECT_EQ(selected.previous(), brushBefore);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush.get());
        EXPECT_FALSE(SelectedObject(dc, nullptr)) << "nothing to select";
        EXPECT_FALSE(SelectedObject(nullptr, brush.get())) << "no DC";
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
    EXPECT_EQ(GetObjectType(dropped), 0u) << "deleted with its scope";
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH)) << "released, so kept";
    DeleteObject(kept);

    LOGPALETTE logical{0x300, 1, {{10, 20, 30, 0}}};
    OwnedGdiObject<HPALETTE> palette(CreatePalette(&logical));
    ASSERT_TRUE(palette);
    {
        SelectedPalette selected(dc, palette.get(), SelectedPalette::kAlways);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette.get());
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), paletteBefore);
}

}  // namespace
