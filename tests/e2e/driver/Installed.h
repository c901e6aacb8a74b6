// What an installation leaves behind, read back the way a Windows program sees it: the
// installed files with their bytes and last-write times, the shell links (through IShellLinkA),
// the install record in the registry; and the clean-up that gives every run a known start.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace driver {

// One member of a payload list (demo/payload.txt): the file below the product folder, its
// last-write time as packed ("YYYY-MM-DD HH:MM:SS", local time) and where the installer writes
// it, below the destination folder.
struct PayloadFile {
  std::string member;
  std::string written;
  std::string installedAs;
};
std::vector<PayloadFile> ReadPayloadList(const std::string& path);

// The destination holds exactly the listed files (and the folders they are in), each with the
// bytes of its copy below stage\lumidesk and with its listed last-write time.
void ExpectInstalledFiles(const std::string& destination, const std::vector<PayloadFile>& files,
                          const std::string& stage);

// A file's last-write time in local time, "YYYY-MM-DD HH:MM:SS"; empty when it cannot be read.
std::string LocalWriteTime(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Deletes a folder with everything in it; a missing folder is fine.
void RemoveTree(const std::string& path);

// A shell link as IShellLinkA reads it back from its .lnk file.
struct Link {
  std::string target;
  std::string description;
};
bool ReadLink(const std::string& path, Link& link);
// Saves a shell link as an installer does (IShellLinkA and IPersistFile::Save).
void WriteLink(const std::string& path, const Link& link);

// Every file below a folder, relative path to its last-write time and bytes: two readings are
// equal when the folder holds the same files byte for byte.
std::map<std::string, std::string> ReadTree(const std::string& folder);

// The product's three links: the Start menu's and the Programs menu's Lumidesk\Lumidesk.exe.lnk
// and the desktop's Lumidesk.lnk, with the group folders of the first two.
struct ProductLinks {
  std::string startMenu, programs, desktop;
  std::string startMenuGroup, programsGroup;
};
ProductLinks ProductLinkPaths();
void RemoveProductLinks();

// The install record: its values by name (string values only; another type is a failure), or
// false when the key does not exist.
bool ReadRecord(std::map<std::string, std::string>& values);
void WriteRecord(const std::map<std::string, std::string>& values);
void DeleteRecord();

}  // namespace driver
