#include "platform/WaveOutDevices.h"

#include <portaudio.h>

#include <vector>

#include "platform/PortAudioSystem.h"

namespace ostrel {

namespace {
std::vector<int> OutputDevices() {
  std::vector<int> devices;
  if (!PortAudioSystem::Acquire()) return devices;
  const int count = Pa_GetDeviceCount();
  for (int i = 0; i < count; ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info && info->maxOutputChannels > 0) devices.push_back(i);
  }
  return devices;
}
}  // namespace

int WaveOutDevices::Count() {
  return int(OutputDevices().size());
}

int WaveOutDevices::PaDevice(int device) {
  if (!PortAudioSystem::Acquire()) return -1;
  if (device == -1) {
    const PaDeviceIndex d = Pa_GetDefaultOutputDevice();
    return d == paNoDevice ? -1 : d;
  }
  const auto devices = OutputDevices();
  return device >= 0 && device < int(devices.size()) ? devices[device] : -1;
}

QString WaveOutDevices::Name(int device) {
  const int pa = PaDevice(device);
  const PaDeviceInfo* info = pa >= 0 ? Pa_GetDeviceInfo(pa) : nullptr;
  return info ? QString::fromLocal8Bit(info->name) : QString();
}

}  // namespace ostrel
