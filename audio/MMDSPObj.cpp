#include "audio/MMDSPObj.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ostrel {

namespace {
const QString kInput = QStringLiteral("Input");
const QString kOutput = QStringLiteral("Output");
// A walk longer than this would mean a loop slipped past the link checks.
constexpr int kMaxChainLength = 4096;

std::vector<TMMDSPComponent*>& Elements() {
  static std::vector<TMMDSPComponent*> elements;
  return elements;
}
}  // namespace

// ---- Wave-format records --------------------------------------------------------------------

int WaveFormatSize(const TWaveFormatEx& format) {
  return format.wFormatTag == WAVE_FORMAT_PCM ? int(sizeof(TWaveFormatEx))
                                              : int(sizeof(TWaveFormatEx)) + format.cbSize;
}

PWaveFormat CopyWaveFormat(const TWaveFormatEx* format) {
  if (!format) return nullptr;
  const int size = WaveFormatSize(*format);
  PWaveFormat copy(static_cast<TWaveFormatEx*>(::operator new(std::size_t(size))));
  std::memcpy(copy.get(), format, std::size_t(size));
  if (copy->wFormatTag == WAVE_FORMAT_PCM) copy->cbSize = 0;
  return copy;
}

bool IsValidPCMFormat(const TWaveFormatEx* f) {
  return f && f->wFormatTag == WAVE_FORMAT_PCM &&
         (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) &&
         (f->nChannels == 1 || f->nChannels == 2 || f->nChannels == 4) &&
         f->nSamplesPerSec >= 4000 && f->nSamplesPerSec <= 100000;
}

TWaveFormatEx MakePCMFormat(int channels, int bitsPerSample, int sampleRate) {
  TWaveFormatEx f;
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = std::uint16_t(channels);
  f.nSamplesPerSec = std::uint32_t(sampleRate);
  f.wBitsPerSample = std::uint16_t(bitsPerSample);
  f.nBlockAlign = std::uint16_t(channels * bitsPerSample / 8);
  f.nAvgBytesPerSec = std::uint32_t(f.nBlockAlign) * f.nSamplesPerSec;
  f.cbSize = 0;
  return f;
}

TPCMWaveFormat PCMPart(const TWaveFormatEx& format) {
  TPCMWaveFormat pcm;
  pcm.wFormatTag = format.wFormatTag;
  pcm.nChannels = format.nChannels;
  pcm.nSamplesPerSec = format.nSamplesPerSec;
  pcm.nAvgBytesPerSec = format.nAvgBytesPerSec;
  pcm.nBlockAlign = format.nBlockAlign;
  pcm.wBitsPerSample = format.wBitsPerSample;
  return pcm;
}

// ---- TMMDSPComponent ------------------------------------------------------------------------

TMMDSPComponent::TMMDSPComponent(QObject* owner) : TMMCustomDSPComponent(owner) {
  Elements().push_back(this);
}

TMMDSPComponent::~TMMDSPComponent() {
  destroying_ = true;
  // The survivors forget us (the framework's removal notice).
  if (output_ && output_->input_ == this) {
    output_->input_ = nullptr;
    output_->inputProperty_.clear();
  }
  if (input_ && input_->output_ == this) {
    input_->output_ = nullptr;
    input_->outputProperty_.clear();
  }
  input_ = output_ = nullptr;
  wfx_.reset();
  std::erase(Elements(), this);
}

const std::vector<TMMDSPComponent*>& TMMDSPComponent::ChainElements() {
  return Elements();
}

TMMDSPComponent* TMMDSPComponent::LinkByName(const QString& name) const {
  if (name.compare(kInput, Qt::CaseInsensitive) == 0) return input_;
  if (name.compare(kOutput, Qt::CaseInsensitive) == 0) return output_;
  return nullptr;
}

bool TMMDSPComponent::CanConnectOutput(TMMDSPComponent* b) const {
  if (!b || b == this) return false;
  if (!b->PublishesInput() && !b->UseAsTarget) return false;
  int steps = 0;
  for (const TMMDSPComponent* e = input_; e && steps < kMaxChainLength; e = e->input_, ++steps)
    if (e == b) return false;  // would close a loop
  return true;
}

bool TMMDSPComponent::CanConnectInput(TMMDSPComponent* b) const {
  if (!b || b == this) return false;
  if (!b->PublishesOutput() && !b->UseAsSource) return false;
  int steps = 0;
  for (const TMMDSPComponent* e = output_; e && steps < kMaxChainLength; e = e->output_, ++steps)
    if (e == b) return false;
  return true;
}

void TMMDSPComponent::Broadcast(TMMDSPComponent* sender, bool outputSide, const QString& name) {
  // Copy: a handler may create or destroy elements.
  const std::vector<TMMDSPComponent*> all = Elements();
  for (TMMDSPComponent* e : all)
    if (std::find(Elements().begin(), Elements().end(), e) != Elements().end())
      e->LinkChanged(sender, outputSide, name);
}

void TMMDSPComponent::LinkChanged(TMMDSPComponent* sender, bool outputSide, const QString& name) {
  if (outputSide) {
    if (sender && sender == input_ && inputProperty_.compare(name, Qt::CaseInsensitive) == 0 &&
        sender->LinkByName(name) == this)
      SetInputLink(nullptr, QString());
  } else {
    if (sender && sender == output_ && outputProperty_.compare(name, Qt::CaseInsensitive) == 0 &&
        sender->LinkByName(name) == this)
      SetOutputLink(nullptr, QString());
  }
}

void TMMDSPComponent::SetInputLink(TMMDSPComponent* element, const QString& name) {
  input_ = element;
  inputProperty_ = element ? name : QString();
}

void TMMDSPComponent::SetOutputLink(TMMDSPComponent* element, const QString& name) {
  output_ = element;
  outputProperty_ = element ? name : QString();
}

void TMMDSPComponent::SetOutput(TMMDSPComponent* b) {
  if (b == output_) return;
  if (b && !CanConnectOutput(b)) return;
  Stopped();
  if (TMMDSPComponent* c = output_) {
    Broadcast(this, true, kOutput);  // c drops its input link to us
    c->InputFormatChanged(nullptr);
    SetOutputLink(nullptr, QString());
  }
  if (!b) return;
  Broadcast(b, false, kInput);  // b's old input drops its output link
  SetOutputLink(b, kInput);
  b->SetInputLink(this, kOutput);
  UpdateFormat();
}

void TMMDSPComponent::SetInput(TMMDSPComponent* b) {
  if (b == input_) return;
  if (b && !CanConnectInput(b)) return;
  Stopped();
  if (input_) {
    Broadcast(this, false, kInput);  // the old input drops its output link to us
    InputFormatChanged(nullptr);
    SetInputLink(nullptr, QString());
  }
  if (!b) return;
  Broadcast(b, true, kOutput);  // b's old output drops its input link
  SetInputLink(b, kOutput);
  b->SetOutputLink(this, kInput);
  UpdateFormat();
}

void TMMDSPComponent::UpdateFormat() {
  if (input_)
    InputFormatChanged(input_->WaveFormat());
  else if (output_)
    output_->InputFormatChanged(WaveFormat());
}

void TMMDSPComponent::InputFormatChanged(const TWaveFormatEx* format) {
  SetWaveFormat(format);
}

void TMMDSPComponent::SetWaveFormat(const TWaveFormatEx* format) {
  if (format != wfx_.get()) {
    if (started_) Stopped();
    wfx_ = CopyWaveFormat(format);
  }
  if (!loading_ && !destroying_ && output_) output_->InputFormatChanged(wfx_.get());
}

void TMMDSPComponent::Loaded() {
  loading_ = false;
  SetWaveFormat(wfx_.get());
}

int TMMDSPComponent::OpenSizeFor(int bytes) const {
  if (!wfx_ || wfx_->nBlockAlign == 0) return bytes;
  const int align = wfx_->nBlockAlign;
  return std::max(bytes - bytes % align, align);
}

int TMMDSPComponent::BufferSize() const {
  return open_ ? openSize_ : bufferSize_;
}

void TMMDSPComponent::SetBufferSize(int bytes) {
  if (bytes == bufferSize_) return;
  if (started_) Stopped();
  bufferSize_ = bytes;
}

void TMMDSPComponent::Opened() {
  openSize_ = OpenSizeFor(bufferSize_);
  open_ = true;
  started_ = false;
  paused_ = false;
}

void TMMDSPComponent::Closed() {
  open_ = false;
}

void TMMDSPComponent::Started() {
  if (open_) started_ = true;
}

void TMMDSPComponent::Paused() {
  paused_ = true;
}

void TMMDSPComponent::Restarted() {
  paused_ = false;
}

void TMMDSPComponent::Stopped() {
  started_ = false;
  paused_ = false;
}

void TMMDSPComponent::BufferReady(TWaveHdr* header) {
  if (OnBufferReady) OnBufferReady(this, header);
  if (output_) output_->BufferReady(header);
}

void TMMDSPComponent::BufferLoad(TWaveHdr* header, bool& more) {
  if (OnBufferLoad) OnBufferLoad(this, header, more);
  if (input_) input_->BufferLoad(header, more);
  if (header && header->dwBytesRecorded > 0 && OnBufferLoaded) OnBufferLoaded(this, header);
}

// ---- TMMCustomSoundComponent ----------------------------------------------------------------

void TMMCustomSoundComponent::Tell(TMMDSPComponent* e, TMMChainNotification note) {
  switch (note) {
    case TMMChainNotification::Opened:
      e->Opened();
      break;
    case TMMChainNotification::Closed:
      e->Closed();
      break;
    case TMMChainNotification::Started:
      e->Started();
      break;
    case TMMChainNotification::Paused:
      e->Paused();
      break;
    case TMMChainNotification::Restarted:
      e->Restarted();
      break;
    case TMMChainNotification::Stopped:
      e->Stopped();
      break;
  }
}

void TMMCustomSoundComponent::ChainWalk(TMMChainNotification note) {
  // Start at the top of the chain, unless another sound device lies upstream: that one
  // tells the elements between us itself.
  TMMDSPComponent* top = this;
  bool soundUpstream = false;
  int steps = 0;
  for (TMMDSPComponent* e = Input(); e && steps < kMaxChainLength; e = e->Input(), ++steps) {
    if (e->IsSoundDevice()) {
      soundUpstream = true;
      break;
    }
    top = e;
  }
  TMMDSPComponent* start = soundUpstream ? this : top;
  if (note == TMMChainNotification::Opened) soundUpstream_ = soundUpstream;

  const bool closing =
      note == TMMChainNotification::Closed || note == TMMChainNotification::Stopped;
  if (closing) {
    // The next sound device below hears it first.
    steps = 0;
    for (TMMDSPComponent* e = Output(); e && steps < kMaxChainLength; e = e->Output(), ++steps)
      if (e->IsSoundDevice()) {
        Tell(e, note);
        break;
      }
  }
  bool belowUs = false;
  steps = 0;
  for (TMMDSPComponent* e = start; e && steps < kMaxChainLength; e = e->Output(), ++steps) {
    if (e == this) {
      belowUs = true;
      continue;
    }
    if (e->IsSoundDevice()) {
      if (!belowUs) continue;
      if (!closing) {
        if (note == TMMChainNotification::Opened) e->SetBufferSize(BufferSize());
        Tell(e, note);
      }
      break;
    }
    if (note == TMMChainNotification::Opened) e->SetBufferSize(BufferSize());
    Tell(e, note);
  }
}

void TMMCustomSoundComponent::Opened() {
  ChainWalk(TMMChainNotification::Opened);
  TMMDSPComponent::Opened();
}

void TMMCustomSoundComponent::Closed() {
  ChainWalk(TMMChainNotification::Closed);
  TMMDSPComponent::Closed();
}

void TMMCustomSoundComponent::Started() {
  ChainWalk(TMMChainNotification::Started);
  TMMDSPComponent::Started();
}

void TMMCustomSoundComponent::Paused() {
  ChainWalk(TMMChainNotification::Paused);
  TMMDSPComponent::Paused();
}

void TMMCustomSoundComponent::Restarted() {
  ChainWalk(TMMChainNotification::Restarted);
  TMMDSPComponent::Restarted();
}

void TMMCustomSoundComponent::Stopped() {
  ChainWalk(TMMChainNotification::Stopped);
  TMMDSPComponent::Stopped();
}

}  // namespace ostrel
