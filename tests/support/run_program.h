// Test aid: runs a program with arguments and collects its standard output,
// standard error and exit code separately.
#pragma once
#include <chrono>
#include <string>
#include <vector>

namespace tamsel::test {

struct TProgramResult {
  std::string Out;
  std::string Err;
  int ExitCode = -1;
};

// Path of the built tamsel program.
std::string TamselPath();

// Runs exe with args; argv[0] is argv0 when given, else exe. Standard input
// is empty (or the given text). On Windows every line must end with CR LF;
// the texts come back with LF line ends (see platform.h).
TProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                          const std::string& argv0 = {}, const std::string& input = {});

inline TProgramResult RunTamsel(const std::vector<std::string>& args) {
  return RunProgram(TamselPath(), args);
}

#ifdef _WIN32
// Runs tamsel with standard output on the null device opened for reading
// only, so that every write to it fails.
TProgramResult RunTamselWithUnwritableOutput(const std::vector<std::string>& args);

// Runs tamsel with the reading end of its standard output's pipe (or, with
// errorStream, standard error's) closed once it has started, as when the
// reader has gone; the text of that stream is then empty.
TProgramResult RunTamselWithReaderGone(const std::vector<std::string>& args, bool errorStream);
#else
// Runs tamsel with standard output on a pseudo-terminal, as in an
// interactive shell, and standard error there too unless errOnTerminal is
// off (then it goes to a pipe of its own). Once the terminal has received
// signalWhenShown, the program is sent signal (0: none).
struct TTerminalRunResult {
  std::string Terminal;  // every byte the terminal received
  std::string Err;       // standard error when it was not on the terminal
  int ExitCode = -1;     // when the program exited
  int Signal = 0;        // the signal that ended it, else 0
};

TTerminalRunResult RunOnTerminal(const std::vector<std::string>& args, bool errOnTerminal = true,
                                 const std::string& signalWhenShown = {}, int signal = 0);

// What a terminal shows after receiving text: carriage returns go back to
// the start of the row, and the bytes overwrite what is there.
std::vector<std::string> ScreenRows(const std::string& text);

// A program left running while the test reads its standard output (its
// standard error is discarded); ended with SIGKILL when the test is done.
// With nonBlockingOutput the program finds its standard output in
// non-blocking mode, as another process sharing it may have set it.
class TRunningProgram {
 public:
  TRunningProgram(const std::string& exe, const std::vector<std::string>& args,
                  bool nonBlockingOutput = false);
  ~TRunningProgram();
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;

  // The next line of standard output without its line end; empty when none
  // arrived within the time or the output ended.
  std::string ReadLine(std::chrono::milliseconds timeout);
  // Everything still to come, up to the end of the output.
  std::string ReadRest();
  bool Running();

 private:
  int pid_ = -1;
  int outFd_ = -1;
  std::string pending_;
};
#endif

// Replaces every digit of date-time stamps ("mm/dd/yyyy hh:nn:ss.zzz", the
// elapsed forms "hh:nn:ss.zzz" and "nn:ss.zzz", and the short "hh:nn:ss")
// with "#", so outputs compare equal whatever the clock said. On Windows
// the locale's separators and field order are masked into this form too.
std::string MaskTimes(const std::string& text);

// Splits text into lines at "\n" (the last line may be unterminated).
std::vector<std::string> Lines(const std::string& text);

}  // namespace tamsel::test
