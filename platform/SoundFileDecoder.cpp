#include "platform/SoundFileDecoder.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ostrel {

namespace {
constexpr int kMaxRate = 768000;
constexpr sf_count_t kChunkFrames = 4096;

struct SndFileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
}  // namespace

std::shared_ptr<const TDecodedSound> SoundFileDecoder::Decode(const QString& path,
                                                              const std::atomic<bool>* cancel,
                                                              std::int64_t maxSeconds,
                                                              std::int64_t maxBytes) {
  if (path.isEmpty()) return nullptr;
  const QByteArray native = QFile::encodeName(path);
  // Only regular files: opening a FIFO or a device node could block the reader for ever.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::path(native.toStdString()), ec))
    return nullptr;

  SF_INFO info{};
  std::unique_ptr<SNDFILE, SndFileCloser> file(sf_open(native.constData(), SFM_READ, &info));
  if (!file || info.channels < 1 || info.samplerate < 1 || info.samplerate > kMaxRate ||
      info.frames < 1)
    return nullptr;
  const std::int64_t maxFrames = std::min<std::int64_t>(maxSeconds * info.samplerate,
                                                        maxBytes / std::int64_t(2 * sizeof(float)));
  if (info.frames > maxFrames) return nullptr;

  auto sound = std::make_shared<TDecodedSound>();
  sound->sampleRate = info.samplerate;
  sound->samples.reserve(std::size_t(info.frames) * 2);
  std::vector<float> chunk(std::size_t(kChunkFrames) * std::size_t(info.channels));
  std::int64_t total = 0;
  while (total < info.frames) {
    if (cancel && cancel->load()) return nullptr;
    const sf_count_t want = std::min<sf_count_t>(kChunkFrames, info.frames - total);
    const sf_count_t got = sf_readf_float(file.get(), chunk.data(), want);
    if (got <= 0) break;  // a truncated file plays what could be read
    for (sf_count_t f = 0; f < got; ++f) {
      const float* frame = chunk.data() + f * info.channels;
      // Mono goes to both sides; more than two channels keep the front pair.
      sound->samples.push_back(frame[0]);
      sound->samples.push_back(info.channels > 1 ? frame[1] : frame[0]);
    }
    total += got;
  }
  if (total == 0) return nullptr;
  return sound;
}

}  // namespace ostrel
