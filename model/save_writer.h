#pragma once
// The thread that writes the data files, so that the window's thread only
// takes a snapshot of what changed. Jobs run one at a time, in the order
// given; a job given while another waits takes its place (it was taken later,
// so it holds everything the waiting one held). A job that is running is
// never cut off: Wait, and the destructor, let it finish.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class SaveWriter {
 public:
  using Job = std::function<void()>;

  SaveWriter() = default;
  ~SaveWriter();
  SaveWriter(const SaveWriter&) = delete;
  SaveWriter& operator=(const SaveWriter&) = delete;

  // Queues the job, replacing one that has not started. The thread starts
  // with the first job; without a thread the job runs here and now.
  void Submit(Job job);
  // Returns once no job waits or runs.
  void Wait();
  // Whether a job waits or runs.
  bool Busy() const;
  // Jobs that ran to their end, and jobs that were replaced before they started.
  std::uint64_t Finished() const;
  std::uint64_t Replaced() const;

 private:
  void Run();

  mutable std::mutex lock_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  Job waiting_;
  bool running_ = false;
  bool stopping_ = false;
  std::uint64_t finished_ = 0;
  std::uint64_t replaced_ = 0;
  std::thread thread_;
};
