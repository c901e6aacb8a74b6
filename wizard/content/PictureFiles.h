// Whole picture files rebuilt from the form Windows resources keep them in. The resource
// compiler stores a .bmp file without its 14-byte file header, and an .ico file as one
// resource per image plus a group directory that numbers the images instead of locating
// them. These functions put the files back together, byte for byte as they were, so the
// wizard sees the same picture files whether they come from resources or from arrays.
#pragma once

#include <cstddef>
#include <vector>

#include "wizard/content/Content.h"

namespace content {

// The .bmp file for the bitmap of a BITMAP resource (info header, colour table, pixels). An
// 8-bit run-length-encoded (BI_RLE8) bitmap comes back as the 24-bit uncompressed file with
// the same pixels and resolution. Throws plat::Error when the bytes are too short for the
// header they declare or the runs leave the picture or the palette.
std::vector<unsigned char> BmpFileFromResource(Bytes dib);

// The .ico file for an icon group resource; `image` returns the icon image resource with a
// given number. The images follow the directory in the group's order. Throws plat::Error on
// a group directory cut short.
using IconImageLookup = Bytes (*)(unsigned id);
std::vector<unsigned char> IcoFileFromResources(Bytes group, IconImageLookup image);

}  // namespace content
