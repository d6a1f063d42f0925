// The program's main routine: reads the number and the options, chooses the
// mode, runs it and returns the exit code.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/console/build_info.h"
#include "core/console/datetime.h"
#include "engines/prime_records.h"

namespace tamsel {

// The search record, sieve table and end time shared by the engine calls.
extern TPrimeRecord SearchRecord;
extern TPrimeCheck SieveTableData;
extern TTimeStamp SearchEndTime;
extern TFileVersionInfoRec VersionInfo;

int RunProgramMain(int argc, char** argv);

// The prime search of a normal run (one engine, timing report, statistics
// line) or, with Debug, of all engines one after another.
void RunPrimeSearch();

// Banner, error screen and short help on standard error, then the code.
void ReportSyntaxError(std::int32_t code, std::string_view message);

// The message of a command line that lacks an essential option.
std::string MissingEssentialMessage();

// "Is 97 a prime number?  TRUE", or with Quiet only TRUE or FALSE.
std::string PrimalityAnswer(std::uint64_t n, bool isPrime, bool quiet);

}  // namespace tamsel
