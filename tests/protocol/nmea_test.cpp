#include "protocol/nmea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {
namespace {

// A fresh, empty ring whose next byte goes to `start`: filler bytes are
// appended and consumed again to move both indices there.
RxState RingAt(uint32_t start) {
  RxState rx;
  RxInit(rx);
  const std::string filler(start, '-');
  EXPECT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(filler.data()), filler.size()));
  RxConsume(rx, start);
  EXPECT_EQ(rx.readIndex(), start);
  EXPECT_EQ(rx.writeIndex(), start);
  EXPECT_EQ(rx.count(), 0u);
  return rx;
}

void Feed(RxState& rx, std::string_view bytes) {
  ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

// ---------------------------------------------------------------------------
// Taking lines out of the ring

TEST(TakeModemLine, DropsGarbageBeforeTheDollarAndKeepsTheCR) {
  RxState rx = RingAt(0);
  Feed(rx, "xyz$CAAGC,12\r\n$CAREV");
  std::string line;
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CAAGC,12\r");
  EXPECT_EQ(rx.readIndex(), 14u);
  EXPECT_EQ(rx.count(), 6u);  // the next, unfinished sentence waits
}

TEST(TakeModemLine, IncompleteLineWaitsUntilItsLineFeedArrives) {
  RxState rx = RingAt(0);
  Feed(rx, "ab$CAAGC,1");
  std::string line = "previous";
  EXPECT_FALSE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "previous");
  EXPECT_EQ(rx.readIndex(), 0u);
  EXPECT_EQ(rx.count(), 10u);
  Feed(rx, "2\r\n");
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CAAGC,12\r");
  EXPECT_EQ(rx.count(), 0u);
}

TEST(TakeModemLine, FewerThanSevenBytesAreLeftAlone) {
  RxState rx = RingAt(0);
  Feed(rx, "$CA\r\n");  // complete, but too short to look at
  std::string line;
  EXPECT_FALSE(TakeModemLine(rx, line));
  EXPECT_EQ(rx.count(), 5u);
  Feed(rx, "$CC");
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CA\r");

  RxState noise = RingAt(0);
  Feed(noise, "abcdef");  // no '$', but not yet enough to be emptied
  EXPECT_FALSE(TakeModemLine(noise, line));
  EXPECT_EQ(noise.count(), 6u);
}

TEST(TakeModemLine, RingWithoutDollarIsEmptied) {
  RxState rx = RingAt(100);
  Feed(rx, "garbage\r\nmore");
  std::string line;
  EXPECT_FALSE(TakeModemLine(rx, line));
  EXPECT_EQ(rx.count(), 0u);
  EXPECT_EQ(rx.readIndex(), rx.writeIndex());
}

TEST(TakeModemLine, LineAcrossTheEndOfTheRingIsWholeAndInOrder) {
  RxState rx = RingAt(8190);
  Feed(rx, "$CAAGC,12\r\n$CAREV");
  std::string line;
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CAAGC,12\r");
  EXPECT_EQ(rx.readIndex(), 9u);
  EXPECT_EQ(rx.count(), 6u);
}

TEST(TakeModemLine, AnyByteButLineFeedBelongsToTheLine) {
  RxState rx = RingAt(0);
  Feed(rx, std::string_view("$CAMSG,a$b\0c\r\n$CAAGC,1\r\n", 24));
  std::string line;
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, std::string_view("$CAMSG,a$b\0c\r", 13));
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CAAGC,1\r");
}

TEST(TakeModemLine, OverLongLineIsCutAndItsRestDropped) {
  RxState rx = RingAt(8000);  // the long line also wraps
  std::string longLine = "$CAMSG," + std::string(700, 'A') + "$X\r\n";
  std::string fitting = "$CAMSG," + std::string(591, 'B') + "\r\n";  // 599 with the CR
  Feed(rx, longLine + fitting + "$CAAGC,5\r\n");
  std::string line;
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, longLine.substr(0, 599));
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, fitting.substr(0, 599));
  EXPECT_EQ(line.back(), '\r');
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CAAGC,5\r");
}

TEST(TakeModemLine, EndlessLineCannotBlockTheRing) {
  RxState rx = RingAt(0);
  Feed(rx, "$" + std::string(5000, 'A'));
  std::string line;
  EXPECT_FALSE(TakeModemLine(rx, line));
  EXPECT_EQ(rx.count(), 0u);
  Feed(rx, "A\r\n$CAAGC,7\r\n");  // its tail goes with it, up to its LF
  ASSERT_TRUE(TakeModemLine(rx, line));
  EXPECT_EQ(line, "$CAAGC,7\r");
  EXPECT_EQ(RxTakeDropped(rx), 5004u);  // all of it counted, nothing else
}

TEST(TakeModemLine, UnallocatedRingGivesNothing) {
  RxState never;
  std::string line = "previous";
  EXPECT_FALSE(never.allocated());
  EXPECT_FALSE(TakeModemLine(never, line));

  // A freed ring that held a whole sentence gives nothing either.
  RxState freed;
  RxInit(freed);
  Feed(freed, "$CAAGC,12\r\n");
  RxFree(freed);
  EXPECT_FALSE(TakeModemLine(freed, line));
  EXPECT_EQ(line, "previous");
}

// ---------------------------------------------------------------------------
// Message types

TEST(NMEAMessageType, EveryPrefixNamesItsType) {
  const std::vector<std::pair<std::string, int>> expected = {
      {"$CAAGC", 1025},   {"$CAREV", 1029},   {"$CACLK", 1030},   {"$CADQF", 1026},
      {"$CARXA", 1028},   {"$CARXD", 1027},   {"$CAERR", 1031},   {"$CAMSG", 1038},
      {"$CADET,1", 1056}, {"$CADET,2", 1057}, {"$CADRQ", 1058},   {"$CACYC", 1060},
      {"$CACFG", 1061},   {"$CATXA", 1072},   {"$CATXD", 1073},   {"$CATXP,1", 1062},
      {"$CATXP,2", 1063}, {"$CATXF,1", 1064}, {"$CATXF,2", 1065}, {"$CAACK", 1077},
      {"$CAMPA", 1074},   {"$CAMPR", 1076},   {"$CAMPC", 1075},   {"$CAFST,", 1105},
      {"$CAFFL,", 1104},  {"$SNCFR", 1106},   {"$SNTTA", 1059},   {"$SNPDT", 1107},
      {"$SNPNT", 1108},   {"$CAMFD", 1110},   {"$CADOP", 1109},   {"$CASHF", 1111},
      {"$CCTXA,", 1080},  {"$CCTXD,", 1079},  {"$CCCYC,", 1081},  {"$CCMPC,", 1082},
      {"$CCCLK,", 1083},  {"$CCCFQ,", 1084},  {"$CCCFG,", 1085},  {"$CCMSC,", 1086},
      {"$CCACK,", 1087},  {"$CCMEC,", 1088},  {"$CCPNT,", 1089},  {"$CCPDT,", 1090},
      {"$CCFFL,", 1091},  {"$CCFST,", 1092},
  };
  for (const auto& [prefix, type] : expected) {
    EXPECT_EQ(NMEAMessageType(prefix), type) << prefix;
    EXPECT_EQ(NMEAMessageType(prefix + "7,0*1F\r"), type) << prefix;
  }
}

TEST(NMEAMessageType, PrefixesDecideExactly) {
  EXPECT_EQ(NMEAMessageType("$CADET,1,2"), 1056);
  EXPECT_EQ(NMEAMessageType("$CADET,2,1"), 1057);
  EXPECT_EQ(NMEAMessageType("$CADET,3"), 1279);
  EXPECT_EQ(NMEAMessageType("$CATXF,3"), 1279);
  EXPECT_EQ(NMEAMessageType("$CAFST\r"), 1279);  // needs its comma
  EXPECT_EQ(NMEAMessageType("$CCXYZ"), 1078);
  EXPECT_EQ(NMEAMessageType("$CCTXD\r"), 1078);
  EXPECT_EQ(NMEAMessageType("$GPRMC,1"), 1279);
  EXPECT_EQ(NMEAMessageType("CAAGC,1"), 1024);
  EXPECT_EQ(NMEAMessageType(""), 1024);
}

// ---------------------------------------------------------------------------
// Numeric fields

TEST(NMEAGetInt, CountsOnlyNonEmptyFields) {
  EXPECT_EQ(NMEAGetInt("$CAAGC,123*5B", 1), 123);
  EXPECT_EQ(NMEAGetInt("$CAAGC", 1), 4095);
  EXPECT_EQ(NMEAGetInt("$CAACK,1,,3", 2), 3);
  EXPECT_EQ(NMEAGetInt("$CAACK,1,,3", 3), 4095);
  EXPECT_EQ(NMEAGetInt("$CCCYC,1,0,3,2,0,9\r", 6), 9);
  EXPECT_EQ(NMEAGetInt("$CAXXX,4095,1", 1), 4095);
}

TEST(NMEAGetInt, FieldThreeAlsoEndsAtTheChecksum) {
  EXPECT_EQ(NMEAGetInt("$CAXXX,1,2*5B", 2), 2);
  EXPECT_EQ(NMEAGetInt("$CAXXX,1,2*5B", 3), 5);
  EXPECT_EQ(NMEAGetInt("$CAXXX,1,2*AB", 3), 0);
  EXPECT_EQ(NMEAGetInt("$CAXXX,1,2,33*5B", 3), 33);
  EXPECT_EQ(NMEAGetInt("$CAXXX,1,2,33*5B", 4), 4095);  // "*5B" is not field 4
}

TEST(NMEAGetInt, ConvertsLikeTheCLibrary) {
  EXPECT_EQ(NMEAGetInt("$CAXXX, -12,+7,x9", 1), -12);
  EXPECT_EQ(NMEAGetInt("$CAXXX, -12,+7,x9", 2), 7);
  EXPECT_EQ(NMEAGetInt("$CAXXX, -12,+7,x9", 3), 0);
  EXPECT_EQ(NMEAGetInt("$CAXXX,99999999999,-99999999999", 1), INT32_MAX);
  EXPECT_EQ(NMEAGetInt("$CAXXX,99999999999,-99999999999", 2), INT32_MIN);
}

TEST(NMEATokens, RunsOfSeparatorsAreOneAndNoTokenIsEmpty) {
  using Tokens = std::vector<std::string_view>;
  EXPECT_EQ(SentenceFields(",,$SNCFR,,-80*,-7*3C\r").Tokens(),
            (Tokens{"$SNCFR", "-80", "-7", "3C\r"}));
  const SentenceFields commaOnly("a*b,c");
  EXPECT_EQ((Tokens{*commaOnly.Token(0), *commaOnly.Token(1)}), (Tokens{"a*b", "c"}));
  EXPECT_FALSE(commaOnly.Token(2));
  EXPECT_TRUE(SentenceFields(",*,").Tokens().empty());
  EXPECT_FALSE(SentenceFields("").Token(0));
}

TEST(NMEAReadInt, ReadsAsMuchAsAtoiWouldAndHoldsAtTheLimits) {
  EXPECT_EQ(NMEAReadInt(" \t-80\r"), -80);
  EXPECT_EQ(NMEAReadInt("+12x3"), 12);
  EXPECT_EQ(NMEAReadInt("3C"), 3);
  EXPECT_EQ(NMEAReadInt("--1"), 0);
  EXPECT_EQ(NMEAReadInt(""), 0);
  EXPECT_EQ(NMEAReadInt("2147483648"), INT32_MAX);
  EXPECT_EQ(NMEAReadInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(NMEAReadInt("-99999999999999999999"), INT32_MIN);
}

TEST(NMEAGetFloat, ReadsFieldThreeUpToTheChecksum) {
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CADOP,1,2,-3.25e1*5B", 3), -32.5f);
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CAXXX,,1,2,0.5\r", 3), 0.5f);
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CAXXX,1,2", 3), 4095.0f);
  // Only the split that ends field 3 uses '*': the checksum stays in field 2.
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CAXXX,1,2*5B", 3), 4095.0f);
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CAXXX,1,2,abc", 3), 0.0f);
}

TEST(NMEAGetFloat, OneSignOnly) {
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CAMPR,1,2,+1.5", 3), 1.5f);
  EXPECT_FLOAT_EQ(NMEAGetFloat("$CAMPR,1,2,-1.5*3C", 3), -1.5f);
  for (std::string_view doubled : {"$CAMPR,1,2,--4", "$CAMPR,1,2,+-1.5", "$CAMPR,1,2,-+2\r",
                                   "$CAMPR,1,2,++3*3C", "$CAMPR,1,2, - 3", "$CAMPR,1,2,-"}) {
    const float value = NMEAGetFloat(doubled, 3);
    EXPECT_EQ(value, 0.0f) << doubled;
    EXPECT_FALSE(std::signbit(value)) << doubled;  // not even -0
  }
}

TEST(NMEAReadDecimal, ReadsAsMuchAsAtofWould) {
  const std::vector<std::pair<std::string_view, double>> cases = {
      {"0.25", 0.25},  {" \t-3.25e1*5B", -32.5},
      {"+7.", 7.0},    {".5\r", 0.5},
      {"1e", 1.0},     {"2e+2x", 200.0},
      {"0x1p-1", 0.5}, {"-0X.8", -0.5},
      {"0x", 0.0},     {"1,5", 1.0},
      {"", 0.0},       {"abc", 0.0},
      {"1e-400", 0.0}, {"--4", 0.0},
      {"+-1.5", 0.0},  {"-+2", 0.0},
  };
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(NMEAReadDecimal(text), value) << text;
  EXPECT_EQ(NMEAReadDecimal("1e400"), HUGE_VAL);
  EXPECT_EQ(NMEAReadDecimal("-inf"), -HUGE_VAL);
  EXPECT_TRUE(std::isnan(NMEAReadDecimal("nan")));
}

// ---------------------------------------------------------------------------
// Text fields

TEST(NMEAGetText, KeepsEmptyFieldsInPlaceAndTheCR) {
  EXPECT_EQ(NMEAGetText("$CADOP,,2.5*70", 1), "");
  EXPECT_EQ(NMEAGetText("$CADOP,,2.5*70", 2), "2.5");
  EXPECT_EQ(NMEAGetText("$CADOP,,2.5*70", 3), "70");
  EXPECT_EQ(NMEAGetText("$CADOP,,2.5*70", 4), "");
  EXPECT_EQ(NMEAGetText("$CADOP,2.5\r", 1), "2.5\r");
  EXPECT_EQ(NMEAGetText("$CAMSG,BAD_CRC,3\r", 5), "");
}

// ---------------------------------------------------------------------------
// Special readers

TEST(NMEAGetCycle, ReadsFourFieldsOrReportsTheMissingOne) {
  NMEACycle cycle = NMEAGetCycle("$CACYC,1,0,3,2*5A\r");
  EXPECT_EQ(cycle.status, 0);
  EXPECT_EQ(cycle.f[0], 1);
  EXPECT_EQ(cycle.f[1], 0);
  EXPECT_EQ(cycle.f[2], 3);
  EXPECT_EQ(cycle.f[3], 2);

  cycle = NMEAGetCycle("$CACYC,5,,7\r");
  EXPECT_EQ(cycle.status, 4095);
  EXPECT_EQ(cycle.f[0], 5);
  EXPECT_EQ(cycle.f[1], 7);
  EXPECT_EQ(cycle.f[2], 4095);
}

TEST(NMEAErrorKind, ComparesFieldTwo) {
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,MAXTIMEOUTS*18"), 1279);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,MAXTIMEOUTS,18"), 1036);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,MAXTIMEOUT,1"), 1279);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,CRC_ERR*2F"), 1032);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,NMEA,11*2F"), 1035);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,TSK_IDLE\r"), 1033);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,NODATA*3C"), 1037);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000,BUSY"), 1279);
  EXPECT_EQ(NMEAErrorKind("$CAERR,120000"), 1024);
  EXPECT_EQ(NMEAErrorKind("$CAERR,,NMEA"), 1024);  // empty time is not counted
}

TEST(NMEAConfigParam, NamesTheParameter) {
  EXPECT_EQ(NMEAConfigParam("$CACFG,DST,9*3A"), 1282);
  EXPECT_EQ(NMEAConfigParam("$CACFG,BR2,1\r"), 1287);
  EXPECT_EQ(NMEAConfigParam("$CACFG,PRL,0"), 1311);
  EXPECT_EQ(NMEAConfigParam("$CACFG,TAT,50"), 1318);
  EXPECT_EQ(NMEAConfigParam("$CACFG,TXF,1"), 1322);
  EXPECT_EQ(NMEAConfigParam("$CACFG,ALL"), 1323);
  EXPECT_EQ(NMEAConfigParam("$CACFG,XYZ,1"), 1279);
  EXPECT_EQ(NMEAConfigParam("$CACFG,SR"), 1279);
  EXPECT_EQ(NMEAConfigParam("$CACFG"), 1024);
  EXPECT_EQ(NMEAConfigParam("$CACFG,SRC,7*35"), 1281);
}

TEST(NMEAConfigValue, AnyValueIsReadButNoneIsNone) {
  EXPECT_EQ(NMEAConfigValue("$CACFG,SRC,7*35"), 7);
  EXPECT_EQ(NMEAConfigValue("$CACFG,SRC,12\r"), 12);
  // Something that is no number reads as 0, like any unusable number.
  for (std::string_view notANumber :
       {"$CACFG,SRC,abc\r", "$CACFG,SRC,x7*35", "$CACFG,SRC, \r", "$CACFG,SRC,,4"}) {
    EXPECT_EQ(NMEAConfigValue(notANumber), 0) << notANumber;
  }
  for (std::string_view noValue : {"$CACFG,SRC\r", "$CACFG,SRC", "$CACFG,SRC,", "$CACFG,SRC,*35",
                                   "$CACFG,SRC,\r", "$CACFG,SRC*35\r"}) {
    EXPECT_EQ(NMEAConfigValue(noValue), std::nullopt) << noValue;
  }
}

TEST(NMEARevisionText, NameAndVersionOrUnknown) {
  EXPECT_EQ(NMEARevisionText("$CAREV,120000,EMULATOR,1.00*6A"), "EMULATOR (1.00)");
  EXPECT_EQ(NMEARevisionText("$CAREV,120000,EMULATOR*6A"), "EMULATOR (6A)");
  EXPECT_EQ(NMEARevisionText("$CAREV,120000,EMULATOR\r"), "Unknown");
}

TEST(NMEAAppendChecksum, AppendsUpperCaseHexAndLineEnd) {
  std::string s = "$CCABC";
  NMEAAppendChecksum(s);
  EXPECT_EQ(s, "$CCABC*40\r\n");
  s = "$CAAGC,123";
  NMEAAppendChecksum(s);
  EXPECT_EQ(s, "$CAAGC,123*5B\r\n");
}

TEST(NMEAHexPayload, TwoLowerCaseDigitsPerByte) {
  const uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff, 0x5c};
  EXPECT_EQ(NMEAHexPayload(bytes, sizeof bytes), "000fa0ff5c");
  EXPECT_EQ(NMEAHexPayload(bytes, 0), "");
}

TEST(NMEAErrorText, TextsForBothSides) {
  EXPECT_EQ(NMEAErrorText(11), "NMEA Error: Bad Checksum");
  EXPECT_EQ(NMEAErrorText(20), "NMEA Error: Bad talker ID.");
  EXPECT_EQ(NMEAErrorText(21), "NMEA Error: Bad message.");
  EXPECT_EQ(NMEAErrorText(10), "NMEA Error: Bad message.");
  EXPECT_EQ(NMEAEmulatorErrorText(16), "NMEA: Unexpected checksum indicator '*'");
  EXPECT_EQ(NMEAEmulatorErrorText(21), "");
}

}  // namespace
}  // namespace tw
