// A fix whose numbers read as endless or as no number is not a fix.
#include <gtest/gtest.h>

#include <string>

#include "gps/gps_sentence.h"

namespace tw {
namespace {

TEST(GpsSentenceLimits, EndlessOrNoNumberValuesRefuseTheFix) {
  const std::string head = "$GPRMC,123519,A,4807.038,N,01131.000,E,";
  ASSERT_TRUE(GPSCheckSentence(head + "022.4,084.4,230394,003.1,W*6A\r\n"));
  for (const char* speedCourse :
       {"1e999,084.4", "022.4,-1e999", "nan,084.4", "022.4,inf", "-inf,nan"}) {
    // No checksum: the values alone must refuse it.
    EXPECT_FALSE(GPSCheckSentence(head + speedCourse + ",230394,003.1,W\r\n")) << speedCourse;
  }
}

}  // namespace
}  // namespace tw
