// Frame animation frames decoded over a picture: animations written by the stack builder (both
// pair forms) and converted as the reader converts them replay every frame exactly, and hand-made
// frames show the offset rules, markers, empty frames and every refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <tuple>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Crc32.h"
#include "core/memory/Handles.h"
#include "format/StackReader.h"
#include "format/StackFile.h"
#include "stack/cards/StackDescribe.h"
#include "stack/pictures/FrameAnimFrames.h"

namespace {

namespace sb = stackbuilder;

// The builder writes file order; the reader turns the header's words and each frame head's
// length into memory order (the frames' data stays as stored).
std::vector<uint8_t> InMemoryOrder(std::vector<uint8_t> a, int frames) {
    for (uint32_t at = 0; at < kFrameAnimHeaderBytes - 4; at += 2)
        SetU16(a, at, GetBE16(a, at));
    uint32_t frame = kFrameAnimHeaderBytes;
    for (int n = 0; n < frames; ++n) {
        const uint32_t length = GetBE32(a, frame + kFrameLength);
        SetU16(a, frame, GetBE16(a, frame));
        SetU32(a, frame + kFrameLength, length);
        frame += length;
    }
    return a;
}

// Pixel values of the frame at 8 bits, laid out as the decoder's picture (rows padded to 32).
std::vector<uint8_t> Shown(const sb::FrameAnimation& a, const std::vector<uint8_t>& frame) {
    const size_t row = (size_t(a.width) * 8 + 31) / 32 * 4;
    std::vector<uint8_t> picture(row * a.height, 0);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            picture[y * row + x] = frame[size_t(y) * a.width + x];
    return picture;
}

sb::FrameAnimation Flipbook(int width, int height, bool shortPairs) {
    sb::FrameAnimation a;
    a.width = width;
    a.height = height;
    a.shortPairs = shortPairs;
    for (int n = 0; n < 4; ++n) {
        std::vector<uint8_t> frame(size_t(width) * height);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = static_cast<uint8_t>((i * 7 + (i % 3 == 0 ? n * 31 : 0)) & 0xFF);
        a.frames.push_back(frame);
    }
    return a;
}

TEST(FrameAnimFrames, EveryFrameOfABuiltAnimationReplaysExactly) {
    // Widths that pad the stored and the shown rows differently; 300 x 250 needs markers.
    for (const auto& [width, height, shortPairs] : std::vector<std::tuple<int, int, bool>>{
             {10, 6, true}, {10, 6, false}, {13, 5, true}, {300, 250, true}, {300, 250, false}}) {
        const sb::FrameAnimation built = Flipbook(width, height, shortPairs);
        const std::vector<uint8_t> animation = InMemoryOrder(sb::FrameAnimationPayload(built), 4);
        FrameAnimHeader header;
        ASSERT_EQ(CheckFrameAnim(animation, &header), FrameAnimRefusal::None) << width;
        EXPECT_EQ(header.frameCount, 4);
        EXPECT_EQ(header.storedRowBytes, uint32_t((width * 8 + 15) / 16 * 2));
        EXPECT_EQ((header.flags & kFrameAnimShortPairs) != 0, shortPairs);
        std::vector<uint8_t> picture(size_t{header.pictureRowBytes} * header.height, 0xEE);
        for (int n = 1; n <= 4; ++n) {
            ASSERT_TRUE(DecodeAnimFrame(animation, n, header, picture)) << n;
            EXPECT_EQ(picture, Shown(built, built.frames[n - 1])) << width << "x" << height << " frame " << n;
        }
        EXPECT_FALSE(DecodeAnimFrame(animation, 5, header, picture)) << "the walk stops at the data's end";
    }
}

// A hand-made animation of 8-bit frames: header, frame 1 of zeros, then the given frames' data.
std::vector<uint8_t> HandMade(int width, int height, uint16_t flags, const std::vector<std::vector<uint8_t>>& later) {
    std::vector<uint8_t> a(kFrameAnimHeaderBytes, 0);
    SetU16(a, kFrameAnimWidth, static_cast<uint16_t>(width));
    SetU16(a, kFrameAnimHeight, static_cast<uint16_t>(height));
    SetU16(a, kFrameAnimCount, static_cast<uint16_t>(1 + later.size()));
    SetU16(a, kFrameAnimDepth, 8);
    SetU16(a, kFrameAnimFlags, flags);
    auto frame = [&](const std::vector<uint8_t>& data) {
        const size_t at = a.size();
        a.resize(at + kFrameAnimFrameHeadBytes);
        SetU32(a, at + kFrameLength, static_cast<uint32_t>(kFrameAnimFrameHeadBytes + data.size()));
        a.insert(a.end(), data.begin(), data.end());
    };
    frame(std::vector<uint8_t>(size_t((width + 1) / 2 * 2) * height, 0));
    for (const std::vector<uint8_t>& data : later)
        frame(data);
    return a;
}

TEST(FrameAnimFrames, PairsLandWhereTheirLayoutSaysAndWhatTheDataCannotHoldIsRefused) {
    FrameAnimHeader header;
    std::vector<uint8_t> picture;
    auto play = [&](const std::vector<uint8_t>& animation, int n) {
        ASSERT_EQ(CheckFrameAnim(animation, &header), FrameAnimRefusal::None);
        picture.assign(size_t{header.pictureRowBytes} * header.height, 0);
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(DecodeAnimFrame(animation, i, header, picture));
    };
    // Width 10 at 8 bits: stored rows of 10 bytes, picture rows of 12. Offset 25 (row 2,
    // column 5) lands on 2 x 12 + 5 = 29; pairs past the end or negative are skipped.
    play(HandMade(10, 4, kFrameAnimShortPairs, {{0, 25, 0xA1, 0xA2, 0x7F, 0xFF, 7, 7, 0xFF, 0xF0, 7, 7}}), 2);
    EXPECT_EQ(picture[29], 0xA1);
    EXPECT_EQ(picture[30], 0xA2);
    EXPECT_EQ(std::count(picture.begin(), picture.end(), 0), static_cast<std::ptrdiff_t>(picture.size()) - 2);
    // Two markers in a row add 65536: offset 65536 + 4 in stored rows of 256 (row 256, column 4).
    play(HandMade(256, 260, kFrameAnimShortPairs, {{0x80, 0x01, 9, 9, 0x80, 0x01, 9, 9, 0, 4, 0xB1, 0xB2}}), 2);
    EXPECT_EQ(picture[65536 + 4], 0xB1);
    EXPECT_EQ(std::count(picture.begin(), picture.end(), 9), 0) << "markers carry no pixels";
    // 8-byte pairs count in picture rows; one past the end is skipped, half a pair is none; a
    // frame of its head alone changes nothing, yet it is a frame.
    play(HandMade(10, 4, 0, {{0, 0, 0, 13, 1, 2, 3, 4, 0, 0, 0, 46, 5, 5, 5, 5, 0, 0, 0}, {}}), 3);
    EXPECT_EQ((std::vector<uint8_t>(picture.begin() + 13, picture.begin() + 17)), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(std::count(picture.begin(), picture.end(), 5), 0);

    const std::vector<uint8_t> good = HandMade(10, 4, 0, {{}});
    for (const auto& [at, value, refusal] : std::vector<std::tuple<uint32_t, uint16_t, FrameAnimRefusal>>{
             {kFrameAnimWidth, 0, FrameAnimRefusal::BadSize},
             {kFrameAnimHeight, 40000, FrameAnimRefusal::BadSize},
             {kFrameAnimDepth, 7, FrameAnimRefusal::BadDepth},
             {kFrameAnimCount, 0xFFFF, FrameAnimRefusal::NoFrames},
             {kFrameAnimHeight, 5, FrameAnimRefusal::FirstFrameShort}}) {
        std::vector<uint8_t> a = good;
        SetU16(a, at, value);
        EXPECT_EQ(CheckFrameAnim(a, &header), refusal) << at << " = " << value;
    }
    // Frame lengths below the 16-byte head, or past the data, end the walk there.
    for (uint32_t length : {0u, 12u, 15u, 73u, 0xFFFFFFF0u}) {  // 73: one past the data
        std::vector<uint8_t> a = good;
        SetU32(a, kFrameAnimHeaderBytes + kFrameLength, length);
        EXPECT_EQ(CheckFrameAnim(a, &header), FrameAnimRefusal::FirstFrameShort) << length;
        a = good;
        SetU32(a, kFrameAnimHeaderBytes + 16 + 40 + kFrameLength, length);
        AnimFramePlace place;
        EXPECT_FALSE(FindAnimFrame(a, 2, &place)) << length;
    }
    // The colour re-map changes pixel bytes, by 4-bit pixel at 4 bits, never offsets or markers.
    std::array<uint8_t, 256> map;
    for (size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<uint8_t>(i < 16 ? 15 - i : 255 - i);
    std::vector<uint8_t> a = HandMade(10, 4, kFrameAnimShortPairs, {{0x80, 0x01, 3, 4, 0, 25, 0x12, 0xF0}});
    ASSERT_EQ(CheckFrameAnim(a, &header), FrameAnimRefusal::None);
    RemapAnimFramePixels(a, header, map);
    EXPECT_EQ((std::vector<uint8_t>(a.end() - 8, a.end())), (std::vector<uint8_t>{0x80, 0x01, 3, 4, 0, 25, 0xED, 0x0F}));
    std::vector<uint8_t> nibbles = {0x12, 0xF0};
    RemapAnimPixelBytes(nibbles, 4, map);
    EXPECT_EQ(nibbles, (std::vector<uint8_t>{0xED, 0x0F}));
}

// The stack report plays a button's frames as the queue would and names the last picture.
TEST(FrameAnimFrames, TheStackReportDescribesWhatAButtonPlays) {
    sb::FrameAnimation built = Flipbook(13, 5, true);
    built.flags = kFrameAnimShownAtStart;
    sb::Stack s;
    s.cards = {sb::PlainCard(1)};
    s.cards[0].objects = {sb::FrameAnimationButton(1, {0, 0, 40, 20}, "Flip", {50, 50, 63, 55}, built)};
    sb::FrameAnimation broken = built;
    broken.height = 6;  // frame 1 holds five rows
    broken.frames.assign(1, std::vector<uint8_t>(13 * 6, 1));
    std::vector<uint8_t> payload = sb::FrameAnimationPayload(broken);
    SetBE32(payload, kFrameAnimHeaderBytes + kFrameLength, 16 + 14 * 5);
    payload.resize(kFrameAnimHeaderBytes + 16 + 14 * 5);
    sb::Object second = sb::Button(2, {0, 30, 40, 50}, "Short");
    second.chunks.push_back(sb::Chunk{56, 0, {}, 0, {}, {}, payload});
    s.cards[0].objects.push_back(second);
    const std::vector<uint8_t> file = sb::BuildStack(s).bytes;
    ASSERT_TRUE(InitMemRefs());
    const std::string json = DescribeStackJson(file, StackConversion{});
    FreeMemRefs();
    const std::string played = "\"frameAnimation\":{\"width\":13,\"height\":5,\"depth\":8,\"delay\":6,\"cycles\":1,"
                               "\"frames\":4,\"flags\":6,\"found\":4,\"crc32\":" +
                               std::to_string(Crc32(Shown(built, built.frames[3]))) + "}";
    EXPECT_NE(json.find(played), std::string::npos) << json;
    EXPECT_NE(json.find("\"frames\":1,\"flags\":6,\"refused\":\"frame 1 shorter than its rows\"}"),
              std::string::npos)
        << json;
}

}  // namespace
