#include "cpuinfo/numcpulib.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cpuinfo/cpu_services.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

const std::string kPhysicalError = "An Error Occured while getting the Physical CPU Count.";

// A made-up processor folder, removed when the object goes.
class TFakeMachine {
 public:
  explicit TFakeMachine(const std::string& name)
      : root_(fs::path(testing::TempDir()) / ("tamsel_cpu_" + name)) {
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~TFakeMachine() { fs::remove_all(root_); }

  void Write(const std::string& file, const std::string& text) {
    fs::create_directories((root_ / file).parent_path());
    std::ofstream(root_ / file) << text;
  }
  void Core(int cpu, const std::string& cpus, const char* list = "core_cpus_list") {
    Write("cpu" + std::to_string(cpu) + "/topology/" + list, cpus + "\n");
  }
  fs::path Root() const { return root_; }
  os::TMachineDescription Description() const { return {root_.string(), {}, {}}; }
  std::int32_t Physical() const { return PhysicalProcessorCount(Description()); }
  std::int32_t Logical() const { return LogicalProcessorCount(Description()); }

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

template <class Query>
int PlatformCodeOf(Query query) {
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
  EXPECT_EQ(machine.Physical(), 8);
  EXPECT_EQ(machine.Logical(), 16);
}

TEST(ProcessorCounts, MoreThanSixtyFourProcessorsAreAllCounted) {
  TFakeMachine machine("big");  // 65 cores of two threads, an older kernel
  machine.Write("online", "0-129\n");
  for (int cpu = 0; cpu < 130; ++cpu) {
    const int first = cpu & ~1;
    machine.Core(cpu, std::to_string(first) + "-" + std::to_string(first + 1),
                 "thread_siblings_list");
  }
  EXPECT_EQ(machine.Physical(), 65);
  EXPECT_EQ(machine.Logical(), 130);
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
  EXPECT_EQ(machine.Physical(), 4);
  EXPECT_EQ(machine.Logical(), 4);
}

TEST(ProcessorCounts, WithoutTopologyOnlyTheLogicalCountRemains) {
  TFakeMachine machine("none");
  const auto expectFallback = [](const os::TMachineDescription& description) {
    EXPECT_EQ(ErrorOf([&] { PhysicalProcessorCount(description); }), kPhysicalError);
    EXPECT_GE(LogicalProcessorCount(description), 1);
  };
  expectFallback(machine.Description());  // an empty folder
  machine.Write("online", "0-3\n");
  machine.Write("cpu0/online", "1\n");
  expectFallback(machine.Description());  // processors listed, but none with a core list
  expectFallback({(machine.Root() / "missing").string(), {}, {}});
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
    EXPECT_EQ(PlatformCodeOf([&] { machine.Physical(); }), EINVAL) << file << ": " << text;
    EXPECT_EQ(PlatformCodeOf([&] { machine.Logical(); }), EINVAL) << file << ": " << text;
  }
  TFakeMachine unreadable("unreadable");
  fs::create_directories(unreadable.Root() / "online");
  EXPECT_EQ(PlatformCodeOf([&] { unreadable.Physical(); }), EISDIR);
  EXPECT_EQ(ErrorOf([&] { unreadable.Physical(); }).rfind("System error, (OS Code 21):", 0), 0u);
}

// /proc/cpuinfo entries of one processor each, as x86 kernels write them.
std::string CpuInfo(const std::vector<std::array<int, 3>>& processorPackageCore) {
  std::string text;
  for (const auto& [processor, package, core] : processorPackageCore) {
    text += "processor\t: " + std::to_string(processor) + "\nvendor_id\t: GenuineIntel\n";
    text += "physical id\t: " + std::to_string(package) + "\nsiblings\t: 4\n";
    text += "core id\t\t: " + std::to_string(core) + "\ncpu cores\t: 2\n\n";
  }
  return text;
}

// No sysfs at all (a chroot, a minimal container): the processor list of
// /proc gives the counts, narrowed to the processors the process may use.
TEST(ProcessorCounts, WithoutSysfsProcCpuInfoGivesTheCores) {
  // Two packages of two cores with two threads each; 4-7 are the siblings.
  const std::string twoByTwoByTwo = CpuInfo({{0, 0, 0}, {1, 0, 1}, {2, 1, 0}, {3, 1, 1},
                                             {4, 0, 0}, {5, 0, 1}, {6, 1, 0}, {7, 1, 1}});
  const std::string armStyle =
      "processor\t: 0\nBogoMIPS\t: 50.00\n\nprocessor\t: 1\nBogoMIPS\t: 50.00\n\n"
      "processor\t: 2\nBogoMIPS\t: 50.00\n\nHardware\t: board\n";
  using TAffinity = std::optional<std::vector<std::uint32_t>>;
  const struct {
    const char* Name;
    std::string Text;
    TAffinity Affinity;
    std::int32_t Physical, Logical;  // 0: the physical count fails
  } cases[] = {
      {"every processor allowed", twoByTwoByTwo, std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7},
       4, 8},
      {"affinity unknown", twoByTwoByTwo, std::nullopt, 4, 8},
      {"held to two siblings", twoByTwoByTwo, std::vector<std::uint32_t>{0, 4}, 1, 2},
      {"held to one thread of each package", twoByTwoByTwo, std::vector<std::uint32_t>{1, 6}, 2, 2},
      {"affinity beyond the list", twoByTwoByTwo, std::vector<std::uint32_t>{64, 65}, 4, 8},
      {"same core id in two packages", CpuInfo({{0, 0, 0}, {1, 1, 0}}), std::nullopt, 2, 2},
      {"no core ids: each processor its own core", armStyle, std::nullopt, 3, 3},
      {"no processor entries", "Hardware\t: board\nRevision\t: 0000\n", std::nullopt, 0, 0},
      {"empty file", "", std::nullopt, 0, 0},
  };
  for (const auto& c : cases) {
    TFakeMachine machine("cpuinfo");
    machine.Write("proc/cpuinfo", c.Text);
    os::TMachineDescription description{(machine.Root() / "sys").string(),
                                        (machine.Root() / "proc/cpuinfo").string(), c.Affinity};
    if (c.Physical == 0) {
      EXPECT_EQ(ErrorOf([&] { PhysicalProcessorCount(description); }), kPhysicalError) << c.Name;
      EXPECT_GE(LogicalProcessorCount(description), 1) << c.Name;  // from the affinity
      continue;
    }
    EXPECT_EQ(PhysicalProcessorCount(description), c.Physical) << c.Name;
    EXPECT_EQ(LogicalProcessorCount(description), c.Logical) << c.Name;
  }
  // Neither source: the physical count fails, as without any topology.
  TFakeMachine bare("bare");
  const os::TMachineDescription neither{(bare.Root() / "sys").string(),
                                        (bare.Root() / "proc/cpuinfo").string(), std::nullopt};
  EXPECT_EQ(ErrorOf([&] { PhysicalProcessorCount(neither); }), kPhysicalError);
  // Sysfs, where it describes the cores, is read before /proc.
  bare.Write("proc/cpuinfo", twoByTwoByTwo);
  bare.Write("sys/online", "0\n");
  bare.Write("sys/cpu0/topology/core_cpus_list", "0\n");
  EXPECT_EQ(PhysicalProcessorCount(neither), 1);
}

TEST(CpuList, ParsesKernelListsInAscendingOrder) {
  std::vector<std::uint32_t> cpus;
  ASSERT_TRUE(ParseCpuList("8,0-3,10-11,2\n", cpus));
  EXPECT_EQ(cpus, (std::vector<std::uint32_t>{0, 1, 2, 3, 8, 10, 11}));
  EXPECT_FALSE(ParseCpuList("1 - 2", cpus));
  EXPECT_FALSE(ParseCpuList("-3", cpus));
  EXPECT_FALSE(ParseCpuList("\n", cpus));
}

}  // namespace
}  // namespace tamsel
