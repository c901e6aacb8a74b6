// Forwarding bases for the layers that wrap another one: each passes every call to the inner
// file layer, stream or registry unchanged, so that a wrapper overrides only the calls it
// watches or changes, and a call added to an interface reaches the inner layer through every
// wrapper at once. The installer's journal wraps the layers its run changes the machine
// through; the tests' doubles (tests/support) wrap them to count, fail or record calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/RegistryBackend.h"

namespace plat {

class ForwardingFileStream : public FileStream {
 public:
  explicit ForwardingFileStream(std::unique_ptr<FileStream> inner) : inner_(std::move(inner)) {}

  std::int32_t Read(void* buffer, std::int32_t count) override {
    return inner_->Read(buffer, count);
  }
  std::int32_t Write(const void* buffer, std::int32_t count) override {
    return inner_->Write(buffer, count);
  }
  std::int64_t Seek(std::int64_t offset, Origin origin) override {
    return inner_->Seek(offset, origin);
  }
  std::int64_t Size() override { return inner_->Size(); }
  bool SetDosDateTime(std::int32_t dosDateTime) override {
    return inner_->SetDosDateTime(dosDateTime);
  }
  bool Flush() override { return inner_->Flush(); }

 protected:
  FileStream& Inner() { return *inner_; }

 private:
  std::unique_ptr<FileStream> inner_;
};

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner = RealFileSystem()) : inner_(inner) {}

  std::unique_ptr<FileStream> OpenRead(const std::string& path) override {
    return inner_.OpenRead(path);
  }
  std::unique_ptr<FileStream> Create(const std::string& path) override {
    return inner_.Create(path);
  }
  std::unique_ptr<FileStream> OpenWrite(const std::string& path) override {
    return inner_.OpenWrite(path);
  }
  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  bool Exists(const std::string& path) override { return inner_.Exists(path); }
  bool CreateDir(const std::string& path) override { return inner_.CreateDir(path); }
  bool ForceDirectories(const std::string& path) override {
    return inner_.ForceDirectories(path);
  }
  bool DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
  bool RemoveDir(const std::string& path) override { return inner_.RemoveDir(path); }
  std::int32_t FileAge(const std::string& path) override { return inner_.FileAge(path); }
  std::vector<DirEntry> ListDirectory(const std::string& path) override {
    return inner_.ListDirectory(path);
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return inner_.RenameFile(from, to);
  }
  std::int64_t FreeSpace(const std::string& folder) override { return inner_.FreeSpace(folder); }
  bool CanOpenExclusive(const std::string& path) override {
    return inner_.CanOpenExclusive(path);
  }

 protected:
  FileSystem& Inner() { return inner_; }

 private:
  FileSystem& inner_;
};

class ForwardingRegistry : public RegistryBackend {
 public:
  explicit ForwardingRegistry(RegistryBackend& inner) : inner_(inner) {}

  long OpenKey(RegKey parent, const std::string& subKey, RegKey& result) override {
    return inner_.OpenKey(parent, subKey, result);
  }
  long OpenKeyRead(RegKey parent, const std::string& subKey,
                   RegKey& result) override {
    return inner_.OpenKeyRead(parent, subKey, result);
  }
  long CreateKey(RegKey parent, const std::string& subKey, RegKey& result) override {
    return inner_.CreateKey(parent, subKey, result);
  }
  long CloseKey(RegKey key) override { return inner_.CloseKey(key); }
  long FlushKey(RegKey key) override { return inner_.FlushKey(key); }
  long QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                  std::vector<std::uint8_t>& data) override {
    return inner_.QueryValue(key, name, type, data);
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override {
    return inner_.SetValue(key, name, type, data, size);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return inner_.DeleteValue(key, name);
  }
  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override {
    return inner_.EnumKey(key, index, name);
  }
  long DeleteKey(RegKey parent, const std::string& subKey) override {
    return inner_.DeleteKey(parent, subKey);
  }

 protected:
  RegistryBackend& Inner() { return inner_; }

 private:
  RegistryBackend& inner_;
};

}  // namespace plat
