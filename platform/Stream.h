// Byte streams: the abstract stream every reader and writer works on, and a memory stream.
// File streams come from the file layer (Files.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class Stream {
 public:
  enum class Origin { Begin, Current, End };

  virtual ~Stream() = default;

  // Reads up to count bytes; returns how many were read (0 at the end). Throws StreamError on a
  // device error.
  virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
  // Writes up to count bytes; returns how many were written (fewer on a full disk). Throws
  // StreamError on a device error.
  virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
  // Moves the position; returns the new position from the start. Throws StreamError on failure.
  virtual std::int64_t Seek(std::int64_t offset, Origin origin) = 0;

  std::int64_t Position() { return Seek(0, Origin::Current); }
  void SetPosition(std::int64_t pos) { Seek(pos, Origin::Begin); }
  virtual std::int64_t Size();

  // Exactly count bytes or StreamError ("Stream read error" / "Stream write error").
  void ReadBuffer(void* buffer, std::int32_t count);
  void WriteBuffer(const void* buffer, std::int32_t count);
};

class MemoryStream : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}

  std::int32_t Read(void* buffer, std::int32_t count) override;
  std::int32_t Write(const void* buffer, std::int32_t count) override;
  std::int64_t Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  std::vector<std::uint8_t>& Bytes() { return data_; }

 private:
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
};

}  // namespace plat
