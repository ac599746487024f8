#!/usr/bin/env bash
# Runs the bash completion of lexorra-cli the way bash does on Tab, against the built program
# and a home of its own holding one imported workflow, and checks the candidates offered.
# Usage: bash-completion.sh COMPLETION_SCRIPT LEXORRA_CLI
set -u
completion=$1
program=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
cat >"$home/mine.json" <<'JSON'
{"workflows": [{"Id": "00000000-0000-4000-8000-00000000000A", "Name": "Shout It Out",
                "Actions": [{"Type": 3, "CaseType": 1}]}]}
JSON
# Imported workflows get new ids.
id=$("$program" workflows import "$home/mine.json" | cut -f1) || { echo "cannot import the workflow"; exit 1; }

# shellcheck source=/dev/null
source "$completion"
failures=0
# expect "command line, the last word being completed" "candidate that must be offered"...
expect() {
    local line=$1
    shift
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$program
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _lexorra_cli
    local wanted offered
    for wanted in "$@"; do
        for offered in "${COMPREPLY[@]}"; do [[ $offered == "$wanted" ]] && continue 2; done
        echo "FAIL: \"$line\" does not offer \"$wanted\"; offered: ${COMPREPLY[*]:0:12}"
        failures=$((failures + 1))
    done
}
# refuse "command line" "candidate that must not be offered"...
refuse() {
    local line=$1 unwanted offered
    shift
    expect "$line"
    for unwanted in "$@"; do
        for offered in "${COMPREPLY[@]}"; do
            [[ $offered == "$unwanted" ]] && echo "FAIL: \"$line\" offers \"$unwanted\"" && failures=$((failures + 1))
        done
    done
}

expect "lexorra-cli " actions run workflows intent --version
expect "lexorra-cli w" workflows
refuse "lexorra-cli w" run
expect "lexorra-cli run --" --action --workflow --workflow-file --set --in --out
expect "lexorra-cli run --action " convertCase replaceString quotesConverter
expect "lexorra-cli run --action conv" convertCase
refuse "lexorra-cli run --action conv" replaceString
expect "lexorra-cli run --action convertCase --set " CaseType=
expect "lexorra-cli run --workflow " 'Shout\ It\ Out' 'Tidy\ Up\ Text'
expect "lexorra-cli run --workflow Sh" 'Shout\ It\ Out'
expect "lexorra-cli intent transform --workflow 'Sh" 'Shout\ It\ Out'
expect "lexorra-cli workflows " list export import delete
expect "lexorra-cli workflows list --" --json --names
expect "lexorra-cli workflows delete ${id:0:4}" "$id"
expect "lexorra-cli intent " transform uppercase
refuse "lexorra-cli intent transform --text hello " transform
expect "lexorra-cli intent transform --text hello " --workflow

((failures == 0)) && echo "bash completion: all candidates offered"
exit $((failures > 0))
