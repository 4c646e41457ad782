#!/usr/bin/env bash
# The real game played through its window in an X server of its own, by real
# key presses (xdotool through XTEST), checked on captures of the window.
#
#   title-and-battle  the title in both languages, a battle's screen, aiming
#                     with the arrows and the keypad, a shot fired with the
#                     keypad's Enter and the turn passing, Q back to the
#                     title, Esc ending with status 0
#   close-and-focus   the close request changes nothing; a key held while the
#                     focus goes elsewhere stops acting
#   full-screen       Alt+Enter switches to full screen and back, under openbox
#   full-game         a whole battle played to its result screen by key
#                     presses alone, then back to the title and out
#
# Usage: game_test.sh SCENARIO ZENDORAK WINDOW_PROBE
set -u

scenario=${1:?usage: game_test.sh SCENARIO ZENDORAK WINDOW_PROBE}
game=${2:?usage: game_test.sh SCENARIO ZENDORAK WINDOW_PROBE}
probe=${3:?usage: game_test.sh SCENARIO ZENDORAK WINDOW_PROBE}

# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/e2e_lib.sh"
e2e_init "e2e-$scenario"

[[ -x $game ]] || fail "no game program at $game"
[[ -x $probe ]] || fail "no window probe at $probe"
require_tools Xvfb xdotool xwd xprop

readonly keys_hu="KEZDES: <SZOKOZ>; KILEPES: <ESC>; IN ENGLISH: <L>"
readonly keys_en="BEGIN: <SPACE>; EXIT: <ESC>; MAGYARUL: <L>"
# The Hungarian help line is 81 characters and runs off the 640-pixel screen:
# the 79 cells that fit whole are read.
readonly help_hu="NYIL gombokkal allithato a loves milyensege, ENTER-rel lohetsz, Q-val kilephets"
readonly help_en="ARROW keys to set quality of shoot, ENTER to fire, Q to quit."

# --- what the screens show ---------------------------------------------------

# "ZENDORAK" centred at x = 288 on row 5, in white; nothing else on its rows
# and nothing between the idea line (y 30..37) and the keys line (y 80).
title_hungarian() {
    text_is 288 5 "ZENDORAK" && nothing_lit 0 5 287 12 && nothing_lit 352 5 639 12 &&
        nothing_lit 0 40 639 75 && text_is 5 80 "$keys_hu"
}

# "ZENDORS" is one letter shorter and so starts 4 pixels further right.
title_english() {
    text_is 292 5 "ZENDORS" && nothing_lit 0 5 291 12 && nothing_lit 348 5 639 12 &&
        nothing_lit 0 40 639 75 && text_is 5 80 "$keys_en"
}

battle_hungarian() {
    text_is 2 460 "$help_hu"
}

battle_english() {
    text_is 2 460 "$help_en"
}

aim_shows() {
    read_aim
    [[ $aim_angle != none && $aim_angle != unclear ]]
}

# Ends with aim_* set from a capture where the aiming lines read clearly.
wait_for_aim() {
    wait_for "${2:-5}" "${1:-the aiming lines}" aim_shows
}

# The shot in flight: no aiming lines, and the shot's grey ring (exact
# #808080, drawn on the screen; the fortresses' grey is 127 through the copy).
shot_in_flight() {
    read_aim
    [[ $aim_angle == none && $(count_of 0 0 639 479 '#808080') -ge 20 ]]
}

# angle_near ANGLE TARGET TOLERANCE, on the circle.
angle_near() {
    local difference=$((($1 - $2 + 360) % 360))
    ((difference <= $3 || 360 - difference <= $3))
}

# --- the scenarios -----------------------------------------------------------

# A new battle as it opens: both bars full, the numbers 100, a black sky,
# green ground, the first player's fortress with its barrel at 45 degrees and
# power 10, and the help line.
check_battle_opening() {
    read_health
    [[ "$health1 $health2" == "101 101" ]] ||
        fail "a new battle's health bars are $health1 and $health2 pixels long, not 101 (full)"
    [[ $(count_of 2 2 102 12 '#ff0000') == 1111 && $(count_of 538 2 638 12 '#0000ff') == 1111 ]] ||
        fail "the full health bars do not cover rows 2 to 12 from x 2 to 102 and 538 to 638"
    [[ $(count_of 0 2 639 12 '#ffffff') == 0 ]] ||
        fail "the white behind a full health bar shows"
    { text_is 2 25 "100" '#ffff00' && text_is 538 25 "100" '#ffff00'; } ||
        fail "the health numbers do not read 100 in the power line's yellow"
    [[ $(count_of 0 0 639 479 magenta) == 0 ]] || fail "the sky's mask colour shows"
    read_aim
    [[ $aim_angle != none && $aim_angle != unclear ]] || fail "no aiming lines in a new battle"
    angle_near "$aim_angle" 45 1 || fail "the first barrel points at $aim_angle degrees, not 45"
    ((aim_power >= 50 && aim_power <= 80)) ||
        fail "the first power line is $aim_power tenths of a pixel long, not about 6.4 (power 10)"
    # The fortress picture's top-left corner lies 32 left of the pivot and 4
    # below it. Above the pivot and left of the barrel there is only sky:
    # black with white stars (254 through the copy).
    local left=$((aim_x - 32)) top=$((aim_y + 4))
    local sky_lit stars
    sky_lit=$(count_of "$left" 34 $((aim_x - 2)) $((aim_y - 1)) lit)
    stars=$(count_of "$left" 34 $((aim_x - 2)) $((aim_y - 1)) '#fefefe')
    ((sky_lit == stars)) || fail "the sky above the fortress is not black with stars"
    # Rows 5 to 9 of the fortress left of its pole are its black background,
    # and its wall (rows 36 to 40) is white.
    nothing_lit "$left" $((top + 5)) $((aim_x - 2)) $((top + 9)) ||
        fail "the fortress's background at ($left, $((top + 5))) is not black"
    (($(count_of "$left" $((top + 36)) $((left + 63)) $((top + 40)) '#fefefe') >= 200)) ||
        fail "no white fortress wall at ($left, $((top + 36)))"
    # The fortress stands on level green ground: the row under its picture.
    (($(count_of "$left" $((top + 64)) $((left + 63)) $((top + 64)) '#00fe00') == 64)) ||
        fail "the row under the fortress at y $((top + 64)) is not all ground green (0, 254, 0)"
}

# hold_until KEY WHAT CHECK...: holds KEY until a capture passes CHECK (so a
# slow machine, drawing fewer frames while the key is down, gets the same
# result), then lets go and sets aim_* from a capture taken after that.
hold_until() {
    local key=$1 what=$2
    shift 2
    hold "$key"
    wait_for 5 "$what" "$@"
    release "$key"
    sleep 0.05
    wait_for_aim
}

angle_at_least() {
    aim_shows && ((aim_angle >= $1))
}

angle_at_most() {
    aim_shows && ((aim_angle <= $1))
}

power_at_least() {
    aim_shows && ((aim_power >= $1))
}

power_at_most() {
    aim_shows && ((aim_power <= $1))
}

# The power line grows by 0.64 pixel per point of power; its length is read
# to about a pixel, so the power keys are held for changes of 4 pixels or more.
check_aiming() {
    local label=$1 left=$2 right=$3 up=$4 down=$5 angle power
    angle=$aim_angle power=$aim_power
    hold_until "$left" "$label: $left turning the barrel up from $angle degrees" \
        angle_at_least $((angle + 10))
    ((aim_power - power <= 15 && power - aim_power <= 15)) ||
        fail "$label: $left changed the power line from $power to $aim_power tenths of a pixel"
    angle=$aim_angle
    hold_until "$right" "$label: $right turning the barrel down from $angle degrees" \
        angle_at_most $((angle - 10))
    angle=$aim_angle power=$aim_power
    hold_until "$up" "$label: $up lengthening the power line from $power tenths of a pixel" \
        power_at_least $((power + 60))
    angle_near "$aim_angle" "$angle" 2 || fail "$label: $up turned the barrel from $angle to $aim_angle"
    power=$aim_power
    hold_until "$down" "$label: $down shortening the power line from $power tenths of a pixel" \
        power_at_most $((power - 40))
    angle_near "$aim_angle" "$angle" 2 || fail "$label: $down turned the barrel from $angle to $aim_angle"
    note "$label turn the barrel and set the power"
}

title_and_battle() {
    start_x_server 1024x768
    start_game "$game"
    capture
    [[ $("$probe" size "$shot") == "640 480" ]] || fail "the window is $("$probe" size "$shot"), not 640 480"
    wait_for 10 "the Hungarian title screen" title_hungarian
    note "the title screen shows in Hungarian"

    # However long L is held, it switches the language once: every capture
    # taken while it stays down shows English.
    hold l
    wait_for 3 "the English title after L" title_english
    local i
    for i in 1 2 3 4 5; do
        sleep 0.06
        capture
        title_english || fail "the title did not stay English while L was held (capture $i)"
    done
    release l
    press l
    wait_for 3 "the Hungarian title after a second L" title_hungarian
    note "L switches the title between Hungarian and English"

    press space
    wait_for 5 "a battle with the Hungarian help line after Space" battle_hungarian
    wait_for_aim "the first player's aiming lines"
    check_battle_opening
    note "a new battle shows full health bars, sky, ground, the fortress, the barrel and the help line"

    check_aiming "the arrow keys" Left Right Up Down
    # Keypad keys by their keysyms: with NumLock off, as Xvfb starts, KP_Up
    # is the keypad's 8 sent alone (xdotool's KP_8 would wrap it in NumLock).
    check_aiming "the keypad keys" KP_Left KP_Right KP_Up KP_Down

    # The keypad's Enter fires as the main one does (the full game uses that).
    press KP_Enter
    wait_for 3 "the shot in flight after the keypad's Enter" shot_in_flight
    note "the keypad's Enter fires: the shot flies and no aiming lines show"
    # After the shot and the 100-frame delay the turn passes: the second
    # player's barrel, at 135 degrees, shows.
    wait_for 30 "the second player's turn" second_player_aims
    note "the turn passes to the second player (barrel at $aim_angle degrees)"

    press q
    wait_for 5 "the title screen after Q" title_hungarian
    press Escape
    expect_clean_exit 5
    note "Q leaves the battle for the title, Esc ends the game with status 0"
}

second_player_aims() {
    aim_shows && angle_near "$aim_angle" 135 1
}

close_and_focus() {
    start_x_server 1024x768
    start_game "$game"
    wait_for 10 "the Hungarian title screen" title_hungarian

    "$probe" close "$window" || fail "could not send the close request"
    sleep 0.5
    game_running || fail "the game ended on the close request"
    press l
    wait_for 3 "the English title after L, after the close request" title_english
    note "the close request leaves the game running, drawing and taking keys"

    press space
    wait_for 5 "a battle with the English help line" battle_english
    wait_for_aim
    local start=$aim_angle
    hold Left
    wait_for 3 "the barrel turning while Left is held" barrel_past $((start + 10))
    # Another client takes the focus while Left is still down.
    xmessage -geometry +0+0 "focus thief" >/dev/null 2>&1 &
    e2e_pids+=($!)
    local thief
    thief=$(timeout 10 xdotool search --sync --onlyvisible --class xmessage 2>/dev/null | head -n 1)
    [[ -n $thief ]] || fail "the xmessage window did not show"
    xdotool windowfocus --sync "$thief" || fail "could not give xmessage the focus"
    sleep 0.1
    wait_for_aim
    local first=$aim_angle first_digest
    first_digest=$("$probe" digest "$shot" 0 0 639 479)
    sleep 0.4
    wait_for_aim
    [[ $aim_angle == "$first" && $("$probe" digest "$shot" 0 0 639 479) == "$first_digest" ]] ||
        fail "the barrel went on turning ($first, then $aim_angle degrees) after the focus moved away with Left held"
    release Left
    note "a key held while the focus leaves stops acting (barrel stopped at $first degrees)"

    # Back in focus, the key let go elsewhere is not stuck, and keys act again.
    focus_game
    sleep 0.3
    wait_for_aim
    [[ $aim_angle == "$first" ]] || fail "the barrel moved from $first to $aim_angle degrees after the focus came back"
    hold_until Right "Right turning the barrel down from $first degrees after the focus came back" \
        angle_at_most $((first - 5))
    note "with the focus back, keys act again"

    press q
    wait_for 5 "the title screen after Q" title_english
    press Escape
    expect_clean_exit 5
}

barrel_past() {
    aim_shows && ((aim_angle >= $1))
}

window_size() {
    local WIDTH=0 HEIGHT=0
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    echo "$WIDTH $HEIGHT"
}

window_size_is() {
    [[ $(window_size) == "$1" ]]
}

alt_enter() {
    hold Alt_L
    press Return 60
    release Alt_L
}

# In full screen the 640 x 480 picture fills the 1024 x 768 screen, scaled by
# 1.6: the title's cells (288..351, 5..12) land on 460..563, 8..20.
full_screen_title() {
    [[ $("$probe" size "$shot") == "1024 768" ]] &&
        (($(count_of 460 8 563 20 lit) > 0)) && nothing_lit 0 64 1023 120
}

full_screen() {
    require_tools openbox
    start_x_server 1024x768
    start_window_manager
    start_game "$game"
    wait_for 10 "the Hungarian title screen" title_hungarian
    window_size_is "640 480" || fail "the window is $(window_size), not 640 480"

    alt_enter
    wait_until 5 window_size_is "1024 768" ||
        fail "after Alt+Enter the window is $(window_size), not the screen's 1024 768"
    wait_for 3 "the title filling the screen" full_screen_title
    note "Alt+Enter switches to full screen: the window is 1024 x 768"

    local before
    before=$("$probe" digest "$shot" 0 0 1023 40)
    press l
    wait_for 3 "the title changing after L in full screen" title_band_changed "$before"
    game_running || fail "the game ended in full screen"

    alt_enter
    wait_until 5 window_size_is "640 480" ||
        fail "after a second Alt+Enter the window is $(window_size), not 640 480"
    wait_for 3 "the English title, unscaled, back in the window" title_english
    note "a second Alt+Enter brings the 640 x 480 window back; L pressed in full screen took effect"

    press space
    wait_for 5 "a battle after Space, back in the window" battle_english
    press q
    wait_for 5 "the title screen after Q" title_english
    press Escape
    expect_clean_exit 5
}

title_band_changed() {
    [[ $("$probe" digest "$shot" 0 0 1023 40) != "$1" ]]
}

# --- a whole battle ------------------------------------------------------------

# aim_down KEY: turns the barrel to within 8 degrees of straight down (270)
# with KEY held, then short taps either way; the shot then falls back onto
# the player's own fortress. Taps, as a capture may come many frames late.
aim_down() {
    hold_until "$1" "the barrel turning down with $1 held" barrel_down 40
    local tap hold_ms
    for tap in $(seq 30); do
        angle_near "$aim_angle" 270 8 && return 0
        # Some three quarters of a frame per degree still to go: short of
        # the mark rather than past it.
        hold_ms=$(((aim_angle - 270) * 8))
        hold_ms=$((hold_ms < 0 ? -hold_ms : hold_ms))
        hold_ms=$((hold_ms > 300 ? 300 : hold_ms < 20 ? 20 : hold_ms))
        if ((aim_angle < 270)); then
            press Left "$hold_ms"
        else
            press Right "$hold_ms"
        fi
        sleep 0.05
        wait_for_aim
    done
    fail "the barrel stayed at $aim_angle degrees after $tap taps towards 270"
}

barrel_down() {
    aim_shows && angle_near "$aim_angle" 270 "$1"
}

# Behind the coloured part of each bar the rest of its 101 pixels shows
# white, on all 11 rows. A rising spark may cover a few of those pixels.
check_bar_backgrounds() {
    local white1 white2 expected1=$(((101 - health1) * 11)) expected2=$(((101 - health2) * 11))
    white1=$(count_of $((health1 + 2)) 2 102 12 '#ffffff')
    white2=$(count_of $((health2 + 538)) 2 638 12 '#ffffff')
    ((white1 <= expected1 && white1 >= expected1 - 10 && white2 <= expected2 &&
        white2 >= expected2 - 10)) ||
        fail "the white behind the health bars shows $white1 and $white2 pixels, not $expected1 and $expected2"
}

result_screen() {
    [[ $("$probe" text "$shot" 5 80 19 '#ffffff') == "The winner is the: " ]]
}

# Both players fire straight down at their own fortresses, Enter held all the
# while, so each turn's shot leaves in the first frame of the turn. The test
# watches the turns: no aiming lines while a shot flies, lines again during
# the 100-frame delay that follows. When a shot hits neither fortress (its
# column is dug through), the shooter turns the barrel a few degrees during
# the delay. The first fortress below 25 health loses.
full_game() {
    start_x_server 1024x768
    start_game "$game"
    local started
    started=$(now_ms)
    wait_for 10 "the Hungarian title screen" title_hungarian
    press l
    wait_for 3 "the English title after L" title_english
    press space
    wait_for 5 "a battle with the English help line" battle_english

    aim_down Right
    note "player 1 aims straight down ($aim_angle degrees)"
    press Return
    wait_for 3 "the first shot in flight" shot_in_flight
    wait_for 30 "the second player's turn" second_player_aims
    aim_down Left
    note "player 2 aims straight down ($aim_angle degrees)"
    hold Return

    local flying=0 shots=0 misses=0 last_turn
    local last_health="101 101" winner=""
    last_turn=$(now_ms)
    while true; do
        capture
        if result_screen; then
            break
        fi
        read_aim
        if [[ $aim_angle == none ]]; then
            flying=1
        elif [[ $aim_angle != unclear ]] && ((flying)); then
            # A shot has ended: its delay has begun.
            flying=0
            shots=$((shots + 1))
            last_turn=$(now_ms)
            read_health
            if [[ "$health1 $health2" == "$last_health" ]]; then
                misses=$((misses + 1))
                press Left 40
            fi
            last_health="$health1 $health2"
            if ((shots % 25 == 0)); then
                note "$shots shots, health bars $last_health pixels long"
                check_bar_backgrounds
            fi
        fi
        (($(now_ms) - last_turn < 30000)) || fail "no shot ended for 30 s ($shots shots so far)"
        (($(now_ms) - started < 540000)) || fail "no result after 9 minutes ($shots shots, health $last_health)"
        # A flight lasts 17 frames or more: polls some 100 ms apart see each.
        sleep 0.05
    done
    release Return
    note "$shots shots seen ($misses hit neither fortress); last health bars $last_health"

    # The loser is the fortress that fell below 25; if both stood at 25, the
    # one whose player shot last (the second of the pair to shoot).
    read -r health1 health2 <<<"$last_health"
    if ((health1 > 26)); then
        winner=1
    elif ((health2 > 26)); then
        winner=2
    fi
    local line expected="The winner is the: ${winner:-?}. player! Exit: <Q>"
    line=$("$probe" text "$shot" 5 80 ${#expected} '#ffffff')
    if [[ -n $winner ]]; then
        [[ $line == "$expected" ]] || fail "the result line reads '$line', not '$expected'"
    else
        [[ $line =~ ^"The winner is the: "[12]". player! Exit: <Q>"$ ]] ||
            fail "the result line reads '$line'"
    fi
    { nothing_lit 0 0 639 79 && nothing_lit 0 88 639 479 &&
        nothing_lit $((5 + ${#expected} * 8)) 80 639 87; } ||
        fail "the result screen shows more than its one line"
    note "the result screen reads: $line"

    local peak
    peak=$(awk '/^VmHWM:/ {print $2, $3}' "/proc/$game_pid/status" 2>/dev/null)
    press q
    wait_for 5 "the title screen after Q on the result screen" title_english
    press Escape
    expect_clean_exit 5
    note "whole game: $((($(now_ms) - started) / 1000)) s; peak resident memory (VmHWM) $peak"
}

case $scenario in
title-and-battle) title_and_battle ;;
close-and-focus) close_and_focus ;;
full-screen) full_screen ;;
full-game) full_game ;;
*) fail "unknown scenario '$scenario'" ;;
esac
echo "ok: $scenario"
