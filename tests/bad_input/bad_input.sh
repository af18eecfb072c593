#!/usr/bin/env bash
# Hostile and broken inputs, end to end through both programs. Each row names
# the case, the exit code, a line the console output must hold (or '-' for
# none but the banner and verdict lines) and the command; every file made in
# setup must hold the same bytes after the run, and a filter run that succeeds
# must write what the reference model of the rewrite says.
# VEXO_RUN_PREFIX, when set, runs each program under it (valgrind or Wine, say).
# With VEXO_LINE_ENDS=crlf (Windows), the console's lines end with CR LF, the
# rows that only a POSIX system can pose are left out and Windows' own are in.
# usage: bad_input.sh <Vantrel> <Glimmerlode> <source folder>
set -u
read -ra prefix <<< "${VEXO_RUN_PREFIX:-}"
windows=false
[ "${VEXO_LINE_ENDS:-}" = crlf ] && windows=true
vantrel=("${prefix[@]}" "$1")
glimmerlode=("${prefix[@]}" "$2")
source_dir=$3
model_dir=$source_dir/tests/model
work=$(mktemp -d -t vexo-bad-input.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
failures=0
rows=0

# --- setup: every file here is a user file that no run may change
cp "$source_dir/examples/two-devices.report" two.report
cp "$source_dir/examples/twenty-devices.report" twenty.report
cp "$source_dir/examples/one-failed.report" one-failed.report
sed 's/$/\r/' two.report > crlf.report
head -c -1 two.report > no-final-newline.report
: > empty.txt
mkdir folder
python3 -c 'import random, sys; r = random.Random(3); sys.stdout.buffer.write(bytes(r.randrange(256) for _ in range(200000)))' > random.bin
python3 -c 'import sys; sys.stdout.write("Total Vexo Devices Found = 2 " + "x" * 1000000 + "\n")' > one-mb-line.report
python3 -c 'import sys; sys.stdout.write("ab#cd" * 200000 + "\n")' > one-mb-line.txt
printf 'Total Vexo Devices Found = 1\nVexo #0\nVexo #0\nFirmware update \0successful\nVexo #1\n==== Vexo device ====\nSilicon ID      = 1A2B3C4D\nFirmware rev    = 1.5\n' > nul-byte.report
printf 'a\0b#c\0#d\n\0#\0\n' > nul-bytes.txt
printf 'a#b#c\r\nplain\r\nx#\r\n' > crlf.txt
printf 'one#two\nthree#four' > no-final-newline.txt
printf 'key=value\nplain line\n' > plain.txt
for count in -3 0 20 21 999 99999999999; do
    { echo "Total Vexo Devices Found = $count"; tail -n +2 twenty.report; } > "count$count.report"
done
ln plain.txt hard-link.txt
ln -s plain.txt symbolic-link.txt
ln -s two.report link.report
mkfifo fifo.report
$windows || python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' socket.report
long=$(printf 'L%.0s' $(seq 10000))
cp two.report '報告-ü.report'
{ printf 'start \032 of the report\n'; cat two.report; } > ctrl-z.report
printf 'a#b\032c#d\n\032\nlast#line\n' > ctrl-z.txt
# Past what 32 bits hold: a sparse report of 5 GiB with its lines at the
# start, and files dated 2040.
cp two.report five-gib.report
truncate -s 5G five-gib.report
cp two.report dated-2040.report
cp plain.txt dated-2040.txt
touch -d 2040-06-01T00:00:00Z dated-2040.report dated-2040.txt
checksums=$(find . -type f ! -name five-gib.report -print0 | sort -z | xargs -0 sha256sum)
sizes=$(ls -l five-gib.report)

row() {
    local name=$1 want_rc=$2 want_line=$3
    shift 3
    rows=$((rows + 1))
    rm -f out.txt
    "$@" > console.txt 2>&1
    local rc=$?
    local problem=""
    $windows && sed -i 's/\r$//' console.txt
    [ "$rc" = "$want_rc" ] || problem="exit code $rc, expected $want_rc"
    if [ "$want_line" != - ] && ! grep -qxF -- "$want_line" console.txt; then
        problem="$problem; no line '$want_line' in: $(tail -n 3 console.txt)"
    fi
    if [ "$want_line" = - ] && grep -q '^ERROR: ' console.txt; then
        problem="$problem; unexpected $(grep '^ERROR: ' console.txt)"
    fi
    rm -f console.txt
    if [ "$checksums" != "$(find . -type f ! -name out.txt ! -name '出力-ü.txt' ! -name five-gib.report -print0 | sort -z | xargs -0 sha256sum)" ] ||
        [ "$sizes" != "$(ls -l five-gib.report)" ]; then
        problem="$problem; a user file changed"
    fi
    if [ -n "$problem" ]; then
        echo "FAIL $name: $problem"
        failures=$((failures + 1))
    fi
}

# Rows that only a POSIX system can pose: pipes, FIFOs, devices, /proc.
posix_row() {
    $windows || row "$@"
}

# A filter run whose output must be the model's rewrite of the input.
filtered() {
    local name=$1 input=$2 search=$3
    row "$name" 0 - "${glimmerlode[@]}" "$input" out.txt "$search"
    if ! python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); from glimmerlode_model import filter_bytes; from differential import crlf_platform; p = crlf_platform(sys.argv[5] == "true"); sys.exit(open(sys.argv[3], "rb").read() != p.output(filter_bytes(p.input(open(sys.argv[2], "rb").read()), sys.argv[4].encode())))' \
        "$model_dir" "$input" out.txt "$search" "$windows"; then
        echo "FAIL $name: output differs from the model"
        failures=$((failures + 1))
    fi
}

open_error='ERROR: Could not open Vexo info file... Vexo info not found!'
row "checker: missing report" 255 "$open_error" "${vantrel[@]}" 1A2B3C4D 1.5 missing.report
row "checker: report is a folder" 255 "$open_error" "${vantrel[@]}" 1A2B3C4D 1.5 folder
row "checker: empty report" 171 - "${vantrel[@]}" 1A2B3C4D 1.5 empty.txt
not_regular='ERROR: Vexo info file is not a regular file... save the report to a file first!'
read_error='ERROR: Could not read Vexo info file... the report is incomplete!'
verdict_1_5='Vexo#0 - No errors. Vexo found and firmware updated.'
posix_row "checker: /dev/null" 255 "$not_regular" "${vantrel[@]}" 1A2B3C4D 1.5 /dev/null
posix_row "checker: report through a pipe" 255 "$not_regular" \
    bash -c 'cat two.report | "$@"' - "${vantrel[@]}" 1A2B3C4D 1.5 /dev/stdin
posix_row "checker: FIFO without a writer" 255 "$not_regular" timeout 10 "${vantrel[@]}" 1A2B3C4D 1.5 fifo.report
posix_row "checker: report through a pipe, DEBUG" 255 "$not_regular" \
    bash -c 'cat two.report | "$@"' - "${vantrel[@]}" 1A2B3C4D 1.5 /dev/stdin DEBUG
posix_row "checker: FIFO without a writer, DEBUG" 255 "$not_regular" \
    timeout 10 "${vantrel[@]}" 1A2B3C4D 1.5 fifo.report DEBUG
posix_row "checker: a socket" 255 "$not_regular" "${vantrel[@]}" 1A2B3C4D 1.5 socket.report
posix_row "checker: read error" 255 "$read_error" "${vantrel[@]}" 1A2B3C4D 1.5 /proc/self/mem
posix_row "checker: regular file as /dev/stdin" 0 "$verdict_1_5" \
    bash -c '"$@" < two.report' - "${vantrel[@]}" 1A2B3C4D 1.5 /dev/stdin
row "checker: symbolic link to a report" 0 "$verdict_1_5" "${vantrel[@]}" 1A2B3C4D 1.5 link.report
row "checker: symbolic link to a report, DEBUG" 0 "$verdict_1_5" \
    "${vantrel[@]}" 1A2B3C4D 1.5 link.report DEBUG
posix_row "checker: regular file as /dev/stdin, DEBUG" 0 "$verdict_1_5" \
    bash -c '"$@" < two.report' - "${vantrel[@]}" 1A2B3C4D 1.5 /dev/stdin DEBUG
row "checker: random bytes" 171 - "${vantrel[@]}" 1A2B3C4D 1.5 random.bin
row "checker: random bytes, DEBUG" 171 - "${vantrel[@]}" 1A2B3C4D 1.5 random.bin DEBUG
row "checker: one line of 1 MB" 171 - "${vantrel[@]}" 1A2B3C4D 1.5 one-mb-line.report
row "checker: NUL in the status" 255 "Vexo#0 - Not specified error.  The VEXO update did not complete successfully." \
    "${vantrel[@]}" 1A2B3C4D 1.5 nul-byte.report
row "checker: carriage-return line ends" 0 "Vexo#0 - No errors. Vexo found and firmware updated." \
    "${vantrel[@]}" 1A2B3C4D 1.5 crlf.report
row "checker: no final newline" 0 "Vexo#1 - Vexo Found and Firmware level is up-to-date. No flashing required." \
    "${vantrel[@]}" 1A2B3C4D 1.4 no-final-newline.report
row "checker: count -3" 171 - "${vantrel[@]}" 0BADF00D 3.2 count-3.report
row "checker: count 0" 171 - "${vantrel[@]}" 0BADF00D 3.2 count0.report
row "checker: count 20" 0 "Vexo#19 - No errors. Vexo found and firmware updated." "${vantrel[@]}" 0BADF00D 3.2 count20.report
row "checker: count 21" 255 "ERROR: Vexo info file lists 21 devices... at most 20 are supported!" \
    "${vantrel[@]}" 0BADF00D 3.2 count21.report
row "checker: count 999" 255 "ERROR: Vexo info file lists 999 devices... at most 20 are supported!" \
    "${vantrel[@]}" 0BADF00D 3.2 count999.report
row "checker: count 99999999999" 255 "ERROR: Vexo info file lists 2147483647 devices... at most 20 are supported!" \
    "${vantrel[@]}" 0BADF00D 3.2 count99999999999.report
# Console text that cannot be written is never a success; a failure keeps its
# code. A closed standard output must not become a file the program opens.
posix_row "checker: console on a full disk" 255 - \
    bash -c '"$@" > /dev/full' - "${vantrel[@]}" 1A2B3C4D 1.5 two.report
posix_row "checker: console on a full disk, a failed update" 2 - \
    bash -c '"$@" > /dev/full' - "${vantrel[@]}" 5C3D2E1F 2.1 one-failed.report
# A reader gone before the first write (a pipe whose reader closed it) costs
# the text, never the code.
closed_pipe='import os, subprocess, sys; r, w = os.pipe(); os.close(r); sys.exit(subprocess.call(sys.argv[1:], stdout=w))'
posix_row "checker: console a pipe without a reader" 255 - python3 -c "$closed_pipe" "${vantrel[@]}" 1A2B3C4D 1.5 two.report
posix_row "checker: console a pipe without a reader, a failed update" 2 - \
    python3 -c "$closed_pipe" "${vantrel[@]}" 5C3D2E1F 2.1 one-failed.report
posix_row "checker: standard output closed" 255 - \
    bash -c '"$@" >&-' - "${vantrel[@]}" 1A2B3C4D 1.5 two.report
posix_row "checker: a stack of 120 KiB" 0 "$verdict_1_5" \
    bash -c 'ulimit -s 120 && exec "$@"' - "${vantrel[@]}" 1A2B3C4D 1.5 two.report
row "checker: a report of 5 GiB" 0 "$verdict_1_5" "${vantrel[@]}" 1A2B3C4D 1.5 five-gib.report
row "checker: a report dated 2040" 0 "$verdict_1_5" "${vantrel[@]}" 1A2B3C4D 1.5 dated-2040.report
posix_row "checker: standard input closed, the report /dev/stdin" 255 "$not_regular" \
    bash -c '"$@" <&-' - "${vantrel[@]}" 1A2B3C4D 1.5 /dev/stdin
row "checker: 10,000-character silicon ID" 171 - "${vantrel[@]}" "$long" 1.5 two.report
row "checker: 10,000-character firmware revision" 171 - "${vantrel[@]}" 1A2B3C4D "$long" two.report
row "checker: 10,000-character report path" 255 "$open_error" "${vantrel[@]}" 1A2B3C4D 1.5 "$long"

row "filter: missing input" 2 "ERROR: Could not open input file!" "${glimmerlode[@]}" missing.txt out.txt '#'
[ -e out.txt ] && { echo "FAIL: output created for a missing input"; failures=$((failures + 1)); }
row "filter: input is a folder" 2 "ERROR: Could not open input file!" "${glimmerlode[@]}" folder out.txt '#'
[ -e out.txt ] && { echo "FAIL: output created for a folder as input"; failures=$((failures + 1)); }
filtered "filter: empty input" empty.txt '#'
$windows || filtered "filter: /dev/null" /dev/null '#'
filtered "filter: random bytes" random.bin 'a#'
filtered "filter: one line of 1 MB" one-mb-line.txt '#c'
filtered "filter: NUL bytes" nul-bytes.txt '#'
filtered "filter: carriage-return line ends" crlf.txt '#'
filtered "filter: no final newline" no-final-newline.txt '#'
filtered "filter: 10,000-character search string" plain.txt "$long"
filtered "filter: an input dated 2040" dated-2040.txt '='
# Opened, the input of 5 GiB is read until the first write fails.
posix_row "filter: an input of 5 GiB" 2 "ERROR: Could not write output file!" \
    "${glimmerlode[@]}" five-gib.report /dev/full '#'

row "filter: 10,000-character input path" 2 "ERROR: Could not open input file!" "${glimmerlode[@]}" "$long" out.txt '#'
row "filter: 10,000-character output path" 2 "ERROR: Could not create output file!" "${glimmerlode[@]}" plain.txt "$long" '#'
row "filter: output in a missing folder" 2 "ERROR: Could not create output file!" "${glimmerlode[@]}" plain.txt none/out.txt '#'
posix_row "filter: output to a full disk" 2 "ERROR: Could not write output file!" "${glimmerlode[@]}" random.bin /dev/full '#'
posix_row "filter: console on a full disk" 2 - \
    bash -c '"$@" > /dev/full' - "${glimmerlode[@]}" plain.txt out.txt '='
posix_row "filter: console a pipe without a reader" 2 - python3 -c "$closed_pipe" "${glimmerlode[@]}" plain.txt out.txt '='
posix_row "filter: a stack of 120 KiB" 0 - bash -c 'ulimit -s 120 && exec "$@"' - "${glimmerlode[@]}" plain.txt out.txt '='
posix_row "filter: standard input closed, the input /dev/stdin" 0 - \
    bash -c '"$@" <&-' - "${glimmerlode[@]}" /dev/stdin out.txt '='
posix_row "filter: standard output closed" 2 - bash -c '"$@" >&-' - "${glimmerlode[@]}" plain.txt out.txt '='
$windows || [ "$(cat out.txt)" = "$(printf 'key==value\nplain line')" ] ||
    { echo "FAIL filter: standard output closed: the output holds $(head -c 80 out.txt)"; failures=$((failures + 1)); }
row "filter: same file by a second path" 2 "ERROR: Input and output are the same file!" "${glimmerlode[@]}" plain.txt ./folder/../plain.txt '='
row "filter: same file by a hard link" 2 "ERROR: Input and output are the same file!" "${glimmerlode[@]}" plain.txt hard-link.txt '='
row "filter: same file by a symbolic link" 2 "ERROR: Input and output are the same file!" "${glimmerlode[@]}" symbolic-link.txt plain.txt '='
row "checker: a Ctrl-Z above the report" 0 "$verdict_1_5" "${vantrel[@]}" 1A2B3C4D 1.5 ctrl-z.report
filtered "filter: Ctrl-Z bytes" ctrl-z.txt '#'
row "checker: a name beyond ASCII" 0 "$verdict_1_5" "${vantrel[@]}" 1A2B3C4D 1.5 '報告-ü.report'
row "filter: a name beyond ASCII" 0 - "${glimmerlode[@]}" plain.txt '出力-ü.txt' '='
[ "$(cat '出力-ü.txt' 2>/dev/null | tr -d '\r')" = "$(printf 'key==value\nplain line')" ] ||
    { echo "FAIL filter: no output named 出力-ü.txt"; failures=$((failures + 1)); }
rm -f '出力-ü.txt'
if $windows; then
    row "checker: the device NUL" 255 "$not_regular" "${vantrel[@]}" 1A2B3C4D 1.5 NUL
    row "filter: output to NUL" 0 - "${glimmerlode[@]}" plain.txt NUL '='
    row "filter: same file in other case" 2 "ERROR: Input and output are the same file!" \
        "${glimmerlode[@]}" plain.txt PLAIN.TXT '='
    row "filter: same file by a path with backslashes" 2 "ERROR: Input and output are the same file!" \
        "${glimmerlode[@]}" plain.txt '.\folder\..\plain.txt' '='
fi

# The console as output: the data must reach it whole, after the banner.
$windows || {
rows=$((rows + 2))
expected_data=$(printf 'key==value\nplain line\n')
"${glimmerlode[@]}" plain.txt /dev/stdout '=' > redirected.txt
[ "$(cat redirected.txt)" = "$expected_data" ] || { echo "FAIL filter: /dev/stdout into a file: $(cat redirected.txt)"; failures=$((failures + 1)); }
"${glimmerlode[@]}" plain.txt /dev/stdout '=' | tail -n 3 > piped.txt
[ "$(cat piped.txt)" = "$(printf '\n%s' "$expected_data")" ] || { echo "FAIL filter: /dev/stdout into a pipe: $(cat piped.txt)"; failures=$((failures + 1)); }
rm -f redirected.txt piped.txt
}
for name in missing.txt none/out.txt; do
    [ -e "$name" ] && { echo "FAIL: $name was created"; failures=$((failures + 1)); }
done

echo "bad inputs: $((rows - failures)) passed, $failures failed"
[ "$failures" = 0 ]
