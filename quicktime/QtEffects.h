// The video-effect calls of the QuickTime binding: the installed effect list, a decompression
// sequence that plays one effect from two 32-bit source images into a window frame by frame,
// and the standard parameter dialog. Containers are atom containers (QtAtoms.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/QuickTime.h"

enum QtEffectSelector : uint32_t {
    kQtSelGetEffectsList = 0x2D0001,
    kQtSelEffectSequenceBegin = 0x2D0002,
    kQtSelEffectDecompressFrame = 0x2D0003,
    kQtSelEffectSequenceEnd = 0x2D0004,
    kQtSelEffectParameterDialog = 0x2D0005,
};

inline constexpr QtErr kQtParamErr = -50;
inline constexpr QtErr kQtMemFullErr = -108;
inline constexpr QtErr kQtNilHandleErr = -109;
inline constexpr QtErr kQtUserCanceled = -128;
inline constexpr QtErr kQtBufferTooSmall = -2000;
inline constexpr uint32_t kQtPixelFormatBGRA = 0x42475241;  // 'BGRA'

#pragma pack(push, 2)
// The image description an effect sequence is begun with (86 bytes).
struct QtImageDescription {
    int32_t idSize;
    uint32_t cType;
    int32_t resvd1;
    int16_t resvd2;
    int16_t dataRefIndex;
    int16_t version;
    int16_t revisionLevel;
    uint32_t vendor;
    uint32_t temporalQuality;
    uint32_t spatialQuality;
    int16_t width;
    int16_t height;
    int32_t hRes;  // 16.16
    int32_t vRes;
    int32_t dataSize;
    int16_t frameCount;
    uint8_t name[32];
    int16_t depth;
    int16_t clutId;
};
#pragma pack(pop)
static_assert(sizeof(QtImageDescription) == 86);

#pragma pack(push, 4)
// The time of one decompressed frame (48 bytes): 64-bit values as low and high halves.
struct QtFrameTime {
    uint32_t valueLow;
    int32_t valueHigh;
    int32_t scale;
    uint32_t base;
    int32_t duration;
    int32_t rate;  // 16.16
    int32_t recordSize;
    int32_t frameNumber;
    int32_t flags;  // 1: virtual start time and duration are given
    uint32_t virtualStartLow;
    int32_t virtualStartHigh;
    int32_t virtualDuration;
};
#pragma pack(pop)
static_assert(sizeof(QtFrameTime) == 48);
inline constexpr int32_t kQtFrameTimeVirtual = 1;

// A graphics world: 32-bit rows, top row first, blue, green, red, alpha.
struct QtPixelWorld {
    uint8_t* pixels;
    int32_t width;
    int32_t height;
    int32_t rowBytes;
    uint32_t pixelFormat;
};

// What a sequence is begun with: the description bytes, the image description, the sources
// "srcA" and "srcB", and the window that receives the frames (an HWND as a word).
struct QtEffectSources {
    const uint8_t* description;
    uint32_t descriptionLength;
    const QtImageDescription* image;
    const QtPixelWorld* srcA;
    const QtPixelWorld* srcB;
    QtWord port;
};

using QtEffectSequence = uint32_t;

// The library's effect list as an atom container; kQtNoErr or an error (list left empty).
QtErr QTGetEffectsList(std::vector<uint8_t>* list);
QtErr QTEffectSequenceBegin(const QtEffectSources& sources, QtEffectSequence* sequence);
QtErr QTEffectDecompressFrame(QtEffectSequence sequence, const QtFrameTime& time);
QtErr QTEffectSequenceEnd(QtEffectSequence sequence);
// The standard parameter dialog over a description, owned by the window; on acceptance
// (kQtNoErr) the edited description; kQtUserCanceled when cancelled.
QtErr QTEffectParameterDialog(std::span<const uint8_t> description, QtWord owner, std::vector<uint8_t>* edited);
