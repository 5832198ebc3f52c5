// The main window's close step stores 286 values one WriteSetting call at a time, each
// committed before the next; the program must still close without a noticeable pause.
#include "app/Settings.h"
#include "platform/RegistryStore.h"

#include <benchmark/benchmark.h>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

using ostrel::SettingValue;

struct CloseValue {
  QString name;
  SettingValue value;
};

// The names and kinds the close step writes: 11 per channel for 24 channels, then 22 more.
std::vector<CloseValue> CloseStepValues(int salt) {
  static const char* const kPerChannel[] = {"Level Delay",     "Level Speed",     "Level Decay",
                                            "Level NumPeaks",  "Level Sensi",     "Level Bar1Color",
                                            "Level Bar2Color", "Level Bar3Color", "Level Point1",
                                            "Level Point2",    "LedColor"};
  std::vector<CloseValue> out;
  for (int n = 1; n <= 24; ++n) {
    int i = 0;
    for (const char* prefix : kPerChannel)
      out.push_back({prefix + QString::number(n), std::int32_t(n * 1000 + ++i + salt)});
  }
  const auto integer = [&](std::int32_t v) { return SettingValue(std::int32_t(v + salt)); };
  const auto flag = [&](bool v) { return SettingValue(bool(v ^ (salt & 1))); };
  const CloseValue others[] = {
      {"rg Mode", integer(4)},
      {"Window Left", integer(10)},
      {"Window Top", integer(20)},
      {"Window height", integer(600)},
      {"Input Mode", integer(1200)},
      {"rg Meter", integer(1)},
      {"rg Integral ms", integer(0)},
      {"rg Integral", integer(0)},
      {"rg Stereo", integer(0)},
      {"Peaks nr", integer(3)},
      {"PSpot Space", integer(1)},
      {"Leave Peaks", flag(true)},
      {"Point1", integer(58)},
      {"Stay Top", flag(true)},
      {"nEdit2", integer(0)},
      {"cb detect", flag(false)},
      {"db_value2", integer(-40)},
      {"db_value", integer(0)},
      {"sec_value", integer(5)},
      {"rg Interval", integer(1)},
      {"arlam sec", integer(10)},
      {"arlam file", QString("/home/engineer/sounds/alarm %1.wav").arg(salt)},
  };
  out.insert(out.end(), std::begin(others), std::end(others));
  return out;
}

void RunCloseStep(const std::vector<CloseValue>& values) {
  for (const CloseValue& v : values)
    ostrel::WriteSetting(ostrel::HKEY_CURRENT_USER, ostrel::kProgramKey, v.name, v.value);
}

// A private settings folder for the duration of one benchmark or iteration.
class ConfigHome {
 public:
  ConfigHome() {
    ostrel::RegistryStore::ReleaseCurrentUser();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
  }
  ~ConfigHome() { ostrel::RegistryStore::ReleaseCurrentUser(); }

 private:
  QTemporaryDir dir_;
};

// First close ever: the store file does not exist and is created by the first write.
void BM_CloseStep_FreshStore(benchmark::State& state) {
  const auto values = CloseStepValues(0);
  for (auto _ : state) {
    state.PauseTiming();
    auto home = std::make_unique<ConfigHome>();
    state.ResumeTiming();
    RunCloseStep(values);
    state.PauseTiming();
    home.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(values.size()));
}
BENCHMARK(BM_CloseStep_FreshStore)->Unit(benchmark::kMillisecond)->UseRealTime();

// The usual close: every value exists and the store was opened by the reads at start.
void BM_CloseStep_FilledStore(benchmark::State& state) {
  ConfigHome home;
  RunCloseStep(CloseStepValues(0));
  int salt = 0;
  std::vector<CloseValue> values = CloseStepValues(++salt);
  for (auto _ : state) {
    RunCloseStep(values);
    state.PauseTiming();
    values = CloseStepValues(++salt);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(values.size()));
}
BENCHMARK(BM_CloseStep_FilledStore)->Unit(benchmark::kMillisecond)->UseRealTime();

// A filled store opened by the close step itself (open and integrity check included).
void BM_CloseStep_FilledStoreFirstOpen(benchmark::State& state) {
  ConfigHome home;
  RunCloseStep(CloseStepValues(0));
  int salt = 0;
  std::vector<CloseValue> values = CloseStepValues(++salt);
  for (auto _ : state) {
    state.PauseTiming();
    ostrel::RegistryStore::ReleaseCurrentUser();
    values = CloseStepValues(++salt);
    state.ResumeTiming();
    RunCloseStep(values);
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(values.size()));
}
BENCHMARK(BM_CloseStep_FilledStoreFirstOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
