// Turns the byte arrays that the build generates from the text files into strings. The
// pictures come from posix/Pictures.cpp or win32/Pictures.cpp.
#include "wizard/content/Content.h"

#include "wizard/content/Embedded.h"

namespace content {
namespace {

std::string Text(const unsigned char* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// The one-line texts are kept as ordinary text files, whose last line ends in CR LF like
// any other; a label wants the line alone.
std::string Line(const unsigned char* data, std::size_t size) {
  std::string text = Text(data, size);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text;
}

}  // namespace

std::string LicenceText() { return Text(embedded::kLicence, embedded::kLicenceSize); }
std::string InformationText() {
  return Text(embedded::kInformation, embedded::kInformationSize);
}
std::string PrivacyNotice() { return Text(embedded::kPrivacy, embedded::kPrivacySize); }

std::string Slogan() { return Line(embedded::kSlogan, embedded::kSloganSize); }
std::string VendorNotice1() {
  return Line(embedded::kVendorNotice1, embedded::kVendorNotice1Size);
}
std::string VendorNotice2() {
  return Line(embedded::kVendorNotice2, embedded::kVendorNotice2Size);
}

}  // namespace content
