// Whole-display load: the real main window with all 24 meters fed a moving signal at 1000
// readings per second each (one 50-frame block per millisecond, as the connectors deliver
// them), with no audio device involved. Runs for the given seconds, then prints how often
// the screen was repainted. CPU is measured from outside (see display_load.sh).
#include "app/Settings.h"
#include "app/uInfo.h"
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "audio/MMWavIn.h"
#include "audio/uMultimode.h"
#include "metering/MMLevel.h"
#include "platform/RadioGroup.h"
#include "platform/SimulatedWaveIn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Counts the paints a meter receives: each is one copy of its bar to the screen.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
  using namespace ostrel;
  // No capture devices and no first-start setup window: only the display is measured.
  TMMWaveIn::SetDefaultPlatform(std::make_shared<SimulatedWaveIn>());
  WriteBool(QStringLiteral("is Sound"), true);
  CreateWindowSet();
  FrmInfo->hide();
  fMain->Timer1->stop();
  fmulti->rg_mode->SetItemIndex(4);  // 24 channels in view
  fMain->move(0, 0);
  fMain->show();

  std::array<TMMLevel*, 25> meters{};  // looked up once, as the connectors hold their meters
  for (int n = 1; n <= 24; ++n) meters[n] = fMain->Level(n);
  PaintCounter counter;
  fMain->Level(1)->installEventFilter(&counter);

  // One block of 50 stereo frames per reading: a 1 kHz tone whose level sweeps up and down
  // over two seconds, different in phase per channel pair so the bars move independently.
  constexpr int kFrames = 50;
  std::array<std::int16_t, kFrames * 2> block{};
  std::array<double, kFrames> tone{};  // one period of the tone per block: cheap to scale
  for (int i = 0; i < kFrames; ++i) tone[i] = std::sin(2 * M_PI * i / kFrames);
  QElapsedTimer clock;
  clock.start();
  std::int64_t readingsDone = 0;
  int firstPaints = 0;
  bool warm = false;
  QElapsedTimer measured;

  QTimer feeder;
  feeder.setTimerType(Qt::PreciseTimer);
  QObject::connect(&feeder, &QTimer::timeout, [&] {
    const std::int64_t due = clock.nsecsElapsed() / 1000000;  // one reading per ms
    for (; readingsDone < due; ++readingsDone) {
      for (int pair = 0; pair < 12; ++pair) {
        const double t = readingsDone / 1000.0 + pair * 0.17;
        const double envelope = 0.5 + 0.5 * std::sin(t * M_PI);  // 2 s sweep
        const double left = 32000.0 * envelope * envelope;
        const double right = left * 0.6;
        for (int i = 0; i < kFrames; ++i) {
          block[2 * i] = std::int16_t(left * tone[i]);
          block[2 * i + 1] = std::int16_t(right * tone[i]);
        }
        meters[2 * pair + 1]->FeedData(block.data());
        meters[2 * pair + 2]->FeedData(block.data());
      }
    }
    if (!warm && clock.elapsed() > 2000) {
      warm = true;
      firstPaints = counter.paints;
      measured.start();
    }
  });
  feeder.start(1);
  // Two seconds to warm up, the measured span, and slack for the outside sampler.
  QTimer::singleShot(int(seconds * 1000 + 4000), &app, &QCoreApplication::quit);
  QApplication::exec();

  const double secs = measured.elapsed() / 1000.0;
  std::printf("readings per meter per second: %.0f\n", readingsDone / (clock.elapsed() / 1000.0));
  std::printf("Level1 repaints per second: %.1f\n", (counter.paints - firstPaints) / secs);
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::strncmp(line, "VmRSS:", 6) == 0) std::printf("resident memory:%s", line + 6);
    std::fclose(f);
  }
  DestroyWindowSet();
  return 0;
}
