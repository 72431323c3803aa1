// Arbitrary bytes as a WAV, AIFF or AU file: the samples lie inside the file in whole frames,
// the wave samples match the frames counted, and what is written as a WAV reads back the same.
#include <vector>

#include "quicktime/formats/SoundFiles.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 16))
        return 0;
    const std::span<const uint8_t> file(data, size);
    SoundFileInfo info;
    if (ReadSoundFile(file, &info) != SoundRefusal::None)
        return 0;
    FuzzCheck(info.data.empty() || (info.data.data() >= data && info.data.data() + info.data.size() <= data + size));
    FuzzCheck(info.BytesPerFrame() > 0 && info.data.size() == size_t{info.frames} * info.BytesPerFrame());
    const WavePcm pcm = ToWavePcm(info);
    FuzzCheck(pcm.frames == info.frames &&
              pcm.samples.size() == size_t{pcm.frames} * pcm.bitsPerSample / 8 * pcm.channels);
    const std::vector<uint8_t> wave = WaveFileOf(pcm);
    SoundFileInfo again;
    FuzzCheck(ReadWaveFile(wave, &again) == SoundRefusal::None);
    const WavePcm back = ToWavePcm(again);
    FuzzCheck(back.samples == pcm.samples && back.sampleRate == pcm.sampleRate && back.channels == pcm.channels);
    return 0;
}
