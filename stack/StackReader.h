// The one reader of stack files. Every length, count and offset that the file gives is checked
// before it is used; a record that fails is refused whole and never read past its end:
//   - a header that is not plausible refuses the stack (alert 2268);
//   - a card that fails its checks refuses the stack (alert 2268);
//   - an object, chunk or resource entry that fails is left out and logged in the drops.
// Bytes come through a ByteSource, so the same code reads a file, a download or a test buffer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/FileLayer.h"
#include "stack/StackFile.h"

inline constexpr int kStackRefused = -12;  // the result when an alert refuses the stack

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint32_t Size() const = 0;
    // Reads out.size() bytes at offset; false when they cannot all be read.
    virtual bool ReadAt(uint32_t offset, std::span<uint8_t> out) = 0;
};

class SpanByteSource final : public ByteSource {
public:
    explicit SpanByteSource(std::span<const uint8_t> bytes);
    uint32_t Size() const override { return size_; }
    bool ReadAt(uint32_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
    uint32_t size_;
};

// An open file of the file layer; the position is the caller's no longer.
class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(FileRef file);
    uint32_t Size() const override { return size_; }
    bool ReadAt(uint32_t offset, std::span<uint8_t> out) override;

private:
    FileRef file_;
    uint32_t size_;
};

struct StackReadResult {
    int error = 0;        // 0, kStackRefused (alertId says which alert), or -1 (memory, read)
    int alertId = 0;
    std::string reason;   // the check that failed, for reports and tests
    bool ok() const { return error == 0; }
};

struct StackFileContents {
    Handle header = 0;                  // 128 bytes, host order
    std::vector<Handle> cards;          // host order, in file order
    std::vector<uint32_t> cardOffsets;  // file offset of each card
    std::vector<ResourceEntryInfo> resources;  // live and deleted entries that passed
    uint16_t resourceIdCounter = 0;     // the resource manager's 16-bit word at offset 68
    DropLog drops;
};

// Reads, converts and checks the header (the plausibility test only): a new 128-byte handle.
StackReadResult ReadStackHeader(ByteSource& source, StackConversion& cv, Handle* header);
// Reads one card record at offset: checked, converted, in a new handle; *length is its length
// in the file (the next card's offset is offset + *length).
StackReadResult ReadCardRecordAt(ByteSource& source, uint32_t offset, StackConversion& cv,
                                 Handle* card, uint32_t* length, DropLog* drops);
// Reads count entries from offset. An entry that fails its header checks is left out (and the
// walk ends when the next entry cannot be found); with loadData, each live entry's data is read
// into a handle and converted by type, and an entry whose data fails is left out. Deleted
// entries are kept without data. Returns 0, or -1 when memory runs out.
int ReadResourceArea(ByteSource& source, uint32_t offset, uint32_t count, const StackConversion& cv,
                     bool loadData, std::vector<ResourceEntryInfo>& entries, DropLog* drops);
// Reads and converts one entry's data into entry.data (entry.dataLength becomes its size).
int LoadResourceEntryData(ByteSource& source, ResourceEntryInfo& entry, const StackConversion& cv,
                          const char** reason);
// The whole file: header (with the refusals of an open: 2268, 2256, 2221, 2222), every card,
// the resource area. On failure nothing is left allocated.
StackReadResult ReadStackFile(ByteSource& source, StackConversion& cv, StackFileContents& contents,
                              bool loadResourceData = true);
void DisposeStackFileContents(StackFileContents& contents);

// What the reader sees, as JSON (StackDescribe.cpp); the layout is documented there.
std::string DescribeStackJson(std::span<const uint8_t> file, const StackConversion& settings);
