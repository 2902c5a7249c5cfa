#include "audio/music_loader.h"

#include "audio/ffmpeg_decoder.h"
#include "audio/mp3_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace MusicLoader {

bool LooksLikeMp3(const std::string& head) {
  if (head.size() >= 3 && head.compare(0, 3, "ID3") == 0) return true;
  if (head.size() < 3) return false;
  const auto b1 = static_cast<unsigned char>(head[1]);
  const auto b2 = static_cast<unsigned char>(head[2]);
  // Frame sync, a valid version and a layer: layer 0 is AAC in ADTS, which FFmpeg reads.
  const bool sync = static_cast<unsigned char>(head[0]) == 0xFF && (b1 & 0xE0) == 0xE0;
  const bool version = ((b1 >> 3) & 3) != 1;
  const bool layer = ((b1 >> 1) & 3) != 0;
  const bool bitRate = (b2 >> 4) != 0xF;
  const bool sampleRate = ((b2 >> 2) & 3) != 3;
  return sync && version && layer && bitRate && sampleRate;
}

namespace {

// The first bytes of a regular file, else none. Opened without blocking, so that
// a FIFO goes on at once to the decoder, which refuses it.
std::string FileHead(const std::string& path) {
  std::string head(4, '\0');
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat st {};
  const ssize_t got =
      ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ::read(fd, head.data(), head.size()) : 0;
  ::close(fd);
  head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return head;
}

} // namespace

TDecodeOutcome DecodeMusic(const std::string& path, const TDecodeOptions& options,
                           songData::TPcmMusic& music) {
  // A file that cannot be read goes on to FFmpeg's loader, which reports why.
  const TDecodeOutcome outcome = LooksLikeMp3(FileHead(path))
                                     ? MP3Loader::DecodeMp3(path, options, music)
                                     : DecodeWithFfmpeg(path, options, music);
  // The decoders report what they consumed; the whole file is consumed now.
  if (!outcome.Cancelled && options.Progress) options.Progress(1.0f);
  return outcome;
}

} // namespace MusicLoader
