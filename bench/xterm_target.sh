#!/usr/bin/env bash
# A shell prompt in xterm as a paste target of bench_paste, shown like
# bench_paste_target's: each text pasted at the prompt becomes the window
# title as "<n>:<text>" and the line is emptied. Readline runs a function at
# the end of each bracketed paste, so the title changes once the whole text
# has reached the prompt, and nothing polls.
#
#   xterm_target.sh NAME X Y
#
# Prints the X id of the xterm window once the shell is ready; ends the xterm
# when it is ended.
set -euo pipefail
name=$1 x=$2 y=$3

rc=$(mktemp)
xterm_pid=
cleanup() {
    [ -n "$xterm_pid" ] && kill "$xterm_pid" 2>/dev/null
    rm -f "$rc"
}
trap cleanup EXIT
trap 'exit 0' TERM INT
cat >"$rc" <<'RC'
pastes=0
pasted() {
    pastes=$((pastes + 1))
    printf '\e]2;%d:%s\a' "$pastes" "$READLINE_LINE"
    READLINE_LINE=
    READLINE_POINT=0
}
# The text between the markers is typed into the line as it comes.
bind -x '"\e[200~": :'
bind -x '"\e[201~": pasted'
printf '\e]2;%s ready\a' "$TARGET_NAME"
RC
# utf8Title: the title is set as UTF-8 (_NET_WM_NAME), not Latin-1.
TARGET_NAME=$name LC_ALL=C.UTF-8 xterm -xrm 'XTerm*utf8Title: true' -T "$name" \
    -geometry "80x12+$x+$y" -e bash --noprofile --rcfile "$rc" -i 2>/dev/null &
xterm_pid=$!
for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name "^$name ready\$" 2>/dev/null | head -n1 || true)
    if [ -n "$window" ]; then
        echo "$window"
        wait "$xterm_pid"
        exit 0
    fi
    sleep 0.1
done
echo "xterm_target: no xterm window" >&2
exit 1
