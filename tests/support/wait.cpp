#include "support/wait.h"

#include <chrono>
#include <thread>

namespace tw::test {

bool PollUntil(const std::function<bool()>& done, const std::function<void()>& step, int maxSteps) {
  for (int i = 0; i < maxSteps && !done(); ++i) step();
  return done();
}

bool WaitUntil(const std::function<bool()>& done, const std::function<void()>& step) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    step();
    if (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace tw::test
