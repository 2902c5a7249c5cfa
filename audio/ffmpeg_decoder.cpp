#include "audio/ffmpeg_decoder.h"

#include "audio/music_length_limit.h"
#include "support/exceptions.h"
#include "support/file_io.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace MusicLoader {

namespace {

[[noreturn]] void FailDecoding(const std::string& reason) {
  throw MyServis::EError("Can't decode music: " + reason);
}

int Check(int result) {
  if (result >= 0) return result;
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(result, reason, sizeof reason);
  FailDecoding(reason);
}

template <typename T, void (*Free)(T**)> struct TFreeWith {
  void operator()(T* object) const { Free(&object); }
};
struct TFreeInput {
  void operator()(AVIOContext* io) const {
    // The reader may have replaced its buffer, so the one it holds now is freed.
    av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
using TInput = std::unique_ptr<AVIOContext, TFreeInput>;
using TFormat = std::unique_ptr<AVFormatContext, TFreeWith<AVFormatContext, avformat_close_input>>;
using TDecoder = std::unique_ptr<AVCodecContext, TFreeWith<AVCodecContext, avcodec_free_context>>;
using TResampler = std::unique_ptr<SwrContext, TFreeWith<SwrContext, swr_free>>;
using TPacket = std::unique_ptr<AVPacket, TFreeWith<AVPacket, av_packet_free>>;
using TFrame = std::unique_ptr<AVFrame, TFreeWith<AVFrame, av_frame_free>>;

// The whole file is read first, as for MP3, so file errors read the same
// whichever decoder runs; FFmpeg reads it from memory.
struct TMemoryFile {
  const std::string& Bytes;
  std::size_t Offset = 0;
};

int ReadMemory(void* opaque, std::uint8_t* buffer, int size) {
  auto& file = *static_cast<TMemoryFile*>(opaque);
  const std::size_t count =
      std::min(file.Bytes.size() - file.Offset, static_cast<std::size_t>(std::max(size, 0)));
  if (count == 0) return AVERROR_EOF;
  std::memcpy(buffer, file.Bytes.data() + file.Offset, count);
  file.Offset += count;
  return static_cast<int>(count);
}

std::int64_t SeekMemory(void* opaque, std::int64_t offset, int whence) {
  auto& file = *static_cast<TMemoryFile*>(opaque);
  const auto size = static_cast<std::int64_t>(file.Bytes.size());
  whence &= ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE) return size;
  std::int64_t base = 0;
  if (whence == SEEK_CUR)
    base = static_cast<std::int64_t>(file.Offset);
  else if (whence == SEEK_END)
    base = size;
  else if (whence != SEEK_SET)
    return AVERROR(EINVAL);
  if (offset < -base || offset > size - base) return AVERROR(EINVAL);
  file.Offset = static_cast<std::size_t>(base + offset);
  return base + offset;
}

constexpr std::size_t MostBytesPerAllocation = std::size_t(256) << 20;

TFormat OpenFormat(TMemoryFile& file, TInput& input) {
  static std::once_flag quiet;
  // Failures reach the user through the exception; FFmpeg's own log is noise.
  // Its readers allocate (and zero) what a tag chunk claims before reading it, so
  // a damaged file of a few bytes could take gigabytes; music needs no block this large.
  std::call_once(quiet, [] {
    av_log_set_level(AV_LOG_QUIET);
    av_max_alloc(MostBytesPerAllocation);
  });
  auto* buffer = static_cast<unsigned char*>(av_malloc(ProgressStepBytes));
  if (!buffer) FailDecoding("out of memory");
  input.reset(
      avio_alloc_context(buffer, ProgressStepBytes, 0, &file, ReadMemory, nullptr, SeekMemory));
  if (!input) {
    av_free(buffer);
    FailDecoding("out of memory");
  }
  AVFormatContext* format = avformat_alloc_context();
  if (!format) FailDecoding("out of memory");
  format->pb = input.get();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // On failure the context is freed by avformat_open_input itself.
  Check(avformat_open_input(&format, nullptr, nullptr, nullptr));
  TFormat owned(format);
  Check(avformat_find_stream_info(format, nullptr));
  return owned;
}

// The length the file tells; none when FFmpeg could only guess it from the bit rate.
std::optional<double> ToldSeconds(const AVFormatContext& format, const AVStream& stream) {
  if (format.duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return std::nullopt;
  if (stream.duration > 0) return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
  if (format.duration > 0) return static_cast<double>(format.duration) / AV_TIME_BASE;
  return std::nullopt;
}

TDecoder OpenDecoder(AVFormatContext* format, int& stream) {
  const AVCodec* codec = nullptr;
  stream = Check(av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0));
  TDecoder decoder(avcodec_alloc_context3(codec));
  if (!decoder) FailDecoding("out of memory");
  Check(avcodec_parameters_to_context(decoder.get(), format->streams[stream]->codecpar));
  // Decoders that can (FLAC among them) spread their work over every core.
  decoder->thread_count = 0;
  Check(avcodec_open2(decoder.get(), codec, nullptr));
  return decoder;
}

// Converts decoded frames to 16-bit interleaved at the first frame's rate,
// mono for mono music and stereo for anything else, up to the most seconds.
class TConverter {
public:
  TConverter(songData::TPcmMusic& music, std::size_t fileBytes, double mostSeconds)
      : Music_(music), FileBytes_(fileBytes), MostSeconds_(mostSeconds) {}
  ~TConverter() {
    av_channel_layout_uninit(&InLayout_);
    av_channel_layout_uninit(&OutLayout_);
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;

  void Add(const AVFrame& frame, std::int64_t durationMicroseconds) {
    if (Cut_) return;
    if (!Resampler_) Start(frame, durationMicroseconds);
    if (frame.format != InFormat_ || frame.sample_rate != InRate_ ||
        av_channel_layout_compare(&frame.ch_layout, &InLayout_) != 0) {
      // A chained stream changed its format: later parts are converted to the first one.
      Flush();
      Configure(frame);
    }
    Convert(const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
  }

  void Flush() {
    if (Resampler_ && !Cut_) Convert(nullptr, 0);
  }

  // True once the music reached the most seconds with more to come.
  bool Cut() const { return Cut_; }
  double DecodedSeconds() const {
    return Music_.SampleRate > 0 ? static_cast<double>(songData::Frames(Music_)) / Music_.SampleRate
                                 : 0.0;
  }

private:
  void Start(const AVFrame& frame, std::int64_t durationMicroseconds) {
    av_channel_layout_default(&OutLayout_, frame.ch_layout.nb_channels == 1 ? 1 : 2);
    Music_.SampleRate = frame.sample_rate;
    Music_.Stereo = OutLayout_.nb_channels == 2;
    // The container's length is a guess that a damaged file may inflate, so no
    // more is reserved than a low bit rate could hold in a file of this size.
    // A second more than the container says: codec padding may run past its length,
    // and growing a buffer of minutes at the very end would copy all of it. The
    // limit holds for that second too, as a damaged header may give any rate.
    constexpr std::int64_t MostFramesPerByte = 48;
    const std::int64_t mostFrames = MusicLoader::MostFrames(MostSeconds_, frame.sample_rate);
    MostSamples_ = static_cast<std::size_t>(mostFrames * OutLayout_.nb_channels);
    const std::int64_t frames = std::min<std::int64_t>(
        {std::max<std::int64_t>(av_rescale(durationMicroseconds, frame.sample_rate, AV_TIME_BASE),
                                0) +
             frame.sample_rate,
         static_cast<std::int64_t>(FileBytes_) * MostFramesPerByte, mostFrames});
    Music_.Samples.reserve(static_cast<std::size_t>(frames * OutLayout_.nb_channels));
  }

  void Configure(const AVFrame& frame) {
    av_channel_layout_uninit(&InLayout_);
    // Channels without named positions are taken in the usual order, so they can be mixed down.
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&InLayout_, frame.ch_layout.nb_channels);
    else
      Check(av_channel_layout_copy(&InLayout_, &frame.ch_layout));
    SwrContext* resampler = nullptr;
    Check(swr_alloc_set_opts2(&resampler, &OutLayout_, AV_SAMPLE_FMT_S16, Music_.SampleRate,
                              &InLayout_, static_cast<AVSampleFormat>(frame.format),
                              frame.sample_rate, 0, nullptr));
    Resampler_.reset(resampler);
    Check(swr_init(resampler));
    // Compared against the frame's own layout, before the order was filled in.
    av_channel_layout_uninit(&InLayout_);
    Check(av_channel_layout_copy(&InLayout_, &frame.ch_layout));
    InFormat_ = frame.format;
    InRate_ = frame.sample_rate;
  }

  // Converted into a small buffer that stays in cache and appended from there,
  // so the music's memory is written once instead of zeroed first.
  void Convert(const std::uint8_t** in, int frames) {
    const int room = Check(swr_get_out_samples(Resampler_.get(), frames));
    if (room == 0) return;
    const auto channels = static_cast<std::size_t>(OutLayout_.nb_channels);
    if (Scratch_.size() < static_cast<std::size_t>(room) * channels)
      Scratch_.resize(static_cast<std::size_t>(room) * channels);
    auto* out = reinterpret_cast<std::uint8_t*>(Scratch_.data());
    const int made = Check(swr_convert(Resampler_.get(), &out, room, in, frames));
    std::size_t count = static_cast<std::size_t>(made) * channels;
    if (Music_.Samples.size() + count > MostSamples_) {
      count = MostSamples_ - Music_.Samples.size();
      Cut_ = true;
    }
    Music_.Samples.insert(Music_.Samples.end(), Scratch_.begin(),
                          Scratch_.begin() + static_cast<std::ptrdiff_t>(count));
  }

  songData::TPcmMusic& Music_;
  std::size_t FileBytes_;
  double MostSeconds_;
  std::size_t MostSamples_ = 0; // known with the first frame
  bool Cut_ = false;
  TResampler Resampler_;
  std::vector<std::int16_t> Scratch_;
  AVChannelLayout InLayout_{};
  AVChannelLayout OutLayout_{};
  int InFormat_ = AV_SAMPLE_FMT_NONE;
  int InRate_ = 0;
};

} // namespace

TDecodeOutcome DecodeWithFfmpeg(const std::string& path, const TDecodeOptions& options,
                                songData::TPcmMusic& music) {
  const std::string bytes = MyServis::ReadFileBytes(path, MostMusicFileBytes);
  TMemoryFile file{bytes};
  TInput input;
  TFormat format = OpenFormat(file, input);
  int stream = 0;
  TDecoder decoder = OpenDecoder(format.get(), stream);
  const std::optional<double> told = ToldSeconds(*format, *format->streams[stream]);
  if (told && *told > options.MostSeconds) RefuseLongMusic(options.MostSeconds);
  TPacket packet(av_packet_alloc());
  TFrame frame(av_frame_alloc());
  if (!packet || !frame) FailDecoding("out of memory");

  songData::TPcmMusic decoded;
  TConverter converter(decoded, bytes.size(), options.MostSeconds);
  auto receiveFrames = [&] {
    for (;;) {
      const int result = avcodec_receive_frame(decoder.get(), frame.get());
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
      Check(result);
      converter.Add(*frame, format->duration);
      av_frame_unref(frame.get());
    }
  };
  float fraction = 0.0f;
  std::size_t reportedSteps = 0, reportedMusicSteps = 0;
  while (!converter.Cut()) {
    const int read = av_read_frame(format.get(), packet.get());
    if (read == AVERROR_EOF) break;
    Check(read);
    if (packet->stream_index == stream) {
      // A damaged packet is dropped, as the MP3 decoder skips a damaged frame.
      const int sent = avcodec_send_packet(decoder.get(), packet.get());
      if (sent != AVERROR_INVALIDDATA) Check(sent);
      receiveFrames();
    }
    // The packet's own place tells how far through the file decoding is, even
    // when the container's index at the end was read first.
    const std::size_t consumed =
        packet->pos >= 0 ? static_cast<std::size_t>(packet->pos + packet->size) : file.Offset;
    av_packet_unref(packet.get());
    const auto musicSteps =
        static_cast<std::size_t>(converter.DecodedSeconds() / ProgressStepSeconds);
    bool due = musicSteps > reportedMusicSteps;
    reportedMusicSteps = musicSteps;
    if (consumed / ProgressStepBytes > reportedSteps && consumed <= bytes.size()) {
      reportedSteps = consumed / ProgressStepBytes;
      fraction = static_cast<float>(static_cast<double>(consumed) / bytes.size());
      due = true;
    }
    if (due && options.Progress && !options.Progress(fraction))
      return {.Cancelled = true, .Notice = {}};
  }
  if (!converter.Cut()) {
    Check(avcodec_send_packet(decoder.get(), nullptr));
    receiveFrames();
    converter.Flush();
  }
  if (decoded.Samples.empty()) FailDecoding("no audio in the file");
  music = std::move(decoded);
  TDecodeOutcome outcome;
  if (converter.Cut()) outcome.Notice = CutMusicNotice(options.MostSeconds);
  return outcome;
}

} // namespace MusicLoader
