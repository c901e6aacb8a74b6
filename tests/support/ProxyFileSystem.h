// The base of every test file layer that wraps another one: it passes each call to the inner
// layer unchanged, so that a decorator overrides only the calls it watches or changes, and a
// call added to plat::FileSystem reaches the inner layer through every decorator at once.
// ProxyFileStream does the same for the streams a decorator hands out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace testsupport {

class ProxyFileStream : public plat::FileStream {
 public:
  explicit ProxyFileStream(std::unique_ptr<plat::FileStream> inner) : inner_(std::move(inner)) {}

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

 protected:
  plat::FileStream& Inner() { return *inner_; }

 private:
  std::unique_ptr<plat::FileStream> inner_;
};

class ProxyFileSystem : public plat::FileSystem {
 public:
  explicit ProxyFileSystem(plat::FileSystem& inner = plat::RealFileSystem()) : inner_(inner) {}

  std::unique_ptr<plat::FileStream> OpenRead(const std::string& path) override {
    return inner_.OpenRead(path);
  }
  std::unique_ptr<plat::FileStream> Create(const std::string& path) override {
    return inner_.Create(path);
  }
  std::unique_ptr<plat::FileStream> OpenWrite(const std::string& path) override {
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
  std::vector<plat::DirEntry> ListDirectory(const std::string& path) override {
    return inner_.ListDirectory(path);
  }

 protected:
  plat::FileSystem& Inner() { return inner_; }

 private:
  plat::FileSystem& inner_;
};

}  // namespace testsupport
