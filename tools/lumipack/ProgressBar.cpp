#include "tools/lumipack/ProgressBar.h"

#include <cstdio>
#include <string>

namespace lumipack {

namespace {
constexpr int kWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
}  // namespace

ProgressBar::ProgressBar(std::ostream& out, bool enabled)
    : out_(out), enabled_(enabled), start_(std::chrono::steady_clock::now()), lastDraw_(start_) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Update(std::int64_t done, std::int64_t total) {
  Show(total > 0 && done < total ? static_cast<int>(done * 100 / total) : 100, done);
}

void ProgressBar::Show(int percent, std::int64_t done) {
  if (!enabled_) return;
  percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const auto now = std::chrono::steady_clock::now();
  if (percent == lastPercent_ && now - lastDraw_ < kRedrawInterval) return;
  lastPercent_ = percent;
  lastDraw_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(done) / 1e6 / seconds : 0.0;
  const int filled = percent * kWidth / 100;
  char line[128];
  std::snprintf(line, sizeof line, "\r[%s%s] %3d%%  %7.1f MB/s", std::string(filled, '#').c_str(),
                std::string(kWidth - filled, ' ').c_str(), percent, rate);
  out_ << line << std::flush;
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (drawn_) out_ << "\n" << std::flush;
  drawn_ = false;
}

}  // namespace lumipack
