// Where a restore puts a member's bytes. The engine never writes under a member's target name:
// it asks Open for the stream of a member it is about to write, writes every block into it,
// sets its date and closes it, and once the member is whole (also when it went on in the next
// volume, through Reopen) calls Place, which puts it under its target name. A member that fails,
// or that a run leaves unfinished, is handed to Discard. So a target is never truncated in
// place and never holds part of a member.
//
// ReplacingOutput, the engine's own, writes beside the target under PartName(target) and
// renames that into place, moving an existing target aside for the moment of the rename. The
// installer hands in an output of its own that keeps what it replaces until its run commits.
#pragma once

#include <memory>
#include <string>

#include "platform/Files.h"

namespace archive {

// The name beside a target under which its new bytes are written until they are whole.
std::string PartName(const std::string& target);

class MemberOutput {
 public:
  virtual ~MemberOutput() = default;
  // A new, empty stream for target's bytes. Throws plat::Error when it cannot be made.
  virtual std::unique_ptr<plat::FileStream> Open(const std::string& target) = 0;
  // The stream Open gave for target, again, positioned at its end. Throws plat::Error.
  virtual std::unique_ptr<plat::FileStream> Reopen(const std::string& target) = 0;
  // The member's bytes are whole and closed: they become the file target. Throws plat::Error
  // when they cannot, and then leaves target as it was.
  virtual void Place(const std::string& target) = 0;
  // Drops what Open made for target; target itself is left as it is.
  virtual void Discard(const std::string& target) noexcept = 0;
};

class ReplacingOutput : public MemberOutput {
 public:
  explicit ReplacingOutput(plat::FileSystem& fs) : fs_(fs) {}
  std::unique_ptr<plat::FileStream> Open(const std::string& target) override;
  std::unique_ptr<plat::FileStream> Reopen(const std::string& target) override;
  void Place(const std::string& target) override;
  void Discard(const std::string& target) noexcept override;

 private:
  plat::FileSystem& fs_;
};

}  // namespace archive
