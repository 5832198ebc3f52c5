// The alarm sound player with a recording output: what reaches the device, when it plays,
// and that unusable files and devices play nothing without an end event.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/types.h>

#include <memory>

#include "audio_test_files.h"
#include "platform/AudioPlayer.h"
#include "platform/PortAudioSink.h"
#include "platform/SoundFileDecoder.h"

namespace ostrel {
namespace {

using test::FakeSink;
using test::PumpUntil;
using test::WriteBytes;
using test::WriteWav;

class AudioPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    sink_ = std::make_shared<FakeSink>();
    player_ = std::make_unique<TMMAudioPlayer>(nullptr, sink_);
    player_->OnStop = [this] { ++stops_; };
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  // A mono 16-bit sound of five samples.
  QString ShortWav() {
    const QString path = Path("alarm.wav");
    EXPECT_TRUE(WriteWav(path, 1, 22050, {0, 16384, -16384, 32767, -32768}));
    return path;
  }
  bool Idle() {
    return PumpUntil([this] { return !player_->Playing(); });
  }

  QTemporaryDir dir_;
  std::shared_ptr<FakeSink> sink_;
  std::unique_ptr<TMMAudioPlayer> player_;
  int stops_ = 0;
};

TEST_F(AudioPlayerTest, PlaysTheFileOnItsDeviceAndReportsTheEndOnce) {
  player_->SetFileName(ShortWav());
  player_->SetDeviceID(3);
  player_->Play();
  EXPECT_TRUE(player_->Playing());
  ASSERT_TRUE(sink_->WaitPlaying());

  ASSERT_EQ(sink_->Plays(), 1);
  EXPECT_EQ(sink_->Device(0), 3);
  const TDecodedSound sound = sink_->Sound(0);
  EXPECT_EQ(sound.sampleRate, 22050);
  // Mono reaches both sides; 16-bit samples read as sample / 32768.
  const std::vector<float> expected = {
      0.0f, 0.0f, 0.5f, 0.5f, -0.5f, -0.5f, 32767 / 32768.0f, 32767 / 32768.0f, -1.0f, -1.0f};
  EXPECT_EQ(sound.samples, expected);

  // Playing again while it plays does nothing.
  player_->Play();
  EXPECT_EQ(stops_, 0);

  sink_->Finish();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(stops_, 1);
  EXPECT_EQ(sink_->Plays(), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(stops_, 1);
}

TEST_F(AudioPlayerTest, PlaysFromTheStartAgainAfterTheEnd) {
  player_->SetFileName(ShortWav());
  for (int round = 1; round <= 2; ++round) {
    player_->Play();
    ASSERT_TRUE(sink_->WaitPlaying());
    sink_->Finish();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(stops_, round);
  }
  ASSERT_EQ(sink_->Plays(), 2);
  EXPECT_EQ(sink_->Sound(1).samples, sink_->Sound(0).samples);
  EXPECT_EQ(sink_->Device(1), -1);  // the default output unless chosen
}

TEST_F(AudioPlayerTest, StopEndsPlayingWithTheStopEvent) {
  player_->SetFileName(ShortWav());
  player_->Play();
  ASSERT_TRUE(sink_->WaitPlaying());
  player_->Stop();
  ASSERT_TRUE(Idle());
  EXPECT_TRUE(sink_->SawStop());
  EXPECT_EQ(stops_, 1);
}

TEST_F(AudioPlayerTest, UnusableFilesPlayNothingAndSendNoStopEvent) {
  QByteArray riffHeaderOnly("RIFF\x24\x00\x00\x00WAVEfmt ", 16);
  QByteArray damaged = riffHeaderOnly + QByteArray(200, '\x7f');
  ASSERT_TRUE(WriteBytes(Path("empty.wav"), {}));
  ASSERT_TRUE(WriteBytes(Path("text.wav"), "This is not a sound.\n"));
  ASSERT_TRUE(WriteBytes(Path("damaged.wav"), damaged));
  ASSERT_TRUE(WriteWav(Path("silent-0-frames.wav"), 2, 44100, {}));
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.wav"));
  // A FIFO would block whoever opened it until a writer came along.
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.wav")).constData(), 0600), 0);

  for (const char* name : {"missing.wav", "empty.wav", "text.wav", "damaged.wav",
                           "silent-0-frames.wav", "folder.wav", "fifo.wav"}) {
    SCOPED_TRACE(name);
    player_->SetFileName(Path(name));
    player_->Play();
    ASSERT_TRUE(Idle());
    QCoreApplication::processEvents();
    EXPECT_EQ(sink_->Plays(), 0);
    EXPECT_EQ(stops_, 0);
  }
}

TEST_F(AudioPlayerTest, WithoutAFileNamePlayDoesNothing) {
  player_->Play();
  EXPECT_FALSE(player_->Playing());
  QCoreApplication::processEvents();
  EXPECT_EQ(sink_->Plays(), 0);
  EXPECT_EQ(stops_, 0);
}

TEST_F(AudioPlayerTest, ADeviceThatCannotPlaySendsNoStopEventAndAllowsTheNextPlay) {
  player_->SetFileName(ShortWav());
  sink_->SetRefuse(true);
  player_->Play();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(sink_->Plays(), 1);
  EXPECT_EQ(stops_, 0);

  sink_->SetRefuse(false);
  player_->Play();
  ASSERT_TRUE(sink_->WaitPlaying());
  sink_->Finish();
  ASSERT_TRUE(Idle());
  EXPECT_EQ(stops_, 1);
}

TEST_F(AudioPlayerTest, DestroyingThePlayerWhilePlayingEndsTheSoundWithoutAnEvent) {
  player_->SetFileName(ShortWav());
  player_->Play();
  ASSERT_TRUE(sink_->WaitPlaying());
  player_.reset();
  EXPECT_TRUE(sink_->SawStop());
  QCoreApplication::processEvents();
  EXPECT_EQ(stops_, 0);
}

TEST_F(AudioPlayerTest, DeviceNumbersBelowTheDefaultMeanTheDefault) {
  player_->SetDeviceID(-7);
  EXPECT_EQ(player_->DeviceID(), -1);
  player_->SetDeviceID(2);
  EXPECT_EQ(player_->DeviceID(), 2);
}

TEST(SoundFileDecoder, KeepsTheFrontPairOfAMultiChannelFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("quad.wav");
  ASSERT_TRUE(WriteWav(path, 4, 48000, {16384, -16384, 1, 2, 8192, -8192, 3, 4}));
  const auto sound = SoundFileDecoder::Decode(path);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->sampleRate, 48000);
  EXPECT_EQ(sound->samples, (std::vector<float>{0.5f, -0.5f, 0.25f, -0.25f}));
}

TEST(SoundFileDecoder, RefusesSoundsLongerOrLargerThanItsLimits) {
  QTemporaryDir dir;
  const QString path = dir.filePath("two-seconds.wav");
  ASSERT_TRUE(WriteWav(path, 1, 8000, std::vector<short>(16000, 100)));
  EXPECT_TRUE(SoundFileDecoder::Decode(path, nullptr, 2, SoundFileDecoder::kMaxBytes));
  EXPECT_FALSE(SoundFileDecoder::Decode(path, nullptr, 1, SoundFileDecoder::kMaxBytes));
  // 16000 stereo float frames take 128000 bytes.
  EXPECT_TRUE(SoundFileDecoder::Decode(path, nullptr, 600, 128000));
  EXPECT_FALSE(SoundFileDecoder::Decode(path, nullptr, 600, 127999));
  const std::atomic<bool> cancelled{true};
  EXPECT_FALSE(SoundFileDecoder::Decode(path, &cancelled));
}

TEST(PortAudioSink, ADeviceThatDoesNotExistPlaysNothing) {
  TDecodedSound sound;
  sound.samples = {0.1f, 0.1f};
  sound.sampleRate = 44100;
  const std::atomic<bool> stop{false};
  EXPECT_FALSE(PortAudioSink().Play(100000, sound, stop));
}

}  // namespace
}  // namespace ostrel
