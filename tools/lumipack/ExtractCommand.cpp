// lumipack extract: restores every member through the installer's own archive component, so
// that what is extracted here is what an installation would write. The component is lenient
// by design; around it this command adds what a tool owes its user: a strict pass over the
// structure first (names, lengths, signatures, volumes) so that a damaged or hostile archive is
// refused before anything is written, handlers of its own for errors and volume changes (no
// message boxes), and a check of every restored size against the catalogue.
#include <map>

#include "archive/ArchiveWalker.h"
#include "archive/BackupFile.h"
#include "archive/BackupFormat.h"
#include "archive/NameSafety.h"
#include "platform/Error.h"
#include "tools/lumipack/Catalogue.h"
#include "tools/lumipack/Lumipack.h"
#include "tools/lumipack/ProgressBar.h"

namespace lumipack {

void Extract(const ExtractOptions& o, Context& ctx) {
  plat::FileSystem& fs = ctx.fs;

  // The structure, the catalogue and the names, before anything is written.
  const archive::BlockCodec& codec = CodecNamed(o.codec);
  ArchiveWalker scan(fs, o.file);
  scan.SetCodec(codec);
  scan.ReadHeader();
  std::string catalogueText;
  const std::vector<MemberRecord> members = scan.Walk(
      [](const MemberRecord& m) { return m.index == 0 && m.name == archive::kCatalogueName; },
      [&catalogueText](const MemberRecord&, const std::uint8_t* data, std::size_t n) {
        catalogueText.append(reinterpret_cast<const char*>(data), n);
      });
  scan.CheckTail();
  const bool hasCatalogue = !members.empty() && members[0].name == archive::kCatalogueName;
  std::vector<CatalogueLine> lines;
  std::string error;
  if (hasCatalogue && !ParseCatalogue(catalogueText, lines, error)) {
    throw Failure(o.file, archive::kCatalogueName, error);
  }
  std::vector<const MemberRecord*> files;
  for (const MemberRecord& m : members) {
    if (m.name == archive::kCatalogueName) continue;  // never written out
    // The archive component refuses these too, but only when it meets them, after the members
    // before them were written.
    switch (archive::CheckRelativePath(archive::PathBelowDestination(m.name, o.fullPath))) {
      case archive::PathFault::kNone: break;
      case archive::PathFault::kLeadsOut:
        throw Failure(o.file, m.name, "its name leads outside " + o.dir + "; nothing was extracted");
      case archive::PathFault::kUnsafeName:
        throw Failure(o.file, m.name,
                      "its name cannot be written safely on Windows (a device name, a wildcard, "
                      "a control character or a trailing dot or blank); nothing was extracted");
    }
    files.push_back(&m);
  }
  // The catalogue is what the restored sizes are checked against: it must describe these files.
  if (hasCatalogue) {
    for (std::size_t i = 0; i < lines.size() && i < files.size(); ++i) {
      if (lines[i].name != files[i]->name) {
        throw Failure(o.file, files[i]->name,
                      "catalogue line " + std::to_string(i + 1) + " names \"" + lines[i].name + "\"");
      }
    }
    if (lines.size() != files.size()) {
      throw Failure(o.file, archive::kCatalogueName,
                    "lists " + std::to_string(lines.size()) + " files; the archive holds " +
                        std::to_string(files.size()));
    }
  }

  archive::TBackupFile backup(nullptr, fs);
  backup.SetBlockCodec(codec);
  backup.RestoreFullPath = o.fullPath;
  std::string reported;       // what the component reported through OnError
  std::string missingVolume;  // a volume that was not there when asked for
  std::size_t started = 0;    // OnRestoreFile events so far
  std::map<std::size_t, std::int64_t> written;  // member's position -> bytes in its file
  ProgressBar bar(ctx.err, ctx.progress);
  backup.OnError = [&reported](archive::TBackupFile*, std::int32_t, std::string text) {
    reported = text;
  };
  backup.OnNeedDisk = [&](archive::TBackupFile* reader, std::uint16_t, bool& carryOn) {
    const std::string next = reader->VolumeName();
    if (!fs.FileExists(next)) {
      missingVolume = next;
      carryOn = false;
    }
  };
  backup.OnRestoreFile = [&started](archive::TBackupFile*, std::string&, std::int32_t, bool&) {
    ++started;
  };
  backup.OnFileRestored = [&](archive::TBackupFile*, std::string&, plat::FileStream& stream) {
    written[started - 1] = stream.Size();
  };
  backup.OnProgress = [&bar](archive::TBackupFile* b, std::string, archive::TPercentage percent,
                             bool&) { bar.Show(percent, b->BytesDone()); };

  bool ok = false;
  std::string thrown;
  try {
    if (scan.IsInstaller()) {
      std::unique_ptr<plat::FileStream> installer = fs.OpenRead(o.file);
      installer->SetPosition(scan.PayloadOffset());
      ok = backup.RestoreFromStream(installer.get(), o.dir);
    } else {
      ok = backup.Restore(o.file, o.dir);
    }
  } catch (const std::exception& e) {
    thrown = e.what();
  }
  bar.Finish();

  const std::string current = started > 0 && started <= files.size() ? files[started - 1]->name : "";
  if (!missingVolume.empty()) throw Failure(o.file, current, "next volume " + missingVolume + " is missing");
  if (!ok) {
    // The structure was sound; a full inflating pass names damaged data where there is any.
    ArchiveWalker check(fs, o.file);
    check.SetCodec(codec);
    check.ReadHeader();
    check.Walk([](const MemberRecord&) { return true; }, nullptr);
    std::string why = !reported.empty() ? reported : !thrown.empty() ? thrown : "the restore stopped";
    throw Failure(o.file, current, "cannot extract to " + backup.CurrentFile() + ": " + why);
  }
  if (started != files.size()) {
    throw Failure(o.file, "", std::to_string(started) + " of " + std::to_string(files.size()) +
                                  " files were extracted");
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    // A member whose folder cannot be made is passed over by the component without an error.
    const auto it = written.find(i);
    if (it == written.end()) throw Failure(o.file, files[i]->name, "was not extracted");
    const std::int64_t size = it->second;
    if (i < lines.size() && size != lines[i].size) {
      throw Failure(o.file, files[i]->name, "extracted " + std::to_string(size) +
                                                " bytes; the catalogue lists " +
                                                std::to_string(lines[i].size));
    }
  }
  ctx.out << files.size() << (files.size() == 1 ? " file" : " files") << " extracted to " << o.dir
          << "\n";
}

}  // namespace lumipack
