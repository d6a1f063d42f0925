#include "core/console/build_info.h"

#include <cctype>
#include <utility>

#include "core/console/channels.h"
#include "core/console/date_text.h"
#include "core/console/datetime.h"
#include "core/console/os_process.h"
#include "core/console/text_helpers.h"

namespace tamsel {

namespace {

constexpr const char* kCopyright = "Copyright (c) The Tamsel project. All rights reserved.";
constexpr const char* kAuthorLine = "Written by the Tamsel developers.";

constexpr std::string_view kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string ToUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// "Mmm dd yyyy" (day padded with a blank) as "yyyy/mm/dd"; empty when the
// month name is unknown.
std::string CompilerDateAsText(std::string_view date) {
  if (date.size() != 11) return {};
  for (std::size_t month = 0; month < 12; ++month) {
    if (date.substr(0, 3) != kMonthNames[month]) continue;
    std::string text(date.substr(7, 4));
    text.push_back('/');
    text.push_back(static_cast<char>('0' + (month + 1) / 10));
    text.push_back(static_cast<char>('0' + (month + 1) % 10));
    text.push_back('/');
    text.push_back(date[4] == ' ' ? '0' : date[4]);
    text.push_back(date[5]);
    return text;
  }
  return {};
}

// Sets the short-date pattern for one call and puts the old one back.
class TShortDatePatternScope {
 public:
  explicit TShortDatePatternScope(std::string pattern)
      : saved_(std::exchange(FormatSettings().ShortDateFormat, std::move(pattern))) {}
  ~TShortDatePatternScope() { FormatSettings().ShortDateFormat = std::move(saved_); }
  TShortDatePatternScope(const TShortDatePatternScope&) = delete;
  TShortDatePatternScope& operator=(const TShortDatePatternScope&) = delete;

 private:
  std::string saved_;
};

// A stamp that cannot be read is shown as it is rather than as a wrong date.
std::string FormatStamp(const std::string& text, std::string_view pattern) {
  const auto value = ParseDateTimeText(text, "mm/dd/yyyy");
  return value ? FormatDateTime(pattern, *value) : text;
}

void WriteBanner(const TFileVersionInfoRec& info, const TBuildStamp& stamp) {
  TChannel& err = ErrChannel();
  err.WriteLn(info.VersionTitle + std::string(kArchitectureTag) + " (" +
              FormatStamp(stamp.Date, "dd mmm yyyy") + ") - " + info.Description);
  err.WriteLn(info.Copyright);
  err.Write(info.AuthorLine);
  err.Write(kLineEnd);
  err.WriteLn();
}

// Minutes and seconds of the build time are deliberately not shown.
void WriteBuildLine(const TFileVersionInfoRec& info, const TBuildStamp& stamp) {
  ErrChannel().WriteLn(info.FileTitle + std::string(kArchitectureTag) + " was compiled on " +
                       FormatStamp(stamp.DateTime, "dd mmm yyyy @ hh:00:00") + stamp.Toolchain);
}

}  // namespace

bool BuildInfoShown = false;

TBuildStamp MakeBuildStamp(std::string_view compilerDate, std::string_view compilerTime,
                           std::string_view compiler) {
  TBuildStamp stamp;
  stamp.Date = CompilerDateAsText(compilerDate);
  if (stamp.Date.empty()) stamp.Date = compilerDate;
  stamp.DateTime = stamp.Date + " " + std::string(compilerTime);
  stamp.Toolchain = " using " + std::string(compiler);
  return stamp;
}

void ShowBuildInfo(const TFileVersionInfoRec& info, bool build, bool banner,
                   const TBuildStamp& stamp) {
  // Once the build information has been shown, every date of the run uses "/".
  FormatSettings().DateSeparator = '/';
  if (BuildInfoShown) return;
  const TShortDatePatternScope buildDates("yyyy/mm/dd");
  if (banner) WriteBanner(info, stamp);
  if (build) WriteBuildLine(info, stamp);
  if (build && banner) ErrChannel().WriteLn();
  BuildInfoShown = true;
}

void FillFileNames(TFileVersionInfoRec& info, const std::string& fullPath, bool upperCase) {
  const std::size_t slash = fullPath.find_last_of(os::PathSeparator());
  info.ProgramFolder = slash == std::string::npos ? std::string() : fullPath.substr(0, slash + 1);
  info.FileName = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
  const std::size_t dot = info.FileName.find_last_of('.');
  // A leading dot names a hidden file, not an extension.
  info.Extension = dot == std::string::npos || dot == 0 ? std::string() : info.FileName.substr(dot);
  info.ProgramName = info.Extension.empty() ? info.FileName
                                            : ReplaceNoCase(info.FileName, info.Extension, "", false);
  if (upperCase) {
    info.FileName = ToUpper(info.FileName);
    info.ProgramName = ToUpper(info.ProgramName);
  }
}

TFileVersionInfoRec InitVersionInfo(const std::string& shortVersion,
                                    const std::string& fullVersion,
                                    const std::string& description,
                                    const std::string& /*internalName*/, bool upperCase) {
  TFileVersionInfoRec info;
  FillFileNames(info, os::ProgramFilePath(), upperCase);
  info.VersionTitle = info.ProgramName + " v" + shortVersion;
  info.FileTitle = info.FileName + " v" + fullVersion;
  info.ProgramTitle = info.ProgramName + " v" + fullVersion;
  info.Description = description;
  info.Copyright = kCopyright;
  info.AuthorLine = kAuthorLine;
  info.Initialized = true;
  return info;
}

}  // namespace tamsel
