// The read-ahead buffer. The bytes already read stay in the buffer until it is refilled, so a
// step back inside it (rare) needs no seek either.
#include "archive/ReadAheadStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Error.h"

namespace archive {

ReadAheadStream::ReadAheadStream(plat::Stream& inner, std::int32_t capacity)
    : inner_(inner), buffer_(static_cast<std::size_t>(capacity > 0 ? capacity : kDefaultCapacity)) {}

ReadAheadStream::~ReadAheadStream() {
  try {
    Release();
  } catch (...) {
    // A stream that cannot seek back is left where it is; the reader is gone either way.
  }
}

std::int32_t ReadAheadStream::Read(void* buffer, std::int32_t count) {
  if (count <= 0) return 0;
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    if (next_ == end_) {
      const std::int32_t want = count - done;
      if (innerPos_ < 0) innerPos_ = inner_.Position();
      if (static_cast<std::size_t>(want) >= buffer_.size()) {
        // Larger than the buffer: straight into the caller's memory.
        const std::int32_t n = inner_.Read(out + done, want);
        if (n <= 0) break;
        innerPos_ += n;
        next_ = end_ = 0;
        done += n;
        continue;
      }
      const std::int32_t n = inner_.Read(buffer_.data(), static_cast<std::int32_t>(buffer_.size()));
      next_ = end_ = 0;
      if (n <= 0) break;
      innerPos_ += n;
      end_ = static_cast<std::size_t>(n);
    }
    const std::size_t n = std::min(end_ - next_, static_cast<std::size_t>(count - done));
    std::memcpy(out + done, buffer_.data() + next_, n);
    next_ += n;
    done += static_cast<std::int32_t>(n);
  }
  return done;
}

std::int32_t ReadAheadStream::Write(const void*, std::int32_t) {
  throw plat::StreamError("Stream write error");
}

std::int64_t ReadAheadStream::Seek(std::int64_t offset, Origin origin) {
  if (innerPos_ < 0) innerPos_ = inner_.Position();
  const std::int64_t position = innerPos_ - Buffered();
  if (origin == Origin::Current && offset == 0) return position;
  if (origin != Origin::End) {
    const std::int64_t target = origin == Origin::Begin ? offset : position + offset;
    const std::int64_t step = target - position;
    // Inside what the buffer holds, read or not yet read: no seek.
    if (step >= -static_cast<std::int64_t>(next_) && step <= Buffered()) {
      next_ = static_cast<std::size_t>(static_cast<std::int64_t>(next_) + step);
      return target;
    }
    next_ = end_ = 0;
    innerPos_ = inner_.Seek(target, Origin::Begin);
    return innerPos_;
  }
  next_ = end_ = 0;
  innerPos_ = inner_.Seek(offset, Origin::End);
  return innerPos_;
}

std::int64_t ReadAheadStream::Size() {
  // Asked before every name is read; an archive does not change under its reader.
  if (size_ < 0) size_ = inner_.Size();
  return size_;
}

void ReadAheadStream::Release() {
  if (innerPos_ < 0 || Buffered() == 0) {
    next_ = end_ = 0;
    return;
  }
  const std::int64_t position = innerPos_ - Buffered();
  next_ = end_ = 0;
  innerPos_ = inner_.Seek(position, Origin::Begin);
}

}  // namespace archive
