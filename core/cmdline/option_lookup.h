// Option lookup: finds an option among the arguments by its alias list,
// collects its value (attached with ":" or "=", or the next argument) and
// marks the arguments it recognises in the parameter array.
//
// A lookup may overwrite the marks of an earlier one, so the order in which
// a program performs its lookups is part of its behaviour.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cmdline/param_records.h"

namespace tamsel {

// Lookup flags.
inline constexpr std::int32_t fpAllValuesRequired = 1;   // first and second value
inline constexpr std::int32_t fpFirstValueRequired = 2;
inline constexpr std::int32_t fpScanAll = 4;             // the last match wins

// How one position selects the argument indexes a lookup examines.
enum TPositionKind : std::int32_t {
  pkFrom = 0,  // position .. the end
  pkUpTo = 1,  // 0 .. position
};

// An attached value longer than this is cut to its first characters.
inline constexpr std::size_t kMaxAttachedValue = 999;

struct TParamMatch {
  bool Matched = false;
  bool HasValue = false;  // the argument carried ":" or "=" and a value
  std::string Param;      // the option part as typed, before the separator
  std::string Value;
};

// Compares one argument with the spellings of one alias word.
TParamMatch MatchParam(std::string_view argument, std::string_view word);

// Adds the words of an alias list to KnownOptions, each once.
void RegisterAliases(std::string_view aliases);

// Looks an option up in params[first..last] (first below 0 means 0; last of
// -1 or beyond the end means the last argument; other negative lasts select
// nothing). valuesTaken (0, 1 or 2) separate arguments may follow it.
TFindParamRec FindParam(TParamStatusArray& params, std::string_view aliases, std::int32_t last,
                        std::int32_t first, std::int32_t valuesTaken, std::int32_t flags,
                        std::string_view defaultValue = {}, std::string_view defaultValue2 = {});

// A switch: takes no separate value.
TFindParamRec FindSwitch(TParamStatusArray& params, std::string_view aliases,
                         std::int32_t flags = 0, std::int32_t position = -1,
                         TPositionKind kind = pkFrom);

// A switch with an optional value, attached or the next argument; a next
// argument that an earlier lookup claimed leaves the switch incomplete.
// found receives the result's Found.
TFindParamRec CheckSwitch(TParamStatusArray& params, std::string_view aliases, bool& found,
                          std::int32_t position = -1, TPositionKind kind = pkFrom);

// An option with an integer value, always assigned: a missing or unreadable
// value gives the default, and the result is clamped to minimum..maximum.
// The result's Value holds the assigned number in decimal, ValueAdjusted
// whether the default was used or the value clamped.
TFindParamRec GetIntParam(TParamStatusArray& params, std::string_view aliases,
                          std::int32_t& value, std::int32_t defaultValue, std::int32_t minimum,
                          std::int32_t maximum, std::int32_t position = -1,
                          TPositionKind kind = pkFrom);

// Takes argument number position (from 1) as the positional number: when it
// exists and is not empty, number gets its value (0 when unreadable) and the
// argument is marked psNumber. Otherwise number is left unchanged.
void GetNumberParam(TParamStatusArray& params, std::uint64_t& number, std::int32_t position);

}  // namespace tamsel
