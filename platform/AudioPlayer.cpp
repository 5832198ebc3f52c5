#include "platform/AudioPlayer.h"

#include <QMetaObject>

#include "platform/PortAudioSink.h"
#include "platform/SoundFileDecoder.h"

namespace ostrel {

TMMAudioPlayer::TMMAudioPlayer(QObject* parent, std::shared_ptr<TAudioSink> sink)
    : QObject(parent), sink_(sink ? std::move(sink) : std::make_shared<PortAudioSink>()) {}

TMMAudioPlayer::~TMMAudioPlayer() {
  if (stop_) stop_->store(true);
  JoinWorker();
}

void TMMAudioPlayer::SetFileName(const QString& name) {
  fileName_ = name;
}

void TMMAudioPlayer::SetDeviceID(int id) {
  deviceId_ = id < -1 ? -1 : id;
}

void TMMAudioPlayer::SetSink(std::shared_ptr<TAudioSink> sink) {
  sink_ = sink ? std::move(sink) : std::make_shared<PortAudioSink>();
}

void TMMAudioPlayer::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void TMMAudioPlayer::Play() {
  if (playing_ || fileName_.isEmpty()) return;
  // The previous worker has already reported its end; it is at most returning.
  JoinWorker();
  playing_ = true;
  const unsigned session = ++session_;
  stop_ = std::make_shared<std::atomic<bool>>(false);
  worker_ = std::thread(
      [this, session, path = fileName_, device = deviceId_, sink = sink_, stop = stop_] {
        bool played = false;
        if (auto sound = SoundFileDecoder::Decode(path, stop.get()); sound && !stop->load())
          played = sink->Play(device, *sound, *stop);
        // The destructor joins this thread before the object goes, so `this` is alive here;
        // the queued call runs on the GUI thread.
        QMetaObject::invokeMethod(
            this, [this, session, played] { Finished(session, played); }, Qt::QueuedConnection);
      });
}

void TMMAudioPlayer::Stop() {
  if (playing_ && stop_) stop_->store(true);
}

void TMMAudioPlayer::Finished(unsigned session, bool played) {
  if (session != session_ || !playing_) return;
  playing_ = false;
  if (!played) return;
  if (OnStop) OnStop();
  emit Stopped();
}

}  // namespace ostrel
