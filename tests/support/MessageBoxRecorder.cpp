#include "MessageBoxRecorder.h"

namespace testsupport {

MessageBoxRecorder::MessageBoxRecorder(std::deque<int> answers) : answers_(std::move(answers)) {
  previous_ = plat::SetMessageBoxHandler(
      [this](const std::string& text, const std::string& title, unsigned flags) {
        boxes_.push_back({text, title, flags});
        if (answers_.empty()) return plat::mb::kIdOk;
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
      });
}

MessageBoxRecorder::~MessageBoxRecorder() { plat::SetMessageBoxHandler(previous_); }

}  // namespace testsupport
