#include "core/console/os_error.h"

#include <system_error>

namespace tamsel::os {

std::string SystemErrorText(int code) { return std::system_category().message(code); }

}  // namespace tamsel::os
