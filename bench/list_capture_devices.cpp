// Lists the capture devices in the order the program numbers them (PortAudio's
// input-capable devices), one name per line, so scripts can find a device's number.
#include "platform/PortAudioWaveIn.h"
#include "platform/WaveFormats.h"
#include "platform/WaveInTable.h"

#include <cstdio>
#include <cstring>

int main() {
  ostrel::PortAudioWaveIn table;
  const unsigned count = table.waveInGetNumDevs();
  for (unsigned i = 0; i < count; ++i) {
    ostrel::TWaveInCaps caps{};
    if (table.waveInGetDevCaps(int(i), &caps, sizeof caps) == ostrel::MMSYSERR_NOERROR)
      std::printf("%.*s\n", int(strnlen(caps.szPname, sizeof caps.szPname)), caps.szPname);
    else
      std::printf("\n");
  }
  return 0;
}
