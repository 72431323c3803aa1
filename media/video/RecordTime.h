// How long a recording may run: the free space divided by the byte rate of the capture format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Bytes a second of video frames of imageBytes each, microsecondsPerFrame apart; 0 when either is
// 0 (the rate is unknown).
uint64_t CaptureByteRate(uint32_t imageBytes, uint32_t microsecondsPerFrame);
// Whole seconds that freeBytes hold at the rate; 0 when the rate is 0 (recording is then off).
uint64_t MaxRecordSeconds(uint64_t freeBytes, uint64_t bytesPerSecond);
// The control's text with the number in front: "%ld " and the template's text after its first
// blank ("999999 seconds" gives "42 seconds").
std::string RecordTimeText(uint64_t seconds, std::string_view templateText);
