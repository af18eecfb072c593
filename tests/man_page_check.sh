#!/usr/bin/env bash
# Checks a manual page: it renders with every groff warning on and none given;
# at 80, 100 and 120 columns it shows each literal text of the source that is
# set with unpaddable spaces (\ ) exactly, runs of spaces included; and each
# message "ERROR: ... !" that it quotes is one that a test sees the programs
# print (an N in it stands for a number).
# usage: man_page_check.sh <page> <source folder>
set -u
page=$1
source_dir=$2
render() { groff -man -t -ww -Tutf8 -rLL="$1"n -P-cbou "$page" 2>&1; }
warnings=$(groff -man -t -ww -z -Tutf8 "$page" 2>&1)
if [ -n "$warnings" ]; then
    echo "$page renders with warnings:"
    echo "$warnings"
    exit 1
fi
failed=0
literals=$(sed '/^\.\\"/d' "$page" | grep -oE '(\\.|[^ \\])*\\ (\\.|[^ \\])*' |
    sed 's/\\f[BIRP]//g; s/\\(dq/"/g; s/\\-/-/g; s/\\ / /g' | sort -u)
for width in 80 100 120; do
    rendered=$(render "$width")
    while IFS= read -r literal; do
        if ! grep -qF -- "$literal" <<< "$rendered"; then
            echo "$page at $width columns does not show: '$literal'"
            failed=1
        fi
    done <<< "$literals"
done
while read -r message; do
    if ! python3 -c 'import re, sys, pathlib
pattern = re.compile(re.escape(sys.argv[1]).replace(r"\ N\ ", r"\ [0-9]+\ "))
sys.exit(not any(pattern.search(path.read_text(errors="replace"))
                 for folder in sys.argv[2:] for path in pathlib.Path(folder).rglob("*")
                 if path.is_file()))' "$message" "$source_dir/tests"; then
        echo "$page quotes a message that no test sees: $message"
        failed=1
    fi
done < <(render 300 | grep -o 'ERROR: .*!' | sort -u)
exit $failed
