# shellcheck shell=bash
# Shared by the scripts that drive the real game window: an X server of their
# own, the game in it, key presses through XTEST, captures of the window and
# waiting for a state to show. Sourced, not run. The caller sets `probe` and
# calls e2e_init first.

probe=${probe:-}  # the zendorak_window_probe program, set by the caller
e2e_pids=()       # everything started here, stopped on exit, newest first
e2e_undo=()       # commands that undo a change outside the scratch directory
e2e_work=""       # scratch directory, removed on exit
e2e_name="e2e"    # names the capture kept when a check fails
shot=""           # the latest capture
window=""         # the game window
game_pid=""
game_status=""

e2e_init() {
    e2e_name=$1
    e2e_work=$(mktemp -d)
    shot="$e2e_work/capture.xwd"
    rm -f "$PWD/$e2e_name-failure.png" "$PWD/$e2e_name-failure.xwd"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM HUP  # through the EXIT trap
}

e2e_cleanup() {
    local i
    for ((i = ${#e2e_undo[@]} - 1; i >= 0; i--)); do
        eval "${e2e_undo[i]}"
    done
    # Newest first: the game goes before the X server it draws on.
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
        kill "${e2e_pids[i]}" 2>/dev/null
    done
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
        wait "${e2e_pids[i]}" 2>/dev/null
    done
    [[ -n $e2e_work ]] && rm -rf "$e2e_work"
}

now_ms() {
    date +%s%3N
}

# Keeps the latest capture beside the test (the ctest working directory), as
# PNG when ImageMagick is there, and ends the script.
fail() {
    echo "FAIL: $*" >&2
    if [[ -s $shot ]]; then
        local kept="$PWD/$e2e_name-failure"
        cp "$shot" "$kept.xwd"
        if convert "xwd:$shot" "png:$kept.png" 2>/dev/null; then
            rm -f "$kept.xwd"
            echo "the last capture of the window is in $kept.png" >&2
        else
            echo "the last capture of the window is in $kept.xwd" >&2
        fi
    fi
    show_file "the game's standard output" "$e2e_work/game.out"
    show_file "the game's standard error" "$e2e_work/game.err"
    exit 1
}

note() {
    echo "$e2e_name: $*"
}

show_file() {
    if [[ -s $2 ]]; then
        echo "--- $1:" >&2
        head -n 20 "$2" >&2
    fi
}

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
    done
}

# Starts an Xvfb on a display number it picks itself (so parallel tests never
# meet) and points DISPLAY at it. SIZE is WIDTHxHEIGHT; 24-bit colour.
start_x_server() {
    local size=$1 display_file="$e2e_work/display" number=""
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$display_file" \
        >"$e2e_work/xvfb.log" 2>&1 &
    e2e_pids+=($!)
    local deadline=$(($(now_ms) + 10000))
    while (($(now_ms) < deadline)); do
        number=$(tr -dc '0-9' <"$display_file")
        [[ -n $number ]] && break
        sleep 0.05
    done
    if [[ -z $number ]]; then
        show_file "Xvfb's output" "$e2e_work/xvfb.log"
        fail "Xvfb did not start within 10 s"
    fi
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# Openbox, for what needs a window manager (full screen). Waits until it has
# taken the screen.
start_window_manager() {
    openbox --sm-disable >"$e2e_work/openbox.log" 2>&1 &
    e2e_pids+=($!)
    wait_until 10 window_manager_running || fail "openbox did not take the screen within 10 s"
}

# Openbox names itself on the root window early and loads its theme last; a
# window mapped before that may be missed by its first pass over the screen.
window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
        xprop -root _OB_THEME 2>/dev/null | grep -q '='
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds or time is up.
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.02
    done
}

game_running() {
    [[ -n $game_pid ]] && kill -0 "$game_pid" 2>/dev/null
}

# Starts the game and finds its window.
start_game() {
    local program=$1
    "$program" >"$e2e_work/game.out" 2>"$e2e_work/game.err" &
    game_pid=$!
    e2e_pids+=("$game_pid")
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zendorak$' 2>/dev/null |
        head -n 1)
    if [[ -z $window ]]; then
        game_running || fail "the game ended before its window showed"
        xwininfo -root -tree >&2 2>/dev/null || true
        fail "no visible window named Zendorak within 20 s"
    fi
    focus_game
}

focus_game() {
    if window_manager_running; then
        xdotool windowactivate --sync "$window" 2>/dev/null || fail "could not activate the game window"
    else
        xdotool windowfocus --sync "$window" 2>/dev/null || fail "could not focus the game window"
    fi
}

# The game must end within SECONDS with status 0, having printed nothing.
expect_clean_exit() {
    wait_until "$1" not_running || fail "the game was still running $1 s after Esc"
    wait "$game_pid"
    game_status=$?
    game_pid=""
    ((game_status == 0)) || fail "the game ended with status $game_status, not 0"
    [[ ! -s $e2e_work/game.out && ! -s $e2e_work/game.err ]] || fail "the game printed something"
}

not_running() {
    ! game_running
}

# A real key press: down, held for MILLISECONDS (80 unless given), up. The
# game reads held keys once per ~10 ms frame, so a hold spans several frames.
press() {
    local key=$1 hold=${2:-80}
    xdotool keydown "$key" || fail "xdotool could not press $key"
    sleep "$(printf '0.%03d' "$hold")"
    xdotool keyup "$key" || fail "xdotool could not release $key"
}

hold() {
    xdotool keydown "$1" || fail "xdotool could not press $1"
}

release() {
    xdotool keyup "$1" || fail "xdotool could not release $1"
}

# Takes the window's picture into $shot.
capture() {
    game_running || fail "the game is no longer running"
    xwd -id "$window" -silent -out "$shot.new" 2>/dev/null || fail "xwd could not capture the window"
    mv "$shot.new" "$shot"
}

# wait_for SECONDS WHAT CHECK...: captures until CHECK (a command reading
# $shot) succeeds; fails with WHAT after SECONDS.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$(($(now_ms) + seconds * 1000))
    while true; do
        capture
        "$@" && return 0
        (($(now_ms) < deadline)) || fail "$what (not seen within $seconds s)"
        sleep 0.02
    done
}

# Checks on the latest capture.
text_is() {  # X Y TEXT [KIND]: the cells from (X, Y) read TEXT in the game's font
    [[ $("$probe" text "$shot" "$1" "$2" "${#3}" "${4:-#ffffff}") == "$3" ]]
}

count_of() {  # X0 Y0 X1 Y1 KIND
    "$probe" count "$shot" "$@"
}

nothing_lit() {  # X0 Y0 X1 Y1
    [[ $(count_of "$@" lit) == 0 ]]
}

# shellcheck disable=SC2034  # read by the scripts that source this file
# Sets aim_angle, aim_power (tenths of a pixel of power line) and the pivot
# from the latest capture; aim_angle is "none" while no aiming lines show and
# "unclear" when sparks hide which end is which.
read_aim() {
    local reading
    reading=$("$probe" aim "$shot")
    read -r aim_angle aim_power aim_x aim_y <<<"$reading"
}

# shellcheck disable=SC2034
# Sets health1 and health2 from the bars of the latest capture.
read_health() {
    read -r health1 health2 <<<"$("$probe" health "$shot")"
}
