#include <fstream>

#include "tests/support/fake_machine.h"

namespace tamsel::test {

namespace {

void Write(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

}  // namespace

// The kernel's folder: the online processors, and for each the processors
// of its core.
void TFakeMachine::Describe(const std::filesystem::path& root, int cores, int threadsPerCore) {
  const int logical = cores * threadsPerCore;
  Write(root / "online", "0-" + std::to_string(logical - 1));
  for (int cpu = 0; cpu < logical; ++cpu) {
    const int first = cpu / threadsPerCore * threadsPerCore;
    const std::string siblings = threadsPerCore == 1 ? std::to_string(cpu)
                                                     : std::to_string(first) + "-" +
                                                           std::to_string(first + threadsPerCore - 1);
    Write(root / ("cpu" + std::to_string(cpu)) / "topology" / "core_cpus_list", siblings);
  }
}

}  // namespace tamsel::test
