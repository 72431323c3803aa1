// The save buffer: writes collected in one block and given to the file a block at a time.
// The block holds u32 capacity (block size - 8), u32 bytes held, then the bytes.
#pragma once

#include <cstdint>

#include "core/files/FileLayer.h"
#include "core/memory/Handles.h"

inline constexpr uint32_t kSaveBufferSize = 65536;

// A buffer of `size` bytes; when that cannot be had, the largest smaller size that can (down
// to 4 KB); 0 on failure.
Handle NewWriteBuffer(uint32_t size);
void DisposeWriteBuffer(Handle* buffer);
// Appends count bytes, writing the buffer to the file and emptying it each time it fills.
int WriteThroughBuffer(FileRef file, uint32_t count, const void* data, Handle buffer);
// When bytes are held: optionally cuts the file at position + held bytes, seeks to the position
// (from `origin`), writes them, advances the position and empties the buffer.
int FlushWriteBuffer(Handle buffer, bool truncate, FileRef file, int origin, int32_t* position);
// Through the buffer when there is one, else straight to the file.
int WriteResourceData(FileRef file, uint32_t count, const void* data, Handle buffer);
uint32_t WriteBufferHeld(Handle buffer);
