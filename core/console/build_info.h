// Build information: the program's names and titles, taken from its own file
// name, and the banner and build line that describe it.
#pragma once
#include <string>

#include "core/console/datetime.h"

namespace tamsel {

struct TFileVersionInfoRec {
  bool Initialized = false;
  std::string FileName;      // name of the program file, without folder
  std::string ProgramName;   // FileName without its extension
  std::string Extension;     // with its leading full stop, or empty
  std::string VersionTitle;  // ProgramName v short version
  std::string FileTitle;     // FileName v full version
  std::string ProgramTitle;  // ProgramName v full version
  std::string Spare1, Spare2, Spare3, Spare4, Spare5;
  std::string Description;
  std::string Spare6;
  std::string Copyright;
  std::string AuthorLine;
  std::string Spare7;
  std::string ProgramFolder;  // ends with the path separator
};

// Splits a full program path into the record's name fields.
void FillFileNames(TFileVersionInfoRec& info, const std::string& fullPath, bool upperCase);

TFileVersionInfoRec InitVersionInfo(const std::string& shortVersion,
                                    const std::string& fullVersion,
                                    const std::string& description,
                                    const std::string& internalName, bool upperCase);

}  // namespace tamsel
