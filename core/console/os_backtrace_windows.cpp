#include "core/console/os_backtrace.h"

#include <windows.h>
#include <dbghelp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#if defined(__GNUC__)
#include <cxxabi.h>
#endif

#include "core/console/windows_text.h"

namespace tamsel::os {

namespace {

constexpr ULONG kMaxFrames = 62;  // the most CaptureStackBackTrace takes at once
constexpr ULONG kMaxNameLength = 512;

std::string Demangled(const std::string& name) {
#if defined(__GNUC__)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> text(
      abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), std::free);
  if (status == 0 && text) return text.get();
#endif
  return name;
}

std::string HexOffset(std::uintptr_t from, std::uintptr_t to) {
  char text[24];
  std::snprintf(text, sizeof text, "+0x%llx", static_cast<unsigned long long>(to - from));
  return text;
}

std::string ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  return length > 0 ? ToUtf8(std::wstring_view(path, length)) : "?";
}

// Symbols are loaded once, on the first report; DbgHelp names what the
// modules' symbol tables know (system DLLs, and the program's own functions
// where its debug information is readable).
bool SymbolsReady() {
  static const bool ready = [] {
    ::SymSetOptions(SYMOPT_UNDNAME);
    return ::SymInitialize(::GetCurrentProcess(), nullptr, TRUE) != 0;
  }();
  return ready;
}

// A return address may lie just past the end of its function, so it is
// looked up one byte earlier: "function+0xoffset (module)".
std::string Describe(const void* address) {
  const auto value = reinterpret_cast<std::uintptr_t>(address);
  HMODULE module = nullptr;
  if (::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(value - 1), &module) == 0) {
    return "?";
  }
  const std::string where = " (" + ModulePath(module) + ")";
  alignas(SYMBOL_INFO) char storage[sizeof(SYMBOL_INFO) + kMaxNameLength];
  auto* symbol = reinterpret_cast<SYMBOL_INFO*>(storage);
  symbol->SizeOfStruct = sizeof(SYMBOL_INFO);
  symbol->MaxNameLen = kMaxNameLength;
  DWORD64 displacement = 0;
  if (SymbolsReady() && ::SymFromAddr(::GetCurrentProcess(), value - 1, &displacement, symbol)) {
    return Demangled(symbol->Name) + HexOffset(static_cast<std::uintptr_t>(symbol->Address), value) +
           where;
  }
  return HexOffset(reinterpret_cast<std::uintptr_t>(module), value) + where;
}

}  // namespace

std::vector<void*> CaptureCallStack() {
  void* frames[kMaxFrames];
  const USHORT count = ::CaptureStackBackTrace(0, kMaxFrames, frames, nullptr);
  return std::vector<void*>(frames, frames + count);
}

std::vector<std::string> DescribeCallStack(const std::vector<void*>& frames) {
  std::vector<std::string> lines;
  lines.reserve(frames.size());
  for (const void* frame : frames) lines.push_back(Describe(frame));
  return lines;
}

std::string TypeName(const std::type_info& type) { return Demangled(type.name()); }

std::string CurrentExceptionTypeName() {
#if defined(__GNUC__)
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type != nullptr) return TypeName(*type);
#endif
  return "unknown exception";
}

}  // namespace tamsel::os
