// The Windows console channel's writes, on handles other than a console.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/console/os_console.h"
#include "core/console/os_error.h"

namespace tamsel::os {
namespace {

// Points standard output at another handle while the object lives.
class TOutputOn {
 public:
  explicit TOutputOn(HANDLE handle) : saved_(::GetStdHandle(STD_OUTPUT_HANDLE)) {
    ::SetStdHandle(STD_OUTPUT_HANDLE, handle);
  }
  ~TOutputOn() { ::SetStdHandle(STD_OUTPUT_HANDLE, saved_); }

 private:
  HANDLE saved_;
};

TEST(WindowsWriteAll, BytesReachAPipeUnchangedAndAFailureGivesTheSystemsReason) {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  ASSERT_NE(::CreatePipe(&read, &write, nullptr, 0), 0);
  const std::string text = "line one\r\nline two\r\n";
  {
    const TOutputOn pipe(write);
    EXPECT_FALSE(IsTerminal(TStream::Output));
    EXPECT_EQ(WriteAll(TStream::Output, text.data(), text.size()), "");
  }
  char buffer[64] = {};
  DWORD got = 0;
  ASSERT_NE(::ReadFile(read, buffer, sizeof buffer, &got, nullptr), 0);
  EXPECT_EQ(std::string(buffer, got), text);  // no line end doubled

  // The reading end refuses writes.
  const TOutputOn readOnly(read);
  const std::string reason = WriteAll(TStream::Output, text.data(), text.size());
  EXPECT_EQ(reason, SystemErrorText(ERROR_ACCESS_DENIED));
  ASSERT_FALSE(reason.empty());
  EXPECT_NE(reason.back(), '.');
  EXPECT_NE(reason.back(), '\n');
  ::CloseHandle(read);
  ::CloseHandle(write);
}

}  // namespace
}  // namespace tamsel::os
