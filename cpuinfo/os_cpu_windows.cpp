#include "cpuinfo/os_cpu.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tamsel::os {

namespace {

using TGetInfoEx = BOOL(WINAPI*)(LOGICAL_PROCESSOR_RELATIONSHIP,
                                 PSYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, PDWORD);
using TGetInfo = BOOL(WINAPI*)(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION, PDWORD);

constexpr const char* kExtendedService = "GetLogicalProcessorInformationEx";
constexpr const char* kPlainService = "GetLogicalProcessorInformation";

// Looked up by name, so that the program also starts on systems without
// them; kernel32 loads with critical-error dialogs suppressed and stays.
template <class TFunction>
TFunction EntryPoint(const char* name) {
  const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  const HMODULE kernel = ::LoadLibraryW(L"kernel32.dll");
  ::SetErrorMode(previous);
  const FARPROC found = kernel != nullptr ? ::GetProcAddress(kernel, name) : nullptr;
  // Through void (*)(), the type that stands for "any function".
  return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(found));
}

// The size query must fail for want of room; then the records are fetched.
template <class TCall>
TProcessorInfoAnswer Ask(TCall call) {
  TProcessorInfoAnswer answer;
  DWORD length = 0;
  if (call(nullptr, &length) != 0) return answer;  // nothing to tell
  const DWORD error = ::GetLastError();
  if (error != ERROR_INSUFFICIENT_BUFFER) {
    answer.Error = error;
    return answer;
  }
  answer.Records.resize(length);
  if (call(answer.Records.data(), &length) == 0) {
    answer.Error = ::GetLastError();
    answer.Records.clear();
    return answer;
  }
  answer.Records.resize(length);
  return answer;
}

TMachineDescription SystemMachine() {
  TMachineDescription machine;
  if (const auto extended = EntryPoint<TGetInfoEx>(kExtendedService)) {
    machine.Extended = Ask([extended](unsigned char* buffer, DWORD* length) {
      return extended(RelationAll,
                      reinterpret_cast<PSYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX>(buffer), length);
    });
  } else if (const auto plain = EntryPoint<TGetInfo>(kPlainService)) {
    machine.Plain = Ask([plain](unsigned char* buffer, DWORD* length) {
      return plain(reinterpret_cast<PSYSTEM_LOGICAL_PROCESSOR_INFORMATION>(buffer), length);
    });
  }
  return machine;
}

std::optional<TProcessorInfoAnswer> RecordsFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  TProcessorInfoAnswer answer;
  answer.Records.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return answer;
}

}  // namespace

TMachineDescription ThisMachine() {
  const wchar_t* root = ::_wgetenv(L"TAMSEL_CPU_TOPOLOGY_ROOT");
  if (root == nullptr || *root == L'\0') return SystemMachine();
  const std::filesystem::path folder(root);
  TMachineDescription machine;
  machine.Extended = RecordsFile(folder / kExtendedService);
  if (!machine.Extended) machine.Plain = RecordsFile(folder / kPlainService);
  return machine;
}

std::optional<std::uint64_t> ProcessAffinityMask() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) == 0) return std::nullopt;
  return static_cast<std::uint64_t>(process);
}

std::int64_t ConfiguredProcessorCount() {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<std::int64_t>(info.dwNumberOfProcessors) : -1;
}

}  // namespace tamsel::os
