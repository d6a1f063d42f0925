#include "cpuinfo/cpu_services.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "core/console/program_errors.h"
#include "cpuinfo/numcpulib.h"

namespace tamsel {

namespace {

// Reads a field of a record at its offset; the buffer has no alignment.
template <class T>
T FieldAt(const std::vector<unsigned char>& records, std::size_t offset) {
  T value{};
  std::memcpy(&value, records.data() + offset, sizeof value);
  return value;
}

void RaiseIfFailed(const os::TProcessorInfoAnswer& answer) {
  if (answer.Error != 0) Raise<EPlatformError>(static_cast<int>(answer.Error));
}

[[noreturn]] void RaiseDamaged() { Raise<EPlatformError>(static_cast<int>(ERROR_INVALID_DATA)); }

constexpr std::size_t kRecordHeader = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Processor);
constexpr std::size_t kGroupCount =
    kRecordHeader + offsetof(PROCESSOR_RELATIONSHIP, GroupCount);
constexpr std::size_t kGroupMasks = kRecordHeader + offsetof(PROCESSOR_RELATIONSHIP, GroupMask);

// One core record: its processors are the bits of all its group masks.
std::int32_t CoreProcessors(const std::vector<unsigned char>& records, std::size_t start,
                            std::size_t size) {
  if (size < kGroupMasks) RaiseDamaged();
  const auto groups = FieldAt<WORD>(records, start + kGroupCount);
  if (kGroupMasks + std::size_t{groups} * sizeof(GROUP_AFFINITY) > size) RaiseDamaged();
  std::int32_t processors = 0;
  for (std::size_t g = 0; g < groups; ++g) {
    const auto group = FieldAt<GROUP_AFFINITY>(records, start + kGroupMasks + g * sizeof(GROUP_AFFINITY));
    processors += CountBits(static_cast<std::uint64_t>(group.Mask));
  }
  return processors;
}

// Records of varying size, each giving its own; a size that would not move
// on, or leave the buffer, marks the records as damaged.
TCpuCounts WalkProcessorInfoEx(const os::TProcessorInfoAnswer& answer) {
  RaiseIfFailed(answer);
  const std::vector<unsigned char>& records = answer.Records;
  TCpuCounts counts;
  for (std::size_t offset = 0; offset < records.size();) {
    if (records.size() - offset < kRecordHeader) RaiseDamaged();
    const auto relationship =
        FieldAt<DWORD>(records, offset + offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Relationship));
    const auto size =
        FieldAt<DWORD>(records, offset + offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size));
    if (size < kRecordHeader || size > records.size() - offset) RaiseDamaged();
    if (relationship == RelationProcessorCore) {
      ++counts.Physical;
      counts.Logical += CoreProcessors(records, offset, size);
    }
    offset += size;
  }
  return counts;
}

// Entries of one fixed size; a cut-off entry at the end is not read.
TCpuCounts WalkProcessorInfo(const os::TProcessorInfoAnswer& answer) {
  RaiseIfFailed(answer);
  constexpr std::size_t kEntry = sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
  TCpuCounts counts;
  for (std::size_t offset = 0; answer.Records.size() - offset >= kEntry; offset += kEntry) {
    const auto entry = FieldAt<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>(answer.Records, offset);
    if (entry.Relationship != RelationProcessorCore) continue;
    ++counts.Physical;
    counts.Logical += CountBits(static_cast<std::uint64_t>(entry.ProcessorMask));
  }
  return counts;
}

}  // namespace

std::optional<TCpuCounts> WalkCpuTopology(const os::TMachineDescription& machine) {
  if (machine.Extended) return WalkProcessorInfoEx(*machine.Extended);
  if (machine.Plain) return WalkProcessorInfo(*machine.Plain);
  return std::nullopt;
}

}  // namespace tamsel
