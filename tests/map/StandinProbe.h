// Asks the stand-in map library, loaded by path, what it was sent.
#pragma once

#include <QLibrary>
#include <string>
#include <vector>

namespace tw::test {

class StandinProbe {
 public:
  explicit StandinProbe(const char* path) : library_(QString::fromUtf8(path)) { library_.load(); }
  bool ok() const { return library_.isLoaded(); }

  std::vector<std::string> received() {
    std::vector<std::string> sent;
    auto count = Function<int (*)()>("standinReceivedCount");
    auto at = Function<const char* (*)(int)>("standinReceived");
    if (count == nullptr || at == nullptr) return sent;
    for (int i = 0; i < count(); ++i) sent.emplace_back(at(i));
    return sent;
  }
  int otherCalls() {
    auto f = Function<int (*)()>("standinOtherCalls");
    return f ? f() : -1;
  }
  int nullArguments() {
    auto f = Function<int (*)()>("standinNullArguments");
    return f ? f() : -1;
  }
  void reset() {
    if (auto f = Function<void (*)()>("standinReset")) f();
  }

 private:
  template <typename F>
  F Function(const char* name) {
    return reinterpret_cast<F>(library_.resolve(name));
  }
  QLibrary library_;
};

}  // namespace tw::test
