// Reading back files, links and the install record; clearing them before a run.
#include "Installed.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "Driver.h"

namespace driver {

namespace {

const char kRecordKey[] = "SOFTWARE\\NORTAVIA\\Zentaro";
const char kGroup[] = "Lumidesk";
const char kMenuLinkName[] = "Lumidesk.exe.lnk";
const char kDesktopLinkName[] = "Lumidesk.lnk";

std::string ReadWhole(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::ostringstream bytes;
  if (ok) bytes << in.rdbuf();
  return bytes.str();
}

// Every file below folder, as paths relative to it with their names as stored on disk.
void ListFiles(const std::string& folder, const std::string& relative,
               std::set<std::string>& out) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = d.cFileName;
    if (name == "." || name == "..") continue;
    const std::string rel = relative.empty() ? name : relative + "\\" + name;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(folder + "\\" + name, rel, out);
    else
      out.insert(rel);
  } while (FindNextFileA(h, &d));
  FindClose(h);
}

struct ComScope {
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

}  // namespace

std::vector<PayloadFile> ReadPayloadList(const std::string& path) {
  std::ifstream in(WindowsPath(path));
  Expect(static_cast<bool>(in), "the payload list " + path + " can be read");
  std::vector<PayloadFile> files;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t a = line.find('|');
    const std::size_t b = a == std::string::npos ? a : line.find('|', a + 1);
    Expect(b != std::string::npos, "payload list line \"" + line + "\" has three fields");
    PayloadFile f{line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)};
    std::replace(f.member.begin(), f.member.end(), '/', '\\');
    files.push_back(f);
  }
  Expect(!files.empty(), "the payload list names files");
  return files;
}

std::string LocalWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return std::string();
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&a.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
    return std::string();
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond);
  return text;
}

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &d);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = d.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(h, &d));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
  Expect(!FolderExists(path), "the folder " + path + " can be cleared before the run");
}

void ExpectInstalledFiles(const std::string& destination, const std::vector<PayloadFile>& files,
                          const std::string& stage) {
  std::set<std::string> found;
  ListFiles(destination, "", found);
  std::set<std::string> expected;
  for (const PayloadFile& f : files) {
    expected.insert(f.installedAs);
    const std::string installed = destination + "\\" + f.installedAs;
    Expect(found.count(f.installedAs) == 1,
           installed + " is installed under that name (letter case included)");
    bool ok = false;
    const std::string bytes = ReadWhole(installed, ok);
    Expect(ok, installed + " can be read");
    bool stagedOk = false;
    const std::string staged = ReadWhole(WindowsPath(stage) + "\\lumidesk\\" + f.member, stagedOk);
    Expect(stagedOk, "the packed copy of " + f.member + " can be read");
    Expect(bytes == staged, installed + " holds the packed bytes (" +
                                std::to_string(bytes.size()) + " bytes, packed " +
                                std::to_string(staged.size()) + ")");
    const std::string when = LocalWriteTime(installed);
    Expect(when == f.written,
           installed + " was last written " + f.written + " (found " + when + ")");
  }
  for (const std::string& name : found)
    Expect(expected.count(name) == 1, destination + "\\" + name + " is not a payload file");
}

bool ReadLink(const std::string& path, Link& link) {
  ComScope com;
  IShellLinkA* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shell))))
    return false;
  bool ok = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) > 0 &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
      char text[MAX_PATH] = {0};
      ok = SUCCEEDED(shell->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
      link.target = text;
      char description[INFOTIPSIZE] = {0};
      shell->GetDescription(description, INFOTIPSIZE);
      link.description = description;
    }
    file->Release();
  }
  shell->Release();
  return ok;
}

void WriteLink(const std::string& path, const Link& link) {
  ComScope com;
  IShellLinkA* shell = nullptr;
  Expect(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IShellLinkA, reinterpret_cast<void**>(&shell))),
         "a shell link object for " + path);
  shell->SetPath(link.target.c_str());
  shell->SetDescription(link.description.c_str());
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH];
    saved = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) > 0 &&
            SUCCEEDED(file->Save(wide, TRUE));
    file->Release();
  }
  shell->Release();
  Expect(saved, "the link " + path + " is saved");
}

std::map<std::string, std::string> ReadTree(const std::string& folder) {
  std::set<std::string> files;
  ListFiles(folder, "", files);
  std::map<std::string, std::string> tree;
  for (const std::string& f : files) {
    bool ok = false;
    const std::string bytes = ReadWhole(folder + "\\" + f, ok);
    tree[f] = LocalWriteTime(folder + "\\" + f) + " " + bytes;
  }
  return tree;
}

ProductLinks ProductLinkPaths() {
  auto folder = [](int csidl) {
    char path[MAX_PATH] = {0};
    Expect(SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) != FALSE,
           "the special folder " + std::to_string(csidl) + " resolves");
    return std::string(path);
  };
  ProductLinks l;
  l.startMenuGroup = folder(CSIDL_STARTMENU) + "\\" + kGroup;
  l.programsGroup = folder(CSIDL_PROGRAMS) + "\\" + kGroup;
  l.startMenu = l.startMenuGroup + "\\" + kMenuLinkName;
  l.programs = l.programsGroup + "\\" + kMenuLinkName;
  l.desktop = folder(CSIDL_DESKTOPDIRECTORY) + "\\" + kDesktopLinkName;
  return l;
}

void RemoveProductLinks() {
  const ProductLinks l = ProductLinkPaths();
  DeleteFileA(l.desktop.c_str());
  RemoveTree(l.startMenuGroup);
  RemoveTree(l.programsGroup);
  Expect(!FileExists(l.desktop), l.desktop + " can be removed before the run");
}

bool ReadRecord(std::map<std::string, std::string>& values) {
  values.clear();
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    BYTE data[1024];
    DWORD dataSize = sizeof data;
    const LONG rc = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
    if (rc != ERROR_SUCCESS) break;
    if (type != REG_SZ) {
      RegCloseKey(key);
      throw Failure{std::string("the install record's value ") + name + " is not a string"};
    }
    // The data as stored, without the terminating zero the registry may add.
    std::string text(reinterpret_cast<char*>(data), dataSize);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    values[name] = text;
  }
  RegCloseKey(key);
  return true;
}

void WriteRecord(const std::map<std::string, std::string>& values) {
  HKEY key;
  Expect(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                         &key, nullptr) == ERROR_SUCCESS,
         "can write the install record");
  for (const auto& v : values) {
    RegSetValueExA(key, v.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.second.data()),
                   static_cast<DWORD>(v.second.size()));
  }
  RegCloseKey(key);
}

void DeleteRecord() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRecordKey);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRecordKey);
  std::map<std::string, std::string> left;
  Expect(!ReadRecord(left), "the install record can be removed before the run");
}

}  // namespace driver
