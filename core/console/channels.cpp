#include "core/console/channels.h"

#include <charconv>

#include "core/console/os_console.h"
#include "core/console/status_line.h"
#include "core/console/text_helpers.h"
#include "core/console/channels_testing.h"

namespace tamsel {

struct TChannelSink {
  os::TStream stream;
  std::string buffer;
  std::string* capture = nullptr;  // set while a test captures the stream
  // The system's reason once a write failed; nothing more is written then,
  // and the end of the run reports it.
  std::string failure;
};

namespace {

constexpr std::size_t kFlushThreshold = 1 << 16;

TChannelSink gOutSink{os::TStream::Output, {}, nullptr, {}};
TChannelSink gErrSink{os::TStream::Error, {}, nullptr, {}};
TChannel gStdChannel(&gOutSink);
TChannel gErrChannel(&gErrSink);

void FlushSink(TChannelSink& sink) {
  if (sink.buffer.empty()) return;
  if (sink.capture != nullptr) {
    sink.capture->append(sink.buffer);
  } else if (sink.failure.empty()) {
    const TStatusLineHold noStatusLine;
    sink.failure = os::WriteAll(sink.stream, sink.buffer.data(), sink.buffer.size());
  }
  sink.buffer.clear();
}

// Tests compare one text on every platform, so what they collect has LF
// line ends.
std::string CapturedText(const std::string& text) {
  if (kLineEnd == "\n") return text;
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find(kLineEnd, at);
    if (end == std::string::npos) {
      out.append(text, at);
      break;
    }
    out.append(text, at, end - at).push_back('\n');
    at = end + kLineEnd.size();
  }
  return out;
}

const char* StreamName(const TChannelSink& sink) {
  return sink.stream == os::TStream::Output ? "standard output" : "standard error";
}

// "ERROR: Could not write to standard output: No space left on device."
// Some systems end their reason with a full stop or a line end already.
std::string FailedWriteMessage(const TChannelSink& sink) {
  std::string reason = sink.failure;
  const auto ending = [](char c) { return c == '.' || static_cast<unsigned char>(c) <= ' '; };
  while (!reason.empty() && ending(reason.back())) reason.pop_back();
  return std::string("ERROR: Could not write to ") + StreamName(sink) + ": " + reason + ".";
}

void ReportFailureOn(const TChannelSink& failed, TChannelSink& other) {
  if (failed.failure.empty() || !other.failure.empty()) return;
  other.buffer.append(FailedWriteMessage(failed)).append(kLineEnd);
  FlushSink(other);
}

TChannelSink& OtherSink(const TChannelSink* sink) {
  return sink == &gOutSink ? gErrSink : gOutSink;
}

}  // namespace

std::string& TChannel::Target() {
  TChannelSink& other = OtherSink(sink_);
  if (!other.buffer.empty()) FlushSink(other);
  if (sink_->buffer.size() >= kFlushThreshold) FlushSink(*sink_);
  return sink_->buffer;
}

void TChannel::Write(std::string_view text) { Target().append(text); }

void TChannel::Write(char c) { Target().push_back(c); }

void TChannel::WriteLn(std::string_view text) {
  std::string& target = Target();
  target.append(text);
  target.append(kLineEnd);
}

void TChannel::WriteDecimal(std::uint64_t value) {
  char digits[20];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  Target().append(digits, result.ptr);
}

void TChannel::WriteHex(std::uint64_t value) {
  char digits[16];
  char* end = digits + sizeof digits;
  Target().append(WriteHexDigits(value, end), end);
}

void TChannel::Flush() { FlushSink(*sink_); }

bool TChannel::WritesToError() const { return sink_ == &gErrSink; }

TChannel& StdChannel() { return gStdChannel; }
TChannel& ErrChannel() { return gErrChannel; }

void RebindStdChannelToError() {
  gStdChannel.Flush();
  gStdChannel.Bind(&gErrSink);
}

void ResetStdChannel() {
  gStdChannel.Flush();
  gStdChannel.Bind(&gOutSink);
}

void FlushChannels() {
  FlushSink(gOutSink);
  FlushSink(gErrSink);
}

bool FlushBeforeLongWork() {
  FlushChannels();
  const TChannelSink& standard = gStdChannel.WritesToError() ? gErrSink : gOutSink;
  return standard.failure.empty();
}

bool ReportFailedWrites() {
  FlushChannels();
  const bool outFailed = !gOutSink.failure.empty();
  const bool errFailed = !gErrSink.failure.empty();
  ReportFailureOn(gOutSink, gErrSink);
  ReportFailureOn(gErrSink, gOutSink);
  return outFailed || errFailed;
}

TChannelCapture::TChannelCapture() {
  FlushChannels();
  gOutSink.capture = &out_;
  gErrSink.capture = &err_;
}

TChannelCapture::~TChannelCapture() {
  FlushChannels();
  gOutSink.capture = nullptr;
  gErrSink.capture = nullptr;
}

std::string TChannelCapture::Out() {
  FlushChannels();
  return CapturedText(out_);
}

std::string TChannelCapture::Err() {
  FlushChannels();
  return CapturedText(err_);
}

void TChannelCapture::Clear() {
  FlushChannels();
  out_.clear();
  err_.clear();
}

}  // namespace tamsel
