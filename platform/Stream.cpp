// The stream base operations every stream shares, and the memory stream.
#include "platform/Stream.h"

#include <cstring>
#include <limits>

#include "platform/Error.h"

namespace plat {

namespace {
constexpr char kReadError[] = "Stream read error";
constexpr char kWriteError[] = "Stream write error";
}  // namespace

std::int64_t Stream::Size() {
  const std::int64_t pos = Seek(0, Origin::Current);
  const std::int64_t size = Seek(0, Origin::End);
  Seek(pos, Origin::Begin);
  return size;
}

// Both loop: a stream may move fewer bytes per call than asked without being at its end.
void Stream::ReadBuffer(void* buffer, std::int32_t count) {
  if (count < 0) throw StreamError(kReadError);
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    const std::int32_t n = Read(out + done, count - done);
    if (n <= 0) throw StreamError(kReadError);
    done += n;
  }
}

void Stream::WriteBuffer(const void* buffer, std::int32_t count) {
  if (count < 0) throw StreamError(kWriteError);
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    const std::int32_t n = Write(in + done, count - done);
    if (n <= 0) throw StreamError(kWriteError);
    done += n;
  }
}

std::int32_t MemoryStream::Read(void* buffer, std::int32_t count) {
  if (count <= 0 || pos_ >= data_.size()) return 0;
  const std::size_t available = data_.size() - pos_;
  const std::size_t n = static_cast<std::size_t>(count) < available ? static_cast<std::size_t>(count)
                                                                    : available;
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<std::int32_t>(n);
}

std::int32_t MemoryStream::Write(const void* buffer, std::int32_t count) {
  if (count <= 0) return 0;
  const std::size_t n = static_cast<std::size_t>(count);
  // A write past the end fills the gap with zero bytes, as a file would.
  if (n > data_.max_size() - pos_) throw StreamError(kWriteError);
  if (pos_ + n > data_.size()) data_.resize(pos_ + n);
  std::memcpy(data_.data() + pos_, buffer, n);
  pos_ += n;
  return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, Origin origin) {
  std::int64_t base = 0;
  switch (origin) {
    case Origin::Begin: base = 0; break;
    case Origin::Current: base = static_cast<std::int64_t>(pos_); break;
    case Origin::End: base = static_cast<std::int64_t>(data_.size()); break;
  }
  if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) ||
      base + offset < 0) {
    throw StreamError("Stream seek error");
  }
  const std::int64_t target = base + offset;
  if (static_cast<std::uint64_t>(target) > std::numeric_limits<std::size_t>::max()) {
    throw StreamError("Stream seek error");
  }
  pos_ = static_cast<std::size_t>(target);
  return target;
}

}  // namespace plat
