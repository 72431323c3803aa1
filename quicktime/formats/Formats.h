// The media formats the QuickTime stand-in reads and writes, and which the plug-in's own sound
// code shares: platform-free, bounded against any bytes, each with a fuzz target. The stand-in
// library compiles this folder in beside quicktime/dll/.
//
//   SoundFiles.h   WAV, AIFF/AIFC and AU files to wave samples; WAV files written
//   MovieFile.h    movie file atoms: tracks, media, sample descriptions and tables, 'ctyp';
//                  movie files written with one chunk a track
//   SoundTrack.h   sound descriptions and sound tracks as wave samples
//   MidiFile.h     standard MIDI files read and written; the tempo map
//   MusicTrack.h   music media events; music tracks to MIDI messages; the 'Midi' conversions
//   VideoFrames.h  image descriptions; 'raw ' and 'rle ' video samples into 32-bit frames
#pragma once

#include "quicktime/formats/MidiFile.h"
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/MusicTrack.h"
#include "quicktime/formats/SoundFiles.h"
#include "quicktime/formats/SoundTrack.h"
#include "quicktime/formats/VideoFrames.h"
