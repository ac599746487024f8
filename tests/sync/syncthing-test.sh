#!/usr/bin/env bash
# Two machines' workflows kept in step by Syncthing: two Lexorra homes on this machine, each
# with its own Syncthing on loopback sharing the home's sync folder with the other. What one
# home changes through lexorra-cli (or what lands in its sync folder from a third machine)
# must reach the other home's workflow list; edits made on both at once must settle on
# the newest on both, with no workflow listed twice, whatever conflict copies and temporary
# files Syncthing leaves. Prints how long each change took to arrive.
# Usage: tests/sync/syncthing-test.sh path/to/lexorra-cli   (exit 77: Syncthing unavailable)
set -uo pipefail
cli=$(realpath "$1")
skip() {
    echo "SKIP: $*"
    exit 77
}
command -v syncthing >/dev/null || skip "syncthing is not installed (scripts/install-deps installs it)"
for tool in curl jq python3; do
    command -v $tool >/dev/null || { echo "$tool is not installed" >&2 && exit 1; }
done

root=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$root"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}

# Ports held open together so that the four are distinct; ctest may run other tests meanwhile.
read -r guiA guiB listenA listenB < <(python3 -c '
import socket
s = [socket.socket() for _ in range(4)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
declare -A gui=([A]=$guiA [B]=$guiB) listen=([A]=$listenA [B]=$listenB) key device machine
for h in A B; do
    mkdir -p "$root/$h/config/lexorra" "$root/$h/data/lexorra" "$root/$h/sync/.stfolder"
    jq -n --arg folder "$root/$h/sync" '{iCloudSyncEnabled: true, SyncFolder: $folder}' \
        >"$root/$h/config/lexorra/settings.json"
    # The home's machine id, chosen here so that edits can be written into its folder as its own.
    machine[$h]=$(cat /proc/sys/kernel/random/uuid)
    echo "${machine[$h]}" >"$root/$h/data/lexorra/machine-id"
    key[$h]=$(cat /proc/sys/kernel/random/uuid)
    syncthing generate --home "$root/$h/st" --no-default-folder --skip-port-probing >"$root/$h/st.log" 2>&1 ||
        skip "syncthing generate failed: $(tail -3 "$root/$h/st.log")"
    device[$h]=$(syncthing serve --home "$root/$h/st" --device-id 2>>"$root/$h/st.log") ||
        skip "syncthing cannot read its key: $(tail -3 "$root/$h/st.log")"
done

# Nothing leaves loopback: no discovery, relays, NAT, reports or upgrades. Only B dials (A knows
# B's address only from B's connection): two instances dialling each other at once may drop
# both connections and wait many seconds before trying again.
declare -A dial=([A]=dynamic [B]=tcp://127.0.0.1:$listenA)
for h in A B; do
    peer=$([[ $h == A ]] && echo B || echo A)
    cat >"$root/$h/st/config.xml" <<EOF
<configuration version="36">
    <folder id="lexorra" label="lexorra" path="$root/$h/sync" type="sendreceive" rescanIntervalS="2"
            fsWatcherEnabled="true" fsWatcherDelayS="1">
        <device id="${device[$h]}"></device>
        <device id="${device[$peer]}"></device>
        <pullerPauseS>1</pullerPauseS>
        <maxConflicts>10</maxConflicts>
    </folder>
    <device id="${device[$h]}" name="$h"><address>dynamic</address></device>
    <device id="${device[$peer]}" name="$peer"><address>${dial[$h]}</address></device>
    <gui enabled="true" tls="false"><address>127.0.0.1:${gui[$h]}</address><apikey>${key[$h]}</apikey></gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${listen[$h]}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <stunKeepaliveStartS>0</stunKeepaliveStartS>
        <urAccepted>-1</urAccepted>
        <crashReportingEnabled>false</crashReportingEnabled>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <startBrowser>false</startBrowser>
        <reconnectionIntervalS>1</reconnectionIntervalS>
        <setLowPriority>false</setLowPriority>
    </options>
</configuration>
EOF
done

api() {
    local h=$1 path=$2
    shift 2
    curl -sf -m 10 -H "X-API-Key: ${key[$h]}" "$@" "http://127.0.0.1:${gui[$h]}/rest/$path"
}
scan() { api "$1" "db/scan?folder=lexorra" -X POST >/dev/null; }
wait_for() { # seconds, then a command that must succeed
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@" >/dev/null 2>&1; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.1
    done
}
started=$(now_ms)
for h in A B; do # A listens before B dials
    STNOUPGRADE=1 syncthing serve --home "$root/$h/st" --no-browser --no-restart --no-upgrade \
        >>"$root/$h/st.log" 2>&1 &
    pids+=($!)
    wait_for 20 api $h system/ping ||
        skip "syncthing $h does not answer on 127.0.0.1:${gui[$h]}: $(tail -5 "$root/$h/st.log")"
done
connected() { api "$1" system/connections | jq -e --arg d "${device[$2]}" '.connections[$d].connected'; }
apart() { ! connected A B && ! connected B A; }
if ! wait_for 30 connected A B || ! wait_for 10 connected B A; then
    echo "syncthing A: $(tail -5 "$root/A/st.log")"
    echo "syncthing B: $(tail -5 "$root/B/st.log")"
    fail "the two Syncthing instances did not connect"
    exit 1
fi
echo "Syncthing up and connected in $(($(now_ms) - started)) ms"

lx() { # home, then lexorra-cli arguments; standard output only (sanitizer reports go to stderr)
    local h=$1
    shift
    XDG_CONFIG_HOME=$root/$h/config XDG_DATA_HOME=$root/$h/data "$cli" "$@" 2>>"$root/$h/cli.err"
}
# Polls the lists of the given homes until the jq test holds on each ($id is the workflow at
# hand), asking both Syncthings to scan at once rather than at their watcher's next event.
# took: milliseconds since the given start.
converge() {
    local test=$1 since=$2 home out
    shift 2
    local pending=("$@") left
    while :; do
        left=()
        last=""
        for home in "${pending[@]}"; do
            out=$(lx "$home" workflows list --json) && jq -e --arg id "$id" "$test" <<<"$out" >/dev/null && continue
            left+=("$home")
            last+=" home $home: workflows list --json gave $(jq -c --arg id "$id" \
                '{workflows: length, this: [.[] | select(.Id == $id) | .Name]}' <<<"$out" 2>/dev/null || echo "$out")"
            last+=" $(tail -2 "$root/$home/cli.err")"
        done
        took=$(($(now_ms) - since))
        ((${#left[@]} == 0)) && return 0
        if ((took > 10000)); then
            last="after $took ms:$last"
            return 1
        fi
        pending=("${left[@]}")
        scan A
        scan B
        sleep 0.2
    done
}
# Writes a record of the workflow at hand into a sync folder as a machine does after an edit.
put_record() { # file, name, modified, machine id
    local base part
    base=$(cat "$1" 2>/dev/null || echo '{}')
    part="$(dirname "$1")/.$(basename "$1").part"
    jq --argjson w "$workflow" --arg name "$2" --argjson modified "$3" --arg machine "$4" \
        '. + {id: $w.Id, name: $name, jsonString: ($w | .Name = $name | tojson), hidden: false,
              modified: $modified, machineId: $machine} | .date //= (now | floor)' <<<"$base" >"$part" &&
        mv "$part" "$1"
}
record_file() { # sync folder, id: the file another machine's copy would go to
    local file
    file=$(grep -l -- "\"$2\"" "$1"/*.json 2>/dev/null | grep -v sync-conflict | head -1)
    echo "${file:-$1/$2.json}"
}
unique_ids='([.[].Id] | length) == ([.[].Id] | unique | length)'
declare -A times

# First start on both machines: each has the default workflows.
lx A workflows list --json >/dev/null || fail "workflows list on A failed: $(tail -2 "$root/A/cli.err")"
lx B workflows list --json >/dev/null || fail "workflows list on B failed: $(tail -2 "$root/B/cli.err")"

# Created on A: appears on B with its actions intact.
first=$(lx A workflows list --json | jq -r '.[0].Id')
lx A workflows export --id "$first" "$root/one.json"
jq '.workflows[0].Name = "Sync Probe"' "$root/one.json" >"$root/probe.json"
start=$(now_ms)
id=$(lx A workflows import "$root/probe.json" | cut -f1)
workflow=$(lx A workflows list --json | jq --arg id "$id" '.[] | select(.Id == $id)')
[[ -n $id && -n $workflow ]] || fail "workflows import on A did not list the new workflow"
if converge "[.[] | select(.Id == \$id and .Name == \"Sync Probe\")] | length == 1 and $unique_ids" "$start" B; then
    times[create]=$took
    sample=$'one\ttwo  three'
    [[ $(lx B run --workflow "$id" <<<"$sample") == "$(lx A run --workflow "$id" <<<"$sample")" ]] ||
        fail "the workflow created on A runs differently on B"
else
    fail "created on A, not listed on B: $last"
fi

# Renamed on a third machine C, whose edit reaches A's folder first (the command line has no
# rename): A's next command takes it in, pushes nothing back over it, and B follows.
machineC=$(cat /proc/sys/kernel/random/uuid)
machineD=$(cat /proc/sys/kernel/random/uuid)
start=$(now_ms)
put_record "$(record_file "$root/A/sync" "$id")" "Sync Probe Renamed" "$start" "$machineC"
if converge '[.[] | select(.Id == $id)] | length == 1 and .[0].Name == "Sync Probe Renamed"' "$start" A B; then
    times[rename]=$took
else
    fail "renamed on A, old name still listed: $last"
fi

# Deleted on A: gone on B.
had=$(lx B workflows list --json | jq --arg id "$id" 'any(.[]; .Id == $id)')
start=$(now_ms)
lx A workflows delete "$id" || fail "workflows delete $id on A failed: $(tail -2 "$root/A/cli.err")"
if [[ $had != true ]]; then
    fail "delete not checked: B never listed the workflow"
elif converge 'all(.[]; .Id != $id)' "$start" A B; then
    times[delete]=$took
else
    fail "deleted on A, still listed: $last"
fi

# Edited on two other machines, C and D, while A and B could not see each other; C's edit
# reached A, D's reached B. The newest edit (C's) wins on both. Its file is the older one on
# disk, so Syncthing keeps B's file and turns A's into a conflict copy before either machine runs a command; an older copy placed by hand and
# a partial Syncthing download lie beside them. None may show up as a workflow of its own.
jq '.workflows[0].Name = "Conflict Probe"' "$root/one.json" >"$root/conflict.json"
start=$(now_ms)
id=$(lx A workflows import "$root/conflict.json" | cut -f1)
workflow=$(lx A workflows list --json | jq --arg id "$id" '.[] | select(.Id == $id)')
converge '[.[] | select(.Id == $id)] | length == 1' "$start" B || fail "conflict probe never reached B: $last"
api B "system/pause?device=${device[A]}" -X POST
wait_for 10 apart || fail "pausing A on B did not part them"
t0=$(now_ms)
fileA=$(record_file "$root/A/sync" "$id")
fileB=$(record_file "$root/B/sync" "$id")
put_record "$fileA" "Edit on C" $((t0 + 2000)) "$machineC"
touch -d "@$((t0 / 1000 - 60))" "$fileA"
put_record "$fileB" "Edit on D" $((t0 + 1000)) "$machineD"
put_record "${fileB%.json}.sync-conflict-20200101-000000-ABCDEFG.json" "Stale copy" $((t0 + 500)) "$machineD"
head -c 40 "$fileB" >"$root/B/sync/.syncthing.$(basename "$fileB").tmp"
scan A
scan B
start=$(now_ms)
api B "system/resume?device=${device[A]}" -X POST
syncthing_conflict() { # its own copy, not the one placed by hand
    local file
    for file in "$root"/[AB]/sync/*.sync-conflict-*; do [[ -e $file && $file != *-20200101-* ]] && return 0; done
    return 1
}
wait_for 10 syncthing_conflict || fail "Syncthing made no conflict copy of the concurrent edits"
newest='[.[] | select(.Id == $id)] | length == 1 and .[0].Name == "Edit on C"'
losers='all(.[]; .Name != "Edit on D" and .Name != "Stale copy")'
if converge "$newest and $unique_ids and $losers" "$start" A B; then
    times[conflict]=$took
    # Settled means it stays so: another round of scans on both changes nothing.
    scan A
    scan B
    sleep 1
    listA=$(lx A workflows list --json | jq -c 'sort_by(.Id) | map({Id, Name})')
    listB=$(lx B workflows list --json | jq -c 'sort_by(.Id) | map({Id, Name})')
    [[ $listA == "$listB" ]] || fail "after the conflict A and B list different workflows: $listA / $listB"
else
    fail "concurrent edits did not settle on the newest: $last"
fi

echo "convergence (ms): create ${times[create]:-none}, rename ${times[rename]:-none}," \
    "delete ${times[delete]:-none}, conflict ${times[conflict]:-none}; whole test $(($(now_ms) - started)) ms"
((failures == 0))
