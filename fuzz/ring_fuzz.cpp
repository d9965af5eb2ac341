// The receive ring and the sentence taker against a plain model of both: a
// byte queue with the same rules (a chunk fits whole or not at all, one byte
// always free; a sentence runs from the first '$' to its LF, cut at the line
// limit; a ring without '$' is emptied; a line without end past half the
// ring's size is dropped, with the rest of it as it comes).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>

#include "fuzz/fuzz_support.h"
#include "protocol/nmea.h"
#include "serial/rx_ring.h"

namespace {

using namespace tw;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "ring model differs: %s\n", what);
  std::abort();
}

struct Model {
  std::deque<uint8_t> bytes;

  bool Append(const std::string& chunk) {
    if (bytes.size() + chunk.size() > RX_SIZE - 1) return false;
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return true;
  }

  // A line whose start was lost is still being dropped up to its end.
  bool dropping = false;
  static constexpr size_t STALL = RX_SIZE / 2;

  size_t Find(size_t from, uint8_t wanted) const {
    while (from < bytes.size() && bytes[from] != wanted) ++from;
    return std::min(from, bytes.size());
  }
  void Drop(size_t n) {
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  }

  bool TakeLine(std::string& line) {
    if (dropping) {
      const size_t lf = Find(0, '\n');
      const size_t end = std::min(lf < bytes.size() ? lf + 1 : lf, Find(0, '$'));
      dropping = end == bytes.size() && lf == bytes.size();
      Drop(end);
    }
    if (bytes.size() < 7) return false;
    const size_t dollar = Find(0, '$');
    if (dollar == bytes.size()) {
      bytes.clear();
      return false;
    }
    const size_t lf = Find(dollar, '\n');
    if (lf == bytes.size()) {
      if (bytes.size() > STALL) {
        bytes.clear();
        dropping = true;
      }
      return false;
    }
    if (lf - dollar > STALL) {
      Drop(dollar);
      Drop(std::min(Find(STALL + 1, '$'), lf - dollar + 1));
      return false;
    }
    const size_t keep = std::min<size_t>(lf - dollar, NMEA_LINE_MAX);
    line.assign(bytes.begin() + static_cast<std::ptrdiff_t>(dollar),
                bytes.begin() + static_cast<std::ptrdiff_t>(dollar + keep));
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(lf + 1));
    return true;
  }
};

void Compare(const RxState& rx, const Model& model, bool content) {
  if (rx.count() != model.bytes.size()) Fail("count");
  if (!content) return;
  for (uint32_t k = 0; k < rx.count(); ++k) {
    if (RxPeek(rx, k) != model.bytes[k]) Fail("content");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tw::fuzz::Input in(data, size);
  RxState rx;
  RxInit(rx);
  Model model;
  unsigned step = 0;
  while (!in.empty()) {
    const uint8_t op = in.Byte();
    switch (op % 6) {
      case 0:
      case 1: {
        // A chunk as the poll hands it over: up to a few KB at a time.
        const size_t want = (static_cast<size_t>(in.Byte()) << 4) | (op >> 4);
        const std::string chunk = in.Bytes(want);
        const bool ok = RxAppend(rx, reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size());
        if (ok != model.Append(chunk)) Fail("append");
        break;
      }
      case 2: {
        std::string got = "unchanged", want = "unchanged";
        const bool a = TakeModemLine(rx, got);
        const bool b = model.TakeLine(want);
        if (a != b) Fail("take result");
        if (got != want) Fail("taken line");
        break;
      }
      case 3: {
        const uint32_t n = in.Word() % (RX_SIZE + 16);
        RxConsume(rx, n);
        model.bytes.erase(model.bytes.begin(),
                          model.bytes.begin() +
                              static_cast<std::ptrdiff_t>(std::min<size_t>(n, model.bytes.size())));
        break;
      }
      case 4: {
        const uint32_t from = in.Word() % (RX_SIZE + 16);
        const uint8_t wanted = in.Byte();
        uint32_t expect = from;
        while (expect < model.bytes.size() && model.bytes[expect] != wanted) ++expect;
        if (expect > model.bytes.size()) expect = static_cast<uint32_t>(model.bytes.size());
        const uint32_t found = RxFind(rx, from, wanted);
        if (from < model.bytes.size() ? found != expect : found != rx.count()) Fail("find");
        const uint32_t length = in.Word() % (RX_SIZE + 16);
        std::string copy;
        if (from < model.bytes.size()) {
          const size_t n = std::min<size_t>(length, model.bytes.size() - from);
          copy.assign(model.bytes.begin() + from, model.bytes.begin() + from + n);
        }
        if (RxCopy(rx, from, length) != copy) Fail("copy");
        break;
      }
      default:
        if ((op & 0xF0) == 0xF0) {
          RxReset(rx);
          model.bytes.clear();
          model.dropping = false;
        }
        break;
    }
    // The whole content now and then; every taken line is compared anyway.
    Compare(rx, model, ++step % 16 == 0);
  }
  Compare(rx, model, true);
  return 0;
}
