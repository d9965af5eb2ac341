#include "serial/rx_ring.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

TEST(RxRing, ChunkThatWouldFillTheRingIsDroppedWhole) {
  RxState rx;
  RxInit(rx);
  EXPECT_EQ(rx.mode, RX_MODEM);
  std::vector<uint8_t> chunk(8000, 'a');
  ASSERT_TRUE(RxAppend(rx, chunk.data(), chunk.size()));
  std::vector<uint8_t> rest(191, 'b');
  EXPECT_TRUE(RxAppend(rx, rest.data(), rest.size()));  // count + n = 8191: stored
  EXPECT_EQ(rx.count, 8191u);
  uint8_t one = 'c';
  EXPECT_FALSE(RxAppend(rx, &one, 1));  // 8192: dropped
  EXPECT_EQ(rx.count, 8191u);
  EXPECT_EQ(rx.writeIndex, 8191u);
}

TEST(RxRing, WritesContinueAtIndexZeroAfterTheEnd) {
  RxState rx;
  RxInit(rx);
  rx.readIndex = rx.writeIndex = 8190;
  const uint8_t bytes[] = {'1', '2', '3', '4'};
  ASSERT_TRUE(RxAppend(rx, bytes, 4));
  EXPECT_EQ(rx.buffer[8190], '1');
  EXPECT_EQ(rx.buffer[8191], '2');
  EXPECT_EQ(rx.buffer[0], '3');
  EXPECT_EQ(rx.buffer[1], '4');
  EXPECT_EQ(rx.writeIndex, 2u);
  EXPECT_EQ(rx.count, 4u);
  RxReset(rx);
  EXPECT_EQ(rx.count + rx.readIndex + rx.writeIndex, 0u);
}

}  // namespace
}  // namespace tw
