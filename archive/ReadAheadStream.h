// Reads another stream through a buffer, so that the many small reads of an archive walk (a
// length, a name, a date-time, a signature, then a block) cost one system call per buffer
// rather than one each. Steps forward inside the buffer cost none at all; longer ones seek the
// stream underneath. Read-only.
//
// The stream underneath runs ahead of the position this one reports. Release() puts it back
// where reading it directly would have left it; the destructor does the same, so that a
// caller's stream is found where the reader stopped.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Stream.h"

namespace archive {

class ReadAheadStream : public plat::Stream {
 public:
  static constexpr std::int32_t kDefaultCapacity = 64 * 1024;

  explicit ReadAheadStream(plat::Stream& inner, std::int32_t capacity = kDefaultCapacity);
  ~ReadAheadStream() override;
  ReadAheadStream(const ReadAheadStream&) = delete;
  ReadAheadStream& operator=(const ReadAheadStream&) = delete;

  std::int32_t Read(void* buffer, std::int32_t count) override;
  // Always throws StreamError: this stream only reads.
  std::int32_t Write(const void* buffer, std::int32_t count) override;
  std::int64_t Seek(std::int64_t offset, Origin origin) override;
  // The size of the stream underneath, asked of it once.
  std::int64_t Size() override;

  // Moves the stream underneath to this stream's position and empties the buffer.
  void Release();

 private:
  std::int64_t Buffered() const { return static_cast<std::int64_t>(end_ - next_); }

  plat::Stream& inner_;
  std::vector<std::uint8_t> buffer_;
  std::size_t next_ = 0;  // the next unread byte of buffer_
  std::size_t end_ = 0;   // the end of what buffer_ holds
  std::int64_t innerPos_ = -1;  // position of inner_, just after buffer_[end_); -1: not known yet
  std::int64_t size_ = -1;      // -1: not asked yet
};

}  // namespace archive
