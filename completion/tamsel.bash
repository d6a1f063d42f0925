# Bash completion for tamsel.
#
# Offers every option spelling the program accepts: -x and /x for a letter,
# --name and /name for a word, in lower case (typed letters match in any
# case); after -p: or -p= (also --parallel, and as the next argument) the
# thread counts from 1 to the logical processor count. An option already on
# the line is not offered again, since each may be given only once.

# The program's alias lists, one option each, in the order it looks them up.
# A word stands in two lists (h2, help2, ??) when it sets both options.
_tamsel_alias_lists=(
  "d debug debug-mode"
  "error-delay"
  "audible-error"
  "h help ? h2 help2 ??"
  "v verbose build h2 help2 ??"
  "version-only build-only"
  "i info"
  "b banner"
  "q quiet"
  "t strict-eval strict-evaluation"
  "s show-primes"
  "x hexadecimal"
  "n no-count"
  "a always-segmented"
  "p parallel"
  "f force"
  "isprime"
  "factors"
  "primefactors prime-factors"
  "benchmark"
)

# The spelling of one alias word after the prefix kind "-" or "/", into the
# variable _tamsel_spelling.
_tamsel_spell() {
  if [[ $1 == / ]]; then
    _tamsel_spelling=/$2
  elif ((${#2} == 1)); then
    _tamsel_spelling=-$2
  else
    _tamsel_spelling=--$2
  fi
}

# The logical processors, counted as the program counts them: the online
# list of the kernel's processor folder, else what getconf says.
_tamsel_processor_count() {
  local root=${TAMSEL_CPU_TOPOLOGY_ROOT:-/sys/devices/system/cpu} list range count=0
  local -a ranges=()
  if read -r list 2>/dev/null <"$root/online"; then
    IFS=, read -ra ranges <<<"$list"
    for range in "${ranges[@]}"; do
      if [[ $range =~ ^([0-9]+)-([0-9]+)$ ]]; then
        ((count += 10#${BASH_REMATCH[2]} - 10#${BASH_REMATCH[1]} + 1))
      elif [[ $range =~ ^[0-9]+$ ]]; then
        ((count += 1))
      fi
    done
  fi
  if ((count < 1)); then
    count=$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 1)
    [[ $count =~ ^[1-9][0-9]*$ ]] || count=1
  fi
  echo "$count"
}

_tamsel() {
  local line=${COMP_LINE:0:COMP_POINT}
  local word=${line##*[[:blank:]]}
  local -a before=()
  read -ra before <<<"${line%"$word"}"
  local lower=${word,,}

  # The options given so far, in lower case, without quoting or attached
  # values.
  local argument previous=
  local -a given=()
  for argument in "${before[@]:1}"; do
    argument=${argument,,}
    argument=${argument//[\\\'\"]/}
    given+=("${argument%%[:=]*}")
    previous=$argument
  done

  local -a candidates=()
  local n count
  if [[ $lower =~ ^(-p|/p|--parallel|/parallel)[:=][0-9]*$ ]]; then
    local head=${word:0:${#BASH_REMATCH[1]}+1}
    count=$(_tamsel_processor_count)
    for ((n = 1; n <= count; n++)); do candidates+=("$head$n"); done
  elif [[ $previous =~ ^(-p|/p|--parallel|/parallel)$ && $word =~ ^[0-9]*$ ]]; then
    count=$(_tamsel_processor_count)
    for ((n = 1; n <= count; n++)); do candidates+=("$n"); done
  elif [[ $word == -* || $word == /* ]]; then
    local list alias used _tamsel_spelling
    local -a aliases=()
    for list in "${_tamsel_alias_lists[@]}"; do
      read -ra aliases <<<"$list"
      used=
      for alias in "${aliases[@]}"; do
        for argument in "${given[@]}"; do
          _tamsel_spell "${argument:0:1}" "$alias"
          [[ $argument == "$_tamsel_spelling" ]] && used=1
        done
      done
      [[ -n $used ]] && continue
      for alias in "${aliases[@]}"; do
        _tamsel_spell "${word:0:1}" "$alias"
        candidates+=("$_tamsel_spelling")
      done
    done
  fi

  # Keep the candidates that begin with the typed word; "?" goes out escaped,
  # so that the shell hands it on rather than matching file names with it.
  # Bash replaces only the part of the word after its last word-break
  # character (":" and "=" among them), so that part is what is returned.
  local i cut=0 candidate escaped
  for ((i = 0; i < ${#word}; i++)); do
    [[ $COMP_WORDBREAKS == *"${word:i:1}"* ]] && cut=$((i + 1))
  done
  COMPREPLY=()
  for candidate in "${candidates[@]}"; do
    escaped=${candidate//\?/\\?}
    if [[ ${candidate,,} == "$lower"* || $escaped == "$lower"* ]]; then
      [[ " ${COMPREPLY[*]} " == *" ${escaped:cut} "* ]] || COMPREPLY+=("${escaped:cut}")
    fi
  done
}

complete -F _tamsel tamsel
