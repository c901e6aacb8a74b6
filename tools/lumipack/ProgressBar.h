// A one-line progress bar with percentage and throughput, redrawn in place on a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

namespace lumipack {

class ProgressBar {
 public:
  // Draws nothing at all when not enabled.
  ProgressBar(std::ostream& out, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Redraws when the percentage changes or a fifth of a second has passed.
  void Update(std::int64_t done, std::int64_t total);
  // The same with the percentage given (0 to 100) and the bytes done so far for the rate.
  void Show(int percent, std::int64_t done);
  // Ends the line when a bar was drawn. Called by the destructor too.
  void Finish();

 private:
  std::ostream& out_;
  bool enabled_;
  bool drawn_ = false;
  int lastPercent_ = -1;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace lumipack
