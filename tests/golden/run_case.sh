#!/usr/bin/env bash
# Runs one golden case: the program with the arguments in <case>/args (one a
# line, @TMP@ standing for a fresh scratch folder), from inside the case folder.
# Its standard output must equal <case>/stdout byte for byte, its exit code
# <case>/rc, and every file under <case>/files/ the file of that name in the
# scratch folder; every name in <case>/absent must not exist there. A file
# <case>/input is copied into the scratch folder before the run.
# VEXO_RUN_PREFIX, when set, runs the program under it (valgrind, say).
# usage: run_case.sh <program> <case folder>
set -u
read -ra prefix <<< "${VEXO_RUN_PREFIX:-}"
program=$1
case_dir=$2
cd "$case_dir" || exit 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

[ -f input ] && cp input "$scratch/input"

args=()
if [ -s args ]; then
    mapfile -t args < args
fi
args=("${args[@]//@TMP@/$scratch}")

"${prefix[@]}" "$program" "${args[@]}" > "$scratch/.stdout"
rc=$?
failed=0
if ! cmp -s "$scratch/.stdout" stdout; then
    echo "standard output differs from $case_dir/stdout:"
    diff <(od -c stdout) <(od -c "$scratch/.stdout") | head -n 40
    failed=1
fi
if [ "$rc" != "$(cat rc)" ]; then
    echo "exit code $rc, expected $(cat rc)"
    failed=1
fi
if [ -d files ]; then
    for expected in files/*; do
        name=${expected#files/}
        if ! cmp "$expected" "$scratch/$name"; then
            failed=1
        fi
    done
fi
if [ -f absent ]; then
    while read -r name; do
        if [ -e "$scratch/$name" ]; then
            echo "$name should not exist"
            failed=1
        fi
    done < absent
fi
exit $failed
