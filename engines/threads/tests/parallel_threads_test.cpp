#include "engines/threads/parallel_threads.h"
#include "engines/threads/parallel_threads_testing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tamsel {
namespace {

// Counts how often each index of first + 1 .. last was handed out, and any
// index outside that range.
struct THitLog {
  THitLog(std::int64_t first, std::int64_t last)
      : First(first), Hits(static_cast<std::size_t>(last - first)) {}

  static void Record(std::int64_t index, void* data) {
    auto& log = *static_cast<THitLog*>(data);
    const std::int64_t slot = index - log.First - 1;
    if (slot < 0 || slot >= static_cast<std::int64_t>(log.Hits.size())) {
      log.Strays.fetch_add(1);
      return;
    }
    log.Hits[static_cast<std::size_t>(slot)].fetch_add(1);
  }

  // Indices handed out other than exactly once.
  int Misses() const {
    int misses = Strays.load();
    for (const auto& hit : Hits) misses += hit.load() != 1;
    return misses;
  }

  std::int64_t First;
  std::vector<std::atomic<int>> Hits;
  std::atomic<int> Strays{0};
};

// Records which threads ran the work.
struct TThreadLog {
  static void Record(std::int64_t, void* data) {
    auto& log = *static_cast<TThreadLog*>(data);
    std::lock_guard<std::mutex> lock(log.Guard);
    log.Ids.insert(std::this_thread::get_id());
    ++log.Calls;
  }
  std::mutex Guard;
  std::set<std::thread::id> Ids;
  int Calls = 0;
};

class ThreadLimit {
 public:
  explicit ThreadLimit(std::int32_t limit) { SetWorkerThreadLimit(limit); }
  ~ThreadLimit() { SetWorkerThreadLimit(-1); }
};

TEST(RunWorkers, HandsOutEveryIndexExactlyOnce) {
  for (const std::int32_t threads : {1, 2, 3, 64}) {
    THitLog log(10, 5010);
    RunWorkers(10, 5010, THitLog::Record, &log, threads);
    EXPECT_EQ(log.Misses(), 0) << threads << " threads";
  }
}

TEST(RunWorkers, RunsNothingWithoutThreadsOrIndices) {
  THitLog log(0, 100);
  RunWorkers(0, 100, THitLog::Record, &log, 0);
  RunWorkers(0, 100, THitLog::Record, &log, -3);
  RunWorkers(50, 50, THitLog::Record, &log, 4);
  RunWorkers(60, 40, THitLog::Record, &log, 4);
  EXPECT_EQ(log.Misses(), 100);  // no index handed out at all
}

TEST(RunWorkers, IndicesBeyond32BitsAreHandedOutCorrectly) {
  const std::int64_t above31 = (std::int64_t{1} << 40) - 7;
  THitLog high(above31, above31 + 2000);
  RunWorkers(above31, above31 + 2000, THitLog::Record, &high, 8);
  EXPECT_EQ(high.Misses(), 0);

  // At the very top the counter must not wrap round to negative indices.
  const std::int64_t top = std::numeric_limits<std::int64_t>::max();
  THitLog edge(top - 100, top);
  RunWorkers(top - 100, top, THitLog::Record, &edge, 64);
  EXPECT_EQ(edge.Misses(), 0);
}

// Uses about 3 MiB of stack, touching every page of it.
int UseStack(int depth) {
  volatile char block[64 * 1024];
  for (std::size_t i = 0; i < sizeof block; i += 4096) block[i] = static_cast<char>(depth);
  if (depth == 0) return block[0];
  return UseStack(depth - 1) + block[4096];
}

TEST(RunWorkers, WorkersHaveFourMebibyteStacks) {
  struct TDeep {
    static void Run(std::int64_t, void* data) {
      auto& self = *static_cast<TDeep*>(data);
      self.Sum.fetch_add(UseStack(47));
      self.OnWorker = std::this_thread::get_id() != self.Caller;
    }
    std::thread::id Caller = std::this_thread::get_id();
    std::atomic<int> Sum{0};
    std::atomic<bool> OnWorker{false};
  } deep;
  RunWorkers(0, 1, TDeep::Run, &deep, 1);
  EXPECT_TRUE(deep.OnWorker);
}

TEST(RunWorkers, CallerDoesTheWorkWhenNoThreadStarts) {
  const ThreadLimit refuseAll(0);
  TThreadLog log;
  RunWorkers(0, 300, TThreadLog::Record, &log, 8);
  EXPECT_EQ(log.Calls, 300);
  EXPECT_EQ(log.Ids, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST(RunWorkers, ThreadsThatStartedShareTheWorkOfRefusedOnes) {
  const ThreadLimit onlyTwo(2);
  TThreadLog log;
  RunWorkers(0, 3000, TThreadLog::Record, &log, 8);
  EXPECT_EQ(log.Calls, 3000);
  EXPECT_LE(log.Ids.size(), 2u);
  EXPECT_EQ(log.Ids.count(std::this_thread::get_id()), 0u);
}

TEST(RunWorkers, FailureInAWorkerStopsTheHandOutAndReachesTheCaller) {
  struct TFailing {
    static void Run(std::int64_t index, void* data) {
      static_cast<TFailing*>(data)->Calls.fetch_add(1);
      if (index == 5) throw std::runtime_error("segment 5 failed");
      // The others take a while, so that they cannot finish the whole range
      // before the failure has stopped the hand-out, even when unwinding is
      // slow (as under sanitizers).
      if (index > 5) std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    std::atomic<int> Calls{0};
  };
  TFailing single;
  try {
    RunWorkers(0, 100000, TFailing::Run, &single, 1);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "segment 5 failed");
  }
  EXPECT_EQ(single.Calls.load(), 5);

  TFailing many;
  EXPECT_THROW(RunWorkers(0, 100000, TFailing::Run, &many, 4), std::runtime_error);
  EXPECT_LT(many.Calls.load(), 100000);
}

}  // namespace
}  // namespace tamsel
