#include "tests/support/run_program.h"

#include <filesystem>
#include <regex>

#include "tests/support/platform.h"

namespace tamsel::test {

std::string TamselPath() {
  return std::filesystem::absolute(std::filesystem::path(TAMSEL_EXE_PATH).make_preferred())
      .string();
}

namespace {

// On Linux stamps are "mm/dd/yyyy hh:nn:ss.zzz"; on Windows the locale
// chooses the separators and the order of day, month and year.
const std::regex& StampPattern() {
  static const std::regex onLinux(
      R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d(\.\d{3})?|\d{2,}:\d\d:\d\d\.\d{3}|\d{2,}:\d\d\.\d{3})");
  static const std::regex onWindows(
      R"((\d\d[/.-]\d\d[/.-]\d{4}|\d{4}[/.-]\d\d[/.-]\d\d) \d\d[:.]\d\d[:.]\d\d(\.\d{3})?)"
      R"(|\d{2,}[:.]\d\d[:.]\d\d\.\d{3}|\d{2,}[:.]\d\d\.\d{3})");
  return kOnWindows ? onWindows : onLinux;
}

// The Linux form of a masked stamp: "##/##/#### ##:##:##.###" and so on.
std::string Masked(std::string stamp) {
  for (char& c : stamp) {
    if (c >= '0' && c <= '9') c = '#';
  }
  if (!kOnWindows) return stamp;
  const std::size_t blank = stamp.find(' ');
  std::string time = blank == std::string::npos ? stamp : stamp.substr(blank + 1);
  const std::size_t fraction = time.size() >= 4 && time[time.size() - 4] == '.' ? 4 : 0;
  for (std::size_t i = 0; i + fraction < time.size(); ++i) {
    if (time[i] == '.') time[i] = ':';
  }
  if (blank == std::string::npos) return time;
  return "##/##/#### " + time;
}

}  // namespace

std::string MaskTimes(const std::string& text) {
  std::string out;
  auto begin = std::sregex_iterator(text.begin(), text.end(), StampPattern());
  std::size_t last = 0;
  for (auto it = begin; it != std::sregex_iterator(); ++it) {
    out.append(text, last, static_cast<std::size_t>(it->position()) - last);
    out.append(Masked(it->str()));
    last = static_cast<std::size_t>(it->position() + it->length());
  }
  out.append(text, last);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace tamsel::test
