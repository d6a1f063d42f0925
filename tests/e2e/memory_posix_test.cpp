// End-to-end: a search the machine cannot hold ends with a message and a
// nonzero exit code instead of an abort. Linux only: the shell's ulimit
// gives the program a small address space, which Wine has no way to do.
#include <gtest/gtest.h>

#include "tests/support/run_program.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TAMSEL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TAMSEL_SANITIZED 1
#endif
#endif

namespace tamsel::test {
namespace {

// Runs tamsel with its address space limited to limitKiB.
TProgramResult RunWithMemoryLimit(long limitKiB, const std::string& arguments) {
  return RunProgram("/bin/sh",
                    {"-c", "ulimit -v " + std::to_string(limitKiB) + " && exec \"$0\" " + arguments,
                     TamselPath()});
}

TEST(OutOfMemory, SearchTooLargeForTheMachineIsReportedNotAborted) {
#ifdef TAMSEL_SANITIZED
  GTEST_SKIP() << "sanitizers reserve more address space than the limit allows";
#endif
  // The maximum needs a table of about 4.2 GB for its base primes.
  for (const char* mode : {"", " -p", " --benchmark"}) {
    const TProgramResult r =
        RunWithMemoryLimit(1000000, std::string("18,000,000,000,000,000,000") + mode);
    EXPECT_EQ(r.ExitCode, 1) << mode;
    EXPECT_EQ(r.Err,
              "ERROR: Not enough memory to search up to 18,000,000,000,000,000,000.\n")
        << mode;
  }
}

}  // namespace
}  // namespace tamsel::test
