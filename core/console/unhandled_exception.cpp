#include "core/console/unhandled_exception.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "core/console/os_backtrace.h"
#include "core/console/program_errors.h"
#include "core/console/text_helpers.h"

namespace tamsel {

namespace {

struct TExceptionFacts {
  std::string TypeName;
  std::string Message;
  const void* Address = nullptr;
  std::vector<void*> Stack;
};

std::string HexAddress(const void* address) {
  char digits[16];
  char* end = digits + sizeof digits;
  const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(address));
  std::string text = "$";
  return text.append(WriteHexDigits(value, end, sizeof digits), end);
}

// The program's own types are shown without their namespace.
std::string ShortTypeName(std::string name) {
  constexpr std::string_view kOwn = "tamsel::";
  if (name.starts_with(kOwn)) name.erase(0, kOwn.size());
  return name;
}

// The type, message and raise site of an exception the program raised.
TExceptionFacts Identify(std::exception_ptr error) {
  if (!error) return {"unknown exception", "", nullptr, {}};
  try {
    std::rethrow_exception(error);
  } catch (const EProgramError& e) {
    return {os::TypeName(typeid(e)), e.what(), e.RaiseAddress(), e.CallStack()};
  } catch (const std::exception& e) {
    return {os::TypeName(typeid(e)), e.what(), nullptr, {}};
  } catch (...) {
    return {os::CurrentExceptionTypeName(), "", nullptr, {}};
  }
}

// An exception the program did not raise itself gets the stack of the
// handler that caught it, from the handler's call on.
TExceptionFacts FactsOf(std::exception_ptr error, const void* handler) {
  TExceptionFacts facts = Identify(error);
  if (facts.Address != nullptr) return facts;
  facts.Address = handler;
  facts.Stack = os::CaptureCallStack();
  const auto site = std::find(facts.Stack.begin(), facts.Stack.end(), handler);
  if (site != facts.Stack.end()) facts.Stack.erase(facts.Stack.begin(), site);
  return facts;
}

void WriteReport(const TExceptionFacts& facts) {
  TChannel& out = StdChannel();
  out.WriteLn("An unhandled exception occurred at " + HexAddress(facts.Address) + ":");
  const std::string type = ShortTypeName(facts.TypeName);
  out.WriteLn(facts.Message.empty() ? type : type + ": " + facts.Message);
  const std::vector<std::string> lines = os::DescribeCallStack(facts.Stack);
  for (std::size_t i = 0; i < facts.Stack.size(); ++i) {
    out.WriteLn("  " + HexAddress(facts.Stack[i]) + "  " + lines[i]);
  }
}

}  // namespace

std::int32_t ReportUnhandledException(std::exception_ptr error) {
  const TExceptionFacts facts = FactsOf(error, __builtin_return_address(0));
  FlushChannels();
  ResetStdChannel();
  WriteReport(facts);
  FlushChannels();
  AssignExitCode(kExitUnhandledException);
  return kExitUnhandledException;
}

}  // namespace tamsel
