#pragma once
// The thirteen wave-in operations the capture component reaches the audio system through,
// in the order it binds them. Every operation returns 0 for success or a result code that
// waveInGetErrorText turns into a readable text (except the device count).
//
// Notifications: a real open posts an open notification to the target object, waveInClose
// posts a close notification, and every buffer the device gives back (filled, or returned
// by waveInStop / waveInReset) is posted as a data notification carrying its header. All of
// them arrive as TWaveInNotifyEvent on the target's (GUI) thread, in the order they
// happened, and never synchronously inside the call that caused them. Qt drops the events
// of a target that is destroyed.

#include <QEvent>
#include <QObject>

#include <cstdint>

#include "platform/WaveFormats.h"

namespace ostrel {

using MMRESULT = std::uint32_t;
using HWAVEIN = std::uintptr_t;  // 0 = no device handle

// Result codes of the bindings' own checks; a binding may add its own above 1000.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Texts of the codes above; nullptr for a code without one.
const char* StandardWaveInErrorText(MMRESULT code);

// waveInOpen flags.
inline constexpr std::uint32_t WAVE_FORMAT_QUERY = 0x1;

// Notification codes.
inline constexpr std::uint32_t WIM_OPEN = 958;
inline constexpr std::uint32_t WIM_CLOSE = 959;
inline constexpr std::uint32_t WIM_DATA = 960;

// Header flag the bindings keep while a buffer is queued at the device.
inline constexpr std::uint32_t WHDR_INQUEUE = 0x10;

class TWaveInNotifyEvent : public QEvent {
 public:
  TWaveInNotifyEvent(std::uint32_t msg, HWAVEIN handle, TWaveHdr* header)
      : QEvent(EventType()), msg(msg), handle(handle), header(header) {}
  static QEvent::Type EventType();

  const std::uint32_t msg;
  const HWAVEIN handle;
  TWaveHdr* const header;
};

// Posts one notification (GUI thread only; never from an audio callback).
void PostWaveInNotify(QObject* target, std::uint32_t msg, HWAVEIN handle, TWaveHdr* header);

class TWaveInTable {
 public:
  virtual ~TWaveInTable() = default;

  // Number of capture devices, numbered 0 .. count-1; -1 addresses the default device.
  virtual std::uint32_t waveInGetNumDevs() = 0;
  virtual MMRESULT waveInGetDevCaps(int device, TWaveInCaps* caps, std::uint32_t size) = 0;
  // Copies at most size-1 characters and a terminating 0; fails for a code without text.
  virtual MMRESULT waveInGetErrorText(MMRESULT code, char* text, std::uint32_t size) = 0;
  // With WAVE_FORMAT_QUERY only says whether `device` can record `format`.
  virtual MMRESULT waveInOpen(HWAVEIN* handle, int device, const TWaveFormatEx* format,
                              QObject* target, std::uint32_t flags) = 0;
  virtual MMRESULT waveInClose(HWAVEIN handle) = 0;
  virtual MMRESULT waveInPrepareHeader(HWAVEIN handle, TWaveHdr* header, std::uint32_t size);
  virtual MMRESULT waveInUnprepareHeader(HWAVEIN handle, TWaveHdr* header, std::uint32_t size);
  virtual MMRESULT waveInAddBuffer(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) = 0;
  virtual MMRESULT waveInStart(HWAVEIN handle) = 0;
  // Halts capture; queued buffers stay queued, a partly filled one comes back.
  virtual MMRESULT waveInStop(HWAVEIN handle) = 0;
  // Halts capture and gives every queued buffer back marked done.
  virtual MMRESULT waveInReset(HWAVEIN handle) = 0;
  // Bytes captured since the device was opened.
  virtual MMRESULT waveInGetPosition(HWAVEIN handle, std::uint32_t* bytes) = 0;
  virtual MMRESULT waveInGetID(HWAVEIN handle, std::uint32_t* device) = 0;

 protected:
  // For a binding's own waveInGetErrorText: copies `text`, cut to size-1 characters.
  static MMRESULT CopyErrorText(const char* text, char* out, std::uint32_t size);
};

}  // namespace ostrel
