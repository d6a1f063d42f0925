// Syntax validation: reads the marks the lookups left on every argument,
// counts and lists the arguments by kind and decides whether the command
// line is valid.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cmdline/param_records.h"

namespace tamsel {

// Counts are 16-bit and wrap; the lists decide validity, not the counts.
// Every list entry is followed by one blank; an entry that is empty or holds
// a blank is quoted.
struct TParamStatisticsRec {
  bool Valid = true;
  bool Evaluated = false;
  bool EssentialMissing = false;  // essentials asked for and none given
  std::int16_t FirstParam = 0;    // validated index range, after normalisation
  std::int16_t LastParam = 0;
  std::uint16_t TotalCount = 0;       // arguments in range
  std::uint16_t UniqueCount = 0;      // not contained in an earlier one (case ignored)
  std::uint16_t NonEmptyCount = 0;
  std::uint16_t CheckedCount = 0;     // in range, counted again after the status tests
  std::uint16_t SwitchCount = 0;      // psSwitch
  std::uint16_t ValueCount = 0;       // psValue
  std::uint16_t OtherCount = 0;       // neither psSwitch nor psValue
  std::uint16_t AttachedCount = 0;    // psSwitchWithValue
  std::uint16_t IncompleteCount = 0;  // psIncomplete
  std::uint16_t InvalidCount = 0;     // psUnmatched
  std::uint16_t OutsideCount = 0;     // outside the validated range
  std::uint16_t NumberCount = 0;      // psNumber, in range or not
  std::string TotalList, UniqueList, NonEmptyList, CheckedList, SwitchList, ValueList, OtherList,
      AttachedList, IncompleteList, InvalidList, OutsideList, NumberList;
  std::string EssentialFound;  // essential spellings found among the options, as typed
  std::string EssentialForms;  // every plain spelling of the essential aliases
  std::string Name;
};

inline constexpr std::string_view kCustomSyntaxRecordName = "Custom Syntax Validation Record";
inline constexpr std::string_view kDefaultSyntaxRecordName = "Default Syntax Validation Record";
// The help and information words whose spellings HelpForms collects.
inline constexpr std::string_view kHelpWords = "H HELP ? H2 HELP2 ?? VERSION-ONLY BUILD-ONLY INFO";

// The program validates into CustomSyntaxRecord; DefaultSyntaxRecord is
// filled once per process over the whole command line.
extern TParamStatisticsRec CustomSyntaxRecord;
extern TParamStatisticsRec DefaultSyntaxRecord;

// Back to the state before any validation; the name is kept unless given.
void ResetStatistics(TParamStatisticsRec& record);
void ResetStatistics(TParamStatisticsRec& record, std::string_view name);

void AddEntry(std::uint16_t& count, std::string& list, std::string_view text);

// Every accepted spelling of every alias word, each followed by a blank.
// mode decides bare one-character spellings (1, 3) and the ":" and "="
// forms (2, 3).
std::string FormList(std::string_view aliases, std::int32_t mode);

// Appends to list "-W" or "--W" for each of words that registry holds and
// list does not yet; single blanks between the spellings.
void BuildHelpForms(std::string& list, std::string_view registry, std::string_view words);

// Validates params[first..last] into record (first below 0 means 0; a
// negative last or one beyond the end means the last argument).
// essentialAliases may name options of which at least one must be given
// when essentialRequired.
void ValidateParams(TParamStatisticsRec& record, const TParamStatusArray& params,
                    std::string_view essentialAliases, bool essentialRequired, std::int32_t first,
                    std::int32_t last);

// ValidateParams into record, then into DefaultSyntaxRecord over the whole
// list if that has not been filled yet.
void ValidateSyntax(TParamStatisticsRec& record, const TParamStatusArray& params,
                    std::string_view essentialAliases, bool essentialRequired, std::int32_t first,
                    std::int32_t last);

}  // namespace tamsel
