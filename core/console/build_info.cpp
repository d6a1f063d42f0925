#include "core/console/build_info.h"

#include <cctype>

#include "core/console/os_process.h"
#include "core/console/text_helpers.h"

namespace tamsel {

namespace {

constexpr const char* kCopyright = "Copyright (c) The Tamsel project. All rights reserved.";
constexpr const char* kAuthorLine = "Written by the Tamsel developers.";

std::string ToUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

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
