// Sound files converted to stored sounds and back: the stored header byte for byte, the byte
// order of the samples both ways, and the alert every bad count or format calls for.
#include "media/sounds/SoundResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/memory/ByteReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

class SoundResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override { FreeMemRefs(); }

    static Handle Hold(const Bytes& bytes) { return NewHandleFromBytes(bytes); }
};

void Append(Bytes* b, std::initializer_list<uint8_t> bytes) { b->insert(b->end(), bytes); }
void AppendText(Bytes* b, const char* text) {
    for (int i = 0; i < 4; ++i)
        b->push_back(static_cast<uint8_t>(text[i]));
}
void AppendLE(Bytes* b, uint32_t v, int width) {
    for (int i = 0; i < width; ++i)
        b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void AppendBE(Bytes* b, uint32_t v, int width) {
    for (int i = width - 1; i >= 0; --i)
        b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes f;
    AppendLE(&f, tag, 2);
    AppendLE(&f, channels, 2);
    AppendLE(&f, rate, 4);
    AppendLE(&f, rate * bits / 8 * channels, 4);
    AppendLE(&f, bits / 8 * channels, 2);
    AppendLE(&f, bits, 2);
    return f;
}

// A canonical 44-byte-header WAV file.
Bytes Wave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples) {
    Bytes w;
    AppendText(&w, "RIFF");
    AppendLE(&w, static_cast<uint32_t>(36 + samples.size()), 4);
    AppendText(&w, "WAVE");
    AppendText(&w, "fmt ");
    AppendLE(&w, 16, 4);
    const Bytes f = FormatChunk(1, channels, rate, bits);
    w.insert(w.end(), f.begin(), f.end());
    AppendText(&w, "data");
    AppendLE(&w, static_cast<uint32_t>(samples.size()), 4);
    w.insert(w.end(), samples.begin(), samples.end());
    return w;
}

Handle ImportWave(Handle file, uint32_t* alert) {
    const Bytes bytes = HandleToBytes(file);
    const Bytes f(bytes.begin() + 20, bytes.begin() + 36);
    return ImportWaveChunks(file, f, 44, GetU32(bytes, 40), alert);
}

// 22050 Hz as an 80-bit extended.
constexpr uint8_t kRate22050[10] = {0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};

Bytes Aiff(const char* kind, const char* compression, uint16_t channels, uint16_t bits, uint32_t offset,
           const Bytes& samples) {
    Bytes body;
    AppendText(&body, kind);
    AppendText(&body, "NAME");  // an odd chunk before COMM: its pad byte is stepped over
    AppendBE(&body, 3, 4);
    Append(&body, {'a', 'b', 'c', 0});
    AppendText(&body, "COMM");
    AppendBE(&body, compression ? 22 : 18, 4);
    AppendBE(&body, channels, 2);
    AppendBE(&body, static_cast<uint32_t>(samples.size() / (bits / 8) / std::max<uint16_t>(channels, 1)), 4);
    AppendBE(&body, bits, 2);
    body.insert(body.end(), kRate22050, kRate22050 + 10);
    if (compression)
        AppendText(&body, compression);
    AppendText(&body, "SSND");
    AppendBE(&body, static_cast<uint32_t>(8 + offset + samples.size()), 4);
    AppendBE(&body, offset, 4);
    AppendBE(&body, 0, 4);
    body.insert(body.end(), offset, 0xEE);
    body.insert(body.end(), samples.begin(), samples.end());
    Bytes file = {'j', 'u', 'n', 'k', '!', '!', '!'};  // "FORM" at byte 7
    AppendText(&file, "FORM");
    AppendBE(&file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes Au(uint32_t offset, uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& samples) {
    Bytes a;
    AppendText(&a, ".snd");
    for (uint32_t v : {offset, 0xFFFFFFFFu, encoding, rate, channels, 0u})
        AppendBE(&a, v, 4);
    a.insert(a.end(), samples.begin(), samples.end());
    return a;
}

Bytes Tail(Handle h, size_t from) {
    const Bytes b = HandleToBytes(h);
    return Bytes(b.begin() + static_cast<ptrdiff_t>(std::min(from, b.size())), b.end());
}

TEST_F(SoundResources, WaveFilesBecomeStoredSoundsAndComeBackTheSame) {
    // 8-bit mono: the standard header, samples as they were; a trailing chunk leaves room to
    // build in place, and goes.
    const Bytes mono = {0x80, 0x00, 0xFF, 0x7F, 0x81};
    Bytes withTrailer = Wave(1, 11025, 8, mono);
    withTrailer.insert(withTrailer.end(), 40, 0xEE);
    Handle file = Hold(withTrailer);
    uint32_t alert = 99;
    Handle sound = ImportWave(file, &alert);
    ASSERT_EQ(sound, file);
    EXPECT_EQ(alert, 0u);
    Bytes stored = HandleToBytes(sound);
    ASSERT_EQ(stored.size(), 50u + mono.size());
    const Bytes prefix = {0, 1, 0, 1, 0, 5, 0, 0, 0, 0x80, 0, 2, 0x80, 0x51, 0, 0, 0, 0, 0, 0x1C, 0, 0x2B, 0, 0xFF};
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 24), prefix);
    EXPECT_EQ(GetBE32(stored, 32), 5u);                // length
    EXPECT_EQ(GetBE32(stored, 36), 11025u << 16);      // rate
    EXPECT_EQ(stored[48], 0);                          // standard
    EXPECT_EQ(stored[49], 60);
    EXPECT_EQ(Tail(sound, 50), mono);
    SoundFormat format;
    Handle wave = ExportSoundToWave(sound, &format, &alert);
    ASSERT_NE(wave, 0);
    EXPECT_EQ(format.byteCount, 5u);
    Bytes exported = HandleToBytes(wave);
    ASSERT_EQ(exported.size(), 44u + 6);  // RIFF's pad byte after an odd chunk
    EXPECT_EQ(GetU32(exported, 4), 36u + 6);
    EXPECT_EQ(Bytes(exported.begin() + 44, exported.end() - 1), mono);
    DisposeHandle(sound);
    DisposeHandle(wave);

    // 16-bit stereo and 24-bit mono: the extended header, each sample reversed, and exported
    // to the very bytes of the file.
    struct Case {
        uint16_t channels, bits;
        Bytes samples, stored;
    };
    const Case cases[] = {
        {2, 16, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}, {0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x08, 0x07}},
        {1, 24, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, {0x03, 0x02, 0x01, 0x06, 0x05, 0x04}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const Bytes original = Wave(c.channels, 44100, c.bits, c.samples);
        file = Hold(original);
        sound = ImportWave(file, &alert);
        ASSERT_NE(sound, 0);
        EXPECT_NE(sound, file);  // no room before the samples: a new handle
        DisposeHandle(file);
        stored = HandleToBytes(sound);
        ASSERT_EQ(stored.size(), 92u + c.samples.size());
        EXPECT_EQ(GetBE32(stored, 6), c.channels == 2 ? 0xC0u : 0x80u);
        EXPECT_EQ(GetBE32(stored, 32), c.channels);
        EXPECT_EQ(GetBE32(stored, 36), 44100u << 16);
        EXPECT_EQ(stored[48], 0xFF);
        EXPECT_EQ(GetBE32(stored, 50), c.samples.size() / (c.bits / 8 * c.channels));
        EXPECT_EQ(GetBE16(stored, 76), c.bits);
        EXPECT_EQ(Tail(sound, 92), c.stored);
        wave = ExportSoundToWave(sound, nullptr, &alert);
        EXPECT_EQ(HandleToBytes(wave), original);
        DisposeHandle(sound);
        DisposeHandle(wave);
    }

    // An odd count of 16-bit bytes: whole samples turn, the last byte stays, nothing is read past.
    file = Hold({0xAA, 0x01, 0x02, 0x03, 0x04, 0x05});
    SoundFormat odd{16, 1, 8000, 2, 5, 1};
    wave = WriteWaveFile(file, 1, odd, &alert);
    EXPECT_EQ(Tail(wave, 44), (Bytes{0x02, 0x01, 0x04, 0x03, 0x05, 0x00}));
    DisposeHandle(wave);
    odd.byteCount = 6;  // one past the data
    EXPECT_EQ(WriteWaveFile(file, 1, odd, &alert), 0);
    EXPECT_EQ(alert, kAlertUnreadableSound);

    DisposeHandle(file);

    // Refusals: no channels, no bits, data past the file, odd rates (the walk's own: SoundImport_win_test).
    struct Refusal {
        Bytes format;
        uint64_t dataOffset;
        uint32_t alert;
    };
    const Refusal refusals[] = {
        {FormatChunk(1, 0, 8000, 8), 44, kAlertUnreadableSound},
        {FormatChunk(1, 1, 8000, 0), 44, kAlertUnreadableSound},
        {FormatChunk(1, 1, 8000, 8), 45, kAlertUnreadableSound},
        {FormatChunk(1, 1, 0, 8), 44, kAlertSoundFormatUnsupported},
        {FormatChunk(1, 1, 65536, 8), 44, kAlertSoundFormatUnsupported},
    };
    for (const Refusal& r : refusals) {
        file = Hold(Wave(1, 8000, 8, {}));
        EXPECT_EQ(ImportWaveChunks(file, r.format, r.dataOffset, 100, &alert), 0);
        EXPECT_EQ(alert, r.alert);
        DisposeHandle(file);
    }
}

TEST_F(SoundResources, AiffAndAuFilesImportAndBadOnesAreRefused) {
    // "FORM" at byte 7, a padded chunk before COMM, and samples after the SSND offset (4).
    uint32_t alert = 99;
    Handle file = Hold(Aiff("AIFF", nullptr, 1, 8, 4, {0x00, 0x7F, 0x80, 0xFF}));
    Handle sound = ImportAiffData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    Bytes stored = HandleToBytes(sound);
    EXPECT_EQ(GetBE32(stored, 36), 22050u << 16);
    EXPECT_EQ(Tail(sound, 50), (Bytes{0x80, 0xFF, 0x00, 0x7F}));  // signed made unsigned
    DisposeHandle(sound);

    file = Hold(Aiff("AIFC", "NONE", 2, 16, 0, {1, 2, 3, 4}));
    sound = ImportAiffData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    EXPECT_EQ(Tail(sound, 92), (Bytes{1, 2, 3, 4}));  // big-endian already
    DisposeHandle(sound);

    for (const char* compression : {"sowt", "ima4"}) {
        file = Hold(Aiff("AIFC", compression, 1, 16, 0, {1, 2}));
        EXPECT_EQ(ImportAiffData(file, &alert), 0);
        EXPECT_EQ(alert, kAlertSoundCompressed) << compression;
        DisposeHandle(file);
    }
    file = Hold(Aiff("AIFF", nullptr, 0, 8, 0, {1, 2}));
    EXPECT_EQ(ImportAiffData(file, &alert), 0);
    EXPECT_EQ(alert, kAlertUnreadableSound);
    DisposeHandle(file);

    // Mu-law: 0xFF and 0x7F are silence; an offset of 12 reads from byte 28.
    file = Hold(Au(12, 1, 8000, 1, {0xFF, 0x7F, 0x00, 0x80}));
    sound = ImportAuData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    EXPECT_NE(sound, file);
    EXPECT_EQ(Tail(sound, 50), (Bytes{128, 128, 5, 251}));
    DisposeHandle(sound);
    DisposeHandle(file);

    // Linear 8-bit made unsigned; 16-bit stays big-endian; trailing half frames dropped.
    file = Hold(Au(32, 2, 8000, 1, {0xE0, 0xE0, 0xE0, 0xE0, 0x00, 0x7F}));
    sound = ImportAuData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    EXPECT_EQ(Tail(sound, 50), (Bytes{0x80, 0xFF}));
    DisposeHandle(sound);
    file = Hold(Au(24, 3, 8000, 2, {1, 2, 3, 4, 5}));
    sound = ImportAuData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    EXPECT_EQ(Tail(sound, 92), (Bytes{1, 2, 3, 4}));
    DisposeHandle(sound);

    struct Refusal {
        Bytes file;
        uint32_t alert;
    };
    const Refusal refusals[] = {
        {Au(28, 27, 8000, 1, {1}), kAlertSoundFormatUnsupported},
        {Au(28, 2, 0, 1, {1}), kAlertSoundFormatUnsupported},
        {Au(28, 2, 70000, 1, {1}), kAlertSoundFormatUnsupported},
        {Au(28, 2, 8000, 0, {1}), kAlertUnreadableSound},
        {Au(29, 2, 8000, 1, {}), kAlertUnreadableSound},  // offset past the end
        {Au(28, 3, 8000, 1, {1}), kAlertUnreadableSound},  // no whole frame
        {Bytes(20, 0), kAlertUnreadableSound},
    };
    for (const Refusal& r : refusals) {
        file = Hold(r.file);
        EXPECT_EQ(ImportAuData(file, &alert), 0);
        EXPECT_EQ(alert, r.alert);
        EXPECT_EQ(HandleToBytes(file), r.file);
        DisposeHandle(file);
    }
}

TEST_F(SoundResources, StoredHeadersAreReadOnlyWhenUsable) {
    // Format 2: the header after 6 + 8 x commands bytes; the format word reversed still reads.
    Bytes two = {0, 2, 0, 0, 0, 1, 0x80, 0x51, 0, 0, 0, 0, 0, 14};
    Bytes header(22, 0);
    SetBE32(header, 4, 3);
    SetBE32(header, 8, 8000u << 16);
    two.insert(two.end(), header.begin(), header.end());
    Append(&two, {1, 2, 3});
    uint32_t alert = 99;
    SoundFormat format;
    Handle sound = Hold(two);
    EXPECT_EQ(ReadSndHeader(sound, &format, &alert), 36u);
    EXPECT_EQ(format.byteCount, 3u);
    EXPECT_EQ(format.sampleRate, 8000u);
    DisposeHandle(sound);

    // A compressed header is left to QuickTime.
    Handle file = Hold(Wave(1, 8000, 16, {1, 2, 3, 4}));
    sound = ImportWave(file, &alert);
    ASSERT_NE(sound, 0);
    DisposeHandle(file);
    {
        HandleLock lock(sound);
        lock.get()[28 + 20] = 0xFE;
    }
    EXPECT_EQ(ExportSoundToWave(sound, nullptr, &alert), 0);
    EXPECT_EQ(alert, kAlertUnreadableSound);
    {
        HandleLock lock(sound);
        lock.get()[28 + 20] = 0xFF;
        lock.get()[0] = 0x01;  // format word 0x0101
    }
    EXPECT_EQ(ExportSoundToWave(sound, nullptr, &alert), 0);
    {
        HandleLock lock(sound);
        lock.get()[0] = 0x01;
        lock.get()[1] = 0x00;  // 256: the bytes reversed
    }
    Handle wave = ExportSoundToWave(sound, nullptr, &alert);
    EXPECT_EQ(Tail(wave, 44), (Bytes{1, 2, 3, 4}));
    DisposeHandle(wave);
    DisposeHandle(sound);
}

}  // namespace
