#include <fstream>

#include "tests/support/fake_machine.h"
#include "tests/support/processor_records.h"

namespace tamsel::test {

// The records GetLogicalProcessorInformationEx would give, in a file named
// after the service.
void TFakeMachine::Describe(const std::filesystem::path& root, int cores, int threadsPerCore) {
  const std::vector<unsigned char> records = MachineRecords(cores, threadsPerCore).Bytes();
  std::ofstream(root / "GetLogicalProcessorInformationEx", std::ios::binary)
      .write(reinterpret_cast<const char*>(records.data()),
             static_cast<std::streamsize>(records.size()));
}

}  // namespace tamsel::test
