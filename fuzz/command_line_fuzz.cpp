// The program's whole command-line sequence: the number, the twenty option
// lookups in table order and the validation. The input is the argument list,
// the arguments separated by zero bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/cmdline/alias_words.h"
#include "core/cmdline/core_startup.h"
#include "core/cmdline/option_lookup.h"
#include "core/cmdline/param_records.h"
#include "core/cmdline/syntax_validation.h"
#include "core/console/text_helpers.h"
#include "driver/base/run_state.h"
#include "driver/option_table.h"
#include "fuzz/fuzz_check.h"
#include "core/cmdline/core_startup_testing.h"

namespace tamsel {
namespace {

constexpr std::int32_t kMaxThreadsHere = 8;

std::vector<std::string> SplitArguments(std::string_view input) {
  std::vector<std::string> arguments;
  if (input.empty()) return arguments;
  std::size_t start = 0;
  for (std::size_t end; (end = input.find('\0', start)) != std::string_view::npos; start = end + 1) {
    arguments.emplace_back(input.substr(start, end - start));
  }
  arguments.emplace_back(input.substr(start));
  return arguments;
}

void RunTheProgramsSequence(const std::vector<std::string>& arguments) {
  ResetCommandLineEngine();
  InitParamList(arguments);
  ParamList.shrink_to_fit();  // a read past the last argument leaves the allocation
  SyntaxMode = 2;
  MaxThreads = kMaxThreadsHere;
  GetNumberParam(ParamList, SearchLimit, 1);
  LookUpOptions();
  ValidateSyntax(CustomSyntaxRecord, ParamList, "", true, -1, -1);
}

// An empty argument is listed as "" and one holding a blank in quotes.
std::string ListEntry(const std::string& argument) { return QuoteIfSpaced(argument) + " "; }

bool IsOptionStatus(std::int32_t status) {
  return status == psSwitch || status == psSwitchWithValue || status == psIncomplete;
}

// Each argument ends with one of the statuses a lookup can give it, in keeping
// with its neighbours; the lookups point only at given arguments.
void CheckMarks(const std::vector<std::string>& arguments) {
  FUZZ_CHECK(ParamList.size() == arguments.size());
  for (std::size_t i = 0; i < ParamList.size(); ++i) {
    const TParamStatusRec& mark = ParamList[i];
    FUZZ_CHECK(mark.Text == arguments[i]);
    const std::int32_t status = mark.Status;
    FUZZ_CHECK(status == psUnmatched || IsOptionStatus(status) || status == psValue ||
               status == psNumber);
    FUZZ_CHECK(status != psNumber || (i == 0 && mark.IsNumber));
    FUZZ_CHECK(status != psValue || (i > 0 && mark.IsValue && IsOptionStatus(ParamList[i - 1].Status)));
    FUZZ_CHECK(!IsOptionStatus(status) || mark.IsSwitch);
  }
  const TPredefinedResultsRec& shared = PredefinedResults;
  for (const TFindParamRec* result : {&shared.Debug, &shared.ErrorDelay, &shared.AudibleError,
                                      &shared.Help, &shared.Verbose, &shared.VersionOnly,
                                      &shared.Banner, &shared.Info}) {
    FUZZ_CHECK(result->Index >= -1 && result->Index < static_cast<std::int32_t>(arguments.size()));
    FUZZ_CHECK(result->ParamNumber == result->Index + 1 || result->Index == -1);
    FUZZ_CHECK(!result->Found || result->Index >= 0);
  }
  FUZZ_CHECK(ThreadCount >= 1 && ThreadCount <= kMaxThreadsHere);
}

// Every list holds exactly the arguments of its kind, in order.
void CheckLists(const std::vector<std::string>& arguments) {
  const TParamStatisticsRec& r = CustomSyntaxRecord;
  std::string total, invalid, incomplete, switches, values;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string entry = ListEntry(arguments[i]);
    total += entry;
    if (ParamList[i].Status == psUnmatched) invalid += entry;
    if (ParamList[i].Status == psIncomplete) incomplete += entry;
    if (ParamList[i].Status == psSwitch) switches += entry;
    if (ParamList[i].Status == psValue) values += entry;
  }
  FUZZ_CHECK(r.TotalList == total && r.InvalidList == invalid && r.IncompleteList == incomplete);
  FUZZ_CHECK(r.SwitchList == switches && r.ValueList == values);
  const auto count = static_cast<std::uint16_t>(arguments.size());
  FUZZ_CHECK(r.TotalCount == count && r.CheckedCount == count && r.OutsideCount == 0);
  FUZZ_CHECK(static_cast<std::uint16_t>(r.SwitchCount + r.ValueCount + r.AttachedCount +
                                        r.IncompleteCount + r.InvalidCount + r.NumberCount) ==
             count);
  FUZZ_CHECK(static_cast<std::uint16_t>(r.OtherCount + r.SwitchCount + r.ValueCount) == count);
  FUZZ_CHECK(r.Evaluated && r.Valid == (invalid.empty() && incomplete.empty()));
  FUZZ_CHECK(HelpForms == "-H --HELP -? --H2 --HELP2 --?? --VERSION-ONLY --BUILD-ONLY --INFO");
}

// The repeat test against a plain search of the distinct arguments so far.
void CheckRepeats(const std::vector<std::string>& arguments) {
  std::string unique;
  std::string uniqueLower;
  std::uint16_t count = 0;
  for (const std::string& argument : arguments) {
    const std::string text = argument.empty() ? std::string("\"\"") : argument;
    if (uniqueLower.find(LowerAscii(text)) != std::string::npos) continue;
    const std::string entry = QuoteIfSpaced(text) + " ";
    unique += entry;
    uniqueLower += LowerAscii(entry);
    ++count;
  }
  FUZZ_CHECK(CustomSyntaxRecord.UniqueList == unique);
  FUZZ_CHECK(CustomSyntaxRecord.UniqueCount == count);
}

auto Fields(const TParamStatisticsRec& r) {
  return std::tie(r.Valid, r.Evaluated, r.EssentialMissing, r.FirstParam, r.LastParam,
                  r.TotalCount, r.UniqueCount, r.NonEmptyCount, r.CheckedCount, r.SwitchCount,
                  r.ValueCount, r.OtherCount, r.AttachedCount, r.IncompleteCount,
                  r.InvalidCount, r.OutsideCount, r.NumberCount, r.TotalList, r.UniqueList,
                  r.NonEmptyList, r.CheckedList, r.SwitchList, r.ValueList, r.OtherList,
                  r.AttachedList, r.IncompleteList, r.InvalidList, r.OutsideList, r.NumberList,
                  r.EssentialFound, r.EssentialForms);
}

// The default record covers the same arguments as the program's.
void CheckDefaultRecord() {
  FUZZ_CHECK(Fields(DefaultSyntaxRecord) == Fields(CustomSyntaxRecord));
  FUZZ_CHECK(DefaultSyntaxRecord.Name == kDefaultSyntaxRecordName);
}

}  // namespace
}  // namespace tamsel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto arguments =
      tamsel::SplitArguments(std::string_view(reinterpret_cast<const char*>(data), size));
  tamsel::RunTheProgramsSequence(arguments);
  tamsel::CheckMarks(arguments);
  tamsel::CheckLists(arguments);
  tamsel::CheckRepeats(arguments);
  tamsel::CheckDefaultRecord();
  return 0;
}
