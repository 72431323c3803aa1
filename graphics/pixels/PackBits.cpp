// PackBits-style run streams: the run coder, and packing and unpacking whole DIBs.
#include "graphics/pixels/PackBits.h"

#include <algorithm>
#include <utility>

namespace {

constexpr size_t kMaxRunLength = 128;
constexpr uint32_t kPackStartBytes = 50000;
constexpr uint32_t kPackGrowBytes = 5000;
constexpr uint32_t kPackMinFreeBytes = 200;

// Walks a run stream segment by segment: a repeat (one value, count copies) or literal bytes.
// Stops when the runs end; a literal run cut short yields the bytes present.
template <class Sink>
size_t ForEachRun(std::span<const uint8_t> runs, Sink&& sink) {
    size_t at = 0;
    while (at < runs.size()) {
        const auto count = static_cast<int8_t>(runs[at++]);
        bool more = true;
        if (count >= 0) {
            const size_t n = std::min<size_t>(static_cast<size_t>(count) + 1, runs.size() - at);
            more = sink(false, uint8_t{0}, runs.data() + at, n);
            at += n;
        } else if (count != -128) {
            if (at >= runs.size())
                break;
            more = sink(true, runs[at++], nullptr, static_cast<size_t>(1 - count));
        }
        if (!more)
            break;
    }
    return at;
}

// A handle being filled from the front, grown in steps and trimmed to size at the end.
class RunOutput {
public:
    bool Start() {
        h_ = NewHandle(kPackStartBytes);
        capacity_ = kPackStartBytes;
        return h_ != 0;
    }
    bool Append(std::span<const uint8_t> bytes) {
        if (capacity_ - used_ < kPackMinFreeBytes) {
            if (SetHandleSize(h_, capacity_ + kPackGrowBytes) != 0)
                return false;
            capacity_ += kPackGrowBytes;
        }
        HandleLock lock(h_);
        if (!lock)
            return false;
        BlockMove(bytes.data(), lock.get() + used_, bytes.size());
        used_ += static_cast<uint32_t>(bytes.size());
        return true;
    }
    Handle Finish() {
        SetHandleSize(h_, used_);
        return std::exchange(h_, 0);
    }
    ~RunOutput() {
        if (h_)
            DisposeHandle(h_);
    }

private:
    Handle h_ = 0;
    uint32_t capacity_ = 0;
    uint32_t used_ = 0;
};

}  // namespace

size_t PackBitsRun(std::span<const uint8_t> stream, size_t at, std::span<uint8_t, kPackBitsMaxRunBytes> out,
                   size_t& outLength) {
    const size_t end = stream.size();
    if (at + 1 < end && stream[at] == stream[at + 1]) {
        size_t copies = 2;
        while (copies < kMaxRunLength && at + copies < end && stream[at + copies] == stream[at])
            ++copies;
        out[0] = static_cast<uint8_t>(-static_cast<int>(copies - 1));
        out[1] = stream[at];
        outLength = 2;
        return copies;
    }
    // Literals until 128 are taken, the stream ends, or the next two bytes are equal.
    size_t taken = 0;
    while (taken < kMaxRunLength && at + taken < end) {
        const size_t j = at + taken;
        if (taken > 0 && j + 1 < end && stream[j] == stream[j + 1])
            break;
        out[1 + taken] = stream[j];
        ++taken;
    }
    out[0] = static_cast<uint8_t>(taken - 1);
    outLength = taken + 1;
    return taken;
}

std::vector<uint8_t> PackBitsEncode(std::span<const uint8_t> stream) {
    std::vector<uint8_t> out;
    uint8_t run[kPackBitsMaxRunBytes];
    for (size_t at = 0; at < stream.size();) {
        size_t length = 0;
        at += PackBitsRun(stream, at, run, length);
        out.insert(out.end(), run, run + length);
    }
    return out;
}

UnpackBitsResult UnpackBits(std::span<const uint8_t> runs, std::span<uint8_t> out) {
    UnpackBitsResult result;
    if (out.empty())
        return result;
    result.consumed = ForEachRun(runs, [&](bool repeat, uint8_t value, const uint8_t* literal, size_t count) {
        const size_t n = std::min(count, out.size() - result.produced);
        uint8_t* to = out.data() + result.produced;
        if (repeat)
            std::fill(to, to + n, value);
        else
            std::copy(literal, literal + n, to);
        result.produced += n;
        return result.produced < out.size();
    });
    return result;
}

Handle PackDibRows(DibHandle dib) {
    ScopedHandle macRows(DibToMacRowsHandle(dib));
    LockedDib locked(macRows.get(), RowRule::Mac);
    RunOutput output;
    if (!locked || !output.Start())
        return 0;
    const std::span<const uint8_t> stream = locked.image();
    uint8_t run[kPackBitsMaxRunBytes];
    for (size_t at = 0; at < stream.size();) {
        size_t length = 0;
        at += PackBitsRun(stream, at, run, length);
        if (!output.Append({run, length}))
            return 0;
    }
    return output.Finish();
}

bool DibFromMacRows(DibHandle dib, std::span<const uint8_t> runs) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    const DibLayout& layout = locked.layout();
    const std::span<uint8_t> bytes = locked.bytes();
    const size_t macRow = static_cast<size_t>(MacRowBytes(layout.depth, layout.width));
    const size_t kept = std::min<size_t>(macRow, layout.rowBytes);
    const size_t total = macRow * static_cast<size_t>(layout.height);
    size_t produced = 0;
    // Each produced byte lands in its own DIB row at its own column, or is dropped when its
    // column lies past the DIB row.
    auto store = [&](size_t count, auto byteAt) {
        for (size_t i = 0; i < count; ++i, ++produced) {
            const size_t row = produced / macRow;
            const size_t column = produced % macRow;
            if (column < kept)
                bytes[layout.bitsOffset + row * layout.rowBytes + column] = byteAt(i);
        }
    };
    ForEachRun(runs, [&](bool repeat, uint8_t value, const uint8_t* literal, size_t count) {
        const size_t n = std::min(count, total - produced);
        if (repeat)
            store(n, [value](size_t) { return value; });
        else
            store(n, [literal](size_t i) { return literal[i]; });
        return produced < total;
    });
    return produced == total;
}
