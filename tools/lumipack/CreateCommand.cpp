// lumipack create: gathers the inputs (files, and folders recursed in byte-wise name order),
// names each member PREFIX + "\" + its path relative to the current folder (or to the folder
// of -C), and writes an archive, a set of volumes, or an installer (stub + archive + trailer).
#include <algorithm>

#include "archive/ArchiveWriter.h"
#include "archive/InstallerEnd.h"
#include "platform/Error.h"
#include "tools/lumipack/Failure.h"
#include "tools/lumipack/Lumipack.h"
#include "tools/lumipack/ProgressBar.h"
#include "tools/lumipack/ThreadedEncoder.h"

namespace lumipack {

namespace {

// Deep enough for any real tree; deeper means a link that loops.
constexpr int kMaxDepth = 64;
constexpr char kInstallerMagic[] = "MZ";

struct Input {
  std::string path;  // for the file layer
  std::string name;  // the member name
};

// The input as a path relative to its folder (from: the current folder or -C's) with "\"
// separators, without "." parts and trailing separators ("" is the folder itself).
std::string NormalizeInput(const std::string& input, const std::string& from) {
  std::string path = input;
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path.empty() || path[0] == '\\' || path.find(':') != std::string::npos) {
    throw UsageError("INPUT " + input + " must be a path relative to " + from);
  }
  std::string normal;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") throw UsageError("INPUT " + input + " must not leave " + from);
    if (!part.empty() && part != ".") normal += (normal.empty() ? "" : "\\") + part;
    start = end + 1;
  }
  return normal;
}

void Gather(plat::FileSystem& fs, const std::string& path, const std::string& relative,
            int depth, std::vector<Input>& found, const std::string& prefix) {
  if (depth > kMaxDepth) {
    throw Failure(path, "", "folders nested more than " + std::to_string(kMaxDepth) +
                                " deep (a link that loops?)");
  }
  for (const plat::DirEntry& e : fs.ListDirectory(path)) {
    const std::string childPath = path == "." ? e.name : path + "\\" + e.name;
    const std::string childRelative = relative.empty() ? e.name : relative + "\\" + e.name;
    if (e.isDirectory) {
      Gather(fs, childPath, childRelative, depth + 1, found, prefix);
    } else {
      found.push_back({childPath, prefix + "\\" + childRelative});
    }
  }
}

// A path compared as the file layer would resolve it: "/" as "\", no leading ".\".
std::string Comparable(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  while (path.compare(0, 2, ".\\") == 0) path.erase(0, 2);
  return path;
}

// The output itself, or one of its volumes, found among the inputs (an archive written into a
// folder being packed, by this run or the one before): packing it would read a file that is
// being written.
bool IsOutput(const std::string& path, const CreateOptions& o) {
  const std::string candidate = Comparable(path);
  const std::string out = Comparable(o.out);
  if (candidate == out) return true;
  if (o.volumeSize == 0) return false;
  const std::size_t dot = candidate.find_last_of(".\\:");
  if (dot == std::string::npos || candidate[dot] != '.' || candidate.size() - dot != 4) return false;
  int disk = 0;
  for (std::size_t i = dot + 1; i < candidate.size(); ++i) {
    if (candidate[i] < '0' || candidate[i] > '9') return false;
    disk = disk * 10 + (candidate[i] - '0');
  }
  return archive::NextVolumeName(out, disk) == candidate;
}

std::vector<archive::WriterMember> Members(const CreateOptions& o, plat::FileSystem& fs) {
  std::string prefix = o.prefix;
  while (!prefix.empty() && (prefix.back() == '\\' || prefix.back() == '/')) prefix.pop_back();

  if (!o.baseFolder.empty() && !fs.DirectoryExists(o.baseFolder)) {
    throw Failure(o.baseFolder, "", "no such folder");
  }
  const std::string from = o.baseFolder.empty() ? "the current folder" : o.baseFolder;
  std::vector<archive::WriterMember> members;
  for (const std::string& input : o.inputs) {
    const std::string relative = NormalizeInput(input, from);
    std::string path = relative.empty() ? "." : relative;
    if (!o.baseFolder.empty()) {
      path = relative.empty() ? o.baseFolder : plat::IncludeTrailingBackslash(o.baseFolder) + relative;
    }
    std::vector<Input> found;
    if (fs.DirectoryExists(path)) {
      Gather(fs, path, relative, 0, found, prefix);
      std::sort(found.begin(), found.end(),
                [](const Input& a, const Input& b) { return a.name < b.name; });
    } else if (fs.Exists(path)) {
      found.push_back({path, prefix + "\\" + relative});
    } else {
      throw Failure(input, "", "no such file or folder");
    }
    for (const Input& in : found) {
      if (IsOutput(in.path, o)) continue;
      // A FIFO would block the read, and a device or socket holds no file to pack.
      if (!fs.FileExists(in.path)) {
        throw Failure(in.path, "", fs.Exists(in.path) ? "not a regular file" : "no such file");
      }
      archive::WriterMember m;
      m.name = in.name;
      const std::int32_t age = fs.FileAge(in.path);
      if (age == -1) throw Failure(in.path, "", "cannot read its last-write time");
      m.dosDateTime = static_cast<std::uint32_t>(age);
      try {
        m.size = fs.OpenRead(in.path)->Size();
      } catch (const plat::Error& e) {
        throw Failure(in.path, "", e.what());
      }
      const std::string filePath = in.path;
      m.open = [&fs, filePath]() -> std::unique_ptr<plat::Stream> { return fs.OpenRead(filePath); };
      members.push_back(std::move(m));
    }
  }
  return members;
}

void RemovePartialOutput(const CreateOptions& o, plat::FileSystem& fs) {
  fs.DeleteFile(o.out);
  if (o.volumeSize == 0) return;
  for (int disk = 2; disk <= 999; ++disk) {
    const std::string volume = archive::NextVolumeName(o.out, disk);
    if (!fs.FileExists(volume)) break;
    fs.DeleteFile(volume);
  }
}

}  // namespace

void Create(const CreateOptions& o, Context& ctx) {
  plat::FileSystem& fs = ctx.fs;
  const std::vector<archive::WriterMember> members = Members(o, fs);

  std::unique_ptr<plat::FileStream> stub;
  if (!o.stub.empty()) {
    if (o.stub == o.out) throw UsageError("the stub and the output must be different files");
    try {
      stub = fs.OpenRead(o.stub);
    } catch (const plat::Error& e) {
      throw Failure(o.stub, "", e.what());
    }
    char magic[2] = {0, 0};
    if (stub->Read(magic, 2) != 2 || magic[0] != kInstallerMagic[0] || magic[1] != kInstallerMagic[1]) {
      throw Failure(o.stub, "", "not a Windows program: it does not begin with \"MZ\"");
    }
    // A signed stub's certificate table would sit before the archive, where every reader
    // takes it for damage: the installer is what gets signed.
    bool signedStub = false;
    try {
      signedStub = archive::FindInstallerEnd(*stub).Signed();
    } catch (const plat::Error& e) {
      throw Failure(o.stub, "", e.what());
    }
    if (signedStub) {
      throw Failure(o.stub, "", "the stub is signed; pack an unsigned stub and sign the installer");
    }
    stub->Seek(0, plat::Stream::Origin::Begin);
  }

  archive::WriterOptions wo;
  wo.title = o.title;
  wo.level = o.level;
  wo.maxSize = o.volumeSize;
  wo.codec = &CodecNamed(o.codec);
  std::unique_ptr<ThreadedEncoder> pool;
  if (o.threads > 1) {
    pool = std::make_unique<ThreadedEncoder>(*wo.codec, o.level, o.threads);
    wo.encoder = pool.get();
  }
  ProgressBar bar(ctx.err, ctx.progress);
  wo.onProgress = [&bar](std::int64_t done, std::int64_t total) { bar.Update(done, total); };
  archive::ArchiveWriter writer(wo, fs);

  archive::WriteSummary summary;
  try {
    if (o.volumeSize != 0) {
      summary = writer.WriteVolumes(members, o.out);
    } else {
      std::unique_ptr<plat::FileStream> out = fs.Create(o.out);
      summary = stub ? writer.WriteInstaller(*stub, members, *out) : writer.Write(members, *out);
    }
  } catch (const std::exception& e) {
    bar.Finish();
    RemovePartialOutput(o, fs);
    throw Failure(o.out, "", e.what());
  }
  bar.Finish();

  const std::size_t volumes = summary.volumes.empty() ? 1 : summary.volumes.size();
  ctx.out << o.out << ": " << summary.fileCount << " files, " << summary.totalSize
          << " bytes (catalogue included) in " << summary.archiveBytes << " archive bytes, "
          << summary.blockCount << " blocks (" << summary.storedBlocks << " stored), "
          << volumes << (volumes == 1 ? " volume" : " volumes") << (stub ? ", installer" : "")
          << "\n";
}

}  // namespace lumipack
