// A pool of worker threads that know nothing of primes: each worker draws
// the next index from one shared counter and runs a procedure on it until
// the range is exhausted.
#pragma once
#include <cstdint>

namespace tamsel {

namespace os {
struct TThreadHandle;
}

using TWorkerProc = void (*)(std::int64_t index, void* data);

// The indices of one RunWorkers call, shared by its workers.
struct TWorkRange;

class TMyWorkerThread {
 public:
  // Starts the thread (4 MiB stack) as soon as construction completes; it
  // runs Proc on indices taken from range until none is left.
  TMyWorkerThread(TWorkerProc proc, void* data, TWorkRange& range);
  ~TMyWorkerThread();  // waits for the thread if still running
  TMyWorkerThread(const TMyWorkerThread&) = delete;
  TMyWorkerThread& operator=(const TMyWorkerThread&) = delete;

  void WaitFor();
  // False when the system refused the thread.
  bool Started() const { return handle_ != nullptr; }

  TWorkerProc Proc;
  void* Data;

 private:
  void Execute();
  TWorkRange& range_;
  os::TThreadHandle* handle_;
};

// Runs proc(k, data) for every k from first + 1 to last on up to threadCount
// workers, each index exactly once, and returns when all threads have
// finished and been freed. A thread count of 0 (or less) runs nothing. When
// no thread can be started at all, the calling thread does the work. The
// first exception a call of proc throws stops the hand-out and is rethrown
// here once every thread has ended.
void RunWorkers(std::int64_t first, std::int64_t last, TWorkerProc proc, void* data,
                std::int32_t threadCount);

}  // namespace tamsel
