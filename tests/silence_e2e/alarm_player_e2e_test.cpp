// The alarm player end to end through the real PortAudio -> ALSA path with no sound card:
// an ALSA "file" device (null slave) writes what it is given to a raw file the test reads
// back. ALSA reads its configuration once per process, so this is a program of its own that
// points ALSA_CONFIG_PATH at a self-contained configuration before PortAudio starts.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "../silence/audio_test_files.h"
#include "platform/AudioPlayer.h"
#include "platform/PortAudioSystem.h"
#include "platform/WaveOutDevices.h"

namespace ostrel {
namespace {

class AlarmPlayerE2E : public ::testing::Test {
 protected:
  static inline QTemporaryDir* dir = nullptr;

  static void SetUpTestSuite() {
    dir = new QTemporaryDir;
    QFile conf(dir->filePath("asound.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Text));
    conf.write(QStringLiteral("pcm.ostrel_alarm {\n"
                              "  type file\n"
                              "  slave.pcm { type null }\n"
                              "  file \"%1\"\n"
                              "  format \"raw\"\n"
                              "}\n"
                              "pcm.!default ostrel_alarm\n")
                   .arg(dir->filePath("out.raw"))
                   .toUtf8());
    conf.close();
    ::setenv("ALSA_CONFIG_PATH", QFile::encodeName(conf.fileName()).constData(), 1);
    ASSERT_TRUE(PortAudioSystem::Acquire());
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }
  void SetUp() override { QFile::remove(dir->filePath("out.raw")); }

  // Plays the file on the device and returns what reached the ALSA device as floats, or
  // nothing when no stop event came.
  static std::vector<float> PlayAndCollect(const QString& wav, int device, int* stops) {
    TMMAudioPlayer player;
    player.OnStop = [stops] { ++*stops; };
    player.SetFileName(wav);
    player.SetDeviceID(device);
    player.Play();
    EXPECT_TRUE(test::PumpUntil([&] { return !player.Playing(); }));
    const QByteArray raw = test::ReadBytes(dir->filePath("out.raw"));
    std::vector<float> out(std::size_t(raw.size()) / sizeof(float));
    std::memcpy(out.data(), raw.constData(), out.size() * sizeof(float));
    return out;
  }
};

int DeviceNumber(const QString& name) {
  for (int i = 0; i < WaveOutDevices::Count(); ++i)
    if (WaveOutDevices::Name(i) == name) return i;
  return -2;
}

TEST_F(AlarmPlayerE2E, TheWholeFileReachesTheChosenDeviceAndTheEndIsReported) {
  const int device = DeviceNumber("ostrel_alarm");
  ASSERT_GE(device, 0);
  const QString wav = dir->filePath("bell.wav");
  std::vector<short> samples;
  for (int i = 0; i < 3000; ++i) samples.push_back(short(i % 2 ? 8192 : -16384));
  ASSERT_TRUE(test::WriteWav(wav, 1, 11025, samples));

  for (int chosen : {device, -1}) {
    SCOPED_TRACE(chosen);
    QFile::remove(dir->filePath("out.raw"));
    int stops = 0;
    const std::vector<float> out = PlayAndCollect(wav, chosen, &stops);
    EXPECT_EQ(stops, 1);
    ASSERT_EQ(out.size(), samples.size() * 2);  // mono reaches both sides
    for (std::size_t i = 0; i < samples.size(); ++i) {
      ASSERT_EQ(out[2 * i], samples[i] / 32768.0f) << i;
      ASSERT_EQ(out[2 * i + 1], samples[i] / 32768.0f) << i;
    }
  }
}

TEST_F(AlarmPlayerE2E, ADeviceNumberPastTheListPlaysNothingAndReportsNoEnd) {
  const QString wav = dir->filePath("short.wav");
  ASSERT_TRUE(test::WriteWav(wav, 2, 44100, {100, -100, 200, -200}));
  int stops = 0;
  const std::vector<float> out = PlayAndCollect(wav, WaveOutDevices::Count() + 5, &stops);
  EXPECT_EQ(stops, 0);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace ostrel
