// A pool of worker threads that know nothing of primes: each worker draws
// the next index from one shared atomic counter and runs a procedure on it
// until the range is exhausted.
#pragma once
#include <cstdint>

namespace tamsel {

using TWorkerProc = void (*)(std::int64_t index, void* data);

class TMyWorkerThread {
 public:
  // Starts the thread (4 MiB stack) as soon as construction completes.
  TMyWorkerThread(TWorkerProc proc, void* data);
  ~TMyWorkerThread();  // waits for the thread if still running
  TMyWorkerThread(const TMyWorkerThread&) = delete;
  TMyWorkerThread& operator=(const TMyWorkerThread&) = delete;

  void WaitFor();
  bool Started() const;

  TWorkerProc Proc;
  void* Data;

 private:
  void Execute();
  struct TImpl;
  TImpl* impl_;
};

// Runs proc(k, data) for every k from first + 1 to last on threadCount
// workers, each index exactly once; returns when all threads have finished
// and been freed. A thread count of 0 runs nothing.
void RunWorkers(std::int64_t first, std::int64_t last, TWorkerProc proc, void* data,
                std::int32_t threadCount);

}  // namespace tamsel
