#pragma once
// Sound files written by the tests themselves, and an output that records what it is given.

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/AudioSink.h"

namespace ostrel::test {

// A 16-bit PCM WAV with the given interleaved samples; true when written.
inline bool WriteWav(const QString& path, int channels, int rate,
                     const std::vector<short>& samples) {
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = rate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!f) return false;
  const sf_count_t frames = sf_count_t(samples.size()) / channels;
  const bool ok = sf_writef_short(f, samples.data(), frames) == frames;
  sf_close(f);
  return ok;
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the GUI thread's events until `done` holds; false if it did not within five seconds
// (only a broken player ever gets near that).
inline bool PumpUntil(const std::function<bool()>& done) {
  QDeadlineTimer deadline(5000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// An output device that keeps each sound it is given and plays it until the test says the
// sound has ended (Finish) or the player asks it to stop.
class FakeSink : public TAudioSink {
 public:
  bool Play(int deviceId, const TDecodedSound& sound, const std::atomic<bool>& stop) override {
    std::unique_lock lock(mutex_);
    devices_.push_back(deviceId);
    sounds_.push_back(sound);
    if (refuse_) return false;
    playing_ = true;
    changed_.notify_all();
    // The player's stop request is a plain flag: look at it every few milliseconds.
    while (!finish_ && !stop.load()) changed_.wait_for(lock, std::chrono::milliseconds(5));
    sawStop_ = stop.load();
    finish_ = false;
    playing_ = false;
    changed_.notify_all();
    return true;
  }

  // Lets the current sound end as if it had played to its end.
  void Finish() {
    std::lock_guard lock(mutex_);
    finish_ = true;
    changed_.notify_all();
  }
  // Waits (on the test thread) until a sound is playing; false after five seconds.
  bool WaitPlaying() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return playing_; });
  }
  void SetRefuse(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_ = refuse;
  }
  int Plays() {
    std::lock_guard lock(mutex_);
    return int(sounds_.size());
  }
  TDecodedSound Sound(int i) {
    std::lock_guard lock(mutex_);
    return sounds_.at(std::size_t(i));
  }
  int Device(int i) {
    std::lock_guard lock(mutex_);
    return devices_.at(std::size_t(i));
  }
  bool SawStop() {
    std::lock_guard lock(mutex_);
    return sawStop_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TDecodedSound> sounds_;
  std::vector<int> devices_;
  bool playing_ = false, finish_ = false, refuse_ = false, sawStop_ = false;
};

}  // namespace ostrel::test
