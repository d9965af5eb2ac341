// Waiting on a condition, never on time: a test drives its subject step by
// step until what it expects holds. The bounds only turn a hang into a
// failure; no slow machine reaches them.
#pragma once

#include <functional>

namespace tw::test {

// Runs `step` until `done()` holds, at most `maxSteps` times. For subjects
// that need no real time (fakes, in-memory ports): the count of steps is
// part of what is checked, so a tight bound is fine. True when done.
[[nodiscard]] bool PollUntil(const std::function<bool()>& done, const std::function<void()>& step,
                             int maxSteps);

// For a real device or process: runs `step` until `done()` holds, letting
// the system work for a millisecond between steps, and gives up after a
// minute (a hang, not a slow machine). True when done.
[[nodiscard]] bool WaitUntil(
    const std::function<bool()>& done, const std::function<void()>& step = [] {});

}  // namespace tw::test
