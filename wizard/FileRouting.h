// Where the installation run writes a payload member: the file-type rule that sends templates
// into the destination's subfolders and the upper-casing used to recognise the product's
// program. Which file names may be written at all is archive/NameSafety.h's rule.
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

// Upper-casing in the Windows-1252 code page of the installer's texts: ASCII letters and the
// accented letters that have a capital form there.
std::string AnsiUpperCase(const std::string& text);

}  // namespace wizard
