// Records every message box shown while it lives and answers each with the next scripted
// answer (OK when the script has run out). Restores the previous handler when it goes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace testsupport {

struct RecordedBox {
  std::string text;
  std::string title;
  unsigned flags = 0;
};

class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(std::deque<int> answers = {});
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void Answer(int result) { answers_.push_back(result); }
  const std::vector<RecordedBox>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<RecordedBox> boxes_;
  plat::MessageBoxHandler previous_;
};

}  // namespace testsupport
