#include "engines/threads/parallel_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <new>
#include <vector>

#include "engines/threads/os_thread.h"
#include "engines/threads/parallel_threads_testing.h"

namespace tamsel {

namespace {

constexpr std::size_t kWorkerStackBytes = 4194304;

std::atomic<std::int32_t> gThreadLimit{-1};

}  // namespace

// The counter is 64-bit and never moves past LastIndex, so no range, however
// close to the top of the 64-bit indices, wraps around and hands an index out
// twice. Each call has its own range, so calls may nest or overlap.
struct TWorkRange {
  TWorkRange(std::int64_t first, std::int64_t last) : NextIndex(first), LastIndex(last) {}

  // Takes the next index; false once the range is exhausted or stopped.
  bool Take(std::int64_t& index) {
    std::int64_t current = NextIndex.load(std::memory_order_relaxed);
    do {
      if (current >= LastIndex) return false;
    } while (!NextIndex.compare_exchange_weak(current, current + 1, std::memory_order_relaxed));
    index = current + 1;
    return true;
  }

  // Keeps the first failure for the caller and hands out nothing more.
  void Fail(std::exception_ptr error) {
    NextIndex.store(LastIndex, std::memory_order_relaxed);
    if (!Failed.exchange(true)) Failure = std::move(error);
  }

  std::atomic<std::int64_t> NextIndex;  // the last index handed out
  const std::int64_t LastIndex;         // the last index to hand out
  std::atomic<bool> Failed{false};
  std::exception_ptr Failure;  // read by the caller only after every join
};

TMyWorkerThread::TMyWorkerThread(TWorkerProc proc, void* data, TWorkRange& range)
    : Proc(proc), Data(data), range_(range) {
  handle_ = os::StartThread(
      kWorkerStackBytes, [](void* self) { static_cast<TMyWorkerThread*>(self)->Execute(); }, this);
}

TMyWorkerThread::~TMyWorkerThread() { WaitFor(); }

void TMyWorkerThread::WaitFor() {
  os::JoinThread(handle_);
  handle_ = nullptr;
}

// An exception must not leave the thread (that would end the process without
// a word), so it travels back to RunWorkers instead.
void TMyWorkerThread::Execute() {
  try {
    std::int64_t k = 0;
    while (range_.Take(k)) Proc(k, Data);
  } catch (...) {
    range_.Fail(std::current_exception());
  }
}

namespace {

// More threads than indices would only start and end again.
std::int32_t ThreadsWanted(std::int64_t first, std::int64_t last, std::int32_t threadCount) {
  if (threadCount <= 0 || last <= first) return 0;
  const auto indices = static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(first);
  const auto threads = static_cast<std::uint64_t>(threadCount);
  return static_cast<std::int32_t>(std::min(indices, threads));
}

// Starts up to count workers; stops at the first the system refuses.
void StartWorkers(std::vector<std::unique_ptr<TMyWorkerThread>>& threads, std::int32_t count,
                  TWorkerProc proc, void* data, TWorkRange& range) {
  const std::int32_t limit = gThreadLimit.load();
  for (std::int32_t i = 0; i < count; ++i) {
    if (limit >= 0 && i >= limit) return;
    std::unique_ptr<TMyWorkerThread> thread;
    try {
      thread = std::make_unique<TMyWorkerThread>(proc, data, range);
    } catch (const std::bad_alloc&) {
      return;
    }
    if (!thread->Started()) return;
    threads.push_back(std::move(thread));
  }
}

}  // namespace

void RunWorkers(std::int64_t first, std::int64_t last, TWorkerProc proc, void* data,
                std::int32_t threadCount) {
  TWorkRange range(first, last);
  const std::int32_t wanted = ThreadsWanted(first, last, threadCount);
  std::vector<std::unique_ptr<TMyWorkerThread>> threads;
  threads.reserve(static_cast<std::size_t>(wanted));
  StartWorkers(threads, wanted, proc, data, range);
  // Not even one thread: do the work here rather than leave it undone.
  if (threads.empty() && wanted > 0) {
    for (std::int64_t k = 0; range.Take(k);) proc(k, data);
  }
  for (auto& thread : threads) thread->WaitFor();
  threads.clear();
  if (range.Failure) std::rethrow_exception(range.Failure);
}

void SetWorkerThreadLimit(std::int32_t limit) { gThreadLimit.store(limit); }

}  // namespace tamsel
