#include "tests/support/processor_records.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace tamsel::test {

namespace {

constexpr std::size_t kProcessorPart = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Processor);

template <class T>
void Put(std::vector<unsigned char>& record, std::size_t offset, const T& value) {
  std::memcpy(record.data() + offset, &value, sizeof value);
}

// A record of one relationship; processor relationships (cores, packages)
// carry one group mask per processor group they span.
std::vector<unsigned char> Record(DWORD relationship, const std::map<WORD, KAFFINITY>& groups) {
  const std::size_t masks = kProcessorPart + offsetof(PROCESSOR_RELATIONSHIP, GroupMask);
  const std::size_t size = std::max(sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX),
                                    masks + groups.size() * sizeof(GROUP_AFFINITY));
  std::vector<unsigned char> record(size, 0);
  Put(record, offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Relationship), relationship);
  Put(record, offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size), static_cast<DWORD>(size));
  if (relationship == RelationProcessorCore || relationship == RelationProcessorPackage) {
    Put(record, kProcessorPart + offsetof(PROCESSOR_RELATIONSHIP, GroupCount),
        static_cast<WORD>(groups.size()));
    std::size_t at = masks;
    for (const auto& [group, mask] : groups) {
      GROUP_AFFINITY affinity{};
      affinity.Group = group;
      affinity.Mask = mask;
      Put(record, at, affinity);
      at += sizeof(GROUP_AFFINITY);
    }
  }
  return record;
}

}  // namespace

TProcessorRecords& TProcessorRecords::Core(const std::vector<int>& processors) {
  std::map<WORD, KAFFINITY> groups;
  for (const int p : processors) groups[static_cast<WORD>(p / 64)] |= KAFFINITY{1} << (p % 64);
  const std::vector<unsigned char> record = Record(RelationProcessorCore, groups);
  bytes_.insert(bytes_.end(), record.begin(), record.end());
  return *this;
}

TProcessorRecords& TProcessorRecords::Other(int relationship, unsigned long long mask) {
  const std::vector<unsigned char> record =
      Record(static_cast<DWORD>(relationship), {{WORD{0}, static_cast<KAFFINITY>(mask)}});
  bytes_.insert(bytes_.end(), record.begin(), record.end());
  return *this;
}

TProcessorRecords MachineRecords(int cores, int threadsPerCore) {
  TProcessorRecords records;
  records.Other(RelationProcessorPackage, ~0ull);
  for (int core = 0; core < cores; ++core) {
    std::vector<int> processors;
    for (int t = 0; t < threadsPerCore; ++t) processors.push_back(core * threadsPerCore + t);
    records.Core(processors);
  }
  return records;
}

std::vector<unsigned char> PlainMachineRecords(int cores, int threadsPerCore) {
  std::vector<unsigned char> bytes;
  for (int core = 0; core < cores; ++core) {
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION entry{};
    entry.Relationship = RelationProcessorCore;
    for (int t = 0; t < threadsPerCore; ++t) entry.ProcessorMask |= ULONG_PTR{1} << (core * threadsPerCore + t);
    const auto* raw = reinterpret_cast<const unsigned char*>(&entry);
    bytes.insert(bytes.end(), raw, raw + sizeof entry);
    entry.Relationship = RelationCache;  // each core's cache: not counted
    bytes.insert(bytes.end(), raw, raw + sizeof entry);
  }
  return bytes;
}

}  // namespace tamsel::test
