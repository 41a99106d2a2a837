#include "model/save_writer.h"

#include <system_error>
#include <utility>

SaveWriter::~SaveWriter() {
  {
    std::unique_lock<std::mutex> hold(lock_);
    idle_.wait(hold, [this] { return !running_ && !waiting_; });
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SaveWriter::Submit(Job job) {
  if (!job) return;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (!thread_.joinable()) {
      try {
        thread_ = std::thread([this] { Run(); });
      } catch (const std::system_error&) {
        // No thread to be had: the save is made here, as it was before.
      }
    }
    if (thread_.joinable()) {
      if (waiting_) ++replaced_;
      waiting_ = std::move(job);
    }
  }
  if (thread_.joinable()) {
    wake_.notify_one();
    return;
  }
  job();
  std::lock_guard<std::mutex> hold(lock_);
  ++finished_;
}

void SaveWriter::Run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    wake_.wait(hold, [this] { return stopping_ || waiting_; });
    if (!waiting_) return;
    Job job = std::move(waiting_);
    waiting_ = nullptr;
    running_ = true;
    hold.unlock();
    job();
    hold.lock();
    running_ = false;
    ++finished_;
    idle_.notify_all();
  }
}

void SaveWriter::Wait() {
  std::unique_lock<std::mutex> hold(lock_);
  idle_.wait(hold, [this] { return !running_ && !waiting_; });
}

bool SaveWriter::Busy() const {
  std::lock_guard<std::mutex> hold(lock_);
  return running_ || waiting_;
}

std::uint64_t SaveWriter::Finished() const {
  std::lock_guard<std::mutex> hold(lock_);
  return finished_;
}

std::uint64_t SaveWriter::Replaced() const {
  std::lock_guard<std::mutex> hold(lock_);
  return replaced_;
}
