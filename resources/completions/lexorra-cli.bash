# bash completion for lexorra-cli
# Action kinds, option keys and workflow names come from the program itself, so they follow
# the installed version and the user's own workflows.

_lexorra_cli_program() {
    local program=${COMP_WORDS[0]}
    [[ $program == "~/"* ]] && program=$HOME/${program#"~/"}
    command -v "$program" >/dev/null 2>&1 || program=lexorra-cli
    printf '%s' "$program"
}

# Adds the lines of standard input (never a pipe: COMPREPLY must be set in this shell) that start with $1 to COMPREPLY, quoted for the shell.
_lexorra_cli_lines() {
    local prefix=$1 line
    prefix=${prefix#[\'\"]}
    while IFS= read -r line; do
        [[ -n $line && $line == "$prefix"* ]] && COMPREPLY+=("$(printf '%q' "$line")")
    done
}

_lexorra_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program
    program=$(_lexorra_cli_program)
    COMPREPLY=()

    # The command and its subcommand, skipping options and the values they take.
    local command= subcommand= kind= i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
        --action)
            kind=${COMP_WORDS[i + 1]}
            ((i++))
            ;;
        --action-json | --workflow | --workflow-file | --set | --in | --out | --id | --text) ((i++)) ;;
        -*) ;;
        *)
            if [[ -z $command ]]; then
                command=$word
            elif [[ -z $subcommand && ($command == workflows || $command == intent) ]]; then
                subcommand=$word
            fi
            ;;
        esac
    done

    case $prev in
    --action)
        _lexorra_cli_lines "$cur" < <("$program" actions 2>/dev/null | cut -f2)
        return
        ;;
    --workflow)
        _lexorra_cli_lines "$cur" < <("$program" workflows list --names 2>/dev/null)
        return
        ;;
    --id)
        _lexorra_cli_lines "$cur" < <("$program" workflows list 2>/dev/null | cut -f1)
        return
        ;;
    --set)
        # KEY= for the options of the kind given with --action.
        kind=${kind#[\'\"]} && kind=${kind%[\'\"]}
        [[ -n $kind ]] || return
        compopt -o nospace 2>/dev/null
        _lexorra_cli_lines "$cur" < <("$program" actions 2>/dev/null |
            awk -F '\t' -v kind="$kind" '$1 == kind || $2 == kind || $3 == kind {
                gsub(/^\[|\]$/, "", $4); n = split($4, keys, ", "); for (k = 1; k <= n; k++) print keys[k] "=" }')
        return
        ;;
    --workflow-file | --in | --out)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --action-json | --text) return ;;
    esac

    local words=
    case $command/$subcommand in
    /) words="actions run workflows intent --help --version" ;;
    actions/) words="--json --help" ;;
    run/) words="--action --action-json --workflow --workflow-file --set --in --out --help" ;;
    workflows/) words="list export import delete --help" ;;
    workflows/list) words="--json --names --help" ;;
    workflows/export | workflows/import)
        [[ $subcommand == export ]] && words="--id --help" || words="--help"
        if [[ $cur != -* ]]; then
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
        fi
        ;;
    workflows/delete)
        if [[ $cur != -* ]]; then
            _lexorra_cli_lines "$cur" < <("$program" workflows list 2>/dev/null | cut -f1)
            return
        fi
        words="--help"
        ;;
    intent/) words="transform uppercase --help" ;;
    intent/transform) words="--workflow --text --help" ;;
    intent/uppercase) words="--text --help" ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}

complete -F _lexorra_cli lexorra-cli
