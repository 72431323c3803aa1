// Stored 'Snd ' headers as a sound media reads them: where the samples lie, in what format,
// and the refusal of every header whose counts reach past the data.
#include "media/elements/StoredSound.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/memory/ByteReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kRaw = 0x72617720, kMac3 = 0x4D414333, kMac6 = 0x4D414336;
constexpr size_t kHeader = 28;  // format 1, one modifier, two commands

Bytes Commands() { return {0, 1, 0, 1, 0, 5, 0, 0, 0, 0x80, 0, 2, 0x80, 0x51, 0, 0, 0, 0, 0, 28, 0, 43, 0, 255, 0, 0, 0, 0}; }

Bytes Standard(uint32_t length, size_t samples) {
    Bytes b = Commands();
    b.resize(kHeader + 22 + samples);
    SetBE32(b, kHeader + 4, length);
    SetBE32(b, kHeader + 8, 22050u << 16);
    b[kHeader + 21] = 60;
    return b;
}

// An extended (0xFF) or compressed (0xFE) header of 64 bytes.
Bytes Wide(uint8_t encoding, uint16_t channels, uint32_t frames, uint16_t bits, int16_t compression, size_t samples) {
    Bytes b = Commands();
    b.resize(kHeader + 64 + samples);
    SetBE32(b, kHeader + 4, channels);
    SetBE32(b, kHeader + 8, 44100u << 16);
    b[kHeader + 20] = encoding;
    SetBE32(b, kHeader + 22, frames);
    if (encoding == 0xFF) {
        SetBE16(b, kHeader + 48, bits);
    } else {
        SetBE16(b, kHeader + 56, static_cast<uint16_t>(compression));
        SetBE16(b, kHeader + 62, bits);
    }
    return b;
}

Bytes Cut(Bytes b, size_t size) {
    b.resize(size);
    return b;
}

TEST(StoredSound, HeadersGiveTheirSamplesAndBadCountsAreRefused) {
    StoredSoundLayout l;
    ASSERT_TRUE(ReadStoredSoundLayout(Standard(100, 100), &l));
    EXPECT_EQ(l.format, kRaw);
    EXPECT_EQ(l.channels, 1);
    EXPECT_EQ(l.sampleSize, 8);
    EXPECT_EQ(l.rate, 22050u << 16);
    EXPECT_EQ(l.dataOffset, 50u);
    EXPECT_EQ(l.byteCount, 100u);
    EXPECT_EQ(l.sampleCount, 100u);

    ASSERT_TRUE(ReadStoredSoundLayout(Wide(0xFF, 2, 10, 16, 0, 40), &l));
    EXPECT_EQ(l.format, kRaw);
    EXPECT_EQ(l.dataOffset, 92u);
    EXPECT_EQ(l.byteCount, 40u);
    EXPECT_EQ(l.sampleCount, 10u);

    // Compressed headers: raw, and both MACE kinds, mono and stereo.
    struct Compressed {
        uint16_t channels;
        int16_t id;
        uint32_t format, bytes, samples;
    };
    for (const Compressed& c : {Compressed{1, 0, kRaw, 20, 10}, Compressed{1, 3, kMac3, 20, 60},
                                Compressed{2, 3, kMac3, 80, 60}, Compressed{1, 4, kMac6, 10, 60},
                                Compressed{2, 4, kMac6, 40, 60}}) {
        ASSERT_TRUE(ReadStoredSoundLayout(Wide(0xFE, c.channels, 10, 16, c.id, 80), &l)) << c.id;
        EXPECT_EQ(l.format, c.format) << c.id;
        EXPECT_EQ(l.byteCount, c.bytes) << c.id << " " << c.channels;
        EXPECT_EQ(l.sampleCount, c.samples) << c.id;
        EXPECT_EQ(l.dataOffset, 92u);
    }

    // Format 2 keeps its header after 6 + 8 x commands bytes; a reversed format word reads as 1.
    Bytes two = {0, 2, 0, 0, 0, 1, 0x80, 0x51, 0, 0, 0, 0, 0, 14};
    two.resize(14 + 22 + 5);
    SetBE32(two, 14 + 4, 5);
    SetBE32(two, 14 + 8, 8000u << 16);
    ASSERT_TRUE(ReadStoredSoundLayout(two, &l));
    EXPECT_EQ(l.dataOffset, 36u);
    Bytes reversed = Standard(10, 10);
    reversed[0] = 1;
    reversed[1] = 0;
    EXPECT_TRUE(ReadStoredSoundLayout(reversed, &l));

    const Bytes refused[] = {
        Standard(101, 100),                  // the length runs past the data
        Standard(0xFFFFFFFF, 100),           // ... far past it
        Wide(0xFF, 2, 11, 16, 0, 40),        // frames past the data
        Wide(0xFF, 0, 10, 16, 0, 40),        // no channels
        Wide(0xFF, 1, 10, 0, 0, 40),         // no sample size
        Wide(0xFE, 3, 10, 8, 3, 400),        // MACE of three channels
        Wide(0xFE, 1, 10, 8, 2, 400),        // an unknown compression
        Wide(0xFE, 1, 10, 0, 0, 400),        // compressed raw of no sample size
        Wide(0x7F, 1, 10, 8, 0, 400),        // an unknown encoding
        Bytes{0, 3, 0, 0},                   // an unknown format
        Cut(Commands(), 27),                 // cut before the header
    };
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_FALSE(ReadStoredSoundLayout(refused[i], &l)) << "case " << i;
    Bytes noRate = Standard(10, 10);
    SetBE32(noRate, kHeader + 8, 0x8000);
    EXPECT_FALSE(ReadStoredSoundLayout(noRate, &l)) << "no whole hertz";
}

TEST(StoredSound, TheDescriptionIsTheThirtySixBytesQuickTimeReads) {
    StoredSoundLayout l;
    l.format = kMac3;
    l.channels = 2;
    l.sampleSize = 8;
    l.rate = 22050u << 16;
    const QtSoundDescription d = StoredSoundDescription(l);
    EXPECT_EQ(d.descSize, 36);
    EXPECT_EQ(d.dataFormat, kMac3);
    EXPECT_EQ(d.dataRefIndex, 1);
    EXPECT_EQ(d.numChannels, 2);
    EXPECT_EQ(d.sampleSize, 8);
    EXPECT_EQ(d.compressionID, 0);
    EXPECT_EQ(d.sampleRate, 22050u << 16);
}

}  // namespace
