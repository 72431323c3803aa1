// The colour depth of the open stack against the display's, and converting every card record.
#include "stack/depth/StackDepth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/ScreenDepth.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardPictureStore.h"

namespace {

int g_stackDepth = 0;
int g_conversionState = kStackUnconverted;

void SetHeaderWord(uint32_t offset, uint16_t value) {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    if (lock && GetHandleSize(header) >= kStackHeaderBytes)
        SetU16({lock.get(), kStackHeaderBytes}, offset, value);
}

void ConvertRecord(Handle card, int oldDepth, int newDepth, int width, int height) {
    uint16_t recordWidth = 0, recordHeight = 0;
    {
        HandleLock lock(card);
        if (!lock || GetHandleSize(card) < kMinCardRecordBytes)
            return;
        const std::span<const uint8_t> record = lock.bytes();
        recordWidth = GetU16(record, kCardWidth);
        recordHeight = GetU16(record, kCardHeight);
    }
    SetCurrentCardId(GetCardId(card));
    if (recordWidth != width || recordHeight != height)
        ResizeCardObjects(card, 1, width, height);
    // A picture that could not be converted keeps the size it was made for, so it still reads.
    if (GetStackPlatformOps().convertCardPicture(card, oldDepth, newDepth, width, height) != 0 &&
        GetCardKind(card) == kCardKindPicture) {
        GetStackUpcalls().stackEvent(StackEvent::DepthCardConverted);
        return;
    }
    HandleLock lock(card);
    if (lock && GetHandleSize(card) >= kMinCardRecordBytes) {
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardWidth, static_cast<uint16_t>(width));
        SetU16(record, kCardHeight, static_cast<uint16_t>(height));
    }
    GetStackUpcalls().stackEvent(StackEvent::DepthCardConverted);
}

}  // namespace


int GetStackDepth() { return g_stackDepth; }
void SetStackDepth(int depth) { g_stackDepth = RecordedDepth(depth); }
int GetStackConversionState() { return g_conversionState; }
void SetStackConversionState(int state) { g_conversionState = state; }

int16_t ScaleCoordinate(int16_t value, int oldExtent, int newExtent) {
    if (oldExtent <= 0)
        return value;  // a record laid out for no size gives no scale
    const double scaled = std::trunc(double(value) * double(newExtent) / double(oldExtent));
    return static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

void ConvertAllCards(int oldDepth, int newDepth, int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    const uint16_t current = GetCurrentCardId();
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 1; i <= CountCards(); ++i) {
            const Handle card = GetCardByIndex(i);
            if ((GetCardKind(card) == kCardKindPicture) == (pass == 1))
                ConvertRecord(card, oldDepth, newDepth, width, height);
        }
    }
    SetCurrentCardId(current);
    SetHeaderWord(kHeaderCardWidth, static_cast<uint16_t>(width));
    SetHeaderWord(kHeaderCardHeight, static_cast<uint16_t>(height));
}

void ConvertStackToDisplayDepth() {
    const int display = DisplayDepthForStack();
    if (display == 0)
        return;
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    {
        ConversionSwitches run;
        run.force = true;
        run.convertPixels = true;
        run.keepGraphicByteOrder = true;
        run.convertGraphics = false;
        ConversionRun scope(run);
        ConvertAllCards(GetScreenDepth(), display, width, height);
    }
    if (GetStackConversionState() == kStackFormatConverted)
        SetStackConversionState(kStackUnconverted);
    SetScreenDepth(display);
    SetStackDepth(display);
    SetHeaderWord(kHeaderDepth, static_cast<uint16_t>(display));
}

int CheckStackDepthAgainstDisplay() {
    const int display = DisplayDepthForStack();
    const int working = GetScreenDepth();
    if (display == 0 || working == 0 || !GetStackHeaderHandle())
        return 1;
    if (working == 32 && GetStackPlatformOps().displayBitsPerPixel() == 24)
        return 1;
    if (working > display) {
        ShowCardAlert(kAlertReduceColors);
        ConvertStackToDisplayDepth();
    }
    return 1;
}

StackSizeChange PlanStackSizeChange(int oldWidth, int oldHeight, int oldDepth, int newWidth, int newHeight,
                                    int newDepth, int displayDepth, uint32_t recordBytes) {
    StackSizeChange c{oldWidth, oldHeight, oldDepth, newWidth, newHeight, newDepth};
    c.unchanged = oldWidth == newWidth && oldHeight == newHeight && oldDepth == newDepth;
    if (c.unchanged)
        return c;
    const int display = RecordedDepth(displayDepth);
    c.oldDepth = std::min(RecordedDepth(oldDepth), display);
    c.newDepth = std::min(RecordedDepth(newDepth), display);
    const double before = double(oldWidth) * oldHeight * c.oldDepth;
    const double after = double(newWidth) * newHeight * c.newDepth;
    // An empty old card gives no ratio: the whole stack is the estimate.
    const double ratio = before > 0 ? after / before - 1.0 : 1.0;
    const double estimate = std::trunc(std::fabs(ratio * double(recordBytes)));
    c.memoryToTry = estimate > 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(estimate);
    return c;
}
