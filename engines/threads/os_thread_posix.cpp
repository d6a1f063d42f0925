#include "engines/threads/os_thread.h"

#include <new>
#include <pthread.h>

namespace tamsel::os {

struct TThreadHandle {
  pthread_t thread;
  TThreadEntry entry;
  void* argument;
};

namespace {

void* ThreadMain(void* raw) {
  auto* handle = static_cast<TThreadHandle*>(raw);
  handle->entry(handle->argument);
  return nullptr;
}

// A thread without the stack it asked for could overflow it, so a refused
// stack size refuses the thread.
bool CreateWithStack(TThreadHandle* handle, std::size_t stackBytes) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  const bool created = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                       pthread_create(&handle->thread, &attributes, ThreadMain, handle) == 0;
  pthread_attr_destroy(&attributes);
  return created;
}

}  // namespace

TThreadHandle* StartThread(std::size_t stackBytes, TThreadEntry entry, void* argument) {
  auto* handle = new (std::nothrow) TThreadHandle{{}, entry, argument};
  if (handle == nullptr) return nullptr;
  if (!CreateWithStack(handle, stackBytes)) {
    delete handle;
    return nullptr;
  }
  return handle;
}

void JoinThread(TThreadHandle* handle) {
  if (handle == nullptr) return;
  pthread_join(handle->thread, nullptr);
  delete handle;
}

}  // namespace tamsel::os
