// Arbitrary bytes as a stack header: the stack's settings read from it (refused when short), the
// password kept terminated, and written into a copy and read again the same (the password up to
// its terminator: what follows it is not kept). Then what the dialogs and presentation mode do
// with them: the "PREFERENCES" boxes taken back give the same boxes, the presentation radio
// buttons give a mode, every change of mode plans one way across the screen, and the frame and
// card boxes of the header's card size hold the card.
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "host/state/Preferences.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool SameBoxes(const PreferenceBoxes& a, const PreferenceBoxes& b) {
    return a.experienced == b.experienced && a.ignoreClicks == b.ignoreClicks && a.lock == b.lock &&
           a.cardNumber == b.cardNumber && a.timers == b.timers && a.autoSave == b.autoSave &&
           a.presentation == b.presentation && a.highCompression == b.highCompression;
}

void CheckDialogs(const StackPreferences& prefs) {
    const PreferenceBoxes boxes = BoxesFromPreferences(prefs, true);
    StackPreferences taken = prefs;
    TakePreferenceBoxes(boxes, &taken);
    FuzzCheck(SameBoxes(BoxesFromPreferences(taken, true), boxes));
    FuzzCheck(boxes.presentation || taken.presentation.mode == kPresentationOff);
    for (const bool wallpaper : {false, true}) {
        const int radio = PresentationRadioFor(prefs.presentation.mode, wallpaper);
        FuzzCheck(radio >= 50 && radio <= 52);
        const int16_t mode = PresentationModeFor(radio);
        FuzzCheck(mode >= kPresentationPlain && mode <= kPresentationWallpaper);
        FuzzCheck(PresentationRadioFor(mode, wallpaper) == radio);
    }
}

void CheckScreen(const StackPreferences& prefs, std::span<const uint8_t> header) {
    for (int16_t mode = kPresentationOff; mode <= kPresentationWallpaper; ++mode) {
        Presentation next = prefs.presentation;
        next.mode = mode;
        const ScreenModeSteps steps = PlanScreenMode(prefs.presentation, next);
        FuzzCheck(!(steps.fitToCard && steps.coverScreen));
        FuzzCheck(!steps.fitToCard || mode == kPresentationOff);
        FuzzCheck(PlanScreenMode(next, next) == ScreenModeSteps{});
    }
    const ScreenMetrics m{1024, 768, 4, 4, 20, 20};
    const int width = GetU16(header, kHeaderCardWidth), height = GetU16(header, kHeaderCardHeight);
    const WindowBox frame = FrameAroundCardBox(m, width, height, true);
    FuzzCheck(frame.width == width + 8 && frame.height == height + 48);
    const bool title = prefs.presentation.options & kPresentationShowTitle;
    const WindowBox full = FullScreenFrameBox(m, title);
    FuzzCheck(full.x < 0 && full.y < 0 && full.width > m.screenWidth && full.height > m.screenHeight);
    const WindowBox card = CentredCardBox(m.screenWidth, m.screenHeight, width, height);
    FuzzCheck(card.width == width && card.height == height);
    const int off = 2 * card.x - (m.screenWidth - width);  // centred, halves rounded toward zero
    FuzzCheck(off >= -1 && off <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 12))
        return 0;
    StackPreferences prefs;
    if (!ReadStackPreferences({data, size}, &prefs)) {
        FuzzCheck(size < kStackHeaderBytes);
        return 0;
    }
    FuzzCheck(std::memchr(prefs.password, 0, kPasswordBytes) != nullptr);
    HasPassword(prefs);
    std::vector<uint8_t> header(data, data + size);
    FuzzCheck(WriteStackPreferences(header, prefs));
    StackPreferences again;
    FuzzCheck(ReadStackPreferences(header, &again));
    FuzzCheck(std::strcmp(again.password, prefs.password) == 0 && again.flags == prefs.flags &&
              again.locked == prefs.locked && again.autoSave == prefs.autoSave);
    CheckDialogs(prefs);
    CheckScreen(prefs, {data, size});
    return 0;
}
