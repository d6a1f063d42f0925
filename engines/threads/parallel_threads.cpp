#include "engines/threads/parallel_threads.h"

#include <atomic>
#include <memory>
#include <vector>

#include "engines/threads/os_thread.h"

namespace tamsel {

namespace {

constexpr std::size_t kWorkerStackBytes = 4194304;

// The hand-out counter: the last index handed out, and the last to hand out.
std::atomic<std::int64_t> NextIndex{0};
std::int64_t LastIndex = 0;

}  // namespace

struct TMyWorkerThread::TImpl {
  os::TThreadHandle* handle = nullptr;
};

TMyWorkerThread::TMyWorkerThread(TWorkerProc proc, void* data)
    : Proc(proc), Data(data), impl_(new TImpl) {
  impl_->handle = os::StartThread(
      kWorkerStackBytes, [](void* self) { static_cast<TMyWorkerThread*>(self)->Execute(); }, this);
}

TMyWorkerThread::~TMyWorkerThread() {
  WaitFor();
  delete impl_;
}

void TMyWorkerThread::WaitFor() {
  os::JoinThread(impl_->handle);
  impl_->handle = nullptr;
}

bool TMyWorkerThread::Started() const { return impl_->handle != nullptr; }

void TMyWorkerThread::Execute() {
  for (;;) {
    const std::int64_t k = NextIndex.fetch_add(1) + 1;
    if (k > LastIndex) return;
    Proc(k, Data);
  }
}

void RunWorkers(std::int64_t first, std::int64_t last, TWorkerProc proc, void* data,
                std::int32_t threadCount) {
  NextIndex.store(first);
  LastIndex = last;
  std::vector<std::unique_ptr<TMyWorkerThread>> threads;
  bool anyStarted = false;
  for (std::int32_t i = 0; i < threadCount; ++i) {
    auto thread = std::make_unique<TMyWorkerThread>(proc, data);
    if (!thread->Started()) break;  // the system has no more threads to give
    anyStarted = true;
    threads.push_back(std::move(thread));
  }
  // Not even one thread: do the work here rather than leave it undone.
  if (!anyStarted && threadCount > 0) {
    for (std::int64_t k = NextIndex.fetch_add(1) + 1; k <= LastIndex; k = NextIndex.fetch_add(1) + 1) {
      proc(k, data);
    }
  }
  for (auto& thread : threads) thread->WaitFor();
}

}  // namespace tamsel
