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

}  // namespace

TThreadHandle* StartThread(std::size_t stackBytes, TThreadEntry entry, void* argument) {
  auto* handle = new (std::nothrow) TThreadHandle{{}, entry, argument};
  if (handle == nullptr) return nullptr;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, stackBytes);
  const int failed = pthread_create(&handle->thread, &attributes, ThreadMain, handle);
  pthread_attr_destroy(&attributes);
  if (failed != 0) {
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
