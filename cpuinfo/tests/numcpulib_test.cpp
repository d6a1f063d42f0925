#include "cpuinfo/numcpulib.h"

#include <gtest/gtest.h>

#include "cpuinfo/cpu_services.h"

namespace tamsel {
namespace {

TEST(ProcessorCounts, FallbackUsesLowAffinityBitsThenConfiguredCount) {
  EXPECT_EQ(FallbackLogicalCount(0x00000000FFFF0F01u, 128), 21);
  EXPECT_EQ(FallbackLogicalCount(~std::uint64_t{0}, 128), 32);
  EXPECT_EQ(FallbackLogicalCount(0xFF00000000u, 8), 8);  // only above 31
  EXPECT_EQ(FallbackLogicalCount(std::nullopt, 6), 6);
  EXPECT_EQ(FallbackLogicalCount(std::nullopt, -1), -1);
}

TEST(ProcessorCounts, ThisMachineHasAtLeastOneCoreAndThread) {
  const std::int32_t physical = PhysicalProcessorCount();
  EXPECT_GE(physical, 1);
  EXPECT_GE(LogicalProcessorCount(), physical);
}

TEST(CountBits, CountsEveryBitOfTheMask) {
  EXPECT_EQ(CountBits(0), 0);
  EXPECT_EQ(CountBits(~std::uint64_t{0}), 64);
  EXPECT_EQ(CountBits(0x8000000000000001u), 2);
  EXPECT_EQ(CountBits(0x00F0F0F000000000u), 12);
}

}  // namespace
}  // namespace tamsel
