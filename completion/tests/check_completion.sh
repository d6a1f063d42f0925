#!/usr/bin/env bash
# check_completion.sh COMPLETION OPTION_TABLE
#   Sources the bash completion COMPLETION and checks what it offers for a
#   table of command lines, on a made-up machine of four logical processors.
#   After "-" and after "/" it must offer exactly the spellings of the alias
#   lists in OPTION_TABLE (the program's option lookups), so an option added
#   to the program but not to the completion is caught.
set -euo pipefail

# shellcheck source=/dev/null
source "$1"
registered=$(complete -p tamsel)
function=${registered#*-F }
function=${function%% *}

topology=$(mktemp -d)
trap 'rm -rf "$topology"' EXIT
echo "0-2,5" >"$topology/online"
export TAMSEL_CPU_TOPOLOGY_ROOT=$topology

default_breaks=${COMP_WORDBREAKS:-$' \t\n"\'><=;|&(:'}

# What the completion offers for a line typed up to the cursor, sorted and
# joined by blanks; with "no-colon" bash does not break words at ":".
offered() {
  COMP_LINE=$1
  COMP_POINT=${#1}
  COMP_WORDBREAKS=$default_breaks
  [[ ${2-} != no-colon ]] || COMP_WORDBREAKS=${default_breaks//:/}
  COMPREPLY=()
  "$function" tamsel "" ""
  ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd' ' -
}

# Every spelling of the program's alias words after one prefix kind, as the
# completion writes them ("?" escaped).
spellings() {
  grep -oE '(Switch|GetIntParam)\((ParamList, )?"[^"]*"' "$2" | sed 's/.*"\(.*\)"/\1/' |
    tr ' ' '\n' | sed '/^$/d' | tr '[:upper:]' '[:lower:]' |
    while read -r word; do
      if [[ $1 == / ]]; then
        printf '%s\n' "/$word"
      elif ((${#word} == 1)); then
        printf '%s\n' "-$word"
      else
        printf '%s\n' "--$word"
      fi
    done | sed 's/?/\\?/g' | LC_ALL=C sort -u | paste -sd' ' -
}

dash=$(spellings - "$2")
slash=$(spellings / "$2")
[[ $(wc -w <<<"$dash") -ge 40 ]] || { echo "too few options read from $2: $dash"; exit 1; }

cases=(
  # line | word breaks (empty: the default) | offered
  "tamsel -||$dash"
  "tamsel 100 /||$slash"
  "tamsel 100 --h||--h2 --help --help2 --hexadecimal"
  "tamsel 100 /V||/v /verbose /version-only"
  "tamsel 100 /?||/\\? /\\?\\?"
  "tamsel 100 -\\?||-\\?"
  # Given options are not offered again, in whatever spelling they came.
  "tamsel 97 --ISPRIME --is||"
  "tamsel 100 /Parallel:2 -p||"
  "tamsel 100 -s --show||"
  # -h leaves --h2 and --help2, which also stand for --verbose.
  "tamsel 100 -h --he||--help2 --hexadecimal"
  "tamsel 100 --h2 --he||--hexadecimal"
  # Thread counts: attached, with ":" a word break or not, or the next argument.
  "tamsel 100 -p:||1 2 3 4"
  "tamsel 100 -P:|no-colon|-P:1 -P:2 -P:3 -P:4"
  "tamsel 100 --parallel=3||3"
  "tamsel 100 -p ||1 2 3 4"
  "tamsel 100 -p:2 ||"
  # Nothing but options and thread counts is offered.
  "tamsel 100 ||"
)
failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r line breaks expected <<<"$entry"
  actual=$(offered "$line" "$breaks")
  if [[ $actual != "$expected" ]]; then
    printf 'completing "%s":\n  offered  "%s"\n  expected "%s"\n' "$line" "$actual" "$expected"
    failed=1
  fi
done

# With the file gone the counts come from the system.
rm "$topology/online"
[[ $(offered "tamsel 100 -p:") == "$(seq -s ' ' 1 "$(getconf _NPROCESSORS_ONLN)")" ]] ||
  { echo "without an online list: $(offered "tamsel 100 -p:")"; failed=1; }
exit $failed
