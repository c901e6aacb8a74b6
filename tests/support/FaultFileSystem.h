// A file layer that passes every call to another one and fails the N-th counted call: an open
// throws plat::Error, a stream read or write throws plat::StreamError, a folder call answers
// false. Counted are opens, creates, stream reads, writes and flushes, folder creation, renames
// and deletions. A persistent
// fault fails every counted call from the N-th on; a transient one only the N-th. Run a case
// for N = 1, 2, ... until Fired() stays false to cover every point of failure.
//
// With short writes on, only stream writes are counted and a failing write does not throw: it
// writes half of what it was given (a disk that fills up during the call) and, for a persistent
// fault, every later write writes nothing (the disk is full).
#pragma once

#include <memory>
#include <string>

#include "support/ProxyFileSystem.h"

namespace testsupport {

class FaultFileSystem : public ProxyFileSystem {
 public:
  using ProxyFileSystem::ProxyFileSystem;

  void FailAt(long n, bool persistent = false) {
    failAt_ = n;
    persistent_ = persistent;
    count_ = 0;
    fired_ = false;
  }
  void SetShortWrites(bool on) { shortWrites_ = on; }
  bool ShortWrites() const { return shortWrites_; }
  bool Fired() const { return fired_; }
  long Count() const { return count_; }

  // True when this counted call is to fail.
  bool Trip();
  // The same for a stream write: counted in both modes. first is set when this is the N-th call
  // itself rather than a later one of a persistent fault.
  bool TripWrite(bool& first);

  std::unique_ptr<plat::FileStream> OpenRead(const std::string& path) override;
  std::unique_ptr<plat::FileStream> Create(const std::string& path) override;
  std::unique_ptr<plat::FileStream> OpenWrite(const std::string& path) override;
  bool CreateDir(const std::string& path) override {
    return !Trip() && ProxyFileSystem::CreateDir(path);
  }
  bool ForceDirectories(const std::string& path) override {
    return !Trip() && ProxyFileSystem::ForceDirectories(path);
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return !Trip() && ProxyFileSystem::RenameFile(from, to);
  }
  bool DeleteFile(const std::string& path) override {
    return !Trip() && ProxyFileSystem::DeleteFile(path);
  }

 private:
  std::unique_ptr<plat::FileStream> Wrap(std::unique_ptr<plat::FileStream> inner);

  long failAt_ = 0;  // 0: never
  bool persistent_ = false;
  long count_ = 0;
  bool fired_ = false;
  bool shortWrites_ = false;
};

}  // namespace testsupport
