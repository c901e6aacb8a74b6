// The Windows shell: special folders through the item-id list and the shell allocator, COM
// initialisation, and shell links through IShellLinkA and IPersistFile. Every COM pointer and
// item-id list is owned by a small RAII type and released on every path.
#include "platform/Shell.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

namespace plat {

namespace {

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
  if (path.size() >= MAX_PATH) return static_cast<HRESULT>(com::kPathTooLong);
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error);
  }
  return S_OK;
}

class Win32LinkFile : public ShellLinkFile {
 public:
  explicit Win32LinkFile(IPersistFile* file) { *file_.Put() = file; }

  ComResult Save(const std::string& path, bool remember) override {
    WCHAR wide[MAX_PATH];
    const HRESULT converted = ToWidePath(path, wide);
    if (FAILED(converted)) return converted;
    return file_->Save(wide, remember ? TRUE : FALSE);
  }

 private:
  ComPtr<IPersistFile> file_;
};

class Win32Link : public ShellLink {
 public:
  explicit Win32Link(IShellLinkA* link) { *link_.Put() = link; }

  ComResult SetPath(const std::string& target) override { return link_->SetPath(target.c_str()); }
  ComResult SetDescription(const std::string& description) override {
    return link_->SetDescription(description.c_str());
  }
  ComResult SetShowCmd(int showCmd) override { return link_->SetShowCmd(showCmd); }
  ComResult QueryPersistFile(std::unique_ptr<ShellLinkFile>& file) override {
    IPersistFile* persist = nullptr;
    const HRESULT hr =
        link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (FAILED(hr)) return hr;
    if (!persist) return E_NOINTERFACE;
    file.reset(new Win32LinkFile(persist));
    return hr;
  }

 private:
  ComPtr<IShellLinkA> link_;
};

class Win32Shell : public Shell {
 public:
  bool SpecialFolderPath(int csidl, std::string& path) override {
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

  ComResult ComInitialize() override { return CoInitialize(nullptr); }
  void ComUninitialize() override { CoUninitialize(); }

  ComResult CreateShellLink(std::unique_ptr<ShellLink>& link) override {
    IShellLinkA* object = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return hr;
    if (!object) return E_NOINTERFACE;
    link.reset(new Win32Link(object));
    return hr;
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
      info.showCmd = showCmd;
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
