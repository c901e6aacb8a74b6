// Message boxes: text first, title second, flags, result. The flag and result values are those
// of the Windows message box so that the two back ends agree.
#pragma once

#include <functional>
#include <string>

namespace plat {

namespace mb {
constexpr unsigned kOk = 0x0;
constexpr unsigned kOkCancel = 0x1;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconWarning = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

// Shows a modal message box and returns the button chosen. Goes to the handler installed with
// SetMessageBoxHandler when there is one, otherwise to the platform's own box (Win32
// MessageBoxA; the stand-in writes the box to stderr and answers OK).
int ShowMessageBox(const std::string& text, const std::string& title, unsigned flags);

using MessageBoxHandler =
    std::function<int(const std::string& text, const std::string& title, unsigned flags)>;
// Installs a handler (tests script answers and record boxes; the GUI layer routes boxes to its
// back end). An empty handler restores the platform's own box. Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The platform's own box, whatever handler is installed (standin/ and win32/MessageBox.cpp).
int NativeMessageBox(const std::string& text, const std::string& title, unsigned flags);

}  // namespace plat
