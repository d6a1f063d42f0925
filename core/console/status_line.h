// A status line on standard error for long pieces of work.
//
// A thread of its own draws the line, rewriting it in place a few times a
// second. The line is erased before the console channels write anything,
// when the work stops, and when Ctrl+C or a termination request ends the
// process, so the terminal is always left as if it had never been there.
// Whether to show one at all (standard error a terminal, and so on) is the
// caller's decision.
#pragma once
#include <chrono>
#include <functional>
#include <string>

namespace tamsel {

struct TStatusLineTiming {
  std::chrono::milliseconds FirstDraw{1000};  // short work never shows a line
  std::chrono::milliseconds Interval{250};
};

// Draws compose()'s text, first after timing.FirstDraw and then every
// timing.Interval, until StopStatusLine. compose runs on the drawing thread
// and must not write to the channels. A line that cannot be started (no
// thread to draw with) is simply not shown. Main thread only.
void StartStatusLine(std::function<std::string()> compose, TStatusLineTiming timing = {});

// Stops the drawing and erases the line. Main thread only; does nothing
// when no line was started.
void StopStatusLine();

// While one lives, the status line is off the screen: it is erased first if
// shown, and the drawing thread waits. The channels hold one around every
// write to the console.
class TStatusLineHold {
 public:
  TStatusLineHold();
  ~TStatusLineHold();
  TStatusLineHold(const TStatusLineHold&) = delete;
  TStatusLineHold& operator=(const TStatusLineHold&) = delete;

 private:
  bool held_ = false;
};

}  // namespace tamsel
