// A mail client double: records each message with its parent window and flags, answers from a
// script (then a fixed result), and can throw instead of answering.
#pragma once

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <vector>

#include "platform/Mail.h"
#include "platform/gui/Component.h"

namespace mailtest {

struct SentMail {
  plat::WindowRef parent;
  plat::MailMessage message;
  std::uint32_t flags = 0;
};

class CaptureMail : public plat::MailClient {
 public:
  std::uint32_t SendMail(plat::WindowRef parent, const plat::MailMessage& message,
                         std::uint32_t flags) override {
    sent.push_back({parent, message, flags});
    if (throwNext) {
      throwNext = false;
      throw std::runtime_error("mail client failed");
    }
    if (!script.empty()) {
      const std::uint32_t r = script.front();
      script.pop_front();
      return r;
    }
    return result;
  }

  std::vector<SentMail> sent;
  std::deque<std::uint32_t> script;
  std::uint32_t result = plat::mapi::kSuccess;
  bool throwNext = false;
};

// Counts the outcome events a component raises.
struct Outcomes {
  int success = 0;
  int userAbort = 0;
  int errors = 0;
  std::int32_t lastError = 0;
  const void* lastSender = nullptr;

  template <class Component>
  void Attach(Component& c) {
    c.OnSuccess = [this](gui::TComponent* s) { ++success; lastSender = s; };
    c.OnUserAbort = [this](gui::TComponent* s) { ++userAbort; lastSender = s; };
    c.OnMapiError = [this](gui::TComponent* s, std::int32_t code) {
      ++errors;
      lastError = code;
      lastSender = s;
    };
  }
  int Total() const { return success + userAbort + errors; }
};

}  // namespace mailtest
