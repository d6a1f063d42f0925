// The command-line engine's records, settings and process-wide state.
//
// One status record per argument tells validation which lookup claimed the
// argument and how. All state here is unguarded: it is used from the main
// thread only, before any worker thread exists.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

using TStringArray = std::vector<std::string>;

// Parameter status values. Status 1 exists in the numbering but is never set.
inline constexpr std::int32_t psUnmatched = 0;        // no lookup claimed the argument
inline constexpr std::int32_t psSwitch = 2;           // matched as an option
inline constexpr std::int32_t psValue = 3;            // separate value of the option before it
inline constexpr std::int32_t psSwitchWithValue = 4;  // option with a usable ":"/"=" value
inline constexpr std::int32_t psIncomplete = 5;       // option whose value is missing or taken
inline constexpr std::int32_t psNumber = 6;           // the positional number

struct TParamStatusRec {
  std::int32_t Status = psUnmatched;
  bool IsSwitch = false;    // matched as an option
  bool IsValue = false;     // carries a usable value, or was consumed as one
  bool IsAttached = false;  // the value was attached with ":" or "="
  bool IsNumber = false;    // taken as the positional number
  std::string Text;         // the argument exactly as given; never changed
};

// Element k describes argument k + 1 (the program path is not included).
using TParamStatusArray = std::vector<TParamStatusRec>;

// The result of one option lookup. Index and ParamNumber are -1 until an
// argument matches, so an unfilled result never points at argument 1.
struct TFindParamRec {
  bool ValueAdjusted = false;  // integer lookups only: default used or clamped
  bool Found = false;          // option present, with its required values
  bool ValueAttached = false;
  std::int32_t Index = -1;        // into the parameter array
  std::int32_t ParamNumber = -1;  // Index + 1
  std::string Param;              // matching argument; only the option part when attached
  std::string Value;
  std::string Value2;
};

using TParamRecArray = std::vector<TFindParamRec>;

// Results of the options shared by every tool of the core library; the
// program stores its lookups of these options here.
struct TPredefinedResultsRec {
  TFindParamRec Debug;
  TFindParamRec Spare;  // reserved for a shared option this program does not have
  TFindParamRec ErrorDelay;
  TFindParamRec AudibleError;
  TFindParamRec Help;
  TFindParamRec Verbose;
  TFindParamRec VersionOnly;
  TFindParamRec Banner;
  TFindParamRec Info;
};

// Settings.
// 0 plain; 1 bare one-character options from BareOptionChars; 2 values
// attached with ":" or "="; 3 both; any other value acts as 0.
extern std::int32_t SyntaxMode;
// Long names are typed after "/" or "--"; when false also after "-".
extern bool DoubleDashLongNames;
// Every match made by a lookup is appended to ParamHistory.
extern bool RecordHistory;

// The characters that may stand alone as an option in syntax modes 1 and 3.
inline constexpr std::string_view BareOptionChars = "!#$%*+-.@_~";

// State.
extern TParamStatusArray ParamList;
extern TParamRecArray ParamHistory;
extern std::string KnownOptions;  // every alias word looked up, blank-separated
extern std::string HelpForms;     // prefixed help spellings, built by validation
extern TPredefinedResultsRec PredefinedResults;

}  // namespace tamsel
