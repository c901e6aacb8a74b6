// A member output that writes straight under the target and keeps whatever a failed member got:
// for the tests that look at what the engine itself wrote before it stopped (its blocks, its
// date, its events), which the engine's own output would discard.
#pragma once

#include <memory>
#include <string>

#include "archive/MemberOutput.h"

namespace testsupport {

class DirectOutput : public archive::MemberOutput {
 public:
  explicit DirectOutput(plat::FileSystem& fs = plat::RealFileSystem()) : fs_(fs) {}
  std::unique_ptr<plat::FileStream> Open(const std::string& target) override {
    return fs_.Create(target);
  }
  std::unique_ptr<plat::FileStream> Reopen(const std::string& target) override {
    std::unique_ptr<plat::FileStream> s = fs_.OpenWrite(target);
    s->Seek(0, plat::Stream::Origin::End);
    return s;
  }
  void Place(const std::string&) override {}
  void Discard(const std::string&) noexcept override {}

 private:
  plat::FileSystem& fs_;
};

}  // namespace testsupport
