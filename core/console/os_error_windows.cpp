#include "core/console/os_error.h"

#include <windows.h>

#include "core/console/windows_text.h"

namespace tamsel::os {

namespace {

// Windows' messages end with a full stop and a line end; Linux's have
// neither.
std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= ' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::wstring ToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int chars = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
  if (chars > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), chars);
  return out;
}

std::string SystemErrorText(int code) {
  wchar_t* message = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  if (length == 0 || message == nullptr) return "Unknown error " + std::to_string(code);
  std::string text = ToUtf8(std::wstring_view(message, length));
  ::LocalFree(message);
  return Trimmed(std::move(text));
}

}  // namespace tamsel::os
