// The maximum record time.
#include "media/video/RecordTime.h"

uint64_t CaptureByteRate(uint32_t imageBytes, uint32_t microsecondsPerFrame) {
    if (imageBytes == 0 || microsecondsPerFrame == 0)
        return 0;
    return static_cast<uint64_t>(imageBytes) * 1000000u / microsecondsPerFrame;
}

uint64_t MaxRecordSeconds(uint64_t freeBytes, uint64_t bytesPerSecond) {
    return bytesPerSecond == 0 ? 0 : freeBytes / bytesPerSecond;
}

std::string RecordTimeText(uint64_t seconds, std::string_view templateText) {
    std::string text = std::to_string(seconds) + " ";
    const size_t blank = templateText.find(' ');
    if (blank != std::string_view::npos)
        text += templateText.substr(blank + 1);
    return text;
}
