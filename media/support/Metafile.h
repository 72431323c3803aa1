// Metafile files as previews and picture import read them: which kind a file is (enhanced,
// Windows or placeable), the placeable header's box and units, where the Windows metafile lies,
// and the size a placeable picture is drawn at. Every field is checked against the file's
// size before it is used. Platform-neutral; MetafileRender_win.cpp draws what this finds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

enum class MetafileKind { None, Enhanced, Windows, Placeable };

inline constexpr uint32_t kPlaceableMetafileKey = 0x9AC6CDD7;
inline constexpr uint32_t kEnhancedMetafileSignature = 0x464D4520;  // " EMF" at byte 40
inline constexpr size_t kPlaceableHeaderBytes = 22, kWindowsMetaHeaderBytes = 18;
inline constexpr uint16_t kWindowsMetaHeaderWords = 9;
// A file without a placeable header is drawn as this box at one unit per inch.
inline constexpr int16_t kUnplacedMetafileBox = 150;
// The smallest side of a drawn picture, and the limits when no card is current.
inline constexpr int kMetafileMinSide = 100, kMetafileNoCardLimit = 500;

struct MetafileLayout {
    MetafileKind kind = MetafileKind::None;
    int16_t left = 0, top = 0, right = 0, bottom = 0;  // the box in metafile units
    uint16_t unitsPerInch = 1;                         // never 0
    size_t bitsOffset = 0;                             // where the Windows metafile starts
    size_t bitsSize = 0;                               // its bytes: the header's word count x 2
};

// The file's kind and layout. None when it is no metafile, its word count puts the metafile
// past the end of the file or below its own header, or a placeable box is empty. An enhanced
// metafile is recognised and nothing more is read of it.
MetafileLayout ReadMetafileLayout(std::span<const uint8_t> file);

struct MetafileSize {
    int width = 0;
    int height = 0;
};
// The pixels a Windows or placeable metafile is drawn at: each side in units over units per
// inch at 96 dots an inch, rounded and made even, then raised to 100 and lowered to the limit.
MetafileSize MetafileBitmapSize(const MetafileLayout& layout, int limitWidth, int limitHeight);
