// The effect record of a QuickTime effect transition: what a 'QTFX' stack resource holds, in
// machine byte order, with its effect description (an atom container of the effect library).
//
//   offset  width  field (big-endian in the resource)
//   0       4      effect code (four characters, the first in the high byte)
//   4       2      resource id of this record (signed)
//   6       34     effect name, zero-terminated
//   40      4      time scale
//   44      4      duration
//   48      4      frame count
//   52      4      rate, stored shifted left by 16 (16.16 fixed)
//   56      4      flag, 1 by default
//   60      4      flag, 1 by default
//   64      8      two working values, stored as they are
//   72      4      copy of the duration
//   76      32     further values, stored as they are
//   108     4      length L of the description
//   112     L      the description, then two zero bytes (three when L is odd)
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory/Handles.h"

inline constexpr uint32_t kQtfxFieldBytes = 112;
inline constexpr uint32_t kQtfxNameBytes = 34;
inline constexpr int kQtEffectTimingDefault = 30;
inline constexpr int kQtEffectTimingMin = 6;
inline constexpr int kQtEffectTimingMax = 120;

constexpr uint32_t FourCharCode(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 |
           uint8_t(s[3]);
}
inline constexpr uint32_t kQtEffectDissolve = FourCharCode("dslv");

// The ten effect codes the transition lists offer.
inline constexpr std::array<uint32_t, 10> kListedQtEffectCodes = {
    FourCharCode("dslv"), FourCharCode("xplo"), FourCharCode("matt"), FourCharCode("mplo"), FourCharCode("smpt"),
    FourCharCode("smp2"), FourCharCode("smp3"), FourCharCode("smp4"), FourCharCode("push"), FourCharCode("slid"),
};
bool IsListedQTEffectCode(uint32_t code);

struct QtEffectRecord {
    uint32_t code = kQtEffectDissolve;
    int16_t id = 0;
    std::array<char, kQtfxNameBytes> name{};  // always zero-terminated
    int32_t timeScale = kQtEffectTimingDefault;
    int32_t duration = kQtEffectTimingDefault;
    int32_t frameCount = kQtEffectTimingDefault;
    int32_t rate = 0;  // an integer in memory
    int32_t flag1 = 1;
    int32_t flag2 = 1;
    std::array<uint8_t, 8> working{};
    int32_t durationCopy = kQtEffectTimingDefault;
    std::array<uint8_t, 32> further{};
    uint32_t descriptionLength = 0;
    uint16_t trailing = 0;   // the u16 that follows the fields as read
    Handle description = 0;  // owned by the record's keeper; 0 when none
};

// "dslv", no name, timing 30, 30, 30, rate 0, both flags 1, no description.
QtEffectRecord DefaultQtEffectRecord();
std::string QtEffectName(const QtEffectRecord& record);
// The name, cut to 33 characters so that it stays zero-terminated.
void SetQtEffectRecordName(QtEffectRecord* record, std::string_view name);

// Why resource bytes were refused.
enum class QtfxRefusal { None, Short, DescriptionTooLong };
const char* QtfxRefusalText(QtfxRefusal refusal);
// The fields of resource bytes (the description handle left 0) and where its description lies:
// L bytes from 112, checked against the bytes there are. A name without its zero is cut at 33.
QtfxRefusal UnpackQtEffectFields(std::span<const uint8_t> bytes, QtEffectRecord* record,
                                 std::span<const uint8_t>* description);
// The resource bytes: the fields big-endian with the rate shifted left by 16, the description
// length and bytes, then two zero bytes (three for an odd length).
std::vector<uint8_t> PackQtEffectFields(const QtEffectRecord& record, std::span<const uint8_t> description);

// SetQTEffectTimingFields: time scale, duration, frame count and rate; the copy of the duration
// follows it and the working values become 0.
void SetQtEffectTiming(QtEffectRecord* record, int32_t timeScale, int32_t duration, int32_t frameCount, int32_t rate);
// A timing value as an effect runs it: 6 .. 120.
int32_t ClampQtEffectTiming(int32_t value);

// The name of an effect's description among the program's "QTDATA" resources: the code's four
// characters and the effect name, spaces removed, cut to 31 characters.
std::string QtEffectDescriptionName(uint32_t code, std::string_view name);
std::string QtEffectCodeText(uint32_t code);
