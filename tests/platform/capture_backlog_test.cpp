// The capture stream's backlog: audio that arrives in a burst larger than the queued
// buffers waits and reaches the next buffers in order, and only what overflows the
// backlog is dropped.
#include "platform/CaptureStream.h"
#include "platform/WaveFormats.h"

#include <gtest/gtest.h>
#include <QObject>

#include <array>
#include <numeric>
#include <vector>

namespace ostrel {
namespace {

struct Buffer {
  TWaveHdr header;
  std::array<std::uint8_t, 8> data{};
  Buffer() {
    header.dwBufferLength = std::uint32_t(data.size());
    header.SetData(data.data());
    header.dwFlags = WHDR_PREPARED;
  }
  std::vector<int> Bytes() const { return {data.begin(), data.end()}; }
};

std::vector<int> Range(int from, int count) {
  std::vector<int> v(std::size_t(count), 0);
  std::iota(v.begin(), v.end(), from);
  return v;
}

TEST(CaptureBacklog, ABurstLargerThanTheQueuedBuffersArrivesWholeAndInOrder) {
  QObject target;
  CaptureStream stream(1, &target, /*frameBytes=*/4);
  Buffer first, second, third;
  ASSERT_EQ(stream.Add(&first.header), MMSYSERR_NOERROR);

  std::array<std::uint8_t, 24> burst{};
  std::iota(burst.begin(), burst.end(), 0);
  stream.Fill(burst.data(), burst.size());  // one buffer queued: 16 bytes must wait
  EXPECT_EQ(first.Bytes(), Range(0, 8));
  EXPECT_EQ(stream.DroppedFrames(), 0u);

  ASSERT_EQ(stream.Add(&second.header), MMSYSERR_NOERROR);
  ASSERT_EQ(stream.Add(&third.header), MMSYSERR_NOERROR);
  std::array<std::uint8_t, 4> next{24, 25, 26, 27};
  stream.Fill(next.data(), next.size());  // the waiting bytes go out before the new ones
  EXPECT_EQ(second.Bytes(), Range(8, 8));
  EXPECT_EQ(third.Bytes(), Range(16, 8));
  EXPECT_EQ(stream.DroppedFrames(), 0u);
}

TEST(CaptureBacklog, OnlyWhatOverflowsTheBacklogIsDroppedAndCounted) {
  QObject target;
  CaptureStream stream(1, &target, /*frameBytes=*/4);
  const std::uint64_t before = CaptureStream::TotalDroppedFrames();
  std::vector<std::uint8_t> flood(4 * (CaptureStream::kBacklogFrames + 10), 7);
  stream.Fill(flood.data(), flood.size());  // no buffer queued at all
  EXPECT_EQ(stream.DroppedFrames(), 10u);
  EXPECT_EQ(CaptureStream::TotalDroppedFrames() - before, 10u);

  // A stop gives everything back and forgets what waited: nothing old reaches a new start.
  stream.ReturnAll();
  Buffer fresh;
  ASSERT_EQ(stream.Add(&fresh.header), MMSYSERR_NOERROR);
  std::array<std::uint8_t, 8> start{1, 2, 3, 4, 5, 6, 7, 8};
  stream.Fill(start.data(), start.size());
  EXPECT_EQ(fresh.Bytes(), Range(1, 8));
}

}  // namespace
}  // namespace ostrel
