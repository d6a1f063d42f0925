#include "driver/base/run_state.h"

namespace tamsel {

TRunOptions RunOptions;
std::uint64_t SearchLimit = 0;
std::int32_t ThreadCount = 1;
std::int32_t MaxThreads = 2;
std::int32_t SuggestedThreads = 1;
std::string ProgramName = "tamsel";
std::string ProgramTitle = std::string("tamsel v") + kFullVersion;

}  // namespace tamsel
