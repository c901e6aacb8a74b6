// What the installation run (InstallRun.h) and the install record (InstallRecord.h) see of the
// window they serve, and what they change in it. The wizard window implements it; neither the
// run nor the record knows its controls, and the window is the one place that says which
// control shows what.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace archive {
class TBackupFile;
}
namespace plat {
class FileStream;
}
namespace shell {
class TMyShortCut;
}

namespace wizard {

struct CardField;

class InstallHost {
 public:
  // --- What they read
  // The destination folder as the user chose it last.
  virtual std::string DestinationFolder() const = 0;
  // The payload's title, read at start-up.
  virtual const std::string& VersionText() const = 0;
  // A field of the card (CardFields.h) as the user left it: an edit box's text, or whether a
  // check box is checked.
  virtual std::string CardText(const CardField& field) const = 0;
  virtual bool CardChecked(const CardField& field) const = 0;
  // The program's own file and where its payload begins in it; null until start-up opened it.
  virtual plat::FileStream* PayloadStream() const = 0;
  virtual std::uint32_t PayloadOffset() const = 0;
  // The shell-integration components, in the window's order.
  virtual std::vector<shell::TMyShortCut*> ShortCuts() const = 0;
  // The restore engine, with the window's handlers attached.
  virtual archive::TBackupFile& Engine() = 0;
  // What the status bar says for the present state.
  virtual std::string StatusText() const = 0;

  // --- What they set
  virtual void SetCardText(const CardField& field, const std::string& text) = 0;
  virtual void SetCardChecked(const CardField& field, bool checked) = 0;
  // The run's progress bar. A run keeps the GUI thread busy, so a position the user is to see
  // while it works is painted at once (`paintNow`); waiting for an idle paint would freeze it.
  virtual void ShowProgress(bool shown) = 0;
  virtual void SetProgress(int percent, bool paintNow) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  // The payload was found damaged: "Installa" stays disabled and the status bar says so.
  virtual void MarkPayloadDamaged(const std::string& why) = 0;
  // A run committed: closing records the installation.
  virtual void MarkInstallDone() = 0;

 protected:
  ~InstallHost() = default;
};

}  // namespace wizard
