#include "core/cmdline/syntax_validation.h"

#include <algorithm>

#include "core/cmdline/alias_words.h"
#include "core/cmdline/substring_index.h"
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

// Whether first and last, normalised as ValidateParams does, select every
// argument, as -1 and -1 do.
bool CoversWholeList(const TParamStatusArray& params, std::int32_t first, std::int32_t last) {
  const auto lastIndex = static_cast<std::int32_t>(params.size()) - 1;
  return first <= 0 && (last < 0 || last >= lastIndex);
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

// An argument counts as a repeat when its text, ASCII case ignored, occurs
// anywhere in the list of distinct arguments so far: -h after -help is a
// repeat, and so is 1 after 100. seen holds UniqueList in lower case.
void CountInRange(TParamStatisticsRec& record, const TParamStatusRec& argument,
                  TSubstringIndex& seen) {
  AddEntry(record.TotalCount, record.TotalList, argument.Text);
  std::string text = argument.Text;
  if (text.empty()) {
    text = kEmptyArgument;
  } else {
    AddEntry(record.NonEmptyCount, record.NonEmptyList, text);
  }
  if (!seen.Contains(LowerAscii(text))) {
    const std::size_t known = record.UniqueList.size();
    AddEntry(record.UniqueCount, record.UniqueList, text);
    seen.Append(LowerAscii(std::string_view(record.UniqueList).substr(known)));
  }
  if (argument.Status != psSwitch && argument.Status != psValue) {
    AddEntry(record.OtherCount, record.OtherList, text);
  }
  AddEntry(record.CheckedCount, record.CheckedList, text);
  CountByStatus(record, argument.Status, text);
}

// The length UniqueList reaches when every argument in range is distinct,
// each in quotes and followed by a blank.
std::size_t LongestUniqueList(const TParamStatusArray& params, const TIndexRange& range) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (range.Holds(i)) length += params[i].Text.size() + 3;
  }
  return length;
}

// Splits at blanks and ":" and drops empty parts, so -p:4 gives -p and 4
// while -p=4 stays one word.
TStringArray SplitAtBlanksAndColons(std::string_view text) {
  TStringArray words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ' && text[i] != ':') continue;
    if (i > start) words.emplace_back(text.substr(start, i - start));
    start = i + 1;
  }
  return words;
}

// The essential options are looked for among the words of the options
// given, plain ones first, then those with an attached value.
void CheckEssentials(TParamStatisticsRec& record, bool essentialRequired) {
  const TStringArray forms = SplitAliasWords(record.EssentialForms);
  for (const std::string& word : SplitAtBlanksAndColons(record.SwitchList + record.AttachedList)) {
    const bool essential = std::any_of(forms.begin(), forms.end(), [&](const std::string& form) {
      return SameTextNoCase(word, form);
    });
    if (essential) record.EssentialFound += word + " ";
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
  TSubstringIndex seen;
  seen.Reserve(LongestUniqueList(params, range));
  bool anyInRange = false;
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (!range.Holds(i)) {
      CountOutside(record, params[i]);
      continue;
    }
    anyInRange = true;
    CountInRange(record, params[i], seen);
  }
  if (!record.EssentialForms.empty()) CheckEssentials(record, essentialRequired);
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
  if (DefaultSyntaxRecord.Evaluated) return;
  if (CoversWholeList(params, first, last)) {
    // The same validation again would give the same record but for its name;
    // HelpForms, which it also touches, is complete after the first.
    std::string name = std::move(DefaultSyntaxRecord.Name);
    DefaultSyntaxRecord = record;
    DefaultSyntaxRecord.Name = std::move(name);
    return;
  }
  ValidateParams(DefaultSyntaxRecord, params, essentialAliases, essentialRequired, -1, -1);
}

}  // namespace tamsel
