#include "cpuinfo/numcpulib.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cpuinfo/cpu_services.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

const std::string kLogicalError = "An Error Occured while getting the Logical CPU Count.";
const std::string kPhysicalError = "An Error Occured while getting the Physical CPU Count.";

// A made-up processor folder, used as the topology root while it lives.
class TFakeMachine {
 public:
  explicit TFakeMachine(const std::string& name)
      : root_(fs::path(testing::TempDir()) / ("tamsel_cpu_" + name)) {
    fs::remove_all(root_);
    fs::create_directories(root_);
    SetCpuTopologyRoot(root_.string());
  }
  ~TFakeMachine() {
    SetCpuTopologyRoot("");
    fs::remove_all(root_);
  }

  void Write(const std::string& file, const std::string& text) {
    fs::create_directories((root_ / file).parent_path());
    std::ofstream(root_ / file) << text;
  }
  void Core(int cpu, const std::string& cpus, const char* list = "core_cpus_list") {
    Write("cpu" + std::to_string(cpu) + "/topology/" + list, cpus + "\n");
  }
  fs::path Root() const { return root_; }

 private:
  fs::path root_;
};

template <class Query>
std::string ErrorOf(Query query) {
  try {
    query();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no exception";
}

int PlatformCodeOf(std::int32_t (*query)()) {
  try {
    query();
  } catch (const EPlatformError& e) {
    return e.Code();
  }
  return 0;
}

TEST(ProcessorCounts, EightCoresWithTwoThreadsEach) {
  TFakeMachine machine("8x2");
  machine.Write("online", "0-15\n");
  for (int cpu = 0; cpu < 16; ++cpu) {
    machine.Core(cpu, std::to_string(cpu % 8) + "," + std::to_string(cpu % 8 + 8));
  }
  EXPECT_EQ(PhysicalProcessorCount(), 8);
  EXPECT_EQ(LogicalProcessorCount(), 16);
}

TEST(ProcessorCounts, MoreThanSixtyFourProcessorsAreAllCounted) {
  TFakeMachine machine("big");  // 65 cores of two threads, an older kernel
  machine.Write("online", "0-129\n");
  for (int cpu = 0; cpu < 130; ++cpu) {
    const int first = cpu & ~1;
    machine.Core(cpu, std::to_string(first) + "-" + std::to_string(first + 1),
                 "thread_siblings_list");
  }
  EXPECT_EQ(PhysicalProcessorCount(), 65);
  EXPECT_EQ(LogicalProcessorCount(), 130);
}

TEST(ProcessorCounts, EntriesThatAreNotOnlineCoresChangeNothing) {
  TFakeMachine machine("extras");
  machine.Write("online", "0-3\n");
  machine.Write("possible", "0-7\n");
  machine.Write("cpufreq/policy0/scaling_cur_freq", "2000000\n");
  machine.Write("cpuidle/current_driver", "none\n");
  for (int cpu = 0; cpu < 4; ++cpu) machine.Core(cpu, std::to_string(cpu));
  machine.Core(5, "5");  // offline
  machine.Write("cpu6/online", "0\n");
  EXPECT_EQ(PhysicalProcessorCount(), 4);
  EXPECT_EQ(LogicalProcessorCount(), 4);
}

TEST(ProcessorCounts, WithoutTopologyOnlyTheLogicalCountRemains) {
  TFakeMachine machine("none");
  const auto expectFallback = [] {
    EXPECT_EQ(ErrorOf(PhysicalProcessorCount), kPhysicalError);
    const std::int32_t logical = LogicalProcessorCount();
    EXPECT_GE(logical, 1);
  };
  expectFallback();  // an empty folder
  machine.Write("online", "0-3\n");
  machine.Write("cpu0/online", "1\n");
  expectFallback();  // processors listed, but none with a core list
  SetCpuTopologyRoot((machine.Root() / "missing").string());
  expectFallback();
}

TEST(ProcessorCounts, FallbackUsesLowAffinityBitsThenConfiguredCount) {
  EXPECT_EQ(FallbackLogicalCount(0x00000000FFFF0F01u, 128), 21);
  EXPECT_EQ(FallbackLogicalCount(~std::uint64_t{0}, 128), 32);
  EXPECT_EQ(FallbackLogicalCount(0xFF00000000u, 8), 8);  // only above 31
  EXPECT_EQ(FallbackLogicalCount(std::nullopt, 6), 6);
  EXPECT_EQ(FallbackLogicalCount(std::nullopt, -1), -1);
}

TEST(ProcessorCounts, BrokenTopologyRaisesPlatformError) {
  const std::vector<std::pair<std::string, std::string>> broken = {
      {"online", "zero"},         {"online", ""},           {"online", "3-1"},
      {"online", "0-1,"},         {"online", "0-999999"},   {"cpu0/topology/core_cpus_list", "0,x"},
      {"cpu0/topology/core_cpus_list", "1"},  // leaves out its own processor
      {"cpu1/topology/core_cpus_list", "0-1"},  // shares processor 0 with core 0
  };
  for (const auto& [file, text] : broken) {
    TFakeMachine machine("broken");
    machine.Write("online", "0-1");
    machine.Core(0, "0");
    machine.Core(1, "1");
    machine.Write(file, text);
    EXPECT_EQ(PlatformCodeOf(PhysicalProcessorCount), EINVAL) << file << ": " << text;
    EXPECT_EQ(PlatformCodeOf(LogicalProcessorCount), EINVAL) << file << ": " << text;
  }
  TFakeMachine unreadable("unreadable");
  fs::create_directories(unreadable.Root() / "online");
  EXPECT_EQ(PlatformCodeOf(PhysicalProcessorCount), EISDIR);
  EXPECT_EQ(ErrorOf(PhysicalProcessorCount).rfind("System error, (OS Code 21):", 0), 0u);
}

TEST(ProcessorCounts, ThisMachineHasAtLeastOneCoreAndThread) {
  const std::int32_t physical = PhysicalProcessorCount();
  EXPECT_GE(physical, 1);
  EXPECT_GE(LogicalProcessorCount(), physical);
}

TEST(CpuList, ParsesKernelListsInAscendingOrder) {
  std::vector<std::uint32_t> cpus;
  ASSERT_TRUE(ParseCpuList("8,0-3,10-11,2\n", cpus));
  EXPECT_EQ(cpus, (std::vector<std::uint32_t>{0, 1, 2, 3, 8, 10, 11}));
  EXPECT_FALSE(ParseCpuList("1 - 2", cpus));
  EXPECT_FALSE(ParseCpuList("-3", cpus));
  EXPECT_FALSE(ParseCpuList("\n", cpus));
}

TEST(CountBits, CountsEveryBitOfTheMask) {
  EXPECT_EQ(CountBits(0), 0);
  EXPECT_EQ(CountBits(~std::uint64_t{0}), 64);
  EXPECT_EQ(CountBits(0x8000000000000001u), 2);
  EXPECT_EQ(CountBits(0x00F0F0F000000000u), 12);
}

}  // namespace
}  // namespace tamsel
