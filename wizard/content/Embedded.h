// The arrays that the build generates from the content files (see CMakeLists.txt beside
// this file). Each holds the file's bytes followed by one zero byte not counted in its size.
#pragma once

#include <cstddef>

namespace content {
namespace embedded {

#define LUMI_CONTENT_EMBEDDED(name)  \
  extern const unsigned char name[]; \
  extern const std::size_t name##Size;

LUMI_CONTENT_EMBEDDED(kLicence)
LUMI_CONTENT_EMBEDDED(kInformation)
LUMI_CONTENT_EMBEDDED(kPrivacy)
LUMI_CONTENT_EMBEDDED(kSlogan)
LUMI_CONTENT_EMBEDDED(kVendorNotice1)
LUMI_CONTENT_EMBEDDED(kVendorNotice2)
LUMI_CONTENT_EMBEDDED(kLogo)
LUMI_CONTENT_EMBEDDED(kWelcome)
LUMI_CONTENT_EMBEDDED(kViewerDownload)
LUMI_CONTENT_EMBEDDED(kIcon)

#undef LUMI_CONTENT_EMBEDDED

}  // namespace embedded
}  // namespace content
