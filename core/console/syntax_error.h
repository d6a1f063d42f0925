// The screen shown when the command line is rejected, with its optional beep
// and key wait, all on standard error.
//
// The screen shows nothing from the command-line engine's validation
// statistics, so it does not take them: the engine builds on this library,
// and the screen stays usable without it.
#pragma once
#include <cstdint>
#include <string_view>

namespace tamsel {

// Console settings, both off until the options switch them on.
extern bool ErrorDelay;    // wait for a key after a syntax error
extern bool AudibleError;  // beep on a syntax error

inline constexpr std::int32_t kSyntaxErrorTicks = 30;
inline constexpr std::string_view kPressAnyKeyPrompt = "Press Any Key to Continue...";

// Rebinds the standard channel to standard error for the rest of the run,
// then shows the title, the program folder, the command line as typed and
// the message; then beeps and waits as asked.
void ShowSyntaxError(std::string_view message, bool pause, bool beep);

// prefix, text, then a line end and an empty line, on standard error.
void WriteErrorBlock(std::string_view text, std::string_view prefix);

// Writes the prompt on the standard channel and a dot per tick until a key
// is pressed or the ticks have run out; closes the line with an empty line.
// Keys typed before or during the wait never reach a later reader.
void PressAnyKey(std::int32_t ticks, std::string_view prompt);

}  // namespace tamsel
