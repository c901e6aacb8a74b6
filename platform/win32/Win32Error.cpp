// Texts of Win32 error codes for our error messages.
#include "platform/win32/Win32Error.h"

#include <windows.h>

namespace plat::win32 {

std::string SystemMessage(unsigned long code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message;
  if (length != 0 && text != nullptr) message.assign(text, length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
          message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "error " + std::to_string(code);
  return message;
}

std::string DescribeError(const std::string& operation, const std::string& path,
                          unsigned long code) {
  return operation + " \"" + path + "\": " + SystemMessage(code) + " (error " +
         std::to_string(code) + ")";
}

}  // namespace plat::win32
