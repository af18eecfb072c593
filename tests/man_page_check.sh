#!/usr/bin/env bash
# Renders a manual page with every groff warning on and fails on any warning;
# then checks that each "ERROR: " message the page quotes is one that a golden
# case or the bad-input suite sees the programs print.
# usage: man_page_check.sh <page> <source folder>
set -u
page=$1
source_dir=$2
warnings=$(groff -man -t -ww -z -Tutf8 "$page" 2>&1)
if [ -n "$warnings" ]; then
    echo "$page renders with warnings:"
    echo "$warnings"
    exit 1
fi
failed=0
while read -r message; do
    if ! grep -rqF -- "$message" "$source_dir/tests/golden" "$source_dir/tests/bad_input"; then
        echo "$page quotes a message that no test sees: $message"
        failed=1
    fi
done < <(groff -man -t -Tascii -P-cbou "$page" 2>/dev/null | grep -o 'ERROR: .*!' | sort -u)
exit $failed
