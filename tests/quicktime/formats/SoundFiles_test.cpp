// The sound file readers: the files are built here byte by byte, independently of the readers,
// and what a wave device would get is compared with the samples put in.
#include "quicktime/formats/SoundFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuilderMedia.h"

namespace {

using stackbuilder::Be16;
using stackbuilder::Be32;
using stackbuilder::Bytes;
using stackbuilder::Le16;
using stackbuilder::Le32;
using stackbuilder::Tag;
void Append(Bytes* b, const Bytes& more) { b->insert(b->end(), more.begin(), more.end()); }

// A WAV with an odd-sized chunk before "fmt " and a stated data size (past the end when larger).
Bytes Wave(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples, uint32_t dataSize) {
    Bytes b;
    Tag(&b, "RIFF");
    Le32(&b, 0);
    Tag(&b, "WAVE");
    Tag(&b, "LIST");
    Le32(&b, 3);
    Append(&b, {1, 2, 3, 0});
    Tag(&b, "fmt ");
    Le32(&b, 16);
    Le16(&b, tag);
    Le16(&b, channels);
    Le32(&b, rate);
    Le32(&b, rate * bits / 8 * channels);
    Le16(&b, bits / 8 * channels);
    Le16(&b, bits);
    Tag(&b, "data");
    Le32(&b, dataSize);
    Append(&b, samples);
    const uint32_t riff = uint32_t(b.size() - 8);
    for (int i = 0; i < 4; ++i)
        b[4 + i] = uint8_t(riff >> (8 * i));
    return b;
}

// 44100, 22050 and 8000 Hz as 80-bit extended.
Bytes Extended(uint32_t rate) {
    int exponent = 16383 + 31;
    uint32_t hi = rate;
    while (!(hi & 0x80000000u)) {
        hi <<= 1;
        --exponent;
    }
    Bytes b;
    Be16(&b, uint32_t(exponent));
    Be32(&b, hi);
    Be32(&b, 0);
    return b;
}

Bytes Aiff(const char (&kind)[5], const char (&compression)[5], uint16_t channels, uint16_t bits, uint32_t rate,
           const Bytes& samples, uint32_t ssndOffset, size_t junkBefore) {
    Bytes b(junkBefore, 'x');
    Tag(&b, "FORM");
    Be32(&b, 0);
    Tag(&b, kind);
    Tag(&b, "COMM");
    const bool aifc = std::string(kind) == "AIFC";
    Be32(&b, aifc ? 23 : 18);
    Be16(&b, channels);
    Be32(&b, uint32_t(samples.size() / (bits / 8) / channels));
    Be16(&b, bits);
    Append(&b, Extended(rate));
    if (aifc) {
        Tag(&b, compression);
        Append(&b, {0, 0});  // an empty name and the pad of the odd chunk
    }
    Tag(&b, "SSND");
    Be32(&b, uint32_t(8 + ssndOffset + samples.size()));
    Be32(&b, ssndOffset);
    Be32(&b, 0);
    b.insert(b.end(), ssndOffset, 0xEE);
    Append(&b, samples);
    const uint32_t form = uint32_t(b.size() - junkBefore - 8);
    for (int i = 0; i < 4; ++i)
        b[junkBefore + 4 + i] = uint8_t(form >> (24 - 8 * i));
    return b;
}

Bytes Au(uint32_t offset, uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& samples) {
    Bytes b;
    Tag(&b, ".snd");
    Be32(&b, offset);
    Be32(&b, 0xFFFFFFFF);
    Be32(&b, encoding);
    Be32(&b, rate);
    Be32(&b, channels);
    while (b.size() < offset)
        b.push_back(0);
    Append(&b, samples);
    return b;
}

struct Case {
    const char* name;
    Bytes file;
    SoundRefusal refusal;
    uint16_t bits, channels;
    uint32_t rate, frames;
    Bytes wave;  // what the wave device gets
};

TEST(SoundFiles, ReadersGiveLittleEndianSamplesOrTheirReason) {
    const Bytes le16 = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x00, 0x80};
    const Bytes be16 = {0x02, 0x01, 0x04, 0x03, 0xFF, 0xFE, 0x80, 0x00};
    Bytes cut = Wave(1, 1, 8000, 8, {1, 2, 3}, 1000);  // data size past the end
    Bytes noData = Wave(1, 1, 8000, 8, {}, 0);
    noData.resize(noData.size() - 8);
    // The data chunk before the format chunk.
    Bytes dataFirst = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 2, 0, 0, 0, 0x10, 0x20};
    const Bytes tail = Wave(1, 1, 8000, 8, {}, 0);
    dataFirst.insert(dataFirst.end(), tail.begin() + 12 + 12, tail.end() - 8);  // its "fmt " chunk alone
    Bytes unsized = dataFirst;  // its RIFF size left 0, as some streaming writers leave it
    dataFirst[4] = uint8_t(dataFirst.size() - 8);
    const std::vector<Case> cases = {
        {"WAV data before its format", dataFirst, SoundRefusal::None, 8, 1, 8000, 2, {0x10, 0x20}},
        {"WAV of RIFF size 0", unsized, SoundRefusal::None, 8, 1, 8000, 2, {0x10, 0x20}},
        {"8-bit mono WAV", Wave(1, 1, 11025, 8, {0x80, 0x00, 0xFF}, 3), SoundRefusal::None, 8, 1, 11025, 3, {0x80, 0x00, 0xFF}},
        {"16-bit stereo WAV", Wave(1, 2, 44100, 16, le16, 8), SoundRefusal::None, 16, 2, 44100, 2, le16},
        {"WAV data past the end", cut, SoundRefusal::None, 8, 1, 8000, 3, {1, 2, 3}},
        {"ADPCM WAV", Wave(2, 1, 8000, 4, {1, 2}, 2), SoundRefusal::NotPcm, 0, 0, 0, 0, {}},
        {"WAV without channels", Wave(1, 0, 8000, 16, {1, 2}, 2), SoundRefusal::BadFormat, 0, 0, 0, 0, {}},
        {"WAV without data", noData, SoundRefusal::NoSamples, 0, 0, 0, 0, {}},
        {"AIFF found past junk", Aiff("AIFF", "NONE", 2, 16, 44100, be16, 0, 5), SoundRefusal::None, 16, 2, 44100, 2, le16},
        {"8-bit AIFF is signed", Aiff("AIFF", "NONE", 1, 8, 22050, {0x00, 0x7F, 0x80}, 0, 0), SoundRefusal::None, 8, 1, 22050, 3, {0x80, 0xFF, 0x00}},
        {"AIFC NONE with an SSND offset", Aiff("AIFC", "NONE", 1, 16, 8000, be16, 3, 0), SoundRefusal::None, 16, 1, 8000, 4, le16},
        {"AIFC sowt", Aiff("AIFC", "sowt", 1, 16, 8000, le16, 0, 0), SoundRefusal::None, 16, 1, 8000, 4, le16},
        {"AIFC ima4", Aiff("AIFC", "ima4", 1, 16, 8000, be16, 0, 0), SoundRefusal::Compressed, 0, 0, 0, 0, {}},
        {"AIFC 24-bit", Aiff("AIFC", "NONE", 1, 24, 8000, {1, 2, 3, 4, 5, 6}, 0, 0), SoundRefusal::None, 24, 1, 8000, 2, {3, 2, 1, 6, 5, 4}},
        {"no FORM", Bytes(40, 'F'), SoundRefusal::NotThisKind, 0, 0, 0, 0, {}},
        {"AU mu-law: 0xFF and 0x7F are silence", Au(24, 1, 8000, 1, {0xFF, 0x7F, 0x00}), SoundRefusal::None, 16, 1, 8000, 3,
         {0, 0, 0, 0, 0x84, 0x82}},
        {"AU linear 8 with an offset inside the header", Au(8, 2, 8000, 1, {0x00, 0x81}), SoundRefusal::None, 8, 1, 8000, 2, {0x80, 0x01}},
        {"AU linear 16", Au(32, 3, 8000, 2, be16), SoundRefusal::None, 16, 2, 8000, 2, le16},
        {"AU float", Au(24, 6, 8000, 1, {1, 2, 3, 4}), SoundRefusal::Compressed, 0, 0, 0, 0, {}},
        {"AU without channels", Au(24, 3, 8000, 0, {1, 2}), SoundRefusal::BadFormat, 0, 0, 0, 0, {}},
        {"AU without rate", Au(24, 3, 0, 1, {1, 2}), SoundRefusal::BadFormat, 0, 0, 0, 0, {}},
        {"builder's AIFC sowt", stackbuilder::AiffFile(true, "sowt", 1, 11025, 16, le16), SoundRefusal::None, 16, 1, 11025, 4, le16},
        {"builder's AU with an annotation", stackbuilder::AuFile(3, 8000, 1, be16), SoundRefusal::None, 16, 1, 8000, 4, le16},
        {"builder's 24-bit WAV", stackbuilder::WaveFile(1, 48000, 24, Bytes{1, 2, 3, 4, 5, 6, 7}), SoundRefusal::None, 24, 1, 48000, 2, {1, 2, 3, 4, 5, 6}},
        {"AU header cut", Bytes{'.', 's', 'n', 'd', 0, 0}, SoundRefusal::Truncated, 0, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SoundFileInfo info;
        info.frames = 0xDEAD;
        ASSERT_EQ(ReadSoundFile(c.file, &info), c.refusal);
        if (c.refusal != SoundRefusal::None)
            continue;
        const WavePcm pcm = ToWavePcm(info);
        EXPECT_EQ(pcm.bitsPerSample, c.bits);
        EXPECT_EQ(pcm.channels, c.channels);
        EXPECT_EQ(pcm.sampleRate, c.rate);
        EXPECT_EQ(pcm.frames, c.frames);
        EXPECT_EQ(pcm.samples, c.wave);
        EXPECT_GE(info.data.data(), c.file.data());
        EXPECT_LE(info.data.data() + info.data.size(), c.file.data() + c.file.size());
        // What is written as a WAV reads back as itself.
        SoundFileInfo again;
        const Bytes written = WaveFileOf(pcm);
        ASSERT_EQ(ReadWaveFile(written, &again), SoundRefusal::None);
        EXPECT_EQ(ToWavePcm(again).samples, pcm.samples);
        EXPECT_EQ(again.sampleRate, c.rate);
    }
}

TEST(SoundFiles, ExtendedRatesAndMuLaw) {
    for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u, 96000u}) {
        const Bytes e = Extended(rate);
        EXPECT_EQ(WholeHertz(Extended80ToDouble(std::span<const uint8_t, 10>(e.data(), 10))), rate);
    }
    const uint8_t zero[10] = {};
    const uint8_t infinite[10] = {0x7F, 0xFF, 0x80};
    const uint8_t negative[10] = {0xC0, 0x0B, 0xAC, 0x44};
    EXPECT_EQ(Extended80ToDouble(zero), 0.0);
    EXPECT_EQ(WholeHertz(Extended80ToDouble(infinite)), 0u);
    EXPECT_EQ(WholeHertz(Extended80ToDouble(negative)), 0u);
    // G.711: the extremes and a few steps between.
    EXPECT_EQ(MuLawToLinear(0x00), -32124);
    EXPECT_EQ(MuLawToLinear(0x80), 32124);
    EXPECT_EQ(MuLawToLinear(0xFF), 0);
    EXPECT_EQ(MuLawToLinear(0x7F), 0);
    EXPECT_EQ(MuLawToLinear(0xFE), 8);
    EXPECT_EQ(MuLawToLinear(0x70), -120);
}

}  // namespace
