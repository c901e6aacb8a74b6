// The bare restore loop. Portable C++ (stdio and <filesystem>) so that it measures the work
// itself rather than any file layer of ours.
#include "bench/tools/RestoreLimit.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "archive/BackupFormat.h"
#include "archive/NameSafety.h"
#include "archive/Payload.h"
#include "platform/Files.h"

namespace bench {

namespace {

constexpr std::size_t kReadBuffer = 1 << 20;
constexpr std::int32_t kMaxNameLength = 4096;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

class Reader {
 public:
  explicit Reader(const std::string& path)
      : path_(path), buffer_(kReadBuffer), f_(std::fopen(path.c_str(), "rb")) {
    if (!f_) throw std::runtime_error("cannot open " + path);
    // A buffer of our own: given none, the C library picks the file system's block size
    // (4 KB) whatever size is asked for, and a block then takes several reads.
    std::setvbuf(f_.get(), buffer_.data(), _IOFBF, buffer_.size());
  }
  void Exact(void* buffer, std::size_t n) {
    if (std::fread(buffer, 1, n, f_.get()) != n) throw std::runtime_error(path_ + ": short read");
  }
  std::int32_t Int() {
    std::uint8_t b[archive::kIntSize];
    Exact(b, sizeof b);
    return static_cast<std::int32_t>(archive::LoadLe32(b));
  }
  std::string Text(std::int32_t n, std::int32_t max) {
    if (n < 0 || n > max) throw std::runtime_error(path_ + ": a text length out of range");
    std::string s(static_cast<std::size_t>(n), '\0');
    if (n > 0) Exact(&s[0], s.size());
    return s;
  }
  // Positions at the archive: the payload of an installer, otherwise the start. The trailer of
  // an installer, signed or not, is looked up as the installer looks it up, once, before the
  // loop that is measured.
  void FindArchive() {
    char magic[2] = {0, 0};
    if (std::fread(magic, 1, 2, f_.get()) != 2 || magic[0] != 'M' || magic[1] != 'Z') {
      Seek(0, SEEK_SET);
      return;
    }
    std::uint32_t offset = 0;
    try {
      offset = archive::ReadPayloadTrailer(*plat::RealFileSystem().OpenRead(path_));
    } catch (const std::exception& e) {
      throw std::runtime_error(path_ + ": no payload trailer: " + e.what());
    }
    Seek(offset, SEEK_SET);
  }

 private:
  void Seek(long offset, int origin) {
    if (std::fseek(f_.get(), offset, origin) != 0) throw std::runtime_error(path_ + ": cannot seek");
  }
  std::string path_;
  std::vector<char> buffer_;  // outlives f_, which is declared after it
  File f_;
};

// Below outDir as a full-path extract puts it, under the restore engine's rule.
std::string TargetPath(const std::string& outDir, const std::string& name) {
  std::string relative = archive::PathBelowDestination(name, true);
  if (!archive::IsSafeRelativePath(relative)) {
    throw std::runtime_error("member name " + name + " leads outside the output folder");
  }
  for (char& c : relative)
    if (c == '\\') c = '/';
  return outDir + "/" + relative;
}

}  // namespace

LimitResult RunRestoreLimit(const std::string& archivePath, const std::string& outDir,
                            BlockInflater& inflater) {
  Reader in(archivePath);
  in.FindArchive();
  in.Text(in.Int(), kMaxNameLength);  // TitleLength | Title
  in.Int();                           // TotalSize
  in.Int();                           // FileCount
  std::vector<std::uint8_t> data(archive::kBlockSize), out(archive::kBlockSize);
  LimitResult result;
  for (;;) {
    const std::int32_t nameLength = in.Int();  // NameLength; 0 ends the archive
    if (nameLength == 0) break;
    const std::string name = in.Text(nameLength, kMaxNameLength);
    if (archive::IsVolumeMarkerName(name)) {
      throw std::runtime_error("volume markers are not followed");
    }
    in.Int();  // DosDateTime
    char signature[sizeof archive::kSignature];
    in.Exact(signature, sizeof signature);
    if (std::memcmp(signature, archive::kSignature, sizeof signature) != 0) {
      throw std::runtime_error("bad member signature");
    }
    const bool isFile = name != archive::kCatalogueName;
    File target;
    if (isFile && !outDir.empty()) {
      const std::string path = TargetPath(outDir, name);
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      target.reset(std::fopen(path.c_str(), "wb"));
      if (!target) throw std::runtime_error("cannot create " + path);
      // Unbuffered: each block is one write, as a restore writes it.
      std::setvbuf(target.get(), nullptr, _IONBF, 0);
    }
    for (;;) {
      const std::int32_t blockLength = in.Int();  // BlockLength; 0 ends the member
      if (blockLength == 0) break;
      if (blockLength < -archive::kBlockSize || blockLength > archive::kBlockSize) {
        throw std::runtime_error("a block longer than " + std::to_string(archive::kBlockSize) + " bytes");
      }
      const auto n = static_cast<std::size_t>(blockLength < 0 ? -blockLength : blockLength);
      in.Exact(data.data(), n);
      const std::uint8_t* piece = data.data();
      std::size_t produced = n;
      if (blockLength > 0) {
        produced = inflater.Inflate(data.data(), n, out.data(), out.size());
        piece = out.data();
      }
      if (!isFile) continue;
      ++result.blocks;
      result.bytes += produced;
      if (target && produced > 0 && std::fwrite(piece, 1, produced, target.get()) != produced) {
        throw std::runtime_error("cannot write below " + outDir);
      }
    }
    if (target && std::fclose(target.release()) != 0) throw std::runtime_error("cannot close a file");
    if (isFile) ++result.files;
  }
  return result;
}

}  // namespace bench
