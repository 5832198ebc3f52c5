#pragma once
// Everything a test needs before it creates and shows the program's windows: a private,
// empty settings store in which the input setup counts as confirmed (so showing the main
// window does not stop in the modal setup window), and simulated capture devices, so that
// no test depends on a sound card.

#include "app/Settings.h"
#include "audio/MMWavIn.h"
#include "platform/SimulatedWaveIn.h"
#include "platform/SqlProbe.h"

#include <memory>

namespace ostrel::test {

class ProgramTestEnv {
 public:
  explicit ProgramTestEnv(bool setupConfirmed = true) {
    TMMWaveIn::SetDefaultPlatform(sim);
    if (setupConfirmed) WriteBool(QStringLiteral("is Sound"), true);
  }
  ~ProgramTestEnv() { TMMWaveIn::SetDefaultPlatform(nullptr); }
  ProgramTestEnv(const ProgramTestEnv&) = delete;
  ProgramTestEnv& operator=(const ProgramTestEnv&) = delete;

  ScopedConfigHome home;
  std::shared_ptr<SimulatedWaveIn> sim = std::make_shared<SimulatedWaveIn>();
};

}  // namespace ostrel::test
