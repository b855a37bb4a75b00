#!/usr/bin/env bash
# The real program, started and closed as a person does, on the X display the
# test command provides: command line, settings kept across a run started with
# a file, the window title, and a library that does not parse.
set -uo pipefail
tessary="$1"
examples="$2"

fail=0
. "$(dirname "$0")/common.sh"

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config"
conf="$XDG_CONFIG_HOME/Tessary/Tessary.conf"

# Command line without a display.
check "--version prints the version" sh -c "DISPLAY= '$tessary' --version | grep -q '^Tessary 2.1.0$'"
check "--help prints usage" sh -c "DISPLAY= '$tessary' --help | grep -q 'Usage: tessary'"
check "an unknown option is refused" sh -c "! DISPLAY= '$tessary' --bogus 2>/dev/null"

# Settings stored before are kept when the program starts with a file named.
mkdir -p "$(dirname "$conf")"
printf '[Options]\nVKCode=84\nModifiers=6\nStartFolder=/srv/snippets\n[Settings]\nTipoftheday=0\nCurrentTip=3\n' >"$conf"
cp "$examples/starter.xml" "$home/lib.xml"
"$tessary" "$home/lib.xml" &
pid=$!
check "the window shows the file's name" wait_for 20 shown "Tessary - lib.xml"
press_in "Tessary - lib.xml" alt+F4
check "the program ends when its window is closed" wait_for 20 ended $pid
kill $pid 2>/dev/null
check "the stored hot key, start folder and tip index survive the run" \
    [ "$(grep -Ecx 'VKCode=84|StartFolder=/srv/snippets|CurrentTip=3' "$conf")" = 3 ]
check "the library is untouched" cmp -s "$examples/starter.xml" "$home/lib.xml"

# A named library that does not parse: the message, then the program ends.
printf '<level0><broken></level0>' >"$home/bad.xml"
"$tessary" "$home/bad.xml" &
pid=$!
check "a message box explains the failure" wait_for 20 shown Tessary
press_in Tessary Return
check "the program ends after it" wait_for 20 ended $pid
kill $pid 2>/dev/null
exit $fail
