#include "FaultFileSystem.h"

#include "platform/Error.h"

namespace testsupport {

namespace {
class FaultStream : public ProxyFileStream {
 public:
  FaultStream(FaultFileSystem& owner, std::unique_ptr<plat::FileStream> inner)
      : ProxyFileStream(std::move(inner)), owner_(owner) {}
  std::int32_t Read(void* buffer, std::int32_t count) override {
    if (owner_.Trip()) throw plat::StreamError("injected read fault");
    return ProxyFileStream::Read(buffer, count);
  }
  std::int32_t Write(const void* buffer, std::int32_t count) override {
    bool first = false;
    if (owner_.TripWrite(first)) {
      if (!owner_.ShortWrites()) throw plat::StreamError("injected write fault");
      return first && count > 1 ? ProxyFileStream::Write(buffer, count / 2) : 0;
    }
    return ProxyFileStream::Write(buffer, count);
  }
  bool Flush() override { return !owner_.Trip() && ProxyFileStream::Flush(); }

 private:
  FaultFileSystem& owner_;
};
}  // namespace

bool FaultFileSystem::Trip() {
  if (shortWrites_) return false;  // a full disk fails writes only
  ++count_;
  const bool fail = failAt_ > 0 && (count_ == failAt_ || (persistent_ && count_ > failAt_));
  if (fail) fired_ = true;
  return fail;
}

bool FaultFileSystem::TripWrite(bool& first) {
  ++count_;
  first = failAt_ > 0 && count_ == failAt_;
  const bool fail = first || (failAt_ > 0 && persistent_ && count_ > failAt_);
  if (fail) fired_ = true;
  return fail;
}

std::unique_ptr<plat::FileStream> FaultFileSystem::Wrap(std::unique_ptr<plat::FileStream> inner) {
  return std::make_unique<FaultStream>(*this, std::move(inner));
}

std::unique_ptr<plat::FileStream> FaultFileSystem::OpenRead(const std::string& path) {
  if (Trip()) throw plat::Error("injected open fault: " + path);
  return Wrap(ProxyFileSystem::OpenRead(path));
}

std::unique_ptr<plat::FileStream> FaultFileSystem::Create(const std::string& path) {
  if (Trip()) throw plat::Error("injected create fault: " + path);
  return Wrap(ProxyFileSystem::Create(path));
}

std::unique_ptr<plat::FileStream> FaultFileSystem::OpenWrite(const std::string& path) {
  if (Trip()) throw plat::Error("injected open fault: " + path);
  return Wrap(ProxyFileSystem::OpenWrite(path));
}

}  // namespace testsupport
