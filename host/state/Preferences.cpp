// Preferences without the platform: where the file lies, what its values mean, the stack's
// settings in the header, the dialogs' choices and the frame's places in presentation mode.
#include "host/state/Preferences.h"

#include <cstring>
#include <utility>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "format/StackFile.h"

bool AdvancedUserFromValue(std::string_view value) { return !EqualAsciiNoCase(value, "No"); }

namespace {

// The header's words that the settings keep as they are.
constexpr std::pair<uint32_t, uint16_t StackPreferences::*> kPreferenceWords[] = {
    {kHeaderAutoSave, &StackPreferences::autoSave},   {kHeaderExperiencedUser, &StackPreferences::experiencedUser},
    {kHeaderFlags, &StackPreferences::flags},         {kHeaderTimersAndLinks, &StackPreferences::timersAndLinks},
    {kHeaderLocked, &StackPreferences::locked},       {kHeaderCardNumberInTitle, &StackPreferences::cardNumberInTitle},
};

}  // namespace

bool ReadStackPreferences(std::span<const uint8_t> header, StackPreferences* prefs) {
    if (!prefs || header.size() < kStackHeaderBytes)
        return false;
    for (const auto& [offset, value] : kPreferenceWords)
        prefs->*value = GetU16(header, offset);
    std::memcpy(prefs->password, header.data() + kHeaderPassword, kPasswordBytes);
    prefs->password[kPasswordBytes - 1] = 0;
    prefs->presentation.mode = GetI16(header, kHeaderPresentationMode);
    prefs->presentation.color = GetI16(header, kHeaderPresentation50);
    prefs->presentation.options = GetU16(header, kHeaderPresentation54);
    return true;
}

bool WriteStackPreferences(std::span<uint8_t> header, const StackPreferences& prefs) {
    if (header.size() < kStackHeaderBytes)
        return false;
    for (const auto& [offset, value] : kPreferenceWords)
        SetU16(header, offset, prefs.*value);
    // The whole field, so no earlier password's tail stays behind the NUL.
    std::memset(header.data() + kHeaderPassword, 0, kPasswordBytes);
    std::memcpy(header.data() + kHeaderPassword, prefs.password, strnlen(prefs.password, kPasswordBytes - 1));
    SetU16(header, kHeaderPresentationMode, static_cast<uint16_t>(prefs.presentation.mode));
    SetU16(header, kHeaderPresentation50, static_cast<uint16_t>(prefs.presentation.color));
    SetU16(header, kHeaderPresentation54, prefs.presentation.options);
    return true;
}

void SetStackPassword(StackPreferences* prefs, std::string_view password) {
    std::memset(prefs->password, 0, kPasswordBytes);
    const size_t n = password.size() < kPasswordBytes - 1 ? password.size() : kPasswordBytes - 1;
    std::memcpy(prefs->password, password.data(), n);
}

bool HasPassword(const StackPreferences& prefs) { return prefs.password[0] != 0; }

void SetPreferenceGlobals(const StackPreferences& prefs) {
    SetStackLocked(prefs.locked != 0);
    SetAdvancedUser(prefs.experiencedUser != 0);
    SetCardNumberInTitle(prefs.cardNumberInTitle != 0);
    SetTimersOn(prefs.timersAndLinks != 0);
    SetAutoSave(prefs.autoSave != 0);
    SetClickFilter((prefs.flags & kStackIgnoreExtraClicks) != 0);
}

PreferenceBoxes BoxesFromPreferences(const StackPreferences& prefs, bool advancedUser) {
    PreferenceBoxes boxes;
    boxes.experienced = advancedUser;
    boxes.ignoreClicks = (prefs.flags & kStackIgnoreExtraClicks) != 0;
    boxes.lock = prefs.locked != 0;
    boxes.cardNumber = prefs.cardNumberInTitle != 0;
    boxes.timers = prefs.timersAndLinks != 0;
    boxes.autoSave = prefs.autoSave != 0;
    boxes.presentation = prefs.presentation.mode != kPresentationOff;
    boxes.highCompression = (prefs.flags & kStackHighCompression) != 0;
    return boxes;
}

namespace {
uint16_t WithBit(uint16_t word, uint16_t bit, bool on) {
    return static_cast<uint16_t>(on ? word | bit : word & ~bit);
}
}  // namespace

void TakePreferenceBoxes(const PreferenceBoxes& boxes, StackPreferences* prefs) {
    prefs->experiencedUser = boxes.experienced;
    prefs->flags = WithBit(prefs->flags, kStackIgnoreExtraClicks, boxes.ignoreClicks);
    prefs->flags = WithBit(prefs->flags, kStackHighCompression, boxes.highCompression);
    prefs->locked = boxes.lock;
    prefs->cardNumberInTitle = boxes.cardNumber;
    prefs->timersAndLinks = boxes.timers;
    prefs->autoSave = boxes.autoSave;
    if (!boxes.presentation) {
        prefs->presentation.mode = kPresentationOff;
        prefs->presentation.options |= kPresentationShowTitle;
    }
}

int PresentationRadioFor(int16_t mode, bool hasWallpaper) {
    if (mode == kPresentationPlain)
        return 50;
    if (mode == kPresentationWallpaper && hasWallpaper)
        return 51;
    return 52;
}

int16_t PresentationModeFor(int checkedRadio) {
    if (checkedRadio == 50)
        return kPresentationPlain;
    if (checkedRadio == 52)
        return kPresentationColor;
    return kPresentationWallpaper;
}

ScreenModeSteps PlanScreenMode(const Presentation& current, const Presentation& next) {
    ScreenModeSteps steps;
    const bool wasOn = current.mode != kPresentationOff;
    const bool isOn = next.mode != kPresentationOff;
    if (wasOn && isOn && current.mode != next.mode)
        steps.redrawFrame = true;
    if (current.mode == next.mode && next.mode == kPresentationColor && current.color != next.color)
        steps.redrawFrame = true;
    if (wasOn && !isOn)
        steps.fitToCard = true;
    if (!wasOn && isOn)
        steps.coverScreen = true;
    if (wasOn && isOn && ((current.options ^ next.options) & kPresentationShowTitle))
        steps.coverScreen = true;
    return steps;
}

WindowBox FullScreenFrameBox(const ScreenMetrics& m, bool showTitle) {
    WindowBox box;
    box.x = -m.frameWidth;
    box.width = m.screenWidth + 2 * m.frameWidth;
    if (showTitle) {
        box.y = -m.frameHeight;
        box.height = m.screenHeight + 2 * m.frameHeight;
    } else {
        box.y = -(m.frameHeight + m.captionHeight);
        box.height = m.screenHeight + 2 * m.frameHeight + m.menuHeight + m.captionHeight;
    }
    return box;
}

WindowBox FrameAroundCardBox(const ScreenMetrics& m, int cardWidth, int cardHeight, bool hasMenu) {
    WindowBox box;
    box.width = cardWidth + 2 * m.frameWidth;
    box.height = cardHeight + 2 * m.frameHeight + m.captionHeight + (hasMenu ? m.menuHeight : 0);
    box.x = (m.screenWidth - box.width) / 2;
    box.y = (m.screenHeight - box.height) / 2;
    return box;
}

WindowBox CentredCardBox(int clientWidth, int clientHeight, int cardWidth, int cardHeight) {
    return {(clientWidth - cardWidth) / 2, (clientHeight - cardHeight) / 2, cardWidth, cardHeight};
}
