// A piece encoder for the packer that deflates on a pool of threads. Blocks are independent
// zlib streams, so pieces can be deflated in any order; they are given back in the order they
// were handed over, and the archive comes out byte for byte as a single thread writes it.
// Memory stays bounded by the window: a fixed number of pieces per thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/BlockCodec.h"

namespace lumipack {

class ThreadedEncoder : public archive::PieceEncoder {
 public:
  // Pieces in flight per thread: enough that no thread waits for the writer to hand one over.
  static constexpr std::size_t kPiecesPerThread = 8;

  // threads >= 1; each gets its own deflater of codec at level.
  ThreadedEncoder(const archive::BlockCodec& codec, int level, int threads);
  // Stops the threads; pieces still in flight are dropped.
  ~ThreadedEncoder() override;
  ThreadedEncoder(const ThreadedEncoder&) = delete;
  ThreadedEncoder& operator=(const ThreadedEncoder&) = delete;

  std::size_t Window() const override { return window_; }
  void Submit(archive::Piece piece) override;
  archive::Piece Take() override;

 private:
  struct Job {
    archive::Piece piece;
    bool done = false;
    std::exception_ptr error;
  };

  void Work(archive::BlockDeflater& deflater);

  std::size_t window_;
  std::mutex mutex_;
  std::condition_variable wanted_;    // a job was handed over, or the pool stops
  std::condition_variable finished_;  // a job is done
  std::deque<std::unique_ptr<Job>> jobs_;  // in the order handed over
  std::size_t started_ = 0;                // jobs_[0, started_) are taken by a thread
  bool stopping_ = false;
  std::vector<std::unique_ptr<archive::BlockDeflater>> deflaters_;
  std::vector<std::thread> threads_;
};

}  // namespace lumipack
