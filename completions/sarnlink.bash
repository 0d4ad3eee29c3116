# bash completion for sarnlink: subcommands, their options, and the values some options take.
_sarnlink() {
  local cur prev words cword
  _init_completion 2>/dev/null || {
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  }
  local subcommands="init export import imports undo-import genres copy detect decode version help"
  if [ "$cword" -eq 1 ]; then
    COMPREPLY=($(compgen -W "$subcommands --version --help" -- "$cur"))
    return
  fi
  case "$prev" in
    --db | --out | --in | --from | --to)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --encoding)
      COMPREPLY=($(compgen -W "utf-8 utf-16le utf-16be shift_jis sjis cp932 euc-jp iso-2022-jp jis" -- "$cur"))
      return
      ;;
    --line-ends)
      COMPREPLY=($(compgen -W "crlf lf" -- "$cur"))
      return
      ;;
    --twelve-am)
      COMPREPLY=($(compgen -W "noon midnight" -- "$cur"))
      return
      ;;
    --publish | --comments)
      COMPREPLY=($(compgen -W "0 1 2" -- "$cur"))
      return
      ;;
    --pings)
      COMPREPLY=($(compgen -W "0 1" -- "$cur"))
      return
      ;;
  esac
  local options
  case "${words[1]}" in
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
  if [[ "$cur" == -* || "${words[1]}" == help ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -F _sarnlink sarnlink
