#include "audio/mp3_loader.h"

#include "audio/music_length_limit.h"
#include "support/exceptions.h"
#include "support/file_io.h"

#include <cstring>
#include <memory>
#include <mpg123.h>
#include <mutex>
#include <sys/mman.h>

namespace MP3Loader {

namespace {

constexpr std::size_t MinimumFileBytes = 522;

using THandle = std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)>;

[[noreturn]] void FailDecoding(const std::string& reason) {
  throw MyServis::EError("Can't decode MP3: " + reason);
}

THandle OpenDecoder() {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  THandle handle(mpg123_new(nullptr, &error), &mpg123_delete);
  if (!handle) FailDecoding(mpg123_plain_strerror(error));
  mpg123_handle* mh = handle.get();
  // Signed 16-bit at whatever rate and channel count the file has; trim the
  // encoder's delay and padding where the file's info frame gives them.
  // Stray bytes before the first frame, however many, are skipped by resyncing.
  if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0) != MPG123_OK ||
      mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0) != MPG123_OK ||
      mpg123_format_none(mh) != MPG123_OK)
    FailDecoding(mpg123_strerror(mh));
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i)
    if (mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
      FailDecoding(mpg123_strerror(mh));
  if (mpg123_open_feed(mh) != MPG123_OK) FailDecoding(mpg123_strerror(mh));
  return handle;
}

// A long song's samples fill tens of megabytes; faulting them in as huge
// pages costs a fraction of doing it page by page.
void AdviseHugePages(void* data, std::size_t bytes) {
  constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + huge - 1) & ~(huge - 1);
  const std::uintptr_t last = (start + bytes) & ~(huge - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

struct TDecodeTarget {
  explicit TDecodeTarget(double mostSeconds) : MostSeconds(mostSeconds) {}
  songData::TPcmMusic Music;
  long Rate = 0;
  int Channels = 0;
  double MostSeconds;
  std::size_t MostSamples = 0; // known with the format
  bool Cut = false;            // the file holds more than MostSamples
};

void TakeFormat(mpg123_handle* mh, TDecodeTarget& target, std::size_t fileBytes) {
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK)
    FailDecoding(mpg123_strerror(mh));
  if (target.Channels == 0) {
    target.Rate = rate;
    target.Channels = channels;
    // The info frame usually gives the exact length; otherwise guess from the size.
    // A damaged info frame may claim any length, so no claim beyond what the
    // lowest bit rate could hold in a file of this size is believed.
    constexpr std::size_t MostFramesPerByte = 48;
    const off_t claimed = mpg123_length(mh);
    const std::size_t believed =
        claimed > 0 ? std::min(static_cast<std::size_t>(claimed), fileBytes * MostFramesPerByte)
                    : 0;
    const auto mostFrames = static_cast<std::size_t>(
        MusicLoader::MostFrames(target.MostSeconds, static_cast<int>(rate)));
    if (believed > mostFrames && believed == static_cast<std::size_t>(claimed))
      MusicLoader::RefuseLongMusic(target.MostSeconds);
    target.MostSamples = mostFrames * static_cast<std::size_t>(channels);
    const std::size_t expected =
        std::min(claimed > 0 ? believed * static_cast<std::size_t>(channels) : fileBytes * 12,
                 target.MostSamples);
    target.Music.Samples.reserve(expected);
    AdviseHugePages(target.Music.Samples.data(), expected * sizeof(std::int16_t));
    // Frames of another rate or channel count later in the file come out
    // converted to this first format, so the whole file decodes.
    if (mpg123_format_none(mh) != MPG123_OK ||
        mpg123_format(mh, rate, channels == 2 ? MPG123_STEREO : MPG123_MONO,
                      MPG123_ENC_SIGNED_16) != MPG123_OK)
      FailDecoding(mpg123_strerror(mh));
  } else if (rate != target.Rate || channels != target.Channels) {
    FailDecoding("the sample format changes inside the file");
  }
}

// Decodes every frame the input fed so far completes, up to the most samples.
void DrainFrames(mpg123_handle* mh, TDecodeTarget& target, std::size_t fileBytes) {
  while (!target.Cut) {
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    std::size_t bytes = 0;
    int result = mpg123_decode_frame(mh, &frameNumber, &audio, &bytes);
    if (result == MPG123_NEW_FORMAT) {
      TakeFormat(mh, target, fileBytes);
      continue;
    }
    if (result == MPG123_NEED_MORE || result == MPG123_DONE) return;
    if (result != MPG123_OK) FailDecoding(mpg123_strerror(mh));
    if (bytes == 0) continue;
    std::vector<std::int16_t>& samples = target.Music.Samples;
    std::size_t count = bytes / sizeof(std::int16_t);
    std::size_t at = samples.size();
    if (at + count > target.MostSamples) {
      count = target.MostSamples - at;
      target.Cut = true;
    }
    samples.resize(at + count);
    std::memcpy(samples.data() + at, audio, count * sizeof(std::int16_t));
  }
}

} // namespace

MusicLoader::TDecodeOutcome DecodeMp3(const std::string& path,
                                      const MusicLoader::TDecodeOptions& options,
                                      songData::TPcmMusic& music) {
  const std::string file = MyServis::ReadFileBytes(path, MusicLoader::MostMusicFileBytes);
  if (file.size() < MinimumFileBytes) throw MyServis::EError("Invalid MP3 file");

  THandle handle = OpenDecoder();
  mpg123_handle* mh = handle.get();
  TDecodeTarget target(options.MostSeconds);
  const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
  for (std::size_t offset = 0; offset < file.size() && !target.Cut; offset += DecodeChunkBytes) {
    std::size_t piece = std::min(DecodeChunkBytes, file.size() - offset);
    if (mpg123_feed(mh, bytes + offset, piece) != MPG123_OK) FailDecoding(mpg123_strerror(mh));
    DrainFrames(mh, target, file.size());
    const auto fraction = static_cast<float>(static_cast<double>(offset + piece) / file.size());
    if (options.Progress && !options.Progress(fraction)) return {.Cancelled = true, .Notice = {}};
  }
  // Frames held back for the gapless end come out once the input is known to end.
  if (mpg123_set_filesize(mh, static_cast<off_t>(file.size())) != MPG123_OK)
    FailDecoding(mpg123_strerror(mh));
  DrainFrames(mh, target, file.size());

  if (target.Channels == 0 || target.Music.Samples.empty())
    throw MyServis::EError("Invalid MP3 file");
  target.Music.SampleRate = static_cast<std::int32_t>(target.Rate);
  target.Music.Stereo = target.Channels == 2;
  // Only a poor guess of the length leaves much unused room worth a copy.
  if (target.Music.Samples.capacity() >
      target.Music.Samples.size() + target.Music.Samples.size() / 4)
    target.Music.Samples.shrink_to_fit();
  music = std::move(target.Music);
  MusicLoader::TDecodeOutcome outcome;
  if (target.Cut) outcome.Notice = MusicLoader::CutMusicNotice(options.MostSeconds);
  return outcome;
}

} // namespace MP3Loader
