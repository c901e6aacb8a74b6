// The pictures as byte arrays compiled into the program, for systems whose programs carry no
// resources.
#include "wizard/content/Content.h"
#include "wizard/content/Embedded.h"

namespace content {

Bytes LogoBitmap() { return Bytes(embedded::kLogo, embedded::kLogoSize); }
Bytes WelcomeBitmap() { return Bytes(embedded::kWelcome, embedded::kWelcomeSize); }
Bytes ViewerDownloadBitmap() {
  return Bytes(embedded::kViewerDownload, embedded::kViewerDownloadSize);
}
Bytes IconFile() { return Bytes(embedded::kIcon, embedded::kIconSize); }

}  // namespace content
