#include "core/cmdline/syntax_validation.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "core/cmdline/alias_words.h"
#include "core/console/text_helpers.h"

namespace tamsel {

namespace {

TParamStatisticsRec NamedRecord(std::string_view name) {
  TParamStatisticsRec record;
  record.Name = name;
  return record;
}

// How an empty argument appears in the lists.
constexpr std::string_view kEmptyArgument = "\"\"";

struct TIndexRange {
  std::int32_t First;
  std::int32_t Last;
  bool Holds(std::size_t i) const {
    const auto index = static_cast<std::int32_t>(i);
    return index >= First && index <= Last;
  }
};

TIndexRange NormaliseRange(TParamStatisticsRec& record, const TParamStatusArray& params,
                           std::int32_t first, std::int32_t last) {
  if (params.empty()) return {first, last};
  const auto lastIndex = static_cast<std::int32_t>(params.size()) - 1;
  first = std::max(first, 0);
  if (last < 0 || last > lastIndex) last = lastIndex;
  record.FirstParam = static_cast<std::int16_t>(first);
  record.LastParam = static_cast<std::int16_t>(last);
  return {first, last};
}

void CountByStatus(TParamStatisticsRec& record, std::int32_t status, std::string_view text) {
  switch (status) {
    case psUnmatched: AddEntry(record.InvalidCount, record.InvalidList, text); break;
    case psSwitch: AddEntry(record.SwitchCount, record.SwitchList, text); break;
    case psValue: AddEntry(record.ValueCount, record.ValueList, text); break;
    case psSwitchWithValue: AddEntry(record.AttachedCount, record.AttachedList, text); break;
    case psIncomplete: AddEntry(record.IncompleteCount, record.IncompleteList, text); break;
    case psNumber: AddEntry(record.NumberCount, record.NumberList, text); break;
    default: break;
  }
}

void CountOutside(TParamStatisticsRec& record, const TParamStatusRec& argument) {
  AddEntry(record.OutsideCount, record.OutsideList, argument.Text);
  if (argument.Status == psNumber) AddEntry(record.NumberCount, record.NumberList, argument.Text);
}

// seenLower holds the distinct arguments so far, lower-cased; a repeat is
// the same whole argument, not one contained in an earlier argument.
void CountInRange(TParamStatisticsRec& record, const TParamStatusRec& argument,
                  std::unordered_set<std::string>& seenLower) {
  AddEntry(record.TotalCount, record.TotalList, argument.Text);
  std::string text = argument.Text;
  if (text.empty()) {
    text = kEmptyArgument;
  } else {
    AddEntry(record.NonEmptyCount, record.NonEmptyList, text);
  }
  if (seenLower.insert(LowerAscii(text)).second) {
    AddEntry(record.UniqueCount, record.UniqueList, text);
  }
  if (argument.Status != psSwitch && argument.Status != psValue) {
    AddEntry(record.OtherCount, record.OtherList, text);
  }
  AddEntry(record.CheckedCount, record.CheckedList, text);
  CountByStatus(record, argument.Status, text);
}

// The option part of an argument when it is one of the essential spellings,
// bare or with a value attached by ":" or "=".
std::optional<std::string> EssentialSpelling(std::string_view argument,
                                             const TStringArray& forms) {
  for (const std::string& form : forms) {
    if (SameTextNoCase(argument, form) || HasAttachedValue(argument, form)) {
      return std::string(argument.substr(0, form.size()));
    }
  }
  return std::nullopt;
}

// Plain options are examined before options with attached values.
void CheckEssentials(TParamStatisticsRec& record, const TParamStatusArray& params,
                     TIndexRange range, bool essentialRequired) {
  const TStringArray forms = SplitAliasWords(record.EssentialForms);
  for (const std::int32_t status : {psSwitch, psSwitchWithValue}) {
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (!range.Holds(i) || params[i].Status != status) continue;
      if (const auto spelling = EssentialSpelling(params[i].Text, forms)) {
        record.EssentialFound += *spelling + " ";
      }
    }
  }
  record.EssentialMissing = essentialRequired && record.EssentialFound.empty();
}

}  // namespace

TParamStatisticsRec CustomSyntaxRecord = NamedRecord(kCustomSyntaxRecordName);
TParamStatisticsRec DefaultSyntaxRecord = NamedRecord(kDefaultSyntaxRecordName);

void ResetStatistics(TParamStatisticsRec& record) {
  std::string name = std::move(record.Name);
  record = TParamStatisticsRec{};
  record.Name = std::move(name);
}

void ResetStatistics(TParamStatisticsRec& record, std::string_view name) {
  record = TParamStatisticsRec{};
  record.Name = name;
}

void AddEntry(std::uint16_t& count, std::string& list, std::string_view text) {
  count = static_cast<std::uint16_t>(count + 1);
  list += QuoteIfSpaced(text);
  list += ' ';
}

std::string FormList(std::string_view aliases, std::int32_t mode) {
  const TStringArray suffixes =
      ModeAllowsAttachedValues(mode) ? TStringArray{"", ":", "="} : TStringArray{""};
  std::string result;
  for (const std::string& word : SplitAliasWords(aliases)) {
    const TStringArray prefixes = AliasPrefixes(word, mode);
    for (const std::string& suffix : suffixes) {
      for (const std::string& prefix : prefixes) {
        const std::string entry = prefix + word + suffix;
        if (!ContainsWord(result, entry)) result += entry + " ";
      }
    }
  }
  return result;
}

void BuildHelpForms(std::string& list, std::string_view registry, std::string_view words) {
  for (const std::string& word : SplitAliasWords(words)) {
    const std::string form = (word.size() == 1 ? "-" : "--") + word;
    if (ContainsWord(list, form) || !ContainsWord(registry, word)) continue;
    list += " " + form;
  }
  list = TrimBlanksAndControls(list);
}

void ValidateParams(TParamStatisticsRec& record, const TParamStatusArray& params,
                    std::string_view essentialAliases, bool essentialRequired, std::int32_t first,
                    std::int32_t last) {
  ResetStatistics(record);
  BuildHelpForms(HelpForms, KnownOptions, kHelpWords);
  record.EssentialForms = FormList(essentialAliases, 0);
  const TIndexRange range = NormaliseRange(record, params, first, last);
  std::unordered_set<std::string> seenLower;
  bool anyInRange = false;
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (!range.Holds(i)) {
      CountOutside(record, params[i]);
      continue;
    }
    anyInRange = true;
    CountInRange(record, params[i], seenLower);
  }
  if (!record.EssentialForms.empty()) CheckEssentials(record, params, range, essentialRequired);
  record.Evaluated = true;
  // Asking to start after the last argument leaves nothing to validate.
  const bool startsPastArguments = range.First > 0 && !anyInRange;
  record.Valid = !(startsPastArguments || !record.InvalidList.empty() ||
                   !record.IncompleteList.empty() || record.EssentialMissing);
}

void ValidateSyntax(TParamStatisticsRec& record, const TParamStatusArray& params,
                    std::string_view essentialAliases, bool essentialRequired, std::int32_t first,
                    std::int32_t last) {
  ValidateParams(record, params, essentialAliases, essentialRequired, first, last);
  if (!DefaultSyntaxRecord.Evaluated) {
    ValidateParams(DefaultSyntaxRecord, params, essentialAliases, essentialRequired, -1, -1);
  }
}

}  // namespace tamsel
