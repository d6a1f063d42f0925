// The Windows walk over the records of the processor-information services,
// on made-up machines.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "cpuinfo/numcpulib.h"
#include "tests/support/processor_records.h"

namespace tamsel {
namespace {

using test::MachineRecords;
using test::TProcessorRecords;

os::TMachineDescription Extended(const TProcessorRecords& records) {
  os::TMachineDescription machine;
  machine.Extended = os::TProcessorInfoAnswer{records.Bytes(), 0};
  return machine;
}

struct TCounts {
  std::int32_t Physical;
  std::int32_t Logical;
  bool operator==(const TCounts&) const = default;
};

TCounts CountsOf(const os::TMachineDescription& machine) {
  return {PhysicalProcessorCount(machine), LogicalProcessorCount(machine)};
}

template <class Query>
std::string ErrorOf(Query query) {
  try {
    query();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no exception";
}

TEST(WindowsProcessorCounts, CoresAndTheirProcessorsInEveryGroup) {
  const auto twoGroups = [] {  // 40 cores of two threads: 64 in group 0, 16 in group 1
    TProcessorRecords records = MachineRecords(40, 2);
    return records.Other(RelationGroup, ~0ull).Other(RelationNumaNode, 0xFF);
  }();
  const struct {
    const char* machine;
    TProcessorRecords records;
    TCounts counts;
  } cases[] = {
      {"8 cores with 2 threads", MachineRecords(8, 2), {8, 16}},
      {"two processor groups", twoGroups, {40, 80}},
      {"records that are not cores",
       TProcessorRecords()
           .Other(RelationCache, 0xF)
           .Core({0, 1})
           .Other(RelationProcessorPackage, 0xFF)
           .Other(RelationNumaNode, 0xFF)
           .Core({2, 3})
           .Other(RelationGroup, 0xFF),
       {2, 4}},
      {"one core in two groups", TProcessorRecords().Core({63, 64}), {1, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountsOf(Extended(c.records)), c.counts) << c.machine;
  }
  os::TMachineDescription older;
  older.Plain = os::TProcessorInfoAnswer{test::PlainMachineRecords(8, 2), 0};
  EXPECT_EQ(CountsOf(older), (TCounts{8, 16})) << "GetLogicalProcessorInformation";
}

// A failed call raises its error code, with no fallback; so do records that
// would run past their buffer or never move on.
TEST(WindowsProcessorCounts, FailedCallsAndDamagedRecordsRaisePlatformErrors) {
  std::vector<unsigned char> endless = MachineRecords(2, 2).Bytes();
  endless[offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size)] = 0;
  std::vector<unsigned char> cut = MachineRecords(2, 2).Bytes();
  cut.resize(cut.size() - 1);
  const struct {
    os::TProcessorInfoAnswer answer;
    DWORD code;
  } cases[] = {
      {{{}, ERROR_INVALID_PARAMETER}, ERROR_INVALID_PARAMETER},
      {{{}, ERROR_NOT_ENOUGH_MEMORY}, ERROR_NOT_ENOUGH_MEMORY},
      {{endless, 0}, ERROR_INVALID_DATA},
      {{cut, 0}, ERROR_INVALID_DATA},
  };
  for (const auto& c : cases) {
    os::TMachineDescription machine;
    machine.Extended = c.answer;
    using TQuery = std::int32_t (*)(const os::TMachineDescription&);
    for (const TQuery query : {TQuery{PhysicalProcessorCount}, TQuery{LogicalProcessorCount}}) {
      try {
        query(machine);
        ADD_FAILURE() << "no error for code " << c.code;
      } catch (const EPlatformError& e) {
        EXPECT_EQ(e.Code(), static_cast<int>(c.code));
        EXPECT_EQ(std::string(e.what()).rfind("System error, (OS Code " + std::to_string(c.code) +
                                              "):\r\n", 0), 0u) << e.what();
      }
    }
  }
}

TEST(WindowsProcessorCounts, WithoutEitherServiceOnlyTheLogicalCountRemains) {
  const os::TMachineDescription neither;
  EXPECT_EQ(ErrorOf([&] { PhysicalProcessorCount(neither); }),
            "An Error Occured while getting the Physical CPU Count.");
  EXPECT_GE(LogicalProcessorCount(neither), 1);
  const os::TMachineDescription noCores = Extended(TProcessorRecords().Other(RelationCache, 1));
  EXPECT_EQ(ErrorOf([&] { LogicalProcessorCount(noCores); }),
            "An Error Occured while getting the Logical CPU Count.");
}

}  // namespace
}  // namespace tamsel
