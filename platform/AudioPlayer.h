#pragma once
// The alarm sound player: plays one sound file to a wave-output device and reports the end
// of playing. Decoding and the output run on a worker thread, so a slow, damaged or huge
// file never holds up the GUI; every notification arrives on the GUI thread.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "platform/AudioSink.h"

namespace ostrel {

class TMMAudioPlayer : public QObject {
  Q_OBJECT
 public:
  // Without a sink the player plays through PortAudio.
  explicit TMMAudioPlayer(QObject* parent = nullptr, std::shared_ptr<TAudioSink> sink = nullptr);
  ~TMMAudioPlayer() override;

  // The file Play plays; a change takes effect at the next Play.
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& name);
  // Output device: -1 the system's default, 0.. the wave-output devices in their list order.
  // Values below -1 become -1. A change takes effect at the next Play.
  int DeviceID() const { return deviceId_; }
  void SetDeviceID(int id);

  // True from Play until the end of playing has been reported (or the file or device
  // turned out unusable).
  bool Playing() const { return playing_; }

  // Plays the file from its start. Does nothing while playing or without a file name. A
  // file that cannot be decoded or a device that cannot be opened plays nothing, and no
  // stop event follows.
  void Play();
  // Ends playing early; the stop event follows as at the end of the sound.
  void Stop();

  // The output; replaceable for tests. Takes effect at the next Play.
  void SetSink(std::shared_ptr<TAudioSink> sink);

  // Runs on the GUI thread once per play that reached the device, when it has ended.
  std::function<void()> OnStop;

 signals:
  void Stopped();

 private:
  void Finished(unsigned session, bool played);
  void JoinWorker();

  QString fileName_;
  int deviceId_ = -1;
  bool playing_ = false;
  unsigned session_ = 0;
  std::shared_ptr<TAudioSink> sink_;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::thread worker_;
};

}  // namespace ostrel
