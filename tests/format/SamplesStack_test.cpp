// The samples stack the build puts beside the plug-in, read with the plug-in's own readers as
// the sound dialog and the icon chooser read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/ui/CursorImages.h"
#include "media/elements/StoredSound.h"

namespace {

namespace sb = stackbuilder;

// Every sound plays 8-bit mono samples that start and end near silence and are heard (the
// stopper excepted); every icon is one 32 x 32 image of its colour on a transparent ground,
// edged in black; the names differ and the file stays small.
TEST(SamplesStack, SoundsPlayAndIconsDrawAsTheDialogsReadThem) {
    const sb::Stack stack = sb::SamplesStack();
    EXPECT_LT(sb::BuildStack(stack).bytes.size(), 200u * 1024);
    int sounds = 0, icons = 0;
    std::set<std::string> names;
    for (const sb::Resource& r : stack.resources) {
        SCOPED_TRACE(r.type + " \"" + r.name + "\"");
        EXPECT_TRUE(names.insert(r.type + r.name).second) << "a second of that name";
        if (r.type == "Snd ") {
            ++sounds;
            StoredSoundLayout layout;
            ASSERT_TRUE(ReadStoredSoundLayout(r.data, &layout));
            EXPECT_EQ(layout.format, 0x72617720u);  // 'raw '
            EXPECT_EQ(layout.channels, 1);
            EXPECT_EQ(layout.sampleSize, 8);
            EXPECT_EQ(layout.rate, 11025u << 16);
            ASSERT_GT(layout.byteCount, 100u);
            const auto* samples = r.data.data() + layout.dataOffset;
            int loudest = 0;
            for (uint32_t i = 0; i < layout.byteCount; ++i)
                loudest = std::max(loudest, std::abs(samples[i] - 128));
            EXPECT_EQ(loudest >= 60, r.name != "Stop All Sounds") << "loudest " << loudest;
            EXPECT_LE(std::abs(samples[0] - 128), 8);
            EXPECT_LE(std::abs(samples[layout.byteCount - 1] - 128), 8);
        } else if (r.type == "Icon") {
            ++icons;
            IconImage image;
            ASSERT_EQ(IconImageCount(r.data), 1);
            ASSERT_TRUE(ReadIconImage(r.data, 0, &image));
            EXPECT_EQ(image.width, 32);
            EXPECT_EQ(image.height, 32);
            ASSERT_EQ(image.bitCount, 4);
            int ground = 0, black = 0, coloured = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    if (r.data[image.andOffset + y * image.andRowBytes + x / 8] & (0x80 >> x % 8)) {
                        ++ground;
                        continue;
                    }
                    const uint8_t pair = r.data[image.xorOffset + y * image.xorRowBytes + x / 2];
                    const int index = x % 2 ? pair & 15 : pair >> 4;
                    const uint8_t* bgr = &r.data[image.colorsOffset + 4 * index];
                    if (bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0)
                        ++black;
                    else if (bgr[0] != bgr[1] || bgr[1] != bgr[2])
                        ++coloured;
                }
            EXPECT_GT(ground, 100);
            EXPECT_GT(black, 40);
            EXPECT_GT(coloured, 120);
            EXPECT_EQ(ground + black + coloured, 32 * 32) << "grey pixels";
        }
    }
    EXPECT_GE(sounds, 5);
    EXPECT_GE(icons, 5);
}

}  // namespace
