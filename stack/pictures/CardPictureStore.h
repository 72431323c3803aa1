// Card pictures in their records: the switches that steer a conversion run, storing a picture's
// colour table and data into the picture block, the colour table built for a depth, the JPEG
// storage form (an 86-byte description, then the JPEG bytes) and the depth-conversion tables.
//
//   CardPictureStore.cpp        everything below: platform-free, fuzzed (tests/fuzz/jpegdesc_fuzz.cpp)
//   CardPictureConvert_win.cpp  the steps through GDI and vic32 (CardPictureConvert.h)
//   CardConvertRecords.cpp      the record work of a conversion: route, colour words, graphics
//                               walk (CardConvertRecords.h, platform-free, fuzzed)
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"
#include "format/StackFile.h"

// ---- Conversion switches ----
struct ConversionSwitches {
    bool stackIo = false;              // a stack is read or written: JPEG decoded and encoded
    bool jpegEncode = false;           // JPEG encoding allowed; error-diffusion palette match
    bool force = false;                // convert even when depth and size are unchanged
    bool convertPixels = true;         // repack card pictures at the new depth and size
    bool convertGraphics = true;       // convert graphic objects to the new depth
    bool matchThroughLibrary = false;  // reduce deep pictures to 8 bits through vic32
    bool keepGraphicByteOrder = false; // leave 16-bit graphic pixels in stored byte order
    bool displayPixelOrder = false;    // graphic pixels are already in display order
    bool toStackOrder = false;         // 32-bit graphic pixels go from display order to the file's
};
// The program-wide switches.
ConversionSwitches& Switches();
void ResetConversionSwitches();
// Sets the switches for one run and restores the defaults when the run ends.
class ConversionRun {
public:
    explicit ConversionRun(const ConversionSwitches& run) { Switches() = run; }
    ~ConversionRun() { ResetConversionSwitches(); }
    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;
};

// ---- Picture block ----
// The colour table and data become the picture block of the host-order kind-1 record (the old
// block's data, block length - 24 bytes from 120, replaced): an odd total gets one pad byte and
// the pad flag, an even one clears it; depth (+18), 8 (+96), format (+98), block length and
// table length set. False, record unchanged, when its block does not fit it or the data is
// too large.
bool ReplacePictureBytes(std::vector<uint8_t>& record, std::span<const uint8_t> table,
                         std::span<const uint8_t> data, uint16_t depth, uint16_t format);
// The same on a card handle. 0 when stored, 16 when not (the record as it was).
int StorePictureData(Handle card, std::span<const uint8_t> table, std::span<const uint8_t> data,
                     int depth, uint16_t format);
// ReplacePictureData: colour table + packed picture (format 2). The handles stay the caller's.
int ReplacePictureData(Handle card, Handle packed, Handle colorTable, int depth);

// The colour table and data of a kind-1 record's picture block, checked against the record.
struct PictureBlockView {
    uint16_t format = 0;
    std::span<const uint8_t> table, data;  // data without the pad byte
};
bool ReadPictureBlock(std::span<const uint8_t> record, PictureBlockView& out);

// ---- Colour table for a depth ----
// An 8-byte header (seed 0, flags 0, count - 1 big-endian) and per entry u16 value 1, red,
// green, blue, each 0..255 in little-endian order (so a component's first byte is its colour).
// Count: 2^targetDepth up to 8 bits, else 256. The first 2^sourceDepth entries (256 from 16
// bits on) come from picture, as far as it has them; the rest from defaults (256 entries).
std::vector<uint8_t> BuildColorTableForDepth(std::span<const PaletteColor> picture,
                                             std::span<const PaletteColor> defaults, int sourceDepth,
                                             int targetDepth);

// ---- JPEG storage form ----
// The description followed by the JPEG bytes; empty when the sizes are out of range.
std::vector<uint8_t> MakeJpegPictureData(int width, int height, int depth, std::span<const uint8_t> jpeg);
struct JpegPictureView {
    int width = 0, height = 0, depth = 0;  // as the description says
    std::span<const uint8_t> jpeg;
};
// Checks stored JPEG picture data before anything is allocated for it: the description's own
// length (first u32) at least 86 and inside the data, codec 'jpeg', width and height 1..
// kMaxCardExtent, a stored depth of 8, 16, 24 or 32, and JPEG bytes after it. *reason says why not.
bool ReadJpegPictureData(std::span<const uint8_t> data, JpegPictureView& out, const char** reason);
// What the JPEG reports of itself must agree with its description before it is decoded.
bool JpegDimensionsAgree(const JpegPictureView& view, int jpegWidth, int jpegHeight);
// The stored form after a JPEG attempt: JPEG only when its bytes are fewer than the packed ones.
// The packed form is always written as format 2 (it carries its run header).
uint16_t ChooseStoredPictureFormat(size_t jpegBytes, size_t packedBytes);

// ---- Depth-conversion tables ----
// Steps in the order they run.
enum class DepthStep : uint8_t {
    None,
    Requantize,         // through a display-compatible bitmap and back
    Widen16To24,        // stack 16 (high byte first) to Windows 24
    SwapBytes16,        // Windows 16 <-> stack 16
    Mac32To24,          // stack x-R-G-B to Windows 24
    Mac32ToWindows32,   // x-R-G-B to B-G-R-x
    Windows32ToMac32,   // B-G-R-x to x-R-G-B
    Windows32To24,      // B-G-R-x to 24
    LibraryMatch,       // 24 bits matched to the card palette through vic32
    ReduceToPalette,    // to 8 bits with the card palette (vic32 or the program's own)
    Windows24To16,      // Windows 24 to stack 16
    Windows32To16,      // Windows 32 to stack 16
    Windows24ToMac32,   // Windows 24 to stack 32
};
struct DepthPlan {
    bool known = false;  // false: no way from this depth to that one
    DepthStep steps[3] = {DepthStep::None, DepthStep::None, DepthStep::None};
};
// ConvertPictureDepth: a picture at its stored depth (4, 8, 16, 32) made for the display's (8,
// 16, 24, 32).
DepthPlan PictureToDisplayPlan(int storedDepth, int displayDepth);
// ConvertDibToStackDepth: a display-depth DIB to a storage depth (8, 16, 32).
DepthPlan DisplayToStackPlan(int displayDepth, int stackDepth, const ConversionSwitches& switches);

// Which branch ConvertCardPicture takes for one record.
enum class CardPictureRoute : uint8_t {
    NotPicture, DecodeJpeg, EncodeJpeg, From4Bit, Unchanged, Repack8, Convert
};
struct CardPictureCase {
    uint16_t kind = 0, format = 0;
    int oldDepth = 0, newDepth = 0, displayDepth = 0;
    bool sizeChanged = false, stackJpegFlag = false;
};
CardPictureRoute ChooseCardPictureRoute(const CardPictureCase& c, const ConversionSwitches& s);
// The depth a kind-1 record's picture is stored at (+18), which the redraw and the reader go by;
// runDepth when the word names no depth pictures are stored at. A picture stored from the
// offscreen is at the display's depth while the stack's others are still at its own.
int StoredPictureDepth(std::span<const uint8_t> record, int runDepth);
// Whether the card's graphics are converted first.
bool ConvertsGraphicsFirst(int oldDepth, int newDepth, const ConversionSwitches& s);

// ---- Graphic objects ----
// Whether a graphic (host-order object record) needs converting to depth.
bool GraphicNeedsDepthConversion(std::span<const uint8_t> graphic, int depth);
// ReplaceObjectData on bytes: everything from byte 80 of the object at offset in the record
// becomes data (+ one pad byte when odd, flag 0x200 set or cleared), +12 := 80 + data length
// with the pad, +60 := maskLength. False, record unchanged, when the object does not fit.
bool ReplaceObjectBytes(std::vector<uint8_t>& record, uint32_t offset, std::span<const uint8_t> data,
                        uint32_t maskLength);
