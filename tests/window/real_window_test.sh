#!/usr/bin/env bash
# The real game binary in a real window:
#   escape-ends-the-game  in an Xvfb of its own, the 640 x 480 window named
#                         Zendorak shows, Esc on the title screen ends the game
#                         with status 0 and nothing is printed;
#   no-display            with no display the game ends with status 1 and says
#                         why on exactly one line of standard error.
# Usage: real_window_test.sh PATH_TO_ZENDORAK [BEHAVIOUR]; without BEHAVIOUR
# both are checked.
set -u

game=${1:?usage: real_window_test.sh PATH_TO_ZENDORAK [escape-ends-the-game|no-display]}
behaviour=${2:-all}

work=$(mktemp -d)
xvfb_pid=
game_pid=

cleanup() {
    if [[ -n $game_pid ]]; then kill "$game_pid" 2>/dev/null; fi
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null; fi
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

show_file() {
    if [[ -s $2 ]]; then
        echo "--- $1:" >&2
        head -n 20 "$2" >&2
    fi
}

# Says what went wrong, with whatever the game printed.
fail() {
    echo "FAIL: $*" >&2
    show_file "the game's standard output" "$work/stdout"
    show_file "the game's standard error" "$work/stderr"
    exit 1
}

now_ms() {
    date +%s%3N
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds or time is up.
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}

running() {
    kill -0 "$1" 2>/dev/null
}

not_running() {
    ! running "$1"
}

# True once display :$1 answers and its lock names our Xvfb, or our Xvfb died.
x_server_settled() {
    not_running "$xvfb_pid" && return 0
    xdpyinfo -display ":$1" >/dev/null 2>&1 &&
        [[ $(tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null) == "$xvfb_pid" ]]
}

# Starts Xvfb on the first display number that is free, and sets DISPLAY to it.
start_x_server() {
    local number
    for number in $(seq 90 140); do
        if [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]]; then
            continue
        fi
        Xvfb ":$number" -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        if wait_until 10 x_server_settled "$number" && running "$xvfb_pid"; then
            export DISPLAY=":$number"
            return 0
        fi
        # Taken meanwhile by another server, or too slow: try the next number.
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    show_file "Xvfb's output" "$work/xvfb.log"
    fail "could not start Xvfb on any display from :90 to :140"
}

# Waits up to SECONDS for the game to end and sets game_status.
await_game_end() {
    if ! wait_until "$1" not_running "$game_pid"; then
        return 1
    fi
    wait "$game_pid"
    game_status=$?
    game_pid=
}

check_escape_ends_the_game() {
    local tool
    for tool in Xvfb xdotool xdpyinfo; do
        command -v "$tool" >/dev/null ||
            fail "$tool is missing: install the xvfb, xdotool and x11-utils packages"
    done
    start_x_server
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER

    "$game" >"$work/stdout" 2>"$work/stderr" &
    game_pid=$!

    local window
    window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Zendorak$' 2>/dev/null |
        head -n 1)
    if [[ -z $window ]]; then
        if running "$game_pid"; then
            fail "no visible window named Zendorak within 10 s"
        fi
        wait "$game_pid"
        fail "the game ended with status $? before its window showed"
    fi

    local WIDTH=0 HEIGHT=0
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    [[ $WIDTH == 640 && $HEIGHT == 480 ]] ||
        fail "the window is ${WIDTH} x ${HEIGHT}, not 640 x 480"

    # A real key press through XTEST into the focused window. Esc is held until
    # the game ends or a second has passed, whichever comes first, so the frame
    # loop sees it however its frames fall.
    xdotool windowfocus --sync "$window" || fail "could not give the window the focus"
    xdotool keydown Escape || fail "xdotool could not press Esc"
    wait_until 1 not_running "$game_pid"
    xdotool keyup Escape || fail "xdotool could not release Esc"
    await_game_end 5 || fail "the game was still running 5 s after Esc was pressed"

    ((game_status == 0)) || fail "the game ended with status $game_status after Esc, not 0"
    [[ ! -s $work/stdout && ! -s $work/stderr ]] || fail "the game printed something"
    echo "ok: Esc on the title screen ends the game with status 0"
}

check_no_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game" \
        >"$work/stdout" 2>"$work/stderr" &
    game_pid=$!
    await_game_end 10 || fail "with no display the game was still running after 10 s"

    ((game_status == 1)) || fail "with no display the game ended with status $game_status, not 1"
    [[ ! -s $work/stdout ]] || fail "with no display the game wrote to standard output"
    local lines
    mapfile -t lines <"$work/stderr"
    [[ ${#lines[@]} == 1 && -n ${lines[0]} ]] ||
        fail "with no display standard error should hold exactly one line, not ${#lines[@]}"
    echo "ok: with no display the game says why on one line and ends with status 1"
}

[[ -x $game ]] || fail "no game program at $game"
case $behaviour in
escape-ends-the-game) check_escape_ends_the_game ;;
no-display) check_no_display ;;
all)
    check_no_display
    check_escape_ends_the_game
    ;;
*) fail "unknown behaviour '$behaviour'" ;;
esac
