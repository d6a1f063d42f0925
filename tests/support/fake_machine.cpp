#include "tests/support/fake_machine.h"

#include "tests/support/platform.h"

namespace tamsel::test {

namespace {

constexpr const char* kVariable = "TAMSEL_CPU_TOPOLOGY_ROOT";

}  // namespace

TFakeMachine::TFakeMachine(int cores, int threadsPerCore) : root_("tamsel-cpus-") {
  if (cores > 0) Describe(root_.Path(), cores, threadsPerCore);
  earlier_ = EnvironmentValue(kVariable);
  SetEnvironmentValue(kVariable, root_.Path().string());
}

TFakeMachine::~TFakeMachine() { SetEnvironmentValue(kVariable, earlier_); }

}  // namespace tamsel::test
