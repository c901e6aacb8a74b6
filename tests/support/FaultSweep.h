// The fault sweep: one case run again and again with a fault at the N-th counted call of a
// failing layer, N = 1, 2, ... until a run in which no fault fired; first with transient faults
// (only the N-th call fails), then with persistent ones (every call from the N-th on). The case
// prepares its own state, runs, and checks what the run left (SQLite's fault-simulation loop).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace testsupport {

struct FaultPoint {
  long n = 0;
  bool persistent = false;
  std::string Describe() const {
    return std::string(persistent ? "persistent" : "transient") + " fault at call " +
           std::to_string(n);
  }
};

struct SweepModes {
  bool transient = true;
  bool persistent = true;
  long limit = 5000;  // a sweep that gets here does not end: a failure of its own
};

// Runs `run` at every fault point; it answers whether its fault fired. Stops at the first fatal
// failure. Returns how many points fired.
inline long SweepFaults(const std::function<bool(const FaultPoint&)>& run,
                        SweepModes modes = SweepModes()) {
  long points = 0;
  for (const bool persistent : {false, true}) {
    if (persistent ? !modes.persistent : !modes.transient) continue;
    for (long n = 1;; ++n) {
      const FaultPoint point{n, persistent};
      const bool fired = run(point);
      if (::testing::Test::HasFatalFailure() || !fired) break;
      ++points;
      if (n >= modes.limit) {
        ADD_FAILURE() << "the sweep does not end: " << point.Describe();
        return points;
      }
    }
    if (::testing::Test::HasFatalFailure()) break;
  }
  return points;
}

}  // namespace testsupport
