// The packer's thread pool. One lock guards the job queue; a thread holds it only to pick a job
// and to mark it done, never while it deflates.
#include "tools/lumipack/ThreadedEncoder.h"

#include "platform/Error.h"

namespace lumipack {

ThreadedEncoder::ThreadedEncoder(const archive::BlockCodec& codec, int level, int threads)
    : window_(kPiecesPerThread * static_cast<std::size_t>(threads < 1 ? 1 : threads)) {
  const int count = threads < 1 ? 1 : threads;
  for (int i = 0; i < count; ++i) deflaters_.push_back(codec.NewDeflater(level));
  try {
    for (auto& deflater : deflaters_) {
      archive::BlockDeflater* d = deflater.get();
      threads_.emplace_back([this, d] { Work(*d); });
    }
  } catch (...) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wanted_.notify_all();
    for (std::thread& t : threads_) t.join();
    throw;
  }
}

ThreadedEncoder::~ThreadedEncoder() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wanted_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void ThreadedEncoder::Submit(archive::Piece piece) {
  auto job = std::make_unique<Job>();
  job->piece = std::move(piece);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wanted_.notify_one();
}

archive::Piece ThreadedEncoder::Take() {
  std::unique_ptr<Job> job;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (jobs_.empty()) throw plat::Error("Compression error: no piece to take");
    finished_.wait(lock, [this] { return jobs_.front()->done; });
    job = std::move(jobs_.front());
    jobs_.pop_front();
    --started_;
  }
  if (job->error) std::rethrow_exception(job->error);
  return std::move(job->piece);
}

void ThreadedEncoder::Work(archive::BlockDeflater& deflater) {
  for (;;) {
    Job* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wanted_.wait(lock, [this] { return stopping_ || started_ < jobs_.size(); });
      if (stopping_) return;
      job = jobs_[started_++].get();
    }
    // The job stays in the queue until it is done, so the pointer holds while the lock is free.
    try {
      archive::EncodePiece(job->piece, deflater);
    } catch (...) {
      job->error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job->done = true;
    }
    finished_.notify_all();
  }
}

}  // namespace lumipack
