# bash completion for sarnlink: subcommands, their options, the values some options take (the
# genres and import stamps of the diary named by --db, asked of sarnlink itself), and file names
# completed as bash completes them (folders with "/", names with spaces quoted).
#
# Works on COMP_WORDS alone, with or without the bash-completion package. bash cuts a word at ":"
# and "=", which stamps and genres may hold, so a value is taken from its option to the cursor.

# The shell word `$1` as the command will read it: quotes and backslashes removed, a leading ~
# expanded. A word holding an expansion or an operator is taken as it stands, never evaluated.
_sarnlink_unquote() {
  local word=$1 quotes
  if [[ $word == *[\$\`\(\)\;\&\|\<\>]* ]]; then
    printf '%s' "$word"
    return
  fi
  quotes=${word//[^\']/}
  ((${#quotes} % 2)) && word+="'"
  quotes=${word//[^\"]/}
  ((${#quotes} % 2)) && word+='"'
  eval "printf '%s' $word" 2>/dev/null || printf '%s' "$1"
}

# The index in COMP_WORDS of the first piece of the word under the cursor, the pieces bash cut
# at ":" joined again.
_sarnlink_word_start() {
  local k=$COMP_CWORD
  while ((k > 2)) && [[ ${COMP_WORDS[k]} == : || ${COMP_WORDS[k - 1]} == : ]]; do
    ((k--))
  done
  printf '%s' "$k"
}

# The diary named by --db (or --db=FILE) on the line, unquoted.
_sarnlink_diary() {
  local k
  for ((k = 2; k < ${#COMP_WORDS[@]} - 1; k++)); do
    if [[ ${COMP_WORDS[k]} == --db ]]; then
      [[ ${COMP_WORDS[k + 1]} == = ]] && ((k++))
      _sarnlink_unquote "${COMP_WORDS[k + 1]}"
      return
    fi
  done
}

# Offers the lines of standard input that begin with the value typed so far (COMP_WORDS[start]
# to the cursor's word), each quoted for the shell and cut where bash's own word begins (after
# the last ":").
_sarnlink_offer_lines() {
  local start=$1 typed="" k candidate quoted prefix
  for ((k = start; k <= COMP_CWORD; k++)); do
    typed+=${COMP_WORDS[k]}
  done
  local value
  value=$(_sarnlink_unquote "$typed")
  COMPREPLY=()
  while IFS= read -r candidate; do
    [[ -n $candidate && $candidate == "$value"* ]] || continue
    if [[ $typed == [\'\"]* ]]; then
      # Inside an open quote readline replaces the text after the quote: the value as it is.
      COMPREPLY+=("$candidate")
    else
      printf -v quoted '%q' "$candidate"
      prefix=${typed%"${typed##*:}"}
      COMPREPLY+=("${quoted#"$prefix"}")
    fi
  done
}

# File names as bash's own completion gives them: readline quotes them and ends a folder with "/".
_sarnlink_files() {
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$(_sarnlink_unquote "$1")")
}

_sarnlink() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local subcommands="init export import imports undo-import genres copy detect decode version help"
  if [ "$COMP_CWORD" -eq 1 ]; then
    mapfile -t COMPREPLY < <(compgen -W "$subcommands --version --help" -- "$cur")
    return
  fi
  # The option whose value is under the cursor: the word before the value, or before "=".
  local start option
  start=$(_sarnlink_word_start)
  option=${COMP_WORDS[start - 1]}
  if [[ ${COMP_WORDS[start]} == = ]]; then
    option=${COMP_WORDS[start - 1]}
    cur=""
    ((start++))
  elif [[ $option == = ]]; then
    option=${COMP_WORDS[start - 2]}
  fi
  case "$option" in
    --genre)
      _sarnlink_offer_lines "$start" < <(sarnlink genres --db "$(_sarnlink_diary)" 2>/dev/null)
      return
      ;;
    --stamp)
      _sarnlink_offer_lines "$start" < <(sarnlink imports --db "$(_sarnlink_diary)" 2>/dev/null |
        cut -s -f4 | tail -n +2)
      return
      ;;
  esac
  case "$option" in
    --db | --out | --in | --from | --to)
      _sarnlink_files "$cur"
      return
      ;;
    --encoding)
      mapfile -t COMPREPLY < <(compgen -W "utf-8 utf-16le utf-16be shift_jis euc-jp iso-2022-jp
        utf8 utf16le utf16be sjis cp932 ms932 windows-31j eucjp jis" -- "$cur")
      return
      ;;
    --line-ends)
      mapfile -t COMPREPLY < <(compgen -W "crlf lf" -- "$cur")
      return
      ;;
    --twelve-am)
      mapfile -t COMPREPLY < <(compgen -W "noon midnight" -- "$cur")
      return
      ;;
    --publish | --comments)
      mapfile -t COMPREPLY < <(compgen -W "0 1 2" -- "$cur")
      return
      ;;
    --pings)
      mapfile -t COMPREPLY < <(compgen -W "0 1" -- "$cur")
      return
      ;;
  esac
  local options
  case "${COMP_WORDS[1]}" in
    init | genres | imports) options="--db --help" ;;
    export)
      options="--db --out --overwrite --genre --start --end --publish --br --no-br --hyphen
        --no-hyphen --publish-day --pings --comments --line-ends --author --max-entries
        --max-bytes --ask --quiet --help"
      ;;
    import)
      options="--db --in --author --ask-author --encoding --dry-run --allow-duplicates
        --twelve-am --wait --quiet --help"
      ;;
    undo-import) options="--db --stamp --dry-run --wait --help" ;;
    copy) options="--from --to --help" ;;
    detect | decode) options="--encoding --help" ;;
    help) options="$subcommands" ;;
  esac
  if [[ "$cur" == -* || "${COMP_WORDS[1]}" == help ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
  else
    _sarnlink_files "$cur"
  fi
}
complete -F _sarnlink sarnlink
