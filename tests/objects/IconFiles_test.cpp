// The chooser's reading of icon, cursor and animated cursor files, its grid's cells and the
// steps of animated cursors, over files made by the stack builder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/ui/CursorImages.h"
#include "objects/IconFiles.h"

namespace {

namespace sb = stackbuilder;
using Bytes = std::vector<uint8_t>;

const std::vector<Bytes>& Frames() {
    static const std::vector<Bytes> frames = {sb::CursorFile(16, {255, 0, 0}, 3, 4), sb::CursorFile(32, {0, 0, 255})};
    return frames;
}

Bytes Span(std::span<const uint8_t> s) { return {s.begin(), s.end()}; }

TEST(IconFiles, AnimatedCursorBecomesOneFramePerStep) {
    // Three steps over two frames, played 1, 0, 1 at rates 0, 2 and 4 ticks.
    const IconFileData read = ReadIconFile("ANI", sb::AnimatedCursorFile(Frames(), 3, 6, {0, 2, 4}, {1, 0, 1}, 3));
    ASSERT_EQ(read.kind, kEntryAnimatedCursor);
    CursorResource cursor;
    ASSERT_TRUE(ReadCursorResource(read.data, &cursor));
    EXPECT_EQ(cursor.header[1], 3u);
    EXPECT_EQ(cursor.header[2], 3u);
    EXPECT_EQ(cursor.sequence, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(cursor.rates, (std::vector<uint32_t>{1, 2, 4})) << "a rate of 0 reads as one tick";
    ASSERT_EQ(cursor.frames.size(), 3u);
    EXPECT_EQ(Span(cursor.frames[0]), Frames()[1]);
    EXPECT_EQ(Span(cursor.frames[1]), Frames()[0]);
    EXPECT_EQ(Span(cursor.frames[2]), Frames()[1]);

    // Tick by tick: step 0 moves on each tick, step 1 after two, step 2 after four.
    uint32_t step = 0, ticks = 0;
    std::vector<uint32_t> steps;
    for (int tick = 0; tick < 8; ++tick) {
        AdvanceCursorStep(cursor, &step, &ticks);
        steps.push_back(step);
    }
    EXPECT_EQ(steps, (std::vector<uint32_t>{1, 1, 2, 2, 2, 2, 0, 1}));

    // Without rate and sequence chunks every frame is a step at the header's rate.
    const IconFileData plain = ReadIconFile("ani", sb::AnimatedCursorFile(Frames(), 2, 6, {}, {}));
    ASSERT_TRUE(ReadCursorResource(plain.data, &cursor));
    EXPECT_EQ(cursor.rates, (std::vector<uint32_t>{6, 6}));
    EXPECT_EQ(Span(cursor.frames[1]), Frames()[1]);

    // A stored animated 'Crsr' is the grid's data as it is; a still one gives its cursor file.
    EXPECT_EQ(CursorResourceEntry(plain.data).data, plain.data);
    const Bytes still = MakeStillCursorData(Frames()[0]);
    const IconFileData fromStill = CursorResourceEntry(still);
    EXPECT_EQ(fromStill.kind, kEntryStillCursor);
    EXPECT_EQ(fromStill.data, Frames()[0]);
}

TEST(IconFiles, DamagedFilesAreLeftOut) {
    const Bytes good = sb::AnimatedCursorFile(Frames(), 3, 6, {0, 2, 4}, {1, 0, 1}, 3);
    const Bytes icon = sb::IconFile(32, {0, 128, 0});
    auto edited = [](Bytes bytes, const std::function<void(Bytes&)>& edit) {
        edit(bytes);
        return bytes;
    };
    // Offsets in the sequenced file: RIFF header 12, 'anih' chunk header 8, its fields from 20.
    const struct {
        const char* what;
        const char* extension;
        Bytes file;
    } cases[] = {
        {"no icon flag", "ani", sb::AnimatedCursorFile(Frames(), 2, 6, {}, {}, 0)},
        {"no frames", "ani", sb::AnimatedCursorFile({}, 2, 6, {}, {})},
        {"'anih' size past the file", "ani", edited(good, [](Bytes& b) { SetU32(b, 16, 0x7FFFFFF0); })},
        {"a step count past the rates", "ani", edited(good, [](Bytes& b) { SetU32(b, 28, 4); })},
        {"a huge step count", "ani", edited(good, [](Bytes& b) { SetU32(b, 28, 0x40000000); })},
        {"a sequence entry past the frames", "ani", sb::AnimatedCursorFile(Frames(), 2, 6, {}, {0, 2}, 3)},
        {"a frame cut short", "ani", Bytes(good.begin(), good.end() - 40)},
        {"not RIFF 'ACON'", "ani", edited(good, [](Bytes& b) { b[8] = 'X'; })},
        {"an icon file as a cursor", "cur", icon},
        {"an image count past the directory", "ico", edited(icon, [](Bytes& b) { SetU16(b, 4, 3); })},
        {"an image offset past the file", "ico", edited(icon, [](Bytes& b) { SetU32(b, 18, 0xFFFFFF00); })},
        {"an image cut short", "ico", Bytes(icon.begin(), icon.end() - 1)},
        {"another extension", "bmp", icon},
    };
    for (const auto& c : cases) {
        const IconFileData read = ReadIconFile(c.extension, c.file);
        EXPECT_EQ(read.kind, 0) << c.what;
        EXPECT_TRUE(read.data.empty()) << c.what;
    }
    EXPECT_EQ(ReadIconFile("ICO", icon).kind, kEntryIcon);
    EXPECT_EQ(ReadIconFile("cur", Frames()[0]).data, Frames()[0]);
}

TEST(IconFiles, ModuleCursorsAndGrid) {
    // A module's cursor image is its hot spot, then the image of a cursor file.
    const Bytes file = sb::CursorFile(32, {0, 0, 0}, 0, 0);
    Bytes image = {7, 0, 9, 0};
    image.insert(image.end(), file.begin() + 22, file.end());
    const Bytes made = CursorFileFromModuleImage(image);
    IconImage read;
    ASSERT_TRUE(ReadIconImage(made, 0, &read));
    EXPECT_EQ(read.hotX, 7);
    EXPECT_EQ(read.hotY, 9);
    EXPECT_EQ(Bytes(made.begin() + 22, made.end()), Bytes(file.begin() + 22, file.end()));

    // A group of 32 by 32 at 1 and 8 bits and 48 by 48 at 4 bits (heights stored doubled).
    Bytes group = {0, 0, 2, 0, 3, 0};
    for (auto [size, bits, id] : {std::tuple{32, 1, 5}, {32, 8, 6}, {48, 4, 7}}) {
        for (int v : {size, size * 2, 1, bits})
            group.push_back(static_cast<uint8_t>(v)), group.push_back(0);
        for (int i = 0; i < 4; ++i)
            group.push_back(0);
        group.push_back(static_cast<uint8_t>(id)), group.push_back(0);
    }
    EXPECT_EQ(BestGroupCursorId(group, 32, 32, 8), 6);
    EXPECT_EQ(BestGroupCursorId(group, 32, 32, 4), 5) << "not deeper than the display";
    EXPECT_EQ(BestGroupCursorId(group, 48, 48, 8), 7);
    EXPECT_EQ(BestGroupCursorId(Bytes(group.begin(), group.begin() + 10), 32, 32, 8), 0) << "a cut entry";

    // 180 pixels hold three cells of 32 plus 20; the 24 left over widen each margin by 4.
    const IconGridLayout grid = LayoutIconGrid(180, 130, 32, 32, 1000);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.marginX, 14);
    EXPECT_EQ(grid.cellWidth, 60);
    EXPECT_EQ(grid.cellHeight, 52);
    EXPECT_EQ(grid.rows, 334);
    EXPECT_EQ(grid.visibleRows, 2);
}

}  // namespace
