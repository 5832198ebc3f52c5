#pragma once
// The processing chain: elements linked both ways by their Input and Output, the wave
// format that travels down the chain with every element keeping its own copy, the buffer
// notifications, and the chain walks a sound device uses to tell its chain about open,
// start, pause, restart, stop and close.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "metering/MMLevel.h"
#include "platform/WaveFormats.h"

namespace ostrel {

// ---- Wave-format records --------------------------------------------------------------------

struct WaveFormatDeleter {
  void operator()(TWaveFormatEx* p) const { ::operator delete(p); }
};
// An element's own copy of a format record, exactly as large as the record.
using PWaveFormat = std::unique_ptr<TWaveFormatEx, WaveFormatDeleter>;

// 18 for PCM, 18 + extra size otherwise.
int WaveFormatSize(const TWaveFormatEx& format);
// A copy of exactly WaveFormatSize bytes; PCM copies get extra size 0. Null for null.
PWaveFormat CopyWaveFormat(const TWaveFormatEx* format);
// PCM tag, 8 or 16 bits, 1, 2 or 4 channels, 4000 to 100000 Hz inclusive.
bool IsValidPCMFormat(const TWaveFormatEx* format);
// A PCM record from its three parameters (block align and byte rate derived).
TWaveFormatEx MakePCMFormat(int channels, int bitsPerSample, int sampleRate);
// The first 16 bytes, as display controls take them.
TPCMWaveFormat PCMPart(const TWaveFormatEx& format);

// ---- Component bases ----------------------------------------------------------------------

class TMMComponent : public QObject {
  Q_OBJECT
 public:
  explicit TMMComponent(QObject* owner = nullptr) : QObject(owner) {}
};

class TMMNonVisualComponent : public TMMComponent {
  Q_OBJECT
 public:
  using TMMComponent::TMMComponent;
};

class TMMCustomDSPComponent : public TMMNonVisualComponent {
  Q_OBJECT
 public:
  using TMMNonVisualComponent::TMMNonVisualComponent;
};

using TMMBufferEvent = std::function<void(QObject* Sender, TWaveHdr* header)>;
using TMMBufferLoadEvent = std::function<void(QObject* Sender, TWaveHdr* header, bool& more)>;

// ---- The chain element ---------------------------------------------------------------------

class TMMDSPComponent : public TMMCustomDSPComponent {
  Q_OBJECT
 public:
  static constexpr int kDefaultBufferSize = 2048;

  explicit TMMDSPComponent(QObject* owner = nullptr);
  ~TMMDSPComponent() override;

  // Every chain element that exists, in creation order (link changes are told to all).
  static const std::vector<TMMDSPComponent*>& ChainElements();

  // ---- Links ---------------------------------------------------------------------------------
  TMMDSPComponent* Input() const { return input_; }
  TMMDSPComponent* Output() const { return output_; }
  virtual void SetInput(TMMDSPComponent* element);
  virtual void SetOutput(TMMDSPComponent* element);
  // The element's property of that name ("Input" or "Output").
  TMMDSPComponent* LinkByName(const QString& name) const;
  // Whether the element publishes an Input / Output property, or carries the mark that
  // stands for it.
  virtual bool PublishesInput() const { return true; }
  virtual bool PublishesOutput() const { return true; }
  bool UseAsTarget = false;  // the marks; no element of this program sets them
  bool UseAsSource = false;
  // True for an element that is itself a sound device.
  virtual bool IsSoundDevice() const { return false; }

  // ---- Chain operations, in slot order -----------------------------------------------------
  virtual void UpdateFormat();
  virtual void LinkChanged(TMMDSPComponent* sender, bool outputSide, const QString& name);
  virtual void SetWaveFormat(const TWaveFormatEx* format);
  virtual const TWaveFormatEx* WaveFormat() const { return wfx_.get(); }
  virtual int BufferSize() const;
  virtual void SetBufferSize(int bytes);
  virtual void InputFormatChanged(const TWaveFormatEx* format);
  virtual void Opened();
  virtual void Closed();
  virtual void Started();
  virtual void Paused();
  virtual void Restarted();
  virtual void Stopped();
  virtual void Reset() {}
  virtual void Looped() {}
  virtual void BufferReady(TWaveHdr* header);
  virtual void BufferLoad(TWaveHdr* header, bool& more);
  virtual void SetInputLink(TMMDSPComponent* element, const QString& name);
  virtual void SetOutputLink(TMMDSPComponent* element, const QString& name);
  virtual bool CanConnectInput(TMMDSPComponent* element) const;
  virtual bool CanConnectOutput(TMMDSPComponent* element) const;

  // After the owner has applied its stored values: hands every format down once all links
  // exist.
  void Loaded();

  bool IsOpen() const { return open_; }
  bool IsStarted() const { return started_; }
  bool IsPaused() const { return paused_; }
  // Names of the partner's properties that point back here.
  const QString& InputPropertyName() const { return inputProperty_; }
  const QString& OutputPropertyName() const { return outputProperty_; }

  TMMBufferEvent OnBufferReady;
  TMMBufferLoadEvent OnBufferLoad;
  TMMBufferEvent OnBufferLoaded;  // after a load that produced recorded bytes

 protected:
  bool Destroying() const { return destroying_; }
  // The configured size, whatever the open state.
  int ConfiguredBufferSize() const { return bufferSize_; }
  // Open size for a configured size under the current format.
  int OpenSizeFor(int bytes) const;

  bool loading_ = false;

 private:
  static void Broadcast(TMMDSPComponent* sender, bool outputSide, const QString& name);

  TMMDSPComponent* input_ = nullptr;
  TMMDSPComponent* output_ = nullptr;
  QString inputProperty_;   // normally "Output": our input points back through it
  QString outputProperty_;  // normally "Input"
  PWaveFormat wfx_;
  int bufferSize_ = kDefaultBufferSize;
  int openSize_ = kDefaultBufferSize;
  bool open_ = false;
  bool started_ = false;
  bool paused_ = false;
  bool destroying_ = false;
};

// ---- Sound devices -------------------------------------------------------------------------

enum class TMMChainNotification { Opened, Closed, Started, Paused, Restarted, Stopped };

// An element that is itself a sound device: its notifications walk the chain around it.
class TMMCustomSoundComponent : public TMMDSPComponent {
  Q_OBJECT
 public:
  using TMMDSPComponent::TMMDSPComponent;

  bool IsSoundDevice() const override { return true; }
  // Recorded at Opened: another sound device lies upstream.
  bool SoundDeviceUpstream() const { return soundUpstream_; }

  void Opened() override;
  void Closed() override;
  void Started() override;
  void Paused() override;
  void Restarted() override;
  void Stopped() override;

 protected:
  // Tells the chain around this device of `note` (every element that is not a sound
  // device, up to and including the next sound device below), without this device's own
  // handling.
  void ChainWalk(TMMChainNotification note);

 private:
  static void Tell(TMMDSPComponent* element, TMMChainNotification note);

  bool soundUpstream_ = false;
};

}  // namespace ostrel
