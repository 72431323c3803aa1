// Stored sounds ('Snd ' resources) and the sound files they come from and go to: WAV, AIFF/AIFC
// and AU files converted into the stored form, and stored sounds written out as WAV files.
// Every count from a file or a stack is checked against the bytes there are.
//
//   SndResource.cpp       the stored header built and read; WAV files written
//   SoundImport.cpp       AIFF/AIFC and AU files, and a WAV file once its chunks are found
//   SoundImport_win.cpp   WAV files walked with the multimedia file services; the alerts shown
//   ImportSoundFile_win.cpp  a sound file located, read and converted by its extension
//
// The platform-free functions give back the alert a failure calls for (0 none) instead of
// showing it; the same names without that argument (the _win files) show it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "core/memory/Handles.h"
#include "media/elements/StoredSound.h"  // kAlertUnreadableSound (2390)

inline constexpr uint32_t kAlertSoundFormatUnsupported = 2255;  // not PCM, an odd rate or encoding
inline constexpr uint32_t kAlertSoundNoMemory = 2391;
inline constexpr uint32_t kAlertSoundCompressed = 2392;  // AIFC compression other than 'NONE'
inline constexpr uint32_t kStringFindSound = 2414;       // "Please find the sound named: "
inline constexpr uint32_t kStringSoundFilter = 4009;     // "Sounds "

// What passes between the readers and the writers.
struct SoundFormat {
    uint16_t bitsPerSample = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;  // whole hertz
    uint32_t frames = 0;
    uint32_t byteCount = 0;
    uint32_t bigEndian = 0;   // 1 when samples wider than a byte lie most significant byte first

    uint32_t BlockAlign() const { return uint32_t{bitsPerSample} / 8 * channels; }
};

inline constexpr uint32_t kStandardSndHeader = 50;  // 8-bit mono
inline constexpr uint32_t kExtendedSndHeader = 92;  // everything else
inline constexpr uint32_t kWaveHeader = 44;

// ---- SndResource.cpp ----
uint32_t SndHeaderLength(const SoundFormat& format);
// The alert a format calls for before it can be stored (0 when it can): no channels or bits
// 2390, widths above 32 bits and rates of 0 or above 65535 Hz (16.16 cannot hold them) 2255,
// no whole frame 2390.
uint32_t CheckSoundFormat(const SoundFormat& format);
// The 'Snd ' resource of the PCM data at dataOffset (format.byteCount bytes): in the handle
// itself when it has room (then cut to the resource's size), else in a new handle, the source
// left as it was.
Handle BuildSndResource(Handle data, uint32_t dataOffset, const SoundFormat& format, uint32_t* alert);
// The offset of the samples of a stored sound and their format (big-endian), 0 when the sound
// cannot be used (compressed, or counts past the data).
uint32_t ReadSndHeader(Handle sound, SoundFormat* format, uint32_t* alert);
// A new handle holding a whole WAV file of the samples at dataOffset; big-endian samples are
// turned to little-endian, sample by sample. An odd byte count gets RIFF's pad byte.
Handle WriteWaveFile(Handle data, uint32_t dataOffset, const SoundFormat& format, uint32_t* alert);
// ReadSndHeader then WriteWaveFile; the format copied out when asked for.
Handle ExportSoundToWave(Handle sound, SoundFormat* format, uint32_t* alert);

// A new handle of total bytes that fill writes from the source, both locked meanwhile; 0 with
// the no-memory alert (nothing left made) when either cannot be had.
Handle FillNewSoundHandle(Handle source, uint64_t total, uint32_t* alert,
                          const std::function<void(HandleLock& from, HandleLock& to)>& fill);

// Reverses the bytes of every whole sample of 16 bits or more (little- to big-endian and back).
void ReverseSampleBytes(std::span<uint8_t> samples, uint16_t bitsPerSample);

// ---- SoundImport.cpp ----
// A whole file in a handle converted; the result is that handle or a new one (the caller
// disposes of the file's handle when they differ).
Handle ImportAiffData(Handle file, uint32_t* alert);
Handle ImportAuData(Handle file, uint32_t* alert);
// A WAV file once its "fmt " chunk is read and its "data" chunk found.
Handle ImportWaveChunks(Handle file, std::span<const uint8_t> formatChunk, uint64_t dataOffset, uint64_t dataSize,
                        uint32_t* alert);
// An AU mu-law byte as an 8-bit unsigned sample.
uint8_t MuLawToUnsigned8(uint8_t byte);

// ---- SoundImport_win.cpp ----
Handle ImportWaveData(Handle file, uint32_t* alert);
// The functions above with their alerts shown.
Handle BuildSndResource(Handle data, uint32_t dataOffset, const SoundFormat& format);
uint32_t ReadSndHeader(Handle sound, SoundFormat* format);
Handle WriteWaveFile(Handle data, uint32_t dataOffset, const SoundFormat& format);
Handle ExportSoundToWave(Handle sound, SoundFormat* format);
Handle ImportWaveData(Handle file);
Handle ImportAiffData(Handle file);
Handle ImportAuData(Handle file);

// ---- ImportSoundFile_win.cpp ----
// The sound file remembered at that path, found where it went (prompt 2414, the sound filters):
// its path into found (size bytes).
bool LocateSoundPath(const char* remembered, char* found, int size);
// The sound file named by the slot, located (the slot then names the found file) and converted
// by its extension: "wav", "aif", "au" to 'Snd ' data, "mid" to 'Midi' data. 0 on failure, the
// read's error shown when showError is set.
Handle ImportSoundFile(int slot, bool showError);
// The same for the file remembered at a path: where it was found goes into found (size bytes,
// empty when it was not); here: looked for on this machine even while the stack is remote.
Handle ImportSoundPath(const char* remembered, char* found, int size, bool here, bool showError);
