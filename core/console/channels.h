// The core library's two buffered console channels.
//
// The standard channel writes to standard output until a syntax error rebinds
// it to standard error; the error channel always writes to standard error.
// Both buffer their text; before a channel writes into its stream, whatever
// the other stream holds is flushed, so lines reach the console in the order
// the program wrote them even when both streams share one terminal or file.
// A stream whose write fails (a full disk, a closed descriptor) is written no
// more; the end of the run reports it on the other stream.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tamsel {

#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

struct TChannelSink;

class TChannel {
 public:
  explicit TChannel(TChannelSink* sink) : sink_(sink) {}
  void Write(std::string_view text);
  void Write(char c);
  void WriteLn(std::string_view text = {});
  // Appends the decimal or uppercase hexadecimal digits of a value.
  void WriteDecimal(std::uint64_t value);
  void WriteHex(std::uint64_t value);
  void Flush();
  void Bind(TChannelSink* sink) { sink_ = sink; }
  bool WritesToError() const;

 private:
  std::string& Target();
  TChannelSink* sink_;
};

TChannel& StdChannel();
TChannel& ErrChannel();

// From now on the standard channel writes to standard error.
void RebindStdChannelToError();
// Points the standard channel back at standard output (start-up, tests).
void ResetStdChannel();
void FlushChannels();

// Before work that takes long: flushes both channels, so that what was
// written is on the screen or in the file while the work runs. False when
// the standard channel can no longer be written, so the work's results
// would be lost.
bool FlushBeforeLongWork();

// At the end of the run: flushes both channels and, for a stream whose write
// failed, writes "ERROR: Could not write to standard output: " and the
// system's reason on the other stream when that one still works. Returns
// whether any write failed.
bool ReportFailedWrites();

}  // namespace tamsel
