// End to end through the real PortAudio -> ALSA path with no sound card: an ALSA "file"
// device (null slave) plays a raw stereo sine that the test writes itself. ALSA reads its
// configuration once per process, so this runs in its own test program and points
// ALSA_CONFIG_PATH at a self-contained configuration before PortAudio starts.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "audio/MMConect.h"
#include "audio/MMWavIn.h"
#include "metering/MMLevel.h"
#include "platform/PortAudioSystem.h"
#include "platform/PortAudioWaveIn.h"
#include "platform/WaveOutDevices.h"

namespace ostrel {
namespace {

constexpr int kRate = 48000;
constexpr int kLeftAmplitude = 16000;
constexpr int kRightAmplitude = 8000;
const char* const kDeviceName = "ostrel_sine";

// 3 kHz at 48 kHz: 16 samples a period, so any 16 consecutive samples hold the exact peak
// (sin(pi/2) = 1 at sample 4 of each period), even where ALSA repeats the file's last
// period after its end.
std::vector<std::int16_t> StereoSine(int seconds) {
  std::vector<std::int16_t> samples(std::size_t(kRate) * seconds * 2);
  for (std::size_t n = 0; n < samples.size() / 2; ++n) {
    const double s = std::sin(2.0 * M_PI * double(n % 16) / 16.0);
    samples[2 * n] = std::int16_t(std::lround(kLeftAmplitude * s));
    samples[2 * n + 1] = std::int16_t(std::lround(kRightAmplitude * s));
  }
  return samples;
}

class RealAudio : public ::testing::Test {
 protected:
  static inline QTemporaryDir* dir = nullptr;
  static inline std::string startupOutput;

  static void SetUpTestSuite() {
    dir = new QTemporaryDir;
    const QString raw = dir->filePath("sine.raw");
    const auto samples = StereoSine(20);
    QFile f(raw);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(samples.data()), qint64(samples.size() * 2));
    f.close();
    const QString conf = dir->filePath("asound.conf");
    QFile c(conf);
    ASSERT_TRUE(c.open(QIODevice::WriteOnly | QIODevice::Text));
    c.write(QStringLiteral("pcm.%1 {\n"
                           "  type file\n"
                           "  slave.pcm { type null }\n"
                           "  file \"/dev/null\"\n"
                           "  infile \"%2\"\n"
                           "  format \"raw\"\n"
                           "}\n"
                           "pcm.!default %1\n")
                .arg(QString::fromLatin1(kDeviceName), raw)
                .toUtf8());
    c.close();
    ::setenv("ALSA_CONFIG_PATH", conf.toLocal8Bit().constData(), 1);

    // Start PortAudio with stderr caught, to see what it prints.
    const QString log = dir->filePath("stderr.txt");
    const int saved = ::dup(2);
    const int fd = ::open(log.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 2);
    const bool up = PortAudioSystem::Acquire();
    PortAudioWaveIn::Shared()->waveInGetNumDevs();
    ::fflush(stderr);
    ::dup2(saved, 2);
    ::close(fd);
    ::close(saved);
    QFile l(log);
    if (l.open(QIODevice::ReadOnly)) startupOutput = l.readAll().toStdString();
    ASSERT_TRUE(up) << "PortAudio error " << PortAudioSystem::InitError();
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }

  static int SineDevice(TWaveInTable& table) {
    const int count = int(table.waveInGetNumDevs());
    for (int d = 0; d < count; ++d) {
      TWaveInCaps caps{};
      if (table.waveInGetDevCaps(d, &caps, sizeof caps) == MMSYSERR_NOERROR &&
          std::string(caps.szPname) == kDeviceName)
        return d;
    }
    return -1;
  }
};

TEST_F(RealAudio, StartUpPrintsNoAlsaOrJackNoise) {
  EXPECT_EQ(startupOutput, "");
}

TEST_F(RealAudio, DevicesAreListedAsPortAudioReportsThem) {
  auto pa = PortAudioWaveIn::Shared();
  ASSERT_GE(SineDevice(*pa), 0);
  TWaveInCaps caps{};
  ASSERT_EQ(pa->waveInGetDevCaps(SineDevice(*pa), &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_NE(caps.dwFormats & WAVE_FORMAT_4S16, 0u);  // 44100 Hz 16-bit stereo
  TWaveInCaps def{};
  EXPECT_EQ(pa->waveInGetDevCaps(-1, &def, sizeof def), MMSYSERR_NOERROR);
  EXPECT_EQ(pa->waveInGetDevCaps(int(pa->waveInGetNumDevs()), &def, sizeof def),
            MMSYSERR_BADDEVICEID);
  char text[256];
  EXPECT_EQ(pa->waveInGetErrorText(PortAudioWaveIn::kPaErrorBase + 9996, text, 255),
            MMSYSERR_NOERROR);
  EXPECT_STREQ(text, "Invalid device");
  // The file device plays too, so the output list has it.
  EXPECT_GE(WaveOutDevices::Count(), 1);
  EXPECT_FALSE(WaveOutDevices::Name(-1).isEmpty());
}

TEST_F(RealAudio, ASineOnInputOneMovesItsMetersAndAnInputWithoutDeviceStaysStill) {
  struct Pair {
    std::unique_ptr<TMMWaveIn> wave = std::make_unique<TMMWaveIn>();
    TMMConnector conn;
    TMMLevel left, right;
    Pair() {
      wave->SetMode(mStereo);
      wave->SetBitLength(b16Bit);
      wave->SetSampleRate(kRate);
      wave->SetNumBuffers(2);
      left.SetChannel(chLeft);
      right.SetChannel(chRight);
      wave->SetOutput(&conn);
      conn.SetEnterIdle(false);
      conn.SetLevel1(&left);
      conn.SetLevel2(&right);
    }
  };
  Pair one, two;
  const int device = SineDevice(*one.wave->Platform());
  ASSERT_GE(device, 0);
  one.wave->SetDeviceID(device);
  two.wave->SetDeviceID(two.wave->NumDevs());  // no such device
  ASSERT_EQ(two.wave->DeviceID(), InvalidId);

  try {
    one.wave->Start();
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
  EXPECT_THROW(two.wave->Start(), EMMWaveInError);  // the program swallows this

  // A bound on the wait, not a timing check: the readings come as fast as the loop runs.
  QDeadlineTimer limit(20000);
  while (!limit.hasExpired() &&
         (one.left.BlockPeak() != kLeftAmplitude || one.right.BlockPeak() != kRightAmplitude))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

  EXPECT_EQ(one.left.BlockPeak(), kLeftAmplitude);
  EXPECT_EQ(one.right.BlockPeak(), kRightAmplitude);
  EXPECT_GT(one.left.LevelSpots(), one.right.LevelSpots());
  EXPECT_EQ(two.left.BlockPeak(), 0);
  EXPECT_EQ(two.right.BlockPeak(), 0);
  EXPECT_EQ(two.left.LevelSpots(), 0);
  EXPECT_EQ(two.wave->State(), wiClosed);

  one.wave->Close();
  EXPECT_EQ(one.wave->State(), wiClosed);
  EXPECT_EQ(one.left.LevelSpots(), 0);  // reset when the chain stopped
  EXPECT_EQ(one.wave->Allocator().InUse(), 0);
}

}  // namespace
}  // namespace ostrel
