// The file layer's conformance suite (FileConformanceTest.cpp): what every implementation of
// plat::FileSystem and plat::FileStream does alike, run on each one by instantiating
// FileConformance with it: the POSIX layer (PosixFilesTest.cpp), the in-memory double the
// damage sweeps install into (MemoryFilesTest.cpp) and the Win32 layer under Wine
// (tests/win32/Win32FilesTest.cpp). What only one of them does stays in that one's file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "support/ScratchDrive.h"

namespace filetest {

// One implementation's file layer with a fresh, empty folder on it, for one case.
class Scratch {
 public:
  virtual ~Scratch() = default;
  virtual plat::FileSystem& Files() = 0;
  // The folder, without a trailing "\".
  virtual std::string Base() const = 0;
};

// The layer this target links (POSIX or Win32) on a scratch drive of its own.
class RealScratch : public Scratch {
 public:
  plat::FileSystem& Files() override { return plat::RealFileSystem(); }
  std::string Base() const override { return drive_.Base(); }

 private:
  testsupport::ScratchDrive drive_;
};

struct FileImplementation {
  const char* name;
  std::unique_ptr<Scratch> (*make)();
};

inline void PrintTo(const FileImplementation& implementation, std::ostream* out) {
  *out << implementation.name;
}

class FileConformance : public ::testing::TestWithParam<FileImplementation> {
 protected:
  FileConformance() : scratch_(GetParam().make()), fs(scratch_->Files()) {}

  std::string Base() const { return scratch_->Base(); }
  std::string Path(const std::string& relative) const { return Base() + "\\" + relative; }

  void Write(const std::string& path, const std::string& bytes) {
    auto stream = fs.Create(path);
    stream->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  }
  std::string Read(const std::string& path) {
    auto stream = fs.OpenRead(path);
    std::string bytes(static_cast<std::size_t>(stream->Size()), '\0');
    stream->ReadBuffer(&bytes[0], static_cast<std::int32_t>(bytes.size()));
    return bytes;
  }
  // prog\lumidesk.exe and prog\modelli\fattura.rvf, spelled in lower case.
  void MakeProgramTree() {
    ASSERT_TRUE(fs.ForceDirectories(Path("prog\\modelli")));
    Write(Path("prog\\lumidesk.exe"), "program");
    Write(Path("prog\\modelli\\fattura.rvf"), "template");
  }
  // The folder's entries as the listing gives them, folders with a "/" after the name.
  std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const plat::DirEntry& e : fs.ListDirectory(folder)) {
      names.push_back(e.name + (e.isDirectory ? "/" : ""));
    }
    return names;
  }

 private:
  std::unique_ptr<Scratch> scratch_;  // made before fs, which refers into it

 protected:
  plat::FileSystem& fs;
};

}  // namespace filetest
