// The Windows shell: special folders through the item-id list and the shell allocator, COM
// initialisation, and shell links through IShellLinkA and IPersistFile. Every COM pointer and
// item-id list is owned by a small RAII type and released on every path. The system's values
// (CSIDL, SW_, HRESULT, MAX_PATH) stay in this file: the interface speaks in our own.
#include "platform/Shell.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

namespace plat {

namespace {

// Our code for a COM result: the failures callers tell apart by name, any other as kFailed,
// and every success as kOk (S_FALSE means "already initialised" only from CoInitialize).
ShellResult FromHresult(HRESULT hr) {
  if (SUCCEEDED(hr)) return ShellResult::kOk;
  switch (hr) {
    case CO_E_NOTINITIALIZED: return ShellResult::kNotInitialised;
    case E_NOINTERFACE: return ShellResult::kNoInterface;
    case E_OUTOFMEMORY: return ShellResult::kOutOfMemory;
    case E_ACCESSDENIED:
    case STG_E_ACCESSDENIED: return ShellResult::kAccessDenied;
    case HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE): return ShellResult::kPathTooLong;
    default: return ShellResult::kFailed;
  }
}

int ToCsidl(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::kStartMenu: return CSIDL_STARTMENU;
    case SpecialFolder::kPrograms: return CSIDL_PROGRAMS;
    case SpecialFolder::kDesktopDirectory: return CSIDL_DESKTOPDIRECTORY;
    case SpecialFolder::kCommonAppData: return CSIDL_COMMON_APPDATA;
  }
  return -1;
}

// A path that fits a MAX_PATH buffer with its terminator.
bool FitsMaxPath(const std::string& path) { return path.size() < MAX_PATH; }

// Owns one reference to a COM interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For the out-parameter of a creating call; drops what was held.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (p_) {
      p_->Release();
      p_ = nullptr;
    }
  }

 private:
  T* p_ = nullptr;
};

// Initialises COM for the calling thread while alive, when it can.
class ScopedCom {
 public:
  ScopedCom() : result_(CoInitialize(nullptr)) {}
  ~ScopedCom() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;
  bool Ok() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

// An item-id list allocated by the shell, freed through the shell allocator.
class ScopedIdList {
 public:
  explicit ScopedIdList(IMalloc* allocator) : allocator_(allocator) {}
  ~ScopedIdList() {
    if (list_) allocator_->Free(list_);
  }
  ScopedIdList(const ScopedIdList&) = delete;
  ScopedIdList& operator=(const ScopedIdList&) = delete;
  LPITEMIDLIST* Put() { return &list_; }
  LPCITEMIDLIST Get() const { return list_; }

 private:
  IMalloc* allocator_;
  LPITEMIDLIST list_ = nullptr;
};

// ANSI (system code page) to wide characters, whole string with its terminator, into a
// MAX_PATH buffer. The result code tells why it did not fit.
HRESULT ToWidePath(const std::string& path, WCHAR (&wide)[MAX_PATH]) {
  if (!FitsMaxPath(path)) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error);
  }
  return S_OK;
}

class Win32LinkFile : public ShellLinkFile {
 public:
  explicit Win32LinkFile(IPersistFile* file) { *file_.Put() = file; }

  ShellResult Save(const std::string& path, bool remember) override {
    WCHAR wide[MAX_PATH];
    const HRESULT converted = ToWidePath(path, wide);
    if (FAILED(converted)) return FromHresult(converted);
    return FromHresult(file_->Save(wide, remember ? TRUE : FALSE));
  }

 private:
  ComPtr<IPersistFile> file_;
};

class Win32Link : public ShellLink {
 public:
  explicit Win32Link(IShellLinkA* link) { *link_.Put() = link; }

  ShellResult SetPath(const std::string& target) override {
    return FromHresult(link_->SetPath(target.c_str()));
  }
  ShellResult SetDescription(const std::string& description) override {
    return FromHresult(link_->SetDescription(description.c_str()));
  }
  ShellResult SetShowCmd(ShowCommand showCmd) override {
    switch (showCmd) {
      case ShowCommand::kNormal: return FromHresult(link_->SetShowCmd(SW_SHOWNORMAL));
      case ShowCommand::kShow: return FromHresult(link_->SetShowCmd(SW_SHOW));
      case ShowCommand::kOther: break;
    }
    return ShellResult::kFailed;
  }
  ShellResult QueryPersistFile(std::unique_ptr<ShellLinkFile>& file) override {
    IPersistFile* persist = nullptr;
    const HRESULT hr =
        link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (FAILED(hr)) return FromHresult(hr);
    if (!persist) return ShellResult::kNoInterface;
    file.reset(new Win32LinkFile(persist));
    return FromHresult(hr);
  }

 private:
  ComPtr<IShellLinkA> link_;
};

class Win32Shell : public Shell {
 public:
  // The item-id list and the shell allocator are released on every path.
  bool SpecialFolderPath(SpecialFolder folder, std::string& path) override {
    const int csidl = ToCsidl(folder);
    if (csidl < 0) return false;
    ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Put())) || !allocator) return false;
    ScopedIdList list(allocator.Get());
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.Put())) || !list.Get()) {
      return false;
    }
    char buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(list.Get(), buffer)) return false;
    // The shell never fills the whole buffer, but the length is taken within it regardless.
    path.assign(buffer, strnlen(buffer, MAX_PATH - 1));
    return true;
  }

  bool PathFits(const std::string& path) const override { return FitsMaxPath(path); }

  ShellResult ComInitialize() override {
    const HRESULT hr = CoInitialize(nullptr);
    // S_FALSE: COM was initialised on this thread already.
    return hr == S_FALSE ? ShellResult::kAlreadyInitialised : FromHresult(hr);
  }
  void ComUninitialize() override { CoUninitialize(); }

  ShellResult CreateShellLink(std::unique_ptr<ShellLink>& link) override {
    IShellLinkA* object = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return FromHresult(hr);
    if (!object) return ShellResult::kNoInterface;
    link.reset(new Win32Link(object));
    return FromHresult(hr);
  }

  bool ReadLink(const std::string& path, LinkInfo& info) override {
    ScopedCom com;
    if (!com.Ok()) return false;
    WCHAR wide[MAX_PATH];
    if (FAILED(ToWidePath(path, wide))) return false;
    {
      ComPtr<IShellLinkA> link;
      if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IShellLinkA, link.PutVoid()))) {
        return false;
      }
      ComPtr<IPersistFile> file;
      if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return false;
      if (FAILED(file->Load(wide, STGM_READ))) return false;
      char target[MAX_PATH] = {};
      if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return false;
      char description[INFOTIPSIZE] = {};
      if (FAILED(link->GetDescription(description, INFOTIPSIZE))) return false;
      int showCmd = SW_SHOWNORMAL;
      if (FAILED(link->GetShowCmd(&showCmd))) return false;
      info.target.assign(target, strnlen(target, MAX_PATH - 1));
      info.description.assign(description, strnlen(description, INFOTIPSIZE - 1));
      info.showCmd = showCmd == SW_SHOWNORMAL ? ShowCommand::kNormal
                     : showCmd == SW_SHOW     ? ShowCommand::kShow
                                              : ShowCommand::kOther;
    }  // the link is released before COM is uninitialised
    return true;
  }
};

}  // namespace

Shell& SystemShell() {
  static Win32Shell shell;
  return shell;
}

}  // namespace plat
