#include "support/memory_port.h"

#include <algorithm>

namespace tw::test {

struct MemoryCable::State {
  std::deque<uint8_t> toward[2];  // bytes on their way to end 0 and end 1
  bool open[2] = {false, false};
  bool pulled = false;
};

namespace {

class MemoryEnd : public SerialPort {
 public:
  MemoryEnd(std::shared_ptr<MemoryCable::State> s, int end) : s_(std::move(s)), end_(end) {
    s_->open[end_] = true;
  }
  ~MemoryEnd() override { s_->open[end_] = false; }
  bool configure(uint32_t) override { return !s_->pulled; }
  int readAvailable(uint8_t* destination, int max) override {
    if (s_->pulled) return -1;
    std::deque<uint8_t>& in = s_->toward[end_];
    const int n = std::min(max, static_cast<int>(in.size()));
    std::copy_n(in.begin(), n, destination);
    in.erase(in.begin(), in.begin() + n);
    return n;
  }
  bool writeAll(const char* data, size_t length, int) override {
    if (s_->pulled) return false;
    s_->toward[1 - end_].insert(s_->toward[1 - end_].end(), data, data + length);
    return true;
  }

 private:
  std::shared_ptr<MemoryCable::State> s_;
  int end_;
};

}  // namespace

class MemoryCable::EndOpener : public SerialPortOpener {
 public:
  EndOpener(std::shared_ptr<State> s, int end, int port)
      : s_(std::move(s)), end_(end), port_(port) {}
  std::unique_ptr<SerialPort> open(int portNumber) override {
    if (portNumber != port_ || s_->open[end_] || s_->pulled) return nullptr;
    return std::make_unique<MemoryEnd>(s_, end_);
  }
  std::string device(int portNumber) const override {
    return portNumber == port_ ? "memory" + std::to_string(end_) : std::string();
  }
  OpenFailure lastFailure() const override {
    return {"memory" + std::to_string(end_), s_->pulled ? "cable pulled" : "in use or absent", ""};
  }

 private:
  std::shared_ptr<State> s_;
  int end_;
  int port_;
};

MemoryCable::MemoryCable(int port0, int port1) : state_(std::make_shared<State>()) {
  openers_[0] = std::make_unique<EndOpener>(state_, 0, port0);
  openers_[1] = std::make_unique<EndOpener>(state_, 1, port1);
}

MemoryCable::~MemoryCable() = default;

SerialPortOpener& MemoryCable::opener(int end) { return *openers_[end & 1]; }
size_t MemoryCable::inFlight(int end) const { return state_->toward[1 - (end & 1)].size(); }
bool MemoryCable::isOpen(int end) const { return state_->open[end & 1]; }
void MemoryCable::pull() { state_->pulled = true; }

}  // namespace tw::test
