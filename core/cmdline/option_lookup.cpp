#include "core/cmdline/option_lookup.h"

#include <limits>
#include <vector>

#include "core/cmdline/alias_words.h"
#include "core/cmdline/number_parse.h"

namespace tamsel {

namespace {

struct TScanRange {
  std::int32_t First;
  std::int32_t Last;
};

TScanRange RangeFromPosition(std::int32_t position, TPositionKind kind) {
  return kind == pkUpTo ? TScanRange{0, position} : TScanRange{position, -1};
}

bool FirstValueRequired(std::int32_t flags) {
  return (flags & (fpAllValuesRequired | fpFirstValueRequired)) != 0;
}

bool SecondValueRequired(std::int32_t flags) { return (flags & fpAllValuesRequired) != 0; }

void MarkIncomplete(TParamStatusRec& option, bool attached) {
  option.Status = psIncomplete;
  option.IsSwitch = true;
  option.IsValue = false;
  option.IsAttached = attached;
}

void MarkAttachedValue(TParamStatusRec& option) {
  option.Status = psSwitchWithValue;
  option.IsSwitch = true;
  option.IsValue = true;
  option.IsAttached = true;
  option.IsNumber = false;
}

// The next argument becomes the option's value unless another lookup has
// claimed it already; then the option is left incomplete.
void ClaimValue(TParamStatusRec& option, TParamStatusRec& value) {
  if (value.Status == psUnmatched || value.Status == psValue) {
    value.Status = psValue;
    value.IsValue = true;
  } else {
    option.Status = psIncomplete;
    option.IsSwitch = true;
  }
}

// Takes the value at params[at] into target; false when it is missing or
// empty although required (the option is then marked incomplete).
bool TakeSeparateValue(TParamStatusArray& params, std::size_t option, std::size_t at,
                       bool required, std::string& target) {
  if (at >= params.size()) {
    target.clear();
    if (required) MarkIncomplete(params[option], false);
    return !required;
  }
  target = params[at].Text;
  if (required && target.empty()) {
    MarkIncomplete(params[option], false);
    return false;
  }
  ClaimValue(params[option], params[at]);
  return true;
}

void TakeSeparateValues(TParamStatusArray& params, std::size_t i, std::int32_t valuesTaken,
                        std::int32_t flags, TFindParamRec& result) {
  if (!TakeSeparateValue(params, i, i + 1, FirstValueRequired(flags), result.Value)) {
    result.Found = false;
  }
  if (i + 1 >= params.size() || valuesTaken != 2) return;
  if (!TakeSeparateValue(params, i, i + 2, SecondValueRequired(flags), result.Value2)) {
    result.Found = false;
  }
}

// Returns false when the argument is settled and no further alias words
// need to be tried on it.
bool HandleMatch(TParamStatusArray& params, std::size_t i, const TParamMatch& match,
                 std::int32_t valuesTaken, std::int32_t flags, TFindParamRec& result) {
  TParamStatusRec& option = params[i];
  option.Status = psSwitch;
  option.IsSwitch = true;
  result.Param = option.Text;
  result.Index = static_cast<std::int32_t>(i);
  result.ParamNumber = result.Index + 1;
  result.Found = true;
  if (match.HasValue) {
    result.Param = match.Param;
    result.Value = match.Value;
    result.ValueAttached = true;
    if (!FirstValueRequired(flags) || !match.Value.empty()) {
      MarkAttachedValue(option);
      return false;
    }
    // An empty attached value does not satisfy a required one.
    result.Found = false;
    MarkIncomplete(option, true);
  }
  if (valuesTaken == 1 || valuesTaken == 2) {
    TakeSeparateValues(params, i, valuesTaken, flags, result);
  }
  if (RecordHistory) ParamHistory.push_back(result);
  return true;
}

// The spellings of one alias word, in matching order.
TParamMatch MatchForms(std::string_view argument, const TStringArray& forms) {
  const bool attachable = ModeAllowsAttachedValues(SyntaxMode);
  for (const std::string& form : forms) {
    if (SameTextNoCase(argument, form)) return {true, false, std::string(argument), {}};
    if (attachable && HasAttachedValue(argument, form)) {
      return {true, true, std::string(argument.substr(0, form.size())),
              std::string(argument.substr(form.size() + 1, kMaxAttachedValue))};
    }
  }
  return {};
}

// wordForms holds the spellings of each alias word, worked out once per
// lookup rather than once per argument.
void MatchArgument(TParamStatusArray& params, std::size_t i,
                   const std::vector<TStringArray>& wordForms, std::int32_t valuesTaken,
                   std::int32_t flags, TFindParamRec& result) {
  for (const TStringArray& forms : wordForms) {
    const TParamMatch match = MatchForms(params[i].Text, forms);
    if (match.Matched && !HandleMatch(params, i, match, valuesTaken, flags, result)) return;
  }
}

std::int64_t SaturatedSigned(std::uint64_t value) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(value > kMax ? kMax : value);
}

}  // namespace

TParamMatch MatchParam(std::string_view argument, std::string_view word) {
  return MatchForms(argument, AliasForms(word));
}

void RegisterAliases(std::string_view aliases) {
  for (const std::string& word : SplitAliasWords(aliases)) {
    if (!ContainsWord(KnownOptions, word)) KnownOptions += " " + word;
  }
  KnownOptions = TrimBlanksAndControls(KnownOptions);
}

TFindParamRec FindParam(TParamStatusArray& params, std::string_view aliases, std::int32_t last,
                        std::int32_t first, std::int32_t valuesTaken, std::int32_t flags,
                        std::string_view defaultValue, std::string_view defaultValue2) {
  RegisterAliases(aliases);
  TFindParamRec result;
  result.Value = defaultValue;
  result.Value2 = defaultValue2;
  const auto lastIndex = static_cast<std::int32_t>(params.size()) - 1;
  if (last == -1 || last > lastIndex) last = lastIndex;
  if (first < 0) first = 0;
  std::vector<TStringArray> wordForms;
  for (const std::string& word : SplitAliasWords(aliases)) wordForms.push_back(AliasForms(word));
  for (std::int32_t i = first; i <= last; ++i) {
    MatchArgument(params, static_cast<std::size_t>(i), wordForms, valuesTaken, flags, result);
    if ((flags & fpScanAll) == 0 && result.Index != -1) break;
  }
  return result;
}

TFindParamRec FindSwitch(TParamStatusArray& params, std::string_view aliases, std::int32_t flags,
                         std::int32_t position, TPositionKind kind) {
  const TScanRange range = RangeFromPosition(position, kind);
  return FindParam(params, aliases, range.Last, range.First, 0, flags);
}

TFindParamRec CheckSwitch(TParamStatusArray& params, std::string_view aliases, bool& found,
                          std::int32_t position, TPositionKind kind) {
  const TScanRange range = RangeFromPosition(position, kind);
  // Like every value-taking lookup, the switch claims an unclaimed next
  // argument as its value and is incomplete when that argument is taken.
  const TFindParamRec result = FindParam(params, aliases, range.Last, range.First, 1, 0);
  found = result.Found;
  return result;
}

TFindParamRec GetIntParam(TParamStatusArray& params, std::string_view aliases,
                          std::int32_t& value, std::int32_t defaultValue, std::int32_t minimum,
                          std::int32_t maximum, std::int32_t position, TPositionKind kind) {
  const TScanRange range = RangeFromPosition(position, kind);
  TFindParamRec result = FindParam(params, aliases, range.Last, range.First, 1, 0);
  // Clamped as signed numbers, so negative bounds and defaults keep their
  // meaning; a typed value can never be negative.
  const auto typed = ReadTypedNumber(result.Value);
  std::int64_t number = typed ? SaturatedSigned(*typed) : defaultValue;
  bool adjusted = number == defaultValue;
  if (number < minimum) {
    number = minimum;
    adjusted = true;
  }
  if (number > maximum) {
    number = maximum;
    adjusted = true;
  }
  LastValueAdjusted = adjusted;
  value = static_cast<std::int32_t>(number);
  result.Value = std::to_string(value);
  result.ValueAdjusted = adjusted;
  return result;
}

void GetNumberParam(TParamStatusArray& params, std::uint64_t& number, std::int32_t position) {
  if (position < 1 || static_cast<std::size_t>(position) > params.size()) return;
  TParamStatusRec& argument = params[static_cast<std::size_t>(position - 1)];
  if (argument.Text.empty()) return;
  number = TextToNumber(argument.Text, 0);
  argument.Status = psNumber;
  argument.IsNumber = true;
}

}  // namespace tamsel
