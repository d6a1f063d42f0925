#include "engines/threads/os_thread.h"

#include <windows.h>
#include <process.h>

#include <cstdint>
#include <new>

namespace tamsel::os {

struct TThreadHandle {
  HANDLE thread;
  TThreadEntry entry;
  void* argument;
};

namespace {

unsigned __stdcall ThreadMain(void* raw) {
  auto* handle = static_cast<TThreadHandle*>(raw);
  handle->entry(handle->argument);
  return 0;
}

}  // namespace

// The stack size is the thread's committed stack (no reservation flag), so
// the whole of it is there from the start; a system that cannot give it
// refuses the thread. _beginthreadex rather than CreateThread sets up the
// C runtime for the thread.
TThreadHandle* StartThread(std::size_t stackBytes, TThreadEntry entry, void* argument) {
  auto* handle = new (std::nothrow) TThreadHandle{nullptr, entry, argument};
  if (handle == nullptr) return nullptr;
  const std::uintptr_t thread =
      ::_beginthreadex(nullptr, static_cast<unsigned>(stackBytes), ThreadMain, handle, 0, nullptr);
  if (thread == 0) {
    delete handle;
    return nullptr;
  }
  handle->thread = reinterpret_cast<HANDLE>(thread);
  return handle;
}

void JoinThread(TThreadHandle* handle) {
  if (handle == nullptr) return;
  ::WaitForSingleObject(handle->thread, INFINITE);
  ::CloseHandle(handle->thread);
  delete handle;
}

}  // namespace tamsel::os
