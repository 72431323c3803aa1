// The card redraw on a real card window: stacks made by the builder with pictures at 1, 4, 8, 16
// and 32 bits are read into the card list and shown by RedrawCard; the window's pixels are
// compared with the pictures' own colours, the offscreen afterwards holds the picture alone, the
// objects are layers (background objects first, hidden ones left out, names clamped) and the
// layer mask is the card's own (empty for a card without objects), one object moves with
// UpdateObjectOnCard, a damaged picture shows white with an alert, and NewCard stores the
// picture on display.
#include "cardview/card/CardRedraw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/UiOps.h"
#include "cardview/card/CardRedrawServices.h"
#include "cardview/card/CardUpcalls.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "host/wiring/LayerWiring.h"
#include "objects/ObjectLayerKinds.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/pictures/GraphicPicture.h"
#include "tests/graphics/DcPixelsTestUtil.h"
#include "tests/layers/LayerTestUtil.h"
#include "tests/graphics/PictureRecordTestUtil.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

namespace sb = stackbuilder;

constexpr int kW = 48, kH = 32;
constexpr RECT kButton = {4, 4, 20, 12};

std::vector<uint32_t> g_alerts;

using Pixels = std::vector<uint32_t>;  // 0x00RRGGBB, top row first

Pixels WindowPixels(HWND window) { return ReadDcPixels(WindowDC(window).get(), kW, kH); }

Pixels OffscreenPixels(HWND window) {
    WindowDC reference(window);
    HDC offscreen = AcquireOffscreenDC(reference.get());
    Pixels pixels = offscreen ? ReadDcPixels(offscreen, kW, kH) : Pixels{};
    ReleaseOffscreenDC(offscreen);
    return pixels;
}

// The colour a picture's pixel stands for, worked out from the builder's input.
uint32_t PictureColor(const sb::Picture& p, int x, int y) {
    const uint32_t v = p.pixels[size_t(y * p.width + x)];
    if (p.depth <= 8) {
        const sb::Rgb c = p.palette[v];
        return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
    }
    if (p.depth == 16)
        return ((v >> 10) & 31) << 19 | ((v >> 5) & 31) << 11 | (v & 31) << 3;
    return v & 0xFFFFFF;
}

// Equal, or within 7 a channel where 5-bit channels are widened (16-bit pictures or displays).
bool Near(uint32_t got, uint32_t want, int depth) {
    const int slack = depth == 16 || GetDisplayBitsPerPixel() == 16 ? 7 : 0;
    for (int shift : {0, 8, 16})
        if (std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)) > slack)
            return false;
    return true;
}

// The first place where the pixels differ from the picture (black inside the button, if any).
std::string Mismatch(const Pixels& got, const sb::Picture& p, const RECT& button = {}) {
    if (got.size() != size_t(kW * kH))
        return "no pixels";
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const POINT at = {x, y};
            const uint32_t want = PtInRect(&button, at) ? 0 : PictureColor(p, x, y);
            if (!Near(got[size_t(y * kW + x)], want, p.depth)) {
                char text[96];
                std::snprintf(text, sizeof text, "at %d,%d: %06X, want %06X", x, y, got[size_t(y * kW + x)], want);
                return text;
            }
        }
    return "";
}

sb::Picture TestPicture(int depth) {
    sb::Picture p = sb::GradientPicture(kW, kH, depth);
    if (depth == 1)
        p.palette = {{248, 240, 16}, {8, 16, 200}};
    else if (depth <= 8)
        for (const sb::Rgb& c : picturetest::DistinctColors(7))
            p.palette.push_back(c);
    return p;
}

sb::Object ButtonAt(uint16_t id, RECT r, std::string name = "Go", uint16_t flags = 0) {
    sb::Object b = sb::Button(id, {int16_t(r.left), int16_t(r.top), int16_t(r.right), int16_t(r.bottom)}, std::move(name));
    b.flags = flags;
    return b;
}

int RecordAlert(uint32_t id) {
    g_alerts.push_back(id);
    return 1;
}

void BlackButton(HDC dc, const ButtonLayer* layer, HWND) {
    FillRect(dc, &layer->common.bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

class CardRedrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ownTable_ = MemRefsCapacity() == 0;
        if (ownTable_) {
            ASSERT_TRUE(InitMemRefs());
        }
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CardRedrawTestWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "CardRedrawTestWindow", "", WS_POPUP | WS_VISIBLE, 20, 30, kW, kH,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        UpdateWindow(window_);
        mainWindow_ = GetMainWindow();
        SetMainWindow(window_);
        appPalette_ = GetAppPalette();
        picturePalette_ = GetPicturePalette();
        list_ = GetLayerListUpcalls();
        kinds_ = GetLayerKindProcs();
        cards_ = GetStackUpcalls();
        ui_ = GetUiOps();
        pictures_ = GetCardPictureUpcalls();
        // Other tests leave defaults or fakes behind: the layers wired as the plug-in has them.
        WireLayers();
        UiOps ui = GetUiOps();
        ui.showAlert = RecordAlert;
        SetUiOps(ui);
        LayerKindProcs kinds = GetLayerKindProcs();
        kinds.drawButton = BlackButton;
        SetLayerKindProcs(kinds);
        g_alerts.clear();
        SetToolNumberQuietly(kBrowseTool);
        ASSERT_EQ(InitDataBase(window_, kW, kH, GetDisplayBitsPerPixel(), false), 1);
    }
    void TearDown() override {
        FreeLayerList();
        FreeOffscreenObjects();
        DisposeCards();
        SetLayerListUpcalls(list_);
        SetStackUpcalls(cards_);
        SetUiOps(ui_);
        SetCardPictureUpcalls(pictures_);
        SetLayerKindProcs(kinds_);
        // What the redraws installed goes; the palettes of before come back.
        if (GetAppPalette() && GetAppPalette() != appPalette_)
            DeleteObject(GetAppPalette());
        if (GetPicturePalette() && GetPicturePalette() != picturePalette_ && GetPicturePalette() != GetAppPalette())
            DeleteObject(GetPicturePalette());
        SetAppPalette(appPalette_);
        SetPicturePalette(picturePalette_);
        SetMainWindow(mainWindow_);
        DestroyWindow(window_);
        if (ownTable_)
            FreeMemRefs();
    }

    static void Load(const sb::Stack& stack) {
        DisposeCards();
        cardtest::LoadIntoCardList(stack);
    }

    // Shown as navigation shows a card: the layer list emptied first.
    void Show(Handle card) {
        FreeLayerList();
        SetCurrentCardId(GetCardId(card));
        RedrawCard(card, {0, 0, 8}, true);
    }

    static sb::Stack OnePictureStack(const sb::Picture& p) {
        sb::Stack s;
        s.depth = static_cast<uint16_t>(p.depth == 1 ? 8 : p.depth);
        s.cardWidth = kW;
        s.cardHeight = kH;
        s.cards.push_back(sb::PictureCard(1, p));
        s.cards[0].objects.push_back(ButtonAt(5, kButton));
        return s;
    }

    HWND window_ = nullptr;
    HWND mainWindow_ = nullptr;
    bool ownTable_ = false;
    HPALETTE appPalette_ = nullptr, picturePalette_ = nullptr;
    LayerListUpcalls list_{};
    LayerKindProcs kinds_{};
    StackUpcalls cards_{};
    UiOps ui_{};
    CardPictureUpcalls pictures_{};
};

TEST_F(CardRedrawTest, ShowsStoredPicturesPixelForPixelAndKeepsThePictureAloneOffscreen) {
    SKIP_UNLESS_TRUE_COLOUR("every pixel is compared with the 256 colours of the picture, more than a palette display shows");
    for (int depth : {1, 4, 8, 16, 32}) {
        const sb::Picture p = TestPicture(depth);
        Load(OnePictureStack(p));
        Show(GetCardByIndex(1));
        EXPECT_EQ(Mismatch(WindowPixels(window_), p, kButton), "") << depth << " bits: the window";
        EXPECT_EQ(Mismatch(OffscreenPixels(window_), p), "") << depth << " bits: the offscreen";
        EXPECT_EQ(LayerListIds(), (std::vector<uint16_t>{5})) << depth;
        EXPECT_TRUE(g_alerts.empty()) << depth;
        // The card rectangle was just drawn: nothing is left to paint.
        RECT invalid = {};
        EXPECT_FALSE(GetUpdateRect(window_, &invalid, FALSE)) << depth;
        if (depth <= 8) {
            PALETTEENTRY first = {};
            ASSERT_NE(GetPicturePalette(), nullptr);
            EXPECT_EQ(GetAppPalette(), GetPicturePalette()) << "the picture palette replaces the application palette";
            GetPaletteEntries(GetPicturePalette(), 1, 1, &first);
            EXPECT_EQ(RGB(first.peRed, first.peGreen, first.peBlue),
                      RGB(p.palette[1].red, p.palette[1].green, p.palette[1].blue));
        }
    }
}

TEST_F(CardRedrawTest, SharedCardsShowTheirHoldersPictureUnderBackgroundObjectsFirst) {
    SKIP_UNLESS_TRUE_COLOUR("the holder's picture is compared pixel for pixel with its own 256 colours");
    const sb::Picture p = TestPicture(8);
    sb::Stack s = OnePictureStack(p);
    s.cards[0].objects = {ButtonAt(10, {30, 2, 40, 8}, "Back", 0x10), ButtonAt(11, {30, 20, 40, 28})};
    sb::Card shared = sb::SharedCard(2, 1);
    shared.objects = {ButtonAt(20, kButton), ButtonAt(21, {2, 20, 10, 28}, "Hid", 0x20),
                      ButtonAt(22, {12, 20, 20, 28}, std::string(31, 'N'))};
    s.cards.push_back(shared);
    s.cards.push_back(sb::PictureCard(3, p));  // no objects
    Load(s);
    // The name's length byte says 200: only the 31 characters of its field are taken.
    {
        const Handle card = GetCardByIndex(2);
        uint32_t offset = 0;
        ASSERT_TRUE(FindObjectInCard(kObjectButton, 22, card, &offset));
        HandleLock lock(card);
        lock.get()[offset + kButtonName] = 200;
    }
    Show(GetCardByIndex(2));
    EXPECT_EQ(LayerListIds(), (std::vector<uint16_t>{10, 20, 22})) << "background objects first, no hidden ones";
    EXPECT_EQ(Mismatch(OffscreenPixels(window_), p), "") << "the holder's picture";
    EXPECT_EQ(Mismatch(WindowPixels(window_), p, kButton).substr(0, 9), "at 30,2: ") << "the background button shows";
    // The layer mask (which cuts the card's movies) has the objects of the card shown, and a card
    // without objects has a mask without any.
    ASSERT_NE(GetLayerMaskBitmap(), nullptr);
    EXPECT_FALSE(BitmapPixelIsSet(window_, GetLayerMaskBitmap(), 35, 5)) << "the background button in the mask";
    EXPECT_FALSE(BitmapPixelIsSet(window_, GetLayerMaskBitmap(), 15, 24)) << "the card's own button in the mask";
    {
        LayerLock<ButtonLayer> named(FindLayer(kObjectButton, 22));
        ASSERT_TRUE(named);
        EXPECT_EQ(named->nameLength, 31);
        EXPECT_EQ(std::string(named->name), std::string(31, 'N'));
    }
    Show(GetCardByIndex(3));
    EXPECT_TRUE(LayerListIds().empty());
    ASSERT_NE(GetLayerMaskBitmap(), nullptr);
    EXPECT_TRUE(BitmapPixelIsSet(window_, GetLayerMaskBitmap(), 35, 5)) << "no object: nothing of the card before";
    EXPECT_TRUE(BitmapPixelIsSet(window_, GetLayerMaskBitmap(), 15, 24));
    SetToolNumberQuietly(kButtonTool);  // hidden buttons show
    FreeLayerList();
    BuildCardLayers(GetCardByIndex(2));
    EXPECT_EQ(LayerListIds(), (std::vector<uint16_t>{10, 20, 21, 22})) << "hidden buttons while they are shown";
    SetToolNumberQuietly(kBrowseTool);

    // A palette stored through the shared card lands in the holder's record: shown again, the
    // picture takes its colours.
    sb::Picture recoloured = p;
    recoloured.palette = picturetest::DistinctColors(100);
    {
        std::vector<uint8_t> block(LogPaletteSize(256));
        auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
        *logical = {0x300, 256, {}};
        for (int i = 0; i < 256; ++i)
            logical->palPalEntry[i] = {recoloured.palette[i].red, recoloured.palette[i].green, recoloured.palette[i].blue, 0};
        OwnedGdiObject<HPALETTE> palette(CreatePalette(logical));
        StorePaletteInPictureResource(GetCardByIndex(2), palette.get());
    }
    Show(GetCardByIndex(1));
    EXPECT_EQ(Mismatch(OffscreenPixels(window_), recoloured), "") << "the holder's new colours";
    cardtest::ExpectSavable(GetCardByIndex(1));
}

TEST_F(CardRedrawTest, GraphicObjectsShowTheirStoredPicturesInTheCardsColours) {
    SKIP_UNLESS_TRUE_COLOUR("the graphic's pixels are compared with 128 colours of the card's own palette");
    const sb::Picture p = TestPicture(8);
    sb::Stack s = OnePictureStack(p);
    sb::Object graphic = sb::Graphic(9, {30, 4, 46, 12}, "g");
    graphic.mask.clear();
    graphic.words = {{54, 8}, {34, 8}, {36, 16}};  // 8 bits, 16 x 8 (file order: bottom, right)
    for (int i = 0; i < 16 * 8; ++i)
        graphic.data.push_back(uint8_t(i * 2));
    s.cards[0].objects.push_back(graphic);
    Load(s);
    Show(GetCardByIndex(1));
    LayerLock<GraphicLayer> layer(FindLayer(kObjectGraphic, 9));
    ASSERT_TRUE(layer && layer->picture);
    WindowDC screen(window_);
    MemoryDC memory(screen.get());
    SelectedObject selected(memory.get(), layer->picture);
    const Pixels shown = ReadDcPixels(memory.get(), 16, 8);
    for (int i = 0; i < 16 * 8; ++i) {
        const sb::Rgb c = p.palette[size_t(i * 2)];
        ASSERT_TRUE(Near(shown[size_t(i)], uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue, 8)) << i;
    }
}

TEST_F(CardRedrawTest, UpdateObjectOnCardMovesOneObject) {
    SKIP_UNLESS_TRUE_COLOUR("the window is compared pixel for pixel with a 32-bit gradient");
    const sb::Picture p = TestPicture(32);
    Load(OnePictureStack(p));
    const Handle card = GetCardByIndex(1);
    Show(card);
    constexpr RECT moved = {26, 14, 42, 22};
    uint32_t offset = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 5, card, &offset));
    {
        HandleLock lock(card);
        for (size_t i = 0; i < 4; ++i)
            SetU16(std::span(lock.get() + offset, kObjectCommonBytes), kObjectRect + 2 * i, uint16_t((&moved.left)[i]));
    }
    UpdateObjectOnCard(kObjectButton, 5, {}, 1);
    EXPECT_EQ(Mismatch(WindowPixels(window_), p, moved), "") << "the button moved, the picture where it was";
    LayerLock<> layer(FindLayer(kObjectButton, 5));
    ASSERT_TRUE(layer);
    EXPECT_TRUE(EqualRect(&layer->bounds, &moved));
    EXPECT_EQ(Mismatch(OffscreenPixels(window_), p), "");
}

TEST_F(CardRedrawTest, DamagedPicturesShowWhiteWithAnAlertAndNeverCrash) {
    Load(OnePictureStack(TestPicture(8)));
    const std::vector<uint8_t> record = HandleToBytes(GetCardByIndex(1));
    const Pixels white(kW * kH, 0xFFFFFF);
    // A colour table past the record, then bytes of the picture block changed at random: each
    // is drawn or refused (white, one alert), never a crash.
    uint32_t seed = 12345;
    int refused = 0;
    for (int round = 0; round < 150; ++round) {
        std::vector<uint8_t> damaged = record;
        for (int k = 0; k < 3; ++k) {
            seed = seed * 1103515245u + 12345u;
            damaged[96 + (seed >> 8) % (damaged.size() - 100)] = static_cast<uint8_t>(seed >> 24);
        }
        if (round == 0)
            SetU32(damaged, 112, 0x7FFFFFF0u);
        Show(GetCardByIndex(1));  // the offscreen holds a picture first
        g_alerts.clear();
        const Handle card = NewHandleFromBytes(damaged);
        Show(card);
        DisposeHandle(card);
        if (round == 0) {
            ASSERT_EQ(g_alerts, (std::vector<uint32_t>{kAlertPictureUnreadable}));
        }
        if (!g_alerts.empty()) {
            ++refused;
            ASSERT_EQ(OffscreenPixels(window_), white) << round;
        }
    }
    EXPECT_GT(refused, 1);
}

TEST_F(CardRedrawTest, NewCardStoresThePictureOnDisplay) {
    SKIP_UNLESS_TRUE_COLOUR("both cards are compared pixel for pixel with the picture's own 256 colours");
    const sb::Picture p = TestPicture(8);
    Load(OnePictureStack(p));
    Show(GetCardByIndex(1));
    const Handle made = NewCard(false, false);
    ASSERT_NE(made, 0);
    EXPECT_EQ(GetCardKind(made), kCardKindPicture);
    // The new card shows the same picture, and the card it was made from still does.
    ASSERT_EQ(InitDataBase(window_, kW, kH, GetDisplayBitsPerPixel(), false), 1);  // white again
    Show(made);
    EXPECT_EQ(Mismatch(OffscreenPixels(window_), p), "") << "the new card";
    Show(GetCardByIndex(1));
    EXPECT_EQ(Mismatch(OffscreenPixels(window_), p), "") << "the card it was made from";
    EXPECT_TRUE(g_alerts.empty()) << "no alert 2230";
}

// On a palette display the card keeps its own palette: the picture palette is the stored one,
// the record and its objects' colour indexes stay as stored, and the stack is not changed. The
// default palette has white at 0 and black at 255, the system the other way round: a colour
// index names the stack's entry at every depth.
TEST_F(CardRedrawTest, OnAPaletteDisplayTheCardKeepsItsOwnPalette) {
    if (!IndexedDisplay())
        GTEST_SKIP() << "the system palette differs from the card's only on a palette display";
    const sb::Picture p = TestPicture(8);
    Load(OnePictureStack(p));
    ClearStackChanged();
    ClearCardChanged();
    const Handle card = GetCardByIndex(1);
    const std::vector<uint8_t> asStored = HandleToBytes(card);
    Show(card);
    EXPECT_FALSE(IsCardChanged());
    EXPECT_FALSE(IsStackChanged()) << "only shown";
    EXPECT_EQ(HandleToBytes(card), asStored);
    ASSERT_NE(GetPicturePalette(), nullptr);
    std::vector<PALETTEENTRY> shown(256), stored(256);
    ASSERT_EQ(GetPaletteEntries(GetPicturePalette(), 0, 256, shown.data()), 256u);
    OwnedGdiObject<HPALETTE> storedPalette(PaletteFromPictureResource(card));
    ASSERT_TRUE(storedPalette);
    ASSERT_EQ(GetPaletteEntries(storedPalette.get(), 0, 256, stored.data()), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(RGB(shown[i].peRed, shown[i].peGreen, shown[i].peBlue),
                  RGB(stored[i].peRed, stored[i].peGreen, stored[i].peBlue)) << "entry " << i;
    EXPECT_TRUE(g_alerts.empty());
    cardtest::ExpectSavable(card);
}

}  // namespace
