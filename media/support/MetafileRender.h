// Metafile files drawn: the file read through an unnamed read-only mapping, its Windows
// metafile played so that its box fills a rectangle, and the picture import of a metafile
// (MetafileRender_win.cpp). The layout comes from Metafile.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "media/support/Metafile.h"

// A file's bytes mapped read-only for one scope; empty when it cannot be opened or mapped.
// The mapping has no name, so no other process can reach it.
class MappedFile {
public:
    explicit MappedFile(const char* path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    std::span<const uint8_t> bytes() const { return bytes_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const void* view_ = nullptr;
    std::span<const uint8_t> bytes_;
};

// Plays the Windows or placeable metafile of the file (its layout read before) into the dc,
// its box mapped exactly onto (0, 0, width, height). False when nothing could be played.
bool PlayMetafileInto(HDC dc, std::span<const uint8_t> file, const MetafileLayout& layout, int width, int height);

// A metafile file for picture import: drawn at MetafileBitmapSize onto white, in a bitmap
// compatible with the card window, and given as a 24-bit packed DIB with the application
// palette in a movable global block. The limits are the current card's size (500 by 500 when
// no card is current). Null, with no message, when the file is unreadable or enhanced.
HGLOBAL RenderMetafileFile(const char* path);
HGLOBAL RenderMetafile(std::span<const uint8_t> file, int limitWidth, int limitHeight);
