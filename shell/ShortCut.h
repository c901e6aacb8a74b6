// TMyShortCut: the shell-integration component. It holds how the installed program is shown
// in the Windows shell and creates and removes the program's shell links (Start menu,
// Programs menu, desktop), its browser entries and its Find-menu entry, and carries the list
// of files an uninstall removes.
//
// Every operation reads the properties when it runs. The link operations report nothing: a
// folder that cannot be resolved, a COM failure or a file that cannot be written leaves that
// step undone and CreateLink/RemoveLink go on with the next one. The registry operations let a
// value that cannot be written raise plat::Error ("Failed to set data for '<name>'").
//
// The shell, the file layer and the registry are taken as objects (the platform's own by
// default) so that tests can hand in doubles.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/RegistryBackend.h"
#include "platform/Shell.h"
#include "platform/gui/Component.h"

namespace gui {
class TProgressBar;
}

namespace shell {

// The error RemoveCartella raises when a listed file cannot be handled.
constexpr char kRemoveCartellaError[] = "Errore cancellazione ditta";

// The class identifiers the constructor gives CLSIDExplore and CLSIDExplore1.
constexpr char kDefaultClsidExplore[] = "{4B30061A-5D23-11D3-80F8-0090276F843F}";
constexpr char kDefaultClsidExplore1[] = "{4B30061A-5D22-11D3-80F8-0090276F843F}";

// What the start-menu operations answer when the special folder cannot be resolved: kOk, which
// reads as success; no caller inspects it.
constexpr plat::ShellResult kFolderNotResolved = plat::ShellResult::kOk;

class TMyShortCut : public gui::TComponent {
 public:
  explicit TMyShortCut(gui::TComponent* owner);
  TMyShortCut(gui::TComponent* owner, plat::Shell& shell, plat::FileSystem& files,
              plat::RegistryBackend& registry);
  ~TMyShortCut() override;

  // --- Fields, in declaration order. All but DesktopFolderId are published. ---
  bool CreateDeskTopLink = false;  // CreateLink/RemoveLink handle the desktop link
  bool CreateFolder = false;       // ... the link in the Programs menu
  bool CreateToTrova = false;      // ... the Find-menu registration
  bool CreateToExplorer = false;   // ... the browser registration
  bool CreateToAvvio = false;      // ... the link in the Start menu
  std::string FilePathName;        // program the links start; command registered for the browser
  std::string IconPathName;        // icon of the browser toolbar button
  std::string MenuText;            // browser Tools-menu and Find-menu text
  std::string GruppoProgrammiName;  // program group: sub-folder of Start and Programs menus
  std::string ExeName;  // program file name; name of the menu links; Find extension key
  std::string Descrizione;             // stored only; no operation reads it
  std::string DescrizioneExeInForder;  // desktop link description; browser button text
  std::string LinkName;                // desktop link file name without ".lnk"
  std::string CLSIDExplore = kDefaultClsidExplore;    // COM server of the Find extension
  std::string CLSIDExplore1 = kDefaultClsidExplore1;  // stored only; no operation reads it
  // The folder of the desktop link.
  plat::SpecialFolder DesktopFolderId = plat::SpecialFolder::kDesktopDirectory;

  // listafile: file names relative to the installation folder that an uninstall deletes. The
  // component owns its list; Setlistafile copies the caller's strings in place of the old ones.
  const std::vector<std::string>& listafile() const { return listafile_; }
  void Setlistafile(const std::vector<std::string>& list);

  // --- Links ---
  // Desktop link LinkName + ".lnk" in the DesktopFolderId folder to FilePathName, described by
  // DescrizioneExeInForder, shown with ShowCommand::kShow. The argument is not read.
  void CreateShortCutDesktop(const std::string& ignored);
  void DeleteShortCutDesktop(const std::string& ignored);
  // Link name + ".lnk" in the group sub-folder of the special folder, to target, described by
  // name; the group folder is created. Answers the result of the last shell call.
  plat::ShellResult CreateUserStartMenuShortcut(const char* target, const char* name,
                                                const char* group, plat::SpecialFolder folderId);
  // Deletes that link, then the group folder when it is left empty.
  plat::ShellResult DeleteUserStartMenuShortcut(const char* target, const char* name,
                                                const char* group, plat::SpecialFolder folderId);
  // CreateUserStartMenuShortcut(FilePathName, ExeName, GruppoProgrammiName, folderId).
  void Create(plat::SpecialFolder folderId);

  // Every integration the switches enable, in this order: Start menu, desktop, Programs menu,
  // Find menu, browser. Each step runs whatever became of the ones before, except that a
  // registry write error ends the run.
  void CreateLink();
  void RemoveLink();

  // --- Removal of an installation ---
  // Deletes every listafile entry, appended as it is to the folder part of path (up to its last
  // "\" or ":"), advancing bar by one per entry, then removes that folder if it is left empty.
  // A folder part that is empty or relative deletes nothing (the bar still advances): no file
  // outside an installation folder is touched. A missing file is skipped; a deletion or removal
  // that fails is ignored; an error while an entry is handled ends the operation with
  // kRemoveCartellaError. bar may be null.
  void RemoveCartella(const std::string& path, gui::TProgressBar* bar);

  // --- Browser and Find-menu registration: the rows of shell/ShortCutRegistry.h ---
  void RegisterExplorer();
  void DeRegisterExplorer();
  void CreateTrovaLink();
  void DeleteTrovaLink();

  // --- Published properties ---
  enum class PropertyKind { Bool, String, Strings };
  struct PropertyInfo {
    const char* name;
    PropertyKind kind;
    bool TMyShortCut::*boolField;           // Bool
    std::string TMyShortCut::*stringField;  // String
  };
  // In streaming order: ExeName, FilePathName, IconPathName, Descrizione, MenuText, LinkName,
  // CLSIDExplore, CLSIDExplore1, GruppoProgrammiName, DescrizioneExeInForder, the five
  // switches, listafile.
  static const std::vector<PropertyInfo>& PublishedProperties();
  // Whether a property is streamed: switches only when true, strings and the list when not
  // empty.
  bool IsStored(const PropertyInfo& property) const;

 private:
  // What the two start-menu operations share: resolve the special folder, initialise COM,
  // prepare a link object with the target and description, and name the link file in the
  // group folder. `action` then runs with COM still initialised and the link's file interface;
  // its result is the operation's. An earlier failure answers that step's result, and a link
  // path that does not fit the shell's buffers answers kPathTooLong without any action.
  using StartMenuAction = std::function<plat::ShellResult(
      plat::ShellLinkFile& file, const std::string& groupFolder, const std::string& linkPath,
      plat::ShellResult lastResult)>;
  plat::ShellResult WithStartMenuLink(const char* target, const char* name, const char* group,
                                      plat::SpecialFolder folderId,
                                      const StartMenuAction& action);

  plat::Shell& shell_;
  plat::FileSystem& files_;
  plat::RegistryBackend& registry_;
  std::vector<std::string> listafile_;
};

}  // namespace shell
