#pragma once
// The wave-output device list: PortAudio's output-capable devices in its order, device -1
// being its default output. Used to fill the output list of the input setup and by the
// alarm sound player.

#include <QString>

namespace ostrel {

class WaveOutDevices {
 public:
  // Number of output devices; 0 when PortAudio cannot start.
  static int Count();
  // Name of device 0 .. Count()-1, or of the default device for -1; empty when there is
  // no such device.
  static QString Name(int device);
  // PortAudio device index of a device number (-1 = default); -1 when there is none.
  static int PaDevice(int device);
};

}  // namespace ostrel
