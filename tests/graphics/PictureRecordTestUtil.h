// Card records carrying a picture's colour table, as the program holds them in memory: written
// by the test-stack builder and brought to host order by the stack reader's own conversion.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/memory/Handles.h"
#include "format/StackFile.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace picturetest {

using stackbuilder::Rgb;

// A card of kind 1 whose picture (width x height, all pixels 0) stores these colours first in
// its table; the builder fills the rest of the table with a grey ramp.
inline stackbuilder::Card PaletteCard(uint16_t id, std::vector<Rgb> colors, int depth = 8, int width = 16,
                                      int height = 4) {
    stackbuilder::Picture picture = stackbuilder::SolidPicture(width, height, depth, 0);
    picture.palette = std::move(colors);
    return stackbuilder::PictureCard(id, picture);
}

// The record in host order, in a new handle.
inline Handle CardRecordHandle(const stackbuilder::Card& card) {
    std::vector<uint8_t> record = stackbuilder::BuildCardRecord(card, stackbuilder::Stack{});
    StackConversion cv;
    EXPECT_EQ(SwapCardRecordBytes(record, ByteOrder::ToHost, cv, nullptr), 0);
    return NewHandleFromBytes(record);
}

// 256 distinct colours, each with components that are multiples of 8 (so a 5-bit-per-channel
// display keeps them), the darkest one (0, 0, 64) at index `darkest`.
inline std::vector<Rgb> DistinctColors(int darkest) {
    std::vector<Rgb> colors(256);
    for (int i = 0; i < 256; ++i) {
        const int k = (i - darkest + 256) % 256;
        colors[i] = {static_cast<uint8_t>((k % 32) * 8), static_cast<uint8_t>((k / 32) * 32), 64};
    }
    return colors;
}

}  // namespace picturetest
