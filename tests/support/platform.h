// What the program's output and surroundings look like on the platform the
// tests run on. The tests compare the same texts everywhere; this is the one
// place where the platforms differ.
//
// - Line ends: Windows ends lines with CR LF. RunProgram checks that every
//   line of the program's output ends so, and hands the tests LF line ends.
// - The program file: "tamsel" on Linux, "tamsel.exe" on Windows.
// - The command line as the program shows it: on Linux rebuilt from the
//   arguments, on Windows the line the program was started with, where a
//   program path holding a blank is quoted too.
// - Paths end their folders with the platform's separator.
// - Windows holds a command line of at most 32,767 characters, so fewer
//   arguments fit on one.
// - Dates and times follow the system's locale on Windows; MaskTimes (in
//   run_program.h) masks any of its separators and field orders alike.
#pragma once
#include <string>
#include <vector>

namespace tamsel::test {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
inline constexpr const char* kProgramFileExtension = ".exe";
#else
inline constexpr bool kOnWindows = false;
inline constexpr const char* kProgramFileExtension = "";
#endif

// About as many short arguments as one command line holds.
inline constexpr int kManyArguments = kOnWindows ? 4000 : 100000;

// The name of the built program's file, as the build line shows it.
inline std::string ProgramFileName() { return std::string("tamsel") + kProgramFileExtension; }

// "" for an empty text, the text in double quotes when it holds a blank.
inline std::string Quoted(const std::string& text) {
  return text.empty() || text.find(' ') != std::string::npos ? "\"" + text + "\"" : text;
}

// The command line a program started as argv0 with args shows as typed.
std::string TypedCommandLine(const std::string& argv0, const std::vector<std::string>& args);

// Sets (or, for an empty value, removes) a variable of this process's
// environment, which the programs it starts inherit.
void SetEnvironmentValue(const std::string& name, const std::string& value);
std::string EnvironmentValue(const std::string& name);

// While the object lives, this process's standard input is the null device,
// which is no keyboard: a key wait runs all its ticks.
class TNoKeyboard {
 public:
  TNoKeyboard();
  ~TNoKeyboard();
  TNoKeyboard(const TNoKeyboard&) = delete;
  TNoKeyboard& operator=(const TNoKeyboard&) = delete;

 private:
  void* saved_;  // the earlier standard input
};

}  // namespace tamsel::test
