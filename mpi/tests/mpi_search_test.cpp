// End-to-end: tamsel-mpi under Open MPI's launcher, on this machine alone
// (--oversubscribe), against tamsel itself. Each rank's standard output and
// error go to files of their own, so that what rank 0 wrote can be compared
// with tamsel's output and the other ranks can be seen to write nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace tamsel::test {
namespace {

struct TJobResult {
  std::vector<std::string> Out, Err;  // by rank
  int ExitCode = -1;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// ranks 0: tamsel-mpi started without the launcher. env: "NAME=value ..."
// for the ranks' environment.
TJobResult RunJob(int ranks, const std::vector<std::string>& args, const std::string& env = "",
                  const std::string& exe = TAMSEL_MPI_EXE_PATH) {
  // CI runs as root, which the launcher refuses unless told.
  setenv("OMPI_ALLOW_RUN_AS_ROOT", "1", 1);
  setenv("OMPI_ALLOW_RUN_AS_ROOT_CONFIRM", "1", 1);
  const TTempFolder folder("tamsel-mpi-test-");
  const std::string files = folder.Path().string() + "/";
  const std::string rank = ranks == 0 ? "0" : "$OMPI_COMM_WORLD_RANK";
  std::vector<std::string> line;
  if (ranks > 0) line = {TAMSEL_MPIEXEC, "--quiet", "--oversubscribe", "--timeout", "300", "-np", std::to_string(ranks)};
  line.insert(line.end(), {"/bin/sh", "-c",
                           env + " exec \"$0\" \"$@\" >\"" + files + "out." + rank + "\" 2>\"" +
                               files + "err." + rank + "\"",
                           exe});
  line.insert(line.end(), args.begin(), args.end());
  const TProgramResult run =
      RunProgram(line[0], std::vector<std::string>(line.begin() + 1, line.end()));
  TJobResult result;
  result.ExitCode = run.ExitCode;
  for (int r = 0; r < std::max(ranks, 1); ++r) {
    result.Out.push_back(ReadFile(files + "out." + std::to_string(r)));
    result.Err.push_back(ReadFile(files + "err." + std::to_string(r)));
  }
  return result;
}

// What tamsel-mpi on `ranks` ranks shows where tamsel shows its threads:
// every worker of the job. Its own name is the other difference.
std::string AsJob(const std::string& text, int ranks) {
  static const std::regex threads(R"((P:\.?|Concurrency: | \* T)(\d+)(?=\] // Parallel| Threads|: ))");
  std::string out;
  auto last = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), threads), end; it != end; ++it) {
    const std::string field = (*it)[1];
    const int workers = std::stoi((*it)[2]) * std::max(ranks, 1);
    std::string number = std::to_string(workers);
    if (field != "Concurrency: " && number.size() < 2) number = (field[0] == 'P' ? "." : "0") + number;
    out.append(last, (*it)[0].first).append(field[0] == 'P' ? "P:" : field).append(number);
    last = (*it)[0].second;
  }
  return out.append(last, text.cend());
}

std::string WithoutMpiName(std::string text) {
  for (std::size_t at; (at = text.find("tamsel-mpi")) != std::string::npos;) text.erase(at + 6, 4);
  return text;
}

void ExpectSameAsTamsel(int ranks, const std::vector<std::string>& args) {
  std::string shown;
  for (const auto& arg : args) shown += arg + " ";
  SCOPED_TRACE("ranks " + std::to_string(ranks) + ": " + shown);
  const TProgramResult single = RunTamsel(args);
  const TJobResult job = RunJob(ranks, args);
  EXPECT_EQ(job.ExitCode, single.ExitCode);
  EXPECT_EQ(WithoutMpiName(MaskTimes(job.Out[0])), AsJob(MaskTimes(single.Out), ranks));
  EXPECT_EQ(WithoutMpiName(MaskTimes(job.Err[0])), AsJob(MaskTimes(single.Err), ranks));
  for (std::size_t r = 1; r < job.Out.size(); ++r) {
    EXPECT_EQ(job.Out[r] + job.Err[r], "") << "rank " << r;
  }
}

// From one run for all workers to many runs per worker; the count and the
// highest prime show in the report.
TEST(MpiSearch, EveryRankAndThreadCountFindsWhatTamselFinds) {
  for (const char* limit : {"2", "30,000", "1,000,003", "123,456,789"}) {
    for (int ranks = 1; ranks <= 3; ++ranks) {
      for (const char* threads : {"-p:1", "-p:2"}) {
        ExpectSameAsTamsel(ranks, {limit, "-a", "-f", threads});
      }
    }
  }
}

// The modes that run the parallel engine span the job; the others run on
// rank 0 alone, and the other ranks end silently.
TEST(MpiSearch, EveryModeShowsWhatTamselShowsOnRankZeroOnly) {
  const struct {
    int ranks;
    std::vector<std::string> args;
  } runs[] = {
      {0, {"1,000,000,000", "-p:2"}},          // without the launcher
      {3, {"1,000,000,000", "-p:2"}},
      {2, {"10,000,000", "-d", "-p:2"}},
      {2, {"10,000,000", "--benchmark"}},
      {2, {"10,000,000", "-p:2", "-n"}},
      {2, {"10,000,000"}},                      // Plus, on rank 0 alone
      {2, {"97", "--isprime"}},
      {2, {"360", "--primefactors"}},
      {3, {"100", "200"}},                      // a syntax error
      {2, {"0", "-p:2"}},                       // the default used instead
      {2, {"-h"}},
  };
  for (const auto& run : runs) ExpectSameAsTamsel(run.ranks, run.args);
}

TEST(MpiSearch, ARankThatFailsDuringTheSearchFailsTheJobWithoutAReport) {
  const struct {
    const char* fault;
    int exitCode;
    const char* rankZeroErr;  // nullptr: the launcher's own account
  } faults[] = {
      {"memory", 1, "ERROR: Not enough memory to search up to 10,000,000,000.\n"},
      {"exit", 3, nullptr},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.fault);
    const TJobResult job = RunJob(3, {"10,000,000,000", "-p:1"},
                                  std::string("TAMSEL_FAULT=") + f.fault + " TAMSEL_FAULT_RANK=1",
                                  TAMSEL_MPI_FAULTY_PATH);
    EXPECT_EQ(job.ExitCode, f.exitCode);
    EXPECT_EQ(job.Out[0].find("Primes"), std::string::npos) << job.Out[0];
    if (f.rankZeroErr != nullptr) {
      EXPECT_EQ(job.Err[0], f.rankZeroErr);
    }
    EXPECT_EQ(job.Out[1] + job.Err[1] + job.Out[2] + job.Err[2], "");
  }
}

}  // namespace
}  // namespace tamsel::test
