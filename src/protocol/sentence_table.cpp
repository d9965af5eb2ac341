#include "protocol/sentence_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "protocol/modem_reactions.h"
#include "protocol/nmea.h"
#include "serial/line_framer.h"

namespace tw {

namespace {

using enum SentenceDirection;
using enum EmulatorAnswer;
using enum CommaRule;

constexpr EmulatorColumn NO_ANSWER{};

// "$CARXA", the host's sentences and anything unknown
// have no reaction: the interpreter shows them as they came.
const std::array<SentenceFamily, 48> TABLE{{
    {"$CAAGC", MSG_CAAGC, FromModem, ShowAgc, nullptr, NO_ANSWER},
    {"$CAREV", MSG_CAREV, FromModem, ShowRevision, nullptr, NO_ANSWER},
    {"$CACLK", MSG_CACLK, FromModem, ShowNothing, nullptr, NO_ANSWER},  // the modem's clock tick
    {"$CADQF", MSG_CADQF, FromModem, ShowQuality, nullptr, NO_ANSWER},
    {"$CARXA", MSG_CARXA, FromModem, nullptr, nullptr, NO_ANSWER},
    {"$CARXD", MSG_CARXD, FromModem, ReceiveFrame, nullptr, NO_ANSWER},
    {"$CAERR", MSG_CAERR, FromModem, ShowError, nullptr, NO_ANSWER},
    {"$CAMSG", MSG_CAMSG, FromModem, ShowModemMessage, nullptr, NO_ANSWER},
    {"$CADET,1", MSG_CADET1, FromModem, ShowFixedLine, "Detected Data Packet.", NO_ANSWER},
    {"$CADET,2", MSG_CADET2, FromModem, ShowFixedLine, "Detected Minipacket.", NO_ANSWER},
    {"$CADRQ", MSG_CADRQ, FromModem, AnswerDataRequest, nullptr, NO_ANSWER},
    {"$CACYC", MSG_CACYC, FromModem, ShowCycle, nullptr, NO_ANSWER},
    {"$CACFG", MSG_CACFG, FromModem, ShowConfig, nullptr, NO_ANSWER},
    {"$CATXA", MSG_CATXA, FromModem, ShowFixedLine, "Modem Parsed ASCII Data.", NO_ANSWER},
    {"$CATXD", MSG_CATXD, FromModem, ShowBinaryData, nullptr, NO_ANSWER},
    {"$CATXP,1", MSG_CATXP1, FromModem, ShowFixedLine, "Modem Transmitting Data Packet.",
     NO_ANSWER},
    {"$CATXP,2", MSG_CATXP2, FromModem, ShowFixedLine, "Modem Transmitting Minipacket.", NO_ANSWER},
    {"$CATXF,1", MSG_CATXF1, FromModem, ShowFixedLine, "Data Packet Transmit Complete.", NO_ANSWER},
    {"$CATXF,2", MSG_CATXF2, FromModem, ShowFixedLine, "Minipacket Transmit Complete.", NO_ANSWER},
    {"$CAACK", MSG_CAACK, FromModem, ShowAck, nullptr, NO_ANSWER},
    {"$CAMPA", MSG_CAMPA, FromModem, ShowPingAck, "Ping: [%02d]=>[%02d].", NO_ANSWER},
    {"$CAMPR", MSG_CAMPR, FromModem, ShowRangePing, nullptr, NO_ANSWER},
    {"$CAMPC", MSG_CAMPC, FromModem, ShowPing, "Ping Command: [%02d]=>[%02d].", NO_ANSWER},
    {"$CAFST,", MSG_CAFST, FromModem, ShowFifoStatus, nullptr, NO_ANSWER},
    {"$CAFFL,", MSG_CAFFL, FromModem, ShowFifoFlush, nullptr, NO_ANSWER},
    {"$SNCFR", MSG_SNCFR, FromModem, PassNoiseReport, nullptr, NO_ANSWER},
    {"$SNTTA", MSG_SNTTA, FromModem, ShowTravelTimes, nullptr, NO_ANSWER},
    {"$SNPDT", MSG_SNPDT, FromModem, CountPing, "Digital Ping Sent.", NO_ANSWER},
    {"$SNPNT", MSG_SNPNT, FromModem, CountPing, "LBL Ping Sent.", NO_ANSWER},
    {"$CAMFD", MSG_CAMFD, FromModem, ShowDetector, nullptr, NO_ANSWER},
    {"$CADOP", MSG_CADOP, FromModem, ShowDoppler, nullptr, NO_ANSWER},
    {"$CASHF", MSG_CASHF, FromModem, ShowShift, nullptr, NO_ANSWER},
    {"$CCTXA,",
     MSG_CCTXA,
     FromHost,
     nullptr,
     nullptr,
     {Accept, "Got ASCII Data Message", 4, Exactly}},
    {"$CCTXD,",
     MSG_CCTXD,
     FromHost,
     nullptr,
     nullptr,
     {TakeData, "Got Binary Data Message", 4, Exactly}},
    {"$CCCYC,",
     MSG_CCCYC,
     FromHost,
     nullptr,
     nullptr,
     {Cycle, "Got Cycle Init Command", 6, Exactly}},
    {"$CCMPC,",
     MSG_CCMPC,
     FromHost,
     nullptr,
     nullptr,
     {Accept, "Got Ping Minipkt Command", 2, Exactly}},
    {"$CCCLK,", MSG_CCCLK, FromHost, nullptr, nullptr, {Accept, "Got Clock Command", 6, Exactly}},
    {"$CCCFQ,",
     MSG_CCCFQ,
     FromHost,
     nullptr,
     nullptr,
     {ConfigQuery, "Got Configure Query", 1, Exactly}},
    {"$CCCFG,",
     MSG_CCCFG,
     FromHost,
     nullptr,
     nullptr,
     {ConfigCommand, "Got Configure Command", 2, Exactly}},
    {"$CCMSC,",
     MSG_CCMSC,
     FromHost,
     nullptr,
     nullptr,
     {Accept, "Got Sleep Minipkt Command", 3, Exactly}},
    {"$CCACK,", MSG_CCACK, FromHost, nullptr, nullptr, {Accept, "Got ACK Command", 3, Exactly}},
    {"$CCMEC,",
     MSG_CCMEC,
     FromHost,
     nullptr,
     nullptr,
     {Accept, "Got EXTSEL Minipkt Command", 5, Exactly}},
    {"$CCPNT,", MSG_CCPNT, FromHost, nullptr, nullptr, {Accept, "Got LBL NAV Command", 4, AtLeast}},
    {"$CCPDT,",
     MSG_CCPDT,
     FromHost,
     nullptr,
     nullptr,
     {Accept, "Got SELKA NAV Command", 9, Exactly}},
    {"$CCFFL,",
     MSG_CCFFL,
     FromHost,
     nullptr,
     nullptr,
     {FifoFlush, "Got FIFO Flush Command", 1, Exactly}},
    {"$CCFST,",
     MSG_CCFST,
     FromHost,
     nullptr,
     nullptr,
     {FifoStatus, "Got FIFO Status Request", 1, Exactly}},
    {"$CCCFR,", MSG_CCCFR, FromHost, nullptr, nullptr, NO_ANSWER},
    {"$CC", MSG_CC_OTHER, FromHost, nullptr, nullptr, NO_ANSWER},
}};

}  // namespace

std::span<const SentenceFamily> SentenceTable() { return TABLE; }

namespace {

// Every sentence is looked up once as it arrives, so the rows are indexed by
// their first six characters ("$CAMSG"): a lookup is a binary search and a
// comparison or two, not a pass over the table. Rows with a shorter prefix
// ("$CC") are tried in table order as well; the first row in table order
// whose prefix starts the line wins, as in a pass over the table.
constexpr size_t HEAD = 6;

uint64_t HeadKey(std::string_view text) {
  uint64_t key = 0;
  for (size_t i = 0; i < HEAD; ++i) key = (key << 8) | static_cast<unsigned char>(text[i]);
  return key;
}

struct HeadIndex {
  std::vector<std::pair<uint64_t, const SentenceFamily*>> heads;  // by key, then table order
  std::vector<const SentenceFamily*> shorter;                     // in table order
};

const HeadIndex& Index() {
  static const HeadIndex index = [] {
    HeadIndex made;
    for (const SentenceFamily& row : TABLE) {
      if (row.prefix.size() >= HEAD) {
        made.heads.emplace_back(HeadKey(row.prefix), &row);
      } else {
        made.shorter.push_back(&row);
      }
    }
    std::stable_sort(made.heads.begin(), made.heads.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return made;
  }();
  return index;
}

}  // namespace

const SentenceFamily* FindSentenceFamily(std::string_view line) {
  if (line.empty() || line[0] != '$') return nullptr;
  const HeadIndex& index = Index();
  const SentenceFamily* found = nullptr;
  if (line.size() >= HEAD) {
    const uint64_t key = HeadKey(line);
    auto it = std::lower_bound(index.heads.begin(), index.heads.end(), key,
                               [](const auto& entry, uint64_t k) { return entry.first < k; });
    for (; it != index.heads.end() && it->first == key; ++it) {
      if (line.starts_with(it->second->prefix)) {
        found = it->second;
        break;
      }
    }
  }
  for (const SentenceFamily* row : index.shorter) {
    if (found != nullptr && row > found) break;  // rows of one array: table order
    if (line.starts_with(row->prefix)) return row;
  }
  return found;
}

const SentenceFamily* FindSentenceFamilyByType(int type) {
  // Message types lie in 1024..1279: a direct index, as an answer to a data
  // request is built while the modem waits.
  constexpr int FIRST = 1024;
  constexpr int COUNT = 256;
  static const std::array<const SentenceFamily*, COUNT> BY_TYPE = [] {
    std::array<const SentenceFamily*, COUNT> index{};
    for (const SentenceFamily& row : TABLE) {
      if (row.type >= FIRST && row.type < FIRST + COUNT) index[row.type - FIRST] = &row;
    }
    return index;
  }();
  return type >= FIRST && type < FIRST + COUNT ? BY_TYPE[type - FIRST] : nullptr;
}

// ---------------------------------------------------------------------------

namespace {

std::string Build(const SentenceFamily* row, std::initializer_list<SentenceField> fields) {
  const std::string_view name = row ? row->prefix.substr(0, row->prefix.find(',')) : "";
  size_t size = name.size() + 5;  // room for "*hh\r\n"
  for (const SentenceField& field : fields) size += 1 + field.text().size();
  std::string sentence;
  sentence.reserve(size);
  sentence += name;
  for (const SentenceField& field : fields) {
    sentence += ',';
    sentence += field.text();
  }
  return sentence;
}

}  // namespace

std::string BuildSentence(int type, std::initializer_list<SentenceField> fields) {
  return Build(FindSentenceFamilyByType(type), fields);
}

std::string BuildSentenceLine(int type, std::initializer_list<SentenceField> fields) {
  const SentenceFamily* row = FindSentenceFamilyByType(type);
  std::string sentence = Build(row, fields);
  if (row && row->direction == SentenceDirection::FromModem) {
    AppendChecksum(sentence);
  } else {
    sentence += "\r\n";
  }
  return sentence;
}

std::string ZeroPadded(int32_t value, int width) {
  const bool negative = value < 0;
  const std::string digits = std::to_string(negative ? -int64_t{value} : int64_t{value});
  const int pad = width - static_cast<int>(digits.size()) - (negative ? 1 : 0);
  return (negative ? "-" : "") + std::string(pad > 0 ? static_cast<size_t>(pad) : 0, '0') + digits;
}

std::string SentenceTime(const LocalTime& t) {
  return ZeroPadded(t.hour, 2) + ZeroPadded(t.minute, 2) + ZeroPadded(t.second, 2);
}

}  // namespace tw
