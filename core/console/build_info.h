// Build information: the program's names and titles, taken from its own file
// name, and the banner and build line that describe it.
#pragma once
#include <string>
#include <string_view>

namespace tamsel {

// The architecture the program is built for, with its leading blank, as the
// banner, the build line and the statistics and benchmark lines show it.
inline constexpr std::string_view kArchitectureTag = " x64";

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

// When and with what the program was built.
struct TBuildStamp {
  std::string Date;       // yyyy/mm/dd
  std::string DateTime;   // yyyy/mm/dd hh:nn:ss
  std::string Toolchain;  // " using " + compiler name and version
};

// Turns the compiler's date ("Mmm dd yyyy") and time ("hh:nn:ss") texts into
// a stamp; a date that cannot be read is kept as it came.
TBuildStamp MakeBuildStamp(std::string_view compilerDate, std::string_view compilerTime,
                           std::string_view compiler);

// This program's own stamp, fixed by the compiler when it was built.
const TBuildStamp& ProgramBuildStamp();

// Set by the first ShowBuildInfo call of the run; later calls print nothing.
extern bool BuildInfoShown;

// On standard error: with banner, the title, copyright and author lines and
// an empty line; with build, the build line, followed by an empty line when
// the banner was asked for too. Dates read and written from now on use "/"
// as their separator.
void ShowBuildInfo(const TFileVersionInfoRec& info, bool build, bool banner,
                   const TBuildStamp& stamp = ProgramBuildStamp());

}  // namespace tamsel
