// Media files written byte by byte.
#include "BuilderMedia.h"
#include "StackBuilder.h"

#include <cmath>
#include <string>

namespace stackbuilder {

void Tag(Bytes* b, const char (&s)[5]) {
    for (int i = 0; i < 4; ++i)
        b->push_back(uint8_t(s[i]));
}
void Be16(Bytes* b, uint32_t v) {
    b->push_back(uint8_t(v >> 8));
    b->push_back(uint8_t(v));
}
void Be32(Bytes* b, uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v);
}
void Le16(Bytes* b, uint32_t v) {
    b->push_back(uint8_t(v));
    b->push_back(uint8_t(v >> 8));
}
void Le32(Bytes* b, uint32_t v) {
    Le16(b, v);
    Le16(b, v >> 16);
}

namespace {
void PatchBe32(Bytes* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = uint8_t(v >> (24 - 8 * i));
}

// A whole-hertz rate as an 80-bit extended.
void Extended(Bytes* b, uint32_t rate) {
    if (rate == 0) {
        b->insert(b->end(), 10, 0);
        return;
    }
    int exponent = 16383 + 31;
    while (!(rate & 0x80000000u)) {
        rate <<= 1;
        --exponent;
    }
    Be16(b, uint32_t(exponent));
    Be32(b, rate);
    Be32(b, 0);
}

Bytes MidiChunk(const char (&id)[5], const Bytes& body) {
    Bytes b;
    Tag(&b, id);
    Be32(&b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

}  // namespace

std::vector<uint8_t> WaveFile(uint16_t channels, uint32_t rate, uint16_t bits, std::span<const uint8_t> samples) {
    const uint32_t align = bits / 8u * channels;
    Bytes b;
    Tag(&b, "RIFF");
    Le32(&b, uint32_t(36 + samples.size() + (samples.size() & 1)));
    Tag(&b, "WAVE");
    Tag(&b, "fmt ");
    Le32(&b, 16);
    Le16(&b, 1);
    Le16(&b, channels);
    Le32(&b, rate);
    Le32(&b, rate * align);
    Le16(&b, align);
    Le16(&b, bits);
    Tag(&b, "data");
    Le32(&b, uint32_t(samples.size()));
    b.insert(b.end(), samples.begin(), samples.end());
    if (samples.size() & 1)
        b.push_back(0);
    return b;
}

std::vector<uint8_t> AiffFile(bool aifc, const char (&compression)[5], uint16_t channels, uint32_t rate, uint16_t bits,
                              std::span<const uint8_t> samples, size_t junk) {
    Bytes b(junk, 'J');
    const size_t form = b.size();
    Tag(&b, "FORM");
    Be32(&b, 0);
    if (aifc)
        Tag(&b, "AIFC");
    else
        Tag(&b, "AIFF");
    Tag(&b, "COMM");
    Be32(&b, aifc ? 24 : 18);
    Be16(&b, channels);
    const uint32_t frameBytes = (bits + 7u) / 8u * channels;
    Be32(&b, frameBytes ? uint32_t(samples.size() / frameBytes) : 0);
    Be16(&b, bits);
    Extended(&b, rate);
    if (aifc) {
        Tag(&b, compression);
        b.push_back(1);  // the compression's name, one character
        b.push_back(' ');
    }
    Tag(&b, "SSND");
    Be32(&b, uint32_t(8 + samples.size()));
    Be32(&b, 0);
    Be32(&b, 0);
    b.insert(b.end(), samples.begin(), samples.end());
    if (samples.size() & 1)
        b.push_back(0);
    PatchBe32(&b, form + 4, uint32_t(b.size() - form - 8));
    return b;
}

std::vector<uint8_t> AuFile(uint32_t encoding, uint32_t rate, uint32_t channels, std::span<const uint8_t> samples) {
    Bytes b;
    Tag(&b, ".snd");
    Be32(&b, 28);
    Be32(&b, uint32_t(samples.size()));
    Be32(&b, encoding);
    Be32(&b, rate);
    Be32(&b, channels);
    Be32(&b, 0);  // an empty annotation
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

std::vector<uint8_t> StoredSound(uint32_t rate, std::span<const uint8_t> samples) {
    Bytes b;
    Be16(&b, 1);           // format 1
    Be16(&b, 1);           // one data format:
    Be16(&b, 5);           // sampled sound,
    Be32(&b, 0x80);        // mono
    Be16(&b, 1);           // one command:
    Be16(&b, 0x8051);      // the buffer command, its header at an offset
    Be16(&b, 0);
    Be32(&b, 20);          // the header follows
    Be32(&b, 0);           // samples in the resource
    Be32(&b, uint32_t(samples.size()));
    Be32(&b, rate << 16);  // fixed point
    Be32(&b, 0);           // no loop
    Be32(&b, 0);
    b.push_back(0);        // standard header
    b.push_back(60);       // base note
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

std::vector<uint8_t> ToneSamples() {
    Bytes samples(11025);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(128 + 100 * std::sin(2 * 3.14159265358979 * 440 * double(i) / 11025));
    return samples;
}

std::vector<uint8_t> TwoSecondMidiFile() {
    const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // 500000 us a quarter
                         0x8B, 0x20, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // +1440 ticks: 1000000
                         0x81, 0x70, 0xFF, 0x2F, 0x00};                   // +240: the end, at 1680
    const Bytes notes = {0x00, 0xC0, 40,                // violin on channel 1
                         0x00, 0xB0, 7, 100,            // its volume
                         0x00, 0x90, 60, 100,           // C4
                         0x83, 0x60, 0x80, 60, 64,      // +480 off
                         0x00, 0x90, 64, 90,            // E4
                         0x00, 0xF0, 0x02, 0x7E, 0xF7,  // a system exclusive in passing
                         0x83, 0x60, 64, 0,             // +480, running status: on at velocity 0
                         0x00, 0x99, 36, 80,            // a bass drum
                         0x83, 0x60, 0x89, 36, 0,       // +480
                         0x00, 0x90, 100, 70,           // above the pitches of a short note
                         0x81, 0x70, 0x80, 100, 0,      // +240
                         0x00, 0xFF, 0x2F, 0x00};
    Bytes header;
    Be16(&header, 1);
    Be16(&header, 2);
    Be16(&header, 480);
    Bytes b = MidiChunk("MThd", header);
    for (const Bytes* track : {&tempo, &notes}) {
        const Bytes c = MidiChunk("MTrk", *track);
        b.insert(b.end(), c.begin(), c.end());
    }
    return b;
}

std::vector<PieceNote> TwoSecondMidiNotes() {
    return {{0, 60, 0, 500, 100}, {0, 64, 500, 1000, 90}, {9, 36, 1000, 1500, 80}, {0, 100, 1500, 2000, 70}};
}

}  // namespace stackbuilder
