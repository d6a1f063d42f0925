#include "tests/support/run_program.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <thread>

#include "tests/support/platform.h"

namespace tamsel::test {

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring out(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), static_cast<int>(out.size()));
  return out;
}

// One argument as the C runtime and CommandLineToArgvW read it back.
std::string QuotedArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

// Lines end with CR LF; a LF alone is a fault of the program.
std::string WithLinuxLineEnds(const std::string& text, const char* stream) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      ADD_FAILURE() << "a line of " << stream << " ends without CR:\n" << text;
    }
    out.push_back(text[i]);
  }
  return out;
}

void ReadAll(HANDLE pipe, std::string& text) {
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) != 0 && read > 0) {
    text.append(buffer, read);
  }
}

struct TPipe {
  HANDLE Read = nullptr;
  HANDLE Write = nullptr;
  bool Create() { return ::CreatePipe(&Read, &Write, nullptr, 0) != 0; }
  static void Close(HANDLE& handle) {
    if (handle != nullptr) ::CloseHandle(handle);
    handle = nullptr;
  }
  ~TPipe() {
    Close(Read);
    Close(Write);
  }
};

// Handles are inherited only while one program is being started, so that
// programs started side by side never hold each other's pipes open.
std::mutex gStarting;

bool Start(const std::string& exe, std::string commandLine, TPipe& in, TPipe& out, TPipe& err,
           PROCESS_INFORMATION& process) {
  const std::lock_guard<std::mutex> starting(gStarting);
  for (HANDLE child : {in.Read, out.Write, err.Write}) {
    ::SetHandleInformation(child, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.Read;
  startup.hStdOutput = out.Write;
  startup.hStdError = err.Write;
  std::wstring line = Wide(commandLine);
  const BOOL started = ::CreateProcessW(Wide(exe).c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
  TPipe::Close(in.Read);
  TPipe::Close(out.Write);
  TPipe::Close(err.Write);
  return started != 0;
}

}  // namespace

std::string TypedCommandLine(const std::string& argv0, const std::vector<std::string>& args) {
  std::string line = QuotedArgument(argv0);
  for (const std::string& arg : args) line += ' ' + QuotedArgument(arg);
  return line;
}

namespace {

enum class TOutputFault { None, Unwritable, OutputReaderGone, ErrorReaderGone };

TProgramResult Run(const std::string& exe, const std::vector<std::string>& args,
                   const std::string& argv0, const std::string& input, TOutputFault fault) {
  TPipe in, out, err;
  TProgramResult result;
  if (!in.Create() || !out.Create() || !err.Create()) return result;
  if (fault == TOutputFault::Unwritable) {  // the pipe then ends at once, with no writer
    TPipe::Close(out.Write);
    out.Write = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  }
  PROCESS_INFORMATION process{};
  if (!Start(exe, TypedCommandLine(argv0.empty() ? exe : argv0, args), in, out, err, process)) {
    return result;
  }
  if (fault == TOutputFault::OutputReaderGone) TPipe::Close(out.Read);
  if (fault == TOutputFault::ErrorReaderGone) TPipe::Close(err.Read);
  if (!input.empty()) {
    DWORD written = 0;
    ::WriteFile(in.Write, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  }
  TPipe::Close(in.Write);
  std::string errText;
  std::thread errReader([&] { ReadAll(err.Read, errText); });
  ReadAll(out.Read, result.Out);
  errReader.join();
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  result.ExitCode = static_cast<int>(code);
  result.Out = WithLinuxLineEnds(result.Out, "standard output");
  result.Err = WithLinuxLineEnds(errText, "standard error");
  return result;
}

}  // namespace

TProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                          const std::string& argv0, const std::string& input) {
  return Run(exe, args, argv0, input, TOutputFault::None);
}

TProgramResult RunTamselWithUnwritableOutput(const std::vector<std::string>& args) {
  return Run(TamselPath(), args, {}, {}, TOutputFault::Unwritable);
}

TProgramResult RunTamselWithReaderGone(const std::vector<std::string>& args, bool errorStream) {
  return Run(TamselPath(), args, {}, {},
             errorStream ? TOutputFault::ErrorReaderGone : TOutputFault::OutputReaderGone);
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  ::SetEnvironmentVariableW(Wide(name).c_str(), value.empty() ? nullptr : Wide(value).c_str());
}

TNoKeyboard::TNoKeyboard() : saved_(::GetStdHandle(STD_INPUT_HANDLE)) {
  ::SetStdHandle(STD_INPUT_HANDLE, ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
}

TNoKeyboard::~TNoKeyboard() {
  ::CloseHandle(::GetStdHandle(STD_INPUT_HANDLE));
  ::SetStdHandle(STD_INPUT_HANDLE, static_cast<HANDLE>(saved_));
}

std::string EnvironmentValue(const std::string& name) {
  wchar_t value[32768];
  const DWORD length = ::GetEnvironmentVariableW(Wide(name).c_str(), value, 32768);
  if (length == 0 || length >= 32768) return "";
  const int size = static_cast<int>(length);
  std::string out(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, value, size, nullptr, 0, nullptr, nullptr)), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, value, size, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

}  // namespace tamsel::test
