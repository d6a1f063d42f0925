#include "core/console/os_backtrace.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <memory>

namespace tamsel::os {

namespace {

constexpr int kMaxFrames = 64;

std::string Demangled(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> text(
      abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), std::free);
  return status == 0 && text ? std::string(text.get()) : name;
}

std::string HexOffset(const void* from, const void* to) {
  const auto offset = reinterpret_cast<std::uintptr_t>(to) - reinterpret_cast<std::uintptr_t>(from);
  char text[24];
  std::snprintf(text, sizeof text, "+0x%jx", static_cast<std::uintmax_t>(offset));
  return text;
}

// A return address may lie just past the end of its function (a call that
// never returns is often the last instruction), so it is looked up one byte
// earlier: "function+0xoffset (module)".
std::string Describe(const void* address) {
  Dl_info info{};
  const void* inside = static_cast<const char*>(address) - 1;
  if (::dladdr(inside, &info) == 0 || info.dli_fname == nullptr) return "?";
  const std::string module = info.dli_fname;
  if (info.dli_sname == nullptr || info.dli_saddr == nullptr) {
    return HexOffset(info.dli_fbase, address) + " (" + module + ")";
  }
  return Demangled(info.dli_sname) + HexOffset(info.dli_saddr, address) + " (" + module + ")";
}

}  // namespace

std::vector<void*> CaptureCallStack() {
  void* frames[kMaxFrames];
  const int count = ::backtrace(frames, kMaxFrames);
  return std::vector<void*>(frames, frames + (count > 0 ? count : 0));
}

std::vector<std::string> DescribeCallStack(const std::vector<void*>& frames) {
  std::vector<std::string> lines;
  lines.reserve(frames.size());
  for (const void* frame : frames) lines.push_back(Describe(frame));
  return lines;
}

std::string TypeName(const std::type_info& type) { return Demangled(type.name()); }

std::string CurrentExceptionTypeName() {
  const std::type_info* type = abi::__cxa_current_exception_type();
  return type != nullptr ? TypeName(*type) : "unknown exception";
}

}  // namespace tamsel::os
