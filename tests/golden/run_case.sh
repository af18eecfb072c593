#!/usr/bin/env bash
# Runs one golden case: the program with the arguments in <case>/args (one a
# line, @TMP@ standing for a fresh scratch folder), from inside the case folder.
# Its standard output must equal <case>/stdout byte for byte, its exit code
# <case>/rc, and every file under <case>/files/ the file of that name in the
# scratch folder; every name in <case>/absent must not exist there. A file
# <case>/input is copied into the scratch folder before the run.
# VEXO_RUN_PREFIX, when set, runs the program under it (valgrind or Wine, say).
# With VEXO_LINE_ENDS=crlf, lines end with CR LF on the platform: every line
# feed of the expected output and output files (not files/input, which must
# stay as it was) that has no CR before it is CR LF, and a case with a file
# posix-only is skipped (exit code 77); without it, a case with a file
# windows-only is. Either file says why.
# usage: run_case.sh <program> <case folder>
set -u
read -ra prefix <<< "${VEXO_RUN_PREFIX:-}"
program=$1
case_dir=$2
cd "$case_dir" || exit 2
crlf=false
[ "${VEXO_LINE_ENDS:-}" = crlf ] && crlf=true
$crlf && [ -f posix-only ] && exit 77
$crlf || [ ! -f windows-only ] || exit 77
expected() {
    if $crlf; then perl -pe 's/(?<!\r)\n/\r\n/g' "$1"; else cat "$1"; fi
}
scratch=$(mktemp -d -t vexo-golden.XXXXXX)
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
if ! cmp -s "$scratch/.stdout" <(expected stdout); then
    echo "standard output differs from $case_dir/stdout:"
    diff <(expected stdout | od -c) <(od -c "$scratch/.stdout") | head -n 40
    failed=1
fi
if [ "$rc" != "$(cat rc)" ]; then
    echo "exit code $rc, expected $(cat rc)"
    failed=1
fi
if [ -d files ]; then
    for expected in files/*; do
        name=${expected#files/}
        # The input stays as it was, byte for byte; the rest is output.
        if [ "$name" = input ]; then
            cmp "$expected" "$scratch/$name" || failed=1
        elif ! cmp <(expected "$expected") "$scratch/$name"; then
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
