// The videodisc player's records, free of the platform (VideodiscRecord.cpp): the player state
// kept for the run, the settings built for each use, and the two command texts a videodisc
// chunk (tag 119) stores. The player itself is driven in VideodiscPlayer_win.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/memory/ShortRect.h"
#include "format/StackFile.h"

// Flags of the state and the settings.
enum VideodiscFlag : uint16_t {
    kVdFromAction = 0x0001, kVdModeAboveZero = 0x0002, kVdPositionToStart = 0x0004, kVdNeedsInit = 0x0008,
    kVdChapterFormat = 0x0010, kVdReverse = 0x0020, kVdStatusRead = 0x0040, kVdDiscPresent = 0x0080,
    kVdSettingFocus = 0x0100,  // the dialog moves the focus itself
    kVdDeviceOpen = 0x0200, kVdNoPlayer = 0x0400, kVdModeless = 0x0800, kVdViewerTracked = 0x1000,
};

// Player modes.
enum VideodiscMode : uint16_t {
    kVdDoorOpen = 0, kVdParked = 1, kVdNotReady = 3, kVdPlaying = 4, kVdStopped = 5, kVdPaused = 6, kVdSeeking = 7,
};

inline constexpr char kDiscCav = '0';
inline constexpr char kDiscClv = '1';
inline constexpr char kDiscUnknown = 'X';
inline constexpr uint16_t kNormalSpeed = 60;

// The command texts of a chunk: a length byte and at most 31 characters.
inline constexpr size_t kVdCommandBytes = 32;
using VideodiscCommandText = std::array<uint8_t, kVdCommandBytes>;

struct VideodiscState {
    uint16_t flags = kVdPositionToStart | kVdChapterFormat;
    uint16_t mode = kVdDoorOpen;
    uint16_t speed = kNormalSpeed;
    uint32_t device = 0;
    int32_t position = 0;
    char discType = kDiscUnknown;
};

// The working record of one operation (the dialog keeps one for its lifetime).
struct VideodiscSettings {
    VideodiscState state;
    uint16_t speedIndex = 6;
    uint16_t liveVideo = 0;
    VideodiscCommandText start{};
    VideodiscCommandText end{};
    Rect32 rect{};
    char indexCode[5] = "0DS\r";
    char audioCode[5] = "3AD\r";
    char speedCode[7] = "060SP\r";
    char unitCode[3] = "FR";
    uint32_t lastEditTick = 0;
    uint32_t lastStatusTick = 0;
    uint32_t startFrame = 0;
    uint32_t endFrame = 0;
    char savedAudio = '0';
    uint16_t dialogResult = 0;
    uintptr_t viewer = 0;  // the dialog's viewer window
    // "060SP3AD00000SE\r", "00000SMPL\r", "2FR\r": the dialog edits the frames in place.
    std::array<char, 32> templates{};
};

// Offsets in the templates.
inline constexpr size_t kTplStartFrame = 8;
inline constexpr size_t kTplEnd = 17;
inline constexpr size_t kTplUnit = 29;

// Builds the settings: from the action's strings (useAction), else the action's strings take
// the defaults of a new action; the state is copied, or fresh without one.
VideodiscSettings BuildVideodiscSettings(VideodiscCommandText& start, VideodiscCommandText& end, const Rect32& rect,
                                         uint16_t liveVideo, bool useAction, const VideodiscState* state);
void ResetVideodiscTemplates(VideodiscSettings& s);

// The text of a stored command: its length byte counts at most 31.
std::string_view CommandText(const VideodiscCommandText& command);
// The five frame digits: the start command's from its ninth character, the end command's first
// five; empty when the text is too short to hold them.
std::string_view StartFrameDigits(const VideodiscCommandText& start);
std::string_view EndFrameDigits(const VideodiscCommandText& end);
char AudioDigit(const VideodiscCommandText& start);  // '3' when the text is too short
// The unit code at offset 12 of the end command's field (the chunk's offset 76).
std::string UnitCode(const VideodiscCommandText& end);

// The stored commands: frame 150, normal speed, stereo gives "060SP3AD00150SE\r", length 17;
// the end "00300SMPL\r", 3, "FR\r" with length 31 ("MR" when the start is above the end).
VideodiscCommandText MakeStartCommand(std::string_view speedDigits, char audio, uint32_t startFrame);
VideodiscCommandText MakeEndCommand(uint32_t startFrame, uint32_t endFrame, std::string_view unit);

// A field's value: a five-digit number read as typed (0 when it is not a number).
uint32_t FiveDigitValue(std::string_view text);
std::string FiveDigits(uint32_t value);
// The decimal value of the leading digits (at most 31 characters).
uint32_t LeadingDecimal(std::string_view text);
// CLV positions: the decimal hhmmss and MCI's packed hms (hours, minutes << 8, seconds << 16).
uint32_t DecimalToHms(uint32_t hhmmss);
uint32_t HmsToDecimal(uint32_t hms);

// The speed table of the dialog: index 0-8, 6 normal.
struct VideodiscSpeed {
    const char* code;
    const char* label;
};
inline constexpr int kSpeedCount = 9;
inline constexpr int kNormalSpeedIndex = 6;
const VideodiscSpeed& SpeedEntry(int index);
// The index of a speed code, searched from the last entry backward; normal when absent.
int SpeedIndexOf(std::string_view speedDigits);

// A videodisc chunk (tag 119) as the player reads it: both commands, the live video rectangle
// and the flags (1 show live video, 2 live video only). Short chunks read as zero.
struct VideodiscAction {
    VideodiscCommandText start{};
    VideodiscCommandText end{};
    Rect32 rect{};
    uint16_t flags = 0;
};
inline constexpr uint16_t kVdActionLiveVideo = 0x01;
inline constexpr uint16_t kVdActionLiveOnly = kVideodiscPlayFlag;  // no disc: the segment is not played
VideodiscAction ReadVideodiscChunk(std::span<const uint8_t> chunk);
