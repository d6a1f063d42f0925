// The program's main routine: reads the number and the options, chooses the
// mode, runs it and returns the exit code.
#pragma once
#include <cstdint>

#include "core/console/datetime.h"
#include "engines/prime_records.h"

namespace tamsel {

// The search record, sieve table and end time shared by the engine calls.
extern TPrimeRecord SearchRecord;
extern TPrimeCheck SieveTableData;
extern TTimeStamp SearchEndTime;

int RunProgramMain(int argc, char** argv);

// The prime search of a normal run (one engine, timing report, statistics
// line) or, with Debug, of all engines one after another.
void RunPrimeSearch();

}  // namespace tamsel
