// Operating-system seam for call stacks and the names of types and
// functions as the compiler encodes them.
#pragma once
#include <string>
#include <typeinfo>
#include <vector>

namespace tamsel::os {

// Return addresses of the calls active on this thread, innermost first.
std::vector<void*> CaptureCallStack();

// One line per address: the function and offset, and the module holding it,
// as far as the system can tell.
std::vector<std::string> DescribeCallStack(const std::vector<void*>& frames);

// The readable name of a type; for the exception being handled when the
// handler cannot name its type itself.
std::string TypeName(const std::type_info& type);
std::string CurrentExceptionTypeName();

}  // namespace tamsel::os
