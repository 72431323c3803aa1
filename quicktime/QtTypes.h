// The Mac types the QuickTime calls take, as both sides of the dispatcher lay them out. Records
// are the library's own (Rect top, left, bottom, right in 16 bits; Point vertical then
// horizontal); objects the library makes are opaque pointers whose insides only it reads.
// Names carry "Qt" so they never meet the plug-in's own Rect, Point and Handle.
#pragma once

#include <cstdint>

using QtOSType = uint32_t;
using QtFixed = int32_t;  // 16.16
using QtTimeValue = int32_t;
using QtTimeScale = int32_t;

inline constexpr QtFixed kQtFixed1 = 0x10000;

// A four-character code from its text, first character in the high byte.
constexpr QtOSType QtFourCC(const char (&code)[5]) {
    return static_cast<QtOSType>((static_cast<uint8_t>(code[0]) << 24) | (static_cast<uint8_t>(code[1]) << 16) |
                                 (static_cast<uint8_t>(code[2]) << 8) | static_cast<uint8_t>(code[3]));
}

struct QtRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
static_assert(sizeof(QtRect) == 8);

struct QtPoint {
    int16_t v;
    int16_t h;
};
static_assert(sizeof(QtPoint) == 4);

struct QtRGBColor {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};

// A Mac handle: a pointer to the master pointer of a block the library owns (*h is the data).
using QtHandle = char**;

// Opaque objects of the library.
struct QtMovieRecord;
struct QtTrackRecord;
struct QtMediaRecord;
struct QtUserDataRecord;
struct QtComponentRecord;
struct QtPortRecord;  // a graphics port: a window's port or a graphics world
struct QtGDeviceRecord;
using QtMovie = QtMovieRecord*;
using QtTrack = QtTrackRecord*;
using QtMedia = QtMediaRecord*;
using QtUserData = QtUserDataRecord*;
using QtComponentInstance = QtComponentRecord*;
using QtMovieController = QtComponentInstance;
using QtGraphicsImporter = QtComponentInstance;
using QtGrafPtr = QtPortRecord*;
using QtGWorldPtr = QtPortRecord*;
using QtGDHandle = QtGDeviceRecord*;
using QtRgnHandle = QtHandle;
using QtPicHandle = QtHandle;  // the stand-in's pictures hold a packed DIB (header, colours, rows)

// A bit map as CopyBits reads it: rows top first, rowBytes apart, bounds in the port's
// coordinates. The stand-in's worlds are 32 bits a pixel (blue, green, red, unused); a one-bit
// map (BitMapToRegion) has a row of rowBytes bytes, the high bit of each byte leftmost.
#pragma pack(push, 2)
struct QtBitMap {
    uint8_t* baseAddr;
    int16_t rowBytes;  // the high bit set marks a pixel map of 32 bits a pixel
    QtRect bounds;
};
#pragma pack(pop)
static_assert(sizeof(QtBitMap) == 14 || sizeof(void*) != 4);
inline constexpr int16_t kQtPixMapFlag = int16_t(0x8000);

// A file as the library names it: our own layout, a full native path in a counted string.
struct QtFSSpec {
    int16_t vRefNum;
    int32_t parID;
    uint8_t name[256];  // length byte, then the path; a terminating zero follows the text
};

// An event for the controller.
#pragma pack(push, 2)
struct QtEventRecord {
    uint16_t what;
    uint32_t message;
    uint32_t when;  // ticks
    QtPoint where;
    uint16_t modifiers;
};
#pragma pack(pop)

inline constexpr uint16_t kQtNullEvent = 0;
inline constexpr uint16_t kQtMouseDown = 1;
inline constexpr uint16_t kQtMouseUp = 2;
inline constexpr uint16_t kQtKeyDown = 3;
inline constexpr uint16_t kQtKeyUp = 4;
inline constexpr uint16_t kQtAutoKey = 5;
inline constexpr uint16_t kQtUpdateEvt = 6;
inline constexpr uint16_t kQtActivateEvt = 8;
inline constexpr uint16_t kQtOsEvt = 15;

// A sample description as QuickTime keeps it (its first 16 bytes; the kinds add their fields).
#pragma pack(push, 2)
struct QtSampleDescription {
    int32_t descSize;
    QtOSType dataFormat;
    int32_t resvd1;
    int16_t resvd2;
    int16_t dataRefIndex;
};
// The 36-byte sound description.
struct QtSoundDescription {
    int32_t descSize;
    QtOSType dataFormat;
    int32_t resvd1;
    int16_t resvd2;
    int16_t dataRefIndex;
    int16_t version;
    int16_t revlevel;
    uint32_t vendor;
    int16_t numChannels;
    int16_t sampleSize;
    int16_t compressionID;
    int16_t packetSize;
    uint32_t sampleRate;  // unsigned 16.16
};
#pragma pack(pop)
static_assert(sizeof(QtSampleDescription) == 16);
static_assert(sizeof(QtSoundDescription) == 36);
