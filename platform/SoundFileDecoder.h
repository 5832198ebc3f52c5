#pragma once
// Reads a sound file (WAV and whatever else libsndfile knows) into memory as float stereo,
// with limits so that a damaged or enormous file cannot eat the machine.

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/AudioSink.h"

namespace ostrel {

class SoundFileDecoder {
 public:
  // An alarm sound is a jingle; ten minutes or 200 MB of decoded samples is far beyond any.
  static constexpr std::int64_t kMaxSeconds = 600;
  static constexpr std::int64_t kMaxBytes = 200ll * 1024 * 1024;

  // The decoded sound, or null for anything that is not a regular readable sound file with
  // at least one frame, a sample rate of 1..768000 Hz and no more than the limits above.
  // Blocks while reading: call it off the GUI thread. Setting `cancel` ends the reading
  // early with a null result.
  static std::shared_ptr<const TDecodedSound> Decode(const QString& path,
                                                     const std::atomic<bool>* cancel = nullptr,
                                                     std::int64_t maxSeconds = kMaxSeconds,
                                                     std::int64_t maxBytes = kMaxBytes);
};

}  // namespace ostrel
