#pragma once
// Signals with known answers, and MP3 files made from them with lame.
#include "audio/pcm_music.h"
#include "common/temp_folder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audiotest {

// Interleaved 16-bit samples of a sine (the same on every channel).
std::vector<std::int16_t> SineSamples(int rate, int channels, int frames, double frequency,
                                      double amplitude);

// Encodes samples with lame at the rate and channel count given; extra are
// further lame options such as "--add-id3v2 --tt Title". Fails the test if lame fails.
void EncodeMp3(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
               int channels, const std::string& extra = "");

// The 44-byte header of a 16-bit mono WAV whose data chunk claims dataBytes
// (0xFFFFFFFF for a stream of unknown length).
std::string MonoWavHeader(std::uint32_t rate, std::uint32_t dataBytes);

// A file of `bytes` bytes that takes no room on disk: head, then a hole. False
// when the file system cannot hold it.
bool WriteSparseFile(const std::string& path, const std::string& head, std::uint64_t bytes);

// Two sparse WAVs of three hours and a second of 1000 Hz mono: "told.wav" whose
// header tells that length, and "stream.wav" whose header does not. False when the
// file system cannot hold them.
bool WriteThreeHoursAndASecond(const std::string& folder);

// Decoded music made of the given samples.
songData::TPcmMusic MakeMusic(int rate, bool stereo, std::vector<std::int16_t> samples);
// A copy of the music to hand to the player, the analysers or the pitch worker.
std::shared_ptr<const songData::TPcmMusic> Shared(songData::TPcmMusic music);

} // namespace audiotest
