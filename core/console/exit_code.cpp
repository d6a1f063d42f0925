#include "core/console/exit_code.h"

namespace tamsel {

std::int32_t ExitCode = 0;

}  // namespace tamsel
