#include "platform/WaveInTable.h"

#include <QCoreApplication>

#include <cstring>

namespace ostrel {

const char* StandardWaveInErrorText(MMRESULT code) {
  switch (code) {
    case MMSYSERR_NOERROR:
      return "The command was carried out.";
    case MMSYSERR_ERROR:
      return "Undefined external error.";
    case MMSYSERR_BADDEVICEID:
      return "A device ID has been used that is out of range for your system.";
    case MMSYSERR_ALLOCATED:
      return "The specified device is already in use.";
    case MMSYSERR_INVALHANDLE:
      return "The device handle is invalid.";
    case MMSYSERR_NODRIVER:
      return "The device is no longer available.";
    case MMSYSERR_NOMEM:
      return "Not enough memory available for this task.";
    case MMSYSERR_NOTSUPPORTED:
      return "This function is not supported.";
    case MMSYSERR_INVALPARAM:
      return "An invalid parameter was passed to a system function.";
    case WAVERR_BADFORMAT:
      return "The specified format is not supported or cannot be translated.";
    case WAVERR_STILLPLAYING:
      return "Cannot perform this operation while media data is still playing.";
    case WAVERR_UNPREPARED:
      return "The wave header was not prepared.";
    default:
      return nullptr;
  }
}

QEvent::Type TWaveInNotifyEvent::EventType() {
  static const auto type = QEvent::Type(QEvent::registerEventType());
  return type;
}

void PostWaveInNotify(QObject* target, std::uint32_t msg, HWAVEIN handle, TWaveHdr* header) {
  if (target) QCoreApplication::postEvent(target, new TWaveInNotifyEvent(msg, handle, header));
}

MMRESULT TWaveInTable::waveInPrepareHeader(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) {
  if (handle == 0) return MMSYSERR_INVALHANDLE;
  if (!header || size < kWaveHdrBaseSize || !header->Data()) return MMSYSERR_INVALPARAM;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT TWaveInTable::waveInUnprepareHeader(HWAVEIN handle, TWaveHdr* header, std::uint32_t size) {
  if (handle == 0) return MMSYSERR_INVALHANDLE;
  if (!header || size < kWaveHdrBaseSize) return MMSYSERR_INVALPARAM;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT TWaveInTable::CopyErrorText(const char* text, char* out, std::uint32_t size) {
  if (!text) return MMSYSERR_BADERRNUM;
  if (!out || size == 0) return MMSYSERR_INVALPARAM;
  std::strncpy(out, text, size - 1);
  out[size - 1] = 0;
  return MMSYSERR_NOERROR;
}

}  // namespace ostrel
