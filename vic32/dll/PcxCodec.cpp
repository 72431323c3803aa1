// PCX files (ZSoft version 5): a 128-byte header, then every scan line's planes run-length
// coded (a byte of 0xC0 | count before a repeated byte), and for 8 bits in one plane a
// 256-colour palette after the marker 0x0C at the end.
#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "vic32/dll/VicLib.h"

namespace {

constexpr size_t kPcxHeaderBytes = 128;
constexpr size_t kPaletteBytes = 769;  // the marker and 256 x RGB
constexpr uint8_t kPaletteMarker = 0x0C;

struct PcxLayout {
    int32_t width = 0, height = 0;
    int bitsPerPlane = 0, planes = 0;
    uint32_t bytesPerLine = 0;
    std::span<const uint8_t> egaPalette;  // 16 x RGB in the header
    std::span<const uint8_t> palette;     // 256 x RGB at the end, for 8 bits in one plane
    std::span<const uint8_t> data;        // the coded lines
};

bool ReadLayout(std::span<const uint8_t> file, PcxLayout* out) {
    if (file.size() < kPcxHeaderBytes || file[0] != 0x0A || file[2] != 1)
        return false;
    ByteReader in(file, 3);
    PcxLayout pcx;
    pcx.bitsPerPlane = in.U8();
    const int32_t xMin = in.U16LE(), yMin = in.U16LE(), xMax = in.U16LE(), yMax = in.U16LE();
    pcx.width = xMax - xMin + 1;
    pcx.height = yMax - yMin + 1;
    pcx.egaPalette = file.subspan(16, 48);
    in.Seek(65);
    pcx.planes = in.U8();
    pcx.bytesPerLine = in.U16LE();
    if (!in.ok() || pcx.width < 1 || pcx.height < 1 || pcx.width > VIC_MAX_DIMENSION || pcx.height > VIC_MAX_DIMENSION)
        return false;
    const bool taken = (pcx.bitsPerPlane == 1 && (pcx.planes == 1 || pcx.planes == 4)) ||
                       (pcx.bitsPerPlane == 8 && (pcx.planes == 1 || pcx.planes == 3));
    const uint32_t needed = (static_cast<uint32_t>(pcx.width) * static_cast<uint32_t>(pcx.bitsPerPlane) + 7) / 8;
    if (!taken || pcx.bytesPerLine < needed)
        return false;
    pcx.data = file.subspan(kPcxHeaderBytes);
    if (pcx.bitsPerPlane == 8 && pcx.planes == 1) {
        if (file.size() < kPcxHeaderBytes + kPaletteBytes || file[file.size() - kPaletteBytes] != kPaletteMarker)
            return false;
        pcx.palette = file.subspan(file.size() - kPaletteBytes + 1, 768);
        pcx.data = pcx.data.first(pcx.data.size() - kPaletteBytes);
    }
    // Refused before any image is made for it: a run of two bytes codes at most 63.
    const uint64_t coded = uint64_t{pcx.bytesPerLine} * static_cast<uint32_t>(pcx.planes) * static_cast<uint32_t>(pcx.height);
    if (coded > uint64_t{pcx.data.size()} * 32)
        return false;
    *out = pcx;
    return true;
}

// The coded bytes as one stream: a run may go on into the next line, as some writers make them.
class RunReader {
public:
    explicit RunReader(std::span<const uint8_t> data) : data_(data) {}
    bool Line(std::span<uint8_t> line) {
        for (uint8_t& out : line) {
            if (count_ == 0) {
                if (pos_ >= data_.size())
                    return false;
                const uint8_t lead = data_[pos_++];
                if ((lead & 0xC0) == 0xC0) {
                    if (pos_ >= data_.size())
                        return false;
                    count_ = lead & 0x3F;
                    value_ = data_[pos_++];
                    if (count_ == 0)
                        continue;  // an empty run codes nothing; this byte is taken from the next
                } else {
                    count_ = 1;
                    value_ = lead;
                }
            }
            out = value_;
            --count_;
        }
        return true;
    }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    uint32_t count_ = 0;
    uint8_t value_ = 0;
};

void PutRuns(std::span<const uint8_t> line, std::vector<uint8_t>& out) {
    for (size_t i = 0; i < line.size();) {
        size_t run = 1;
        while (i + run < line.size() && run < 63 && line[i + run] == line[i])
            ++run;
        if (run > 1 || (line[i] & 0xC0) == 0xC0)
            out.push_back(static_cast<uint8_t>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
    }
}

}  // namespace

int VicPcxInfo(std::span<const uint8_t> file, VicFileInfo* info) {
    if (!info)
        return VIC_BAD_ARGUMENT;
    PcxLayout pcx;
    if (!ReadLayout(file, &pcx))
        return VIC_BAD_FILE;
    const bool rgb = pcx.planes == 3;
    *info = VicFileInfo{pcx.width, pcx.height, rgb ? 24 : 8, pcx.bitsPerPlane * pcx.planes,
                        rgb ? 0 : pcx.bitsPerPlane == 8 ? 256 : 1 << pcx.planes};
    return VIC_OK;
}

int VicPcxLoad(std::span<const uint8_t> file, VicImage* image) {
    PcxLayout pcx;
    if (!ReadLayout(file, &pcx))
        return VIC_BAD_FILE;
    const bool rgb = pcx.planes == 3;
    if (!VicImageIs(image, pcx.width, pcx.height, rgb ? 24 : 8))
        return VIC_BAD_SIZE;
    // Decoded into a copy first: a file that ends early leaves the image as it was.
    VicImage made{};
    const int allocated = allocimage(&made, pcx.width, pcx.height, rgb ? 24 : 8);
    if (allocated != VIC_OK)
        return allocated;
    std::vector<uint8_t> line(static_cast<size_t>(pcx.bytesPerLine) * static_cast<size_t>(pcx.planes));
    RunReader runs(pcx.data);
    const size_t stride = pcx.bytesPerLine;
    for (int32_t y = 0; y < pcx.height; ++y) {
        if (!runs.Line(line)) {
            freeimage(&made);
            return VIC_BAD_FILE;
        }
        uint8_t* to = VicRow(made, y);
        for (int32_t x = 0; x < pcx.width; ++x) {
            const size_t at = static_cast<size_t>(x);
            if (rgb) {
                to[at * 3] = line[2 * stride + at];
                to[at * 3 + 1] = line[stride + at];
                to[at * 3 + 2] = line[at];
            } else if (pcx.bitsPerPlane == 8) {
                to[at] = line[at];
            } else {
                uint8_t index = 0;
                for (int p = 0; p < pcx.planes; ++p)
                    index |= static_cast<uint8_t>((line[p * stride + at / 8] >> (7 - at % 8) & 1) << p);
                to[at] = index;
            }
        }
    }
    if (!rgb) {
        if (pcx.bitsPerPlane == 8) {
            for (int i = 0; i < 256; ++i)
                made.palette[i] = VicColor{pcx.palette[i * 3 + 2], pcx.palette[i * 3 + 1], pcx.palette[i * 3], 0};
            made.colors = 256;
        } else if (pcx.planes == 4) {
            for (int i = 0; i < 16; ++i)
                made.palette[i] = VicColor{pcx.egaPalette[i * 3 + 2], pcx.egaPalette[i * 3 + 1], pcx.egaPalette[i * 3], 0};
            made.colors = 16;
        } else {
            made.palette[0] = VicColor{0, 0, 0, 0};
            made.palette[1] = VicColor{255, 255, 255, 0};
            made.colors = 2;
        }
    }
    const int copied = VicCopyPixels(made, image);
    freeimage(&made);
    return copied;
}

int VicPcxEncode(const VicImage& image, std::vector<uint8_t>& out) {
    if (!VicImageOk(&image))
        return VIC_BAD_ARGUMENT;
    const bool rgb = image.bitsPerPixel == 24;
    const uint32_t bytesPerLine = (static_cast<uint32_t>(image.width) + 1) & ~1u;
    out.assign(kPcxHeaderBytes, 0);
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    SetU16(out, 8, static_cast<uint16_t>(image.width - 1));
    SetU16(out, 10, static_cast<uint16_t>(image.height - 1));
    SetU16(out, 12, 96);
    SetU16(out, 14, 96);
    out[65] = rgb ? 3 : 1;
    SetU16(out, 66, static_cast<uint16_t>(bytesPerLine));
    SetU16(out, 68, 1);
    std::vector<uint8_t> plane(bytesPerLine, 0);
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = VicRow(image, y);
        if (!rgb) {
            std::copy(row, row + image.width, plane.begin());
            PutRuns(plane, out);
            continue;
        }
        for (int shift : {16, 8, 0}) {
            for (int32_t x = 0; x < image.width; ++x)
                plane[static_cast<size_t>(x)] = row[x * 3 + shift / 8];
            PutRuns(plane, out);
        }
    }
    if (!rgb) {
        out.push_back(kPaletteMarker);
        for (int i = 0; i < 256; ++i) {
            const VicColor c = i < image.colors ? image.palette[i] : VicColor{};
            out.push_back(c.red);
            out.push_back(c.green);
            out.push_back(c.blue);
        }
    }
    return VIC_OK;
}
