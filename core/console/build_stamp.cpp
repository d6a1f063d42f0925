// The compiler fixes the date and time below when it builds this file; GCC
// and Clang take them from SOURCE_DATE_EPOCH when it is set, which keeps
// builds reproducible.
#include <string>

#include "core/console/build_info.h"

namespace tamsel {

namespace {

std::string CompilerText() {
#if defined(__clang__)
  return "clang++ " + std::to_string(__clang_major__) + "." + std::to_string(__clang_minor__) +
         "." + std::to_string(__clang_patchlevel__);
#elif defined(__GNUC__)
  return "g++ " + std::to_string(__GNUC__) + "." + std::to_string(__GNUC_MINOR__) + "." +
         std::to_string(__GNUC_PATCHLEVEL__);
#else
  return "an unknown compiler";
#endif
}

}  // namespace

const TBuildStamp& ProgramBuildStamp() {
  static const TBuildStamp stamp = MakeBuildStamp(__DATE__, __TIME__, CompilerText());
  return stamp;
}

}  // namespace tamsel
