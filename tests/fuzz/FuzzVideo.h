// What the video decoders' fuzz targets share: the input is an image description (as long as
// its first word says, within the input) whose format is set to the decoder's, then samples,
// each a big-endian 32-bit length and its bytes. The samples are decoded in turn over one frame,
// which keeps its size, and which a refused sample leaves as it was.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "quicktime/formats/VideoFrames.h"
#include "tests/fuzz/FuzzCheck.h"

inline int FuzzVideoSamples(uint32_t codec, const uint8_t* data, size_t size) {
    if (size < kImageDescriptionBytes || size > (1 << 16))
        return 0;
    const auto word = [&](size_t at) {
        return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 | data[at + 3];
    };
    const size_t described = std::min<size_t>(std::max<uint32_t>(word(0), kImageDescriptionBytes), size);
    std::vector<uint8_t> description(data, data + described);
    for (int i = 0; i < 4; ++i)
        description[4 + i] = uint8_t(codec >> (24 - 8 * i));
    VideoFormat format;
    FuzzCheck(ReadVideoFormat(description, &format) && format.codec == codec);
    VideoFrame frame;
    if (NewVideoFrame(format, 64, 64, &frame) != VideoRefusal::None)
        return 0;
    const int32_t width = frame.width, height = frame.height;
    for (size_t at = described; at + 4 <= size;) {
        const size_t length = std::min<size_t>(word(at), size - at - 4);
        const std::vector<uint8_t> before = frame.bgra;
        const VideoRefusal r = DecodeVideoSample(format, {data + at + 4, length}, &frame);
        FuzzCheck(frame.width == width && frame.height == height && frame.bgra.size() == before.size());
        FuzzCheck(r == VideoRefusal::None || frame.bgra == before);
        at += 4 + length;
    }
    return 0;
}
