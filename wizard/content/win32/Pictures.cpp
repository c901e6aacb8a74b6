// The pictures from the program's resources (Content.rc), where Windows wants them anyway for
// the icon and where they are stored once instead of twice. Each file is rebuilt on first use
// and kept for the program's life, followed by one zero byte like the compiled-in arrays.
#include <vector>

#include "platform/Resources.h"
#include "wizard/content/Content.h"
#include "wizard/content/PictureFiles.h"

namespace content {
namespace {

// Names and numbers used in Content.rc.
constexpr const char* kLogoResource = "LOGO";
constexpr const char* kWelcomeResource = "WELCOME";
constexpr const char* kViewerDownloadResource = "VIEWERDOWNLOAD";
constexpr unsigned kIconGroupResource = 1;

Bytes Resource(plat::ResourceKind kind, const char* name) {
  const plat::ResourceData r = plat::ProgramResource(kind, name);
  return Bytes(r.data, r.size);
}

Bytes Resource(plat::ResourceKind kind, unsigned id) {
  const plat::ResourceData r = plat::ProgramResource(kind, id);
  return Bytes(r.data, r.size);
}

Bytes IconImage(unsigned id) { return Resource(plat::ResourceKind::Icon, id); }

Bytes Kept(const std::vector<unsigned char>& file) { return Bytes(file.data(), file.size() - 1); }

std::vector<unsigned char> WithZero(std::vector<unsigned char> file) {
  file.push_back(0);
  return file;
}

}  // namespace

Bytes LogoBitmap() {
  static const std::vector<unsigned char> file = WithZero(
      BmpFileFromResource(Resource(plat::ResourceKind::Bitmap, kLogoResource)));
  return Kept(file);
}

Bytes WelcomeBitmap() {
  static const std::vector<unsigned char> file = WithZero(
      BmpFileFromResource(Resource(plat::ResourceKind::Bitmap, kWelcomeResource)));
  return Kept(file);
}

Bytes ViewerDownloadBitmap() {
  static const std::vector<unsigned char> file = WithZero(
      BmpFileFromResource(Resource(plat::ResourceKind::Bitmap, kViewerDownloadResource)));
  return Kept(file);
}

Bytes IconFile() {
  static const std::vector<unsigned char> file = WithZero(IcoFileFromResources(
      Resource(plat::ResourceKind::IconGroup, kIconGroupResource), IconImage));
  return Kept(file);
}

}  // namespace content
