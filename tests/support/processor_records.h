// Test aid: the records of Windows' processor-information services, built
// in memory for a made-up machine.
#pragma once
#ifdef _WIN32
#include <vector>

namespace tamsel::test {

// Records as GetLogicalProcessorInformationEx gives them. Logical
// processors are numbered across processor groups of 64: processor 70 is
// processor 6 of group 1.
class TProcessorRecords {
 public:
  // A core holding the given logical processors.
  TProcessorRecords& Core(const std::vector<int>& processors);
  // A record of another relationship (LOGICAL_PROCESSOR_RELATIONSHIP), its
  // group mask (where it has one) set to the given processors of group 0.
  TProcessorRecords& Other(int relationship, unsigned long long mask);
  const std::vector<unsigned char>& Bytes() const { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
};

// Core c holds processors c * threadsPerCore to c * threadsPerCore +
// threadsPerCore - 1; a package record comes first, as on real machines.
TProcessorRecords MachineRecords(int cores, int threadsPerCore);

// The same machine in the 32-byte entries of GetLogicalProcessorInformation
// (group 0 only).
std::vector<unsigned char> PlainMachineRecords(int cores, int threadsPerCore);

}  // namespace tamsel::test
#endif
