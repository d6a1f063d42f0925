// The program's own exceptions. Each remembers where it was raised and the
// calls that led there, so that one nobody catches can still be reported in
// full after the stack has unwound.
#pragma once
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tamsel {

class EProgramError : public std::runtime_error {
 public:
  explicit EProgramError(const std::string& message);

  // The code address Raise was called from (nullptr for a plain throw).
  const void* RaiseAddress() const { return raiseAddress_; }
  // Return addresses of the active calls, innermost first; after Raise the
  // stack starts at the raise address.
  const std::vector<void*>& CallStack() const { return callStack_; }
  void MarkRaisedAt(const void* address);

 private:
  const void* raiseAddress_ = nullptr;
  std::vector<void*> callStack_;
};

// A failed operating-system call, by its error code.
class EPlatformError : public EProgramError {
 public:
  explicit EPlatformError(int code);
  int Code() const { return code_; }

 private:
  int code_;
};

// "System error, (OS Code %d):", a line break and the system's description of
// the code; "An operating system call failed." for code 0.
std::string PlatformErrorMessage(int code);

// Throws E(args...), marked with the address of the call.
template <class E, class... Args>
[[noreturn, gnu::noinline]] void Raise(Args&&... args) {
  E error(std::forward<Args>(args)...);
  error.MarkRaisedAt(__builtin_return_address(0));
  throw error;
}

}  // namespace tamsel
