// Where the installation run writes a payload member: RouteMember, the one rule from a member's
// stored path and the destination to the file the run writes, or to its refusal. Both the check
// before the run and the routing handler ask it. Its parts: the file-name part of the stored path
// (every stored folder level is dropped), a name Windows can hold safely (archive/NameSafety.h),
// and the file-type rule that sends templates into the destination's subfolders.
#pragma once

#include <string>

namespace wizard {

constexpr char kTemplatesFolder[] = "Modelli";        // text, web-page and photo templates
constexpr char kRtfTemplatesFolder[] = "ModelliRTF";  // bitmaps and RVF documents

// The routing extension of a stored member path, upper-cased (ASCII letters only). The whole
// path is split at ".": a run of dots is one separator and leading dots are skipped; the
// extension is the second piece, or empty when there is none. So "c:\src\pack.tar.gz" gives
// "TAR" and "c:\rel1.5\page.htm" gives "5\PAGE": a dot in a folder name decides.
std::string RoutingExtension(const std::string& storedPath);

// The subfolder of the destination that receives files with this (upper-cased) extension:
// kTemplatesFolder, kRtfTemplatesFolder, or empty for the destination itself.
std::string SubfolderFor(const std::string& extension);

// Why a member is not written.
enum class RouteRefusal {
  kNone,
  // The stored path's file-name part is empty, "." or "..", a device, or a name Windows would
  // alter or resolve elsewhere: written, it could land outside the destination.
  kUnsafeFileName,
};

struct MemberRoute {
  std::string target;  // the full path to write; empty when refused
  RouteRefusal refusal = RouteRefusal::kNone;
  bool Refused() const { return refusal != RouteRefusal::kNone; }
};

// destination + "" [+ subfolder + ""] + the file-name part of the stored path (the text after
// its last "" or ":"), the subfolder chosen by RoutingExtension of the whole stored path. The
// destination is taken as it is, without a trailing "".
MemberRoute RouteMember(const std::string& storedPath, const std::string& destination);

}  // namespace wizard
