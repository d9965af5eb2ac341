#include "serial/rx_ring.h"

#include <gtest/gtest.h>

#include <string>
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
  EXPECT_EQ(rx.count(), 8191u);
  uint8_t one = 'c';
  EXPECT_FALSE(RxAppend(rx, &one, 1));  // 8192: dropped
  EXPECT_EQ(rx.count(), 8191u);
  EXPECT_EQ(rx.writeIndex(), 8191u);
  EXPECT_EQ(RxPeek(rx, 8190), 'b');
}

// Moves both indices to `index` by writing and reading that many bytes.
void StartAt(RxState& rx, uint32_t index) {
  const std::vector<uint8_t> filler(index, '.');
  ASSERT_TRUE(RxAppend(rx, filler.data(), filler.size()));
  RxConsume(rx, index);
  ASSERT_EQ(rx.readIndex(), index);
  ASSERT_EQ(rx.count(), 0u);
}

TEST(RxRing, BytesAcrossTheEndReadBackInOrder) {
  RxState rx;
  RxInit(rx);
  StartAt(rx, 8190);
  const uint8_t bytes[] = {'1', '2', '\n', '4'};
  ASSERT_TRUE(RxAppend(rx, bytes, 4));
  EXPECT_EQ(rx.writeIndex(), 2u);
  EXPECT_EQ(rx.count(), 4u);
  EXPECT_EQ(RxCopy(rx, 0, 4), "12\n4");
  EXPECT_EQ(RxFind(rx, 0, '\n'), 2u);
  EXPECT_EQ(RxFind(rx, 3, '\n'), 4u);  // none after: count()

  std::string line;
  ASSERT_TRUE(RxTakeLine(rx, 0, 100, line));
  EXPECT_EQ(line, "12");
  EXPECT_EQ(rx.count(), 1u);
  EXPECT_EQ(RxPeek(rx, 0), '4');
  EXPECT_FALSE(RxTakeLine(rx, 0, 100, line));  // no LF yet: nothing consumed
  EXPECT_EQ(line, "12");
  EXPECT_EQ(rx.count(), 1u);

  RxReset(rx);
  EXPECT_EQ(rx.count() + rx.readIndex() + rx.writeIndex(), 0u);
}

TEST(RxRing, TakeLineCutsLongLinesAndConsumeStopsAtTheEnd) {
  RxState rx;
  RxInit(rx);
  const std::string text = "xx$ABCDEFGH\nrest";
  ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  std::string line;
  ASSERT_TRUE(RxTakeLine(rx, 2, 4, line));  // from the '$', at most 4 kept
  EXPECT_EQ(line, "$ABC");
  EXPECT_EQ(RxCopy(rx, 0, 100), "rest");  // everything up to the LF is gone
  RxConsume(rx, 100);
  EXPECT_EQ(rx.count(), 0u);
  EXPECT_EQ(rx.readIndex(), rx.writeIndex());
}

TEST(RxRing, FreedRingHoldsNothingAndTakesNothing) {
  RxState rx;
  const uint8_t byte = 'a';
  EXPECT_FALSE(RxAppend(rx, &byte, 1));  // never allocated
  RxInit(rx);
  ASSERT_TRUE(RxAppend(rx, &byte, 1));
  RxFree(rx);
  EXPECT_FALSE(rx.allocated());
  EXPECT_EQ(rx.count(), 0u);
  EXPECT_FALSE(RxAppend(rx, &byte, 1));
}

}  // namespace
}  // namespace tw
