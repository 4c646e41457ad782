#!/usr/bin/env bash
# Takes the README's screenshots from the real game window in an X server of
# its own: docs/title.png, the title screen with its English texts, and
# docs/battle.png, a battle with a shot in flight. Needs the game and the
# window probe built in BUILD_DIR (build/test unless given), and ImageMagick.
#
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -u
cd "$(dirname "$0")/.." || exit 1

build=${1:-build/test}
game=$build/zendorak
probe=$build/tests/e2e/zendorak_window_probe

# shellcheck source-path=SCRIPTDIR/..
source tests/e2e/e2e_lib.sh
e2e_init "screenshots"
[[ -x $game && -x $probe ]] ||
    fail "build the game and its window probe first: cmake --build $build --target zendorak zendorak_window_probe"
require_tools Xvfb xdotool xwd xprop convert

# save PATH: the latest capture as PNG, without the time stamps ImageMagick
# would add, so an unchanged picture gives an unchanged file.
save() {
    convert "xwd:$shot" -strip -define png:exclude-chunks=date,time "png:$1" ||
        fail "could not write $1"
    echo "wrote $1"
}

shot_well_away() {
    read_aim
    # No aiming lines and the whole grey ring of the shot on the screen.
    [[ $aim_angle == none && $(count_of 0 0 639 479 '#808080') -ge 36 ]]
}

start_x_server 1024x768
start_game "$game"
wait_for 10 "the title screen" text_is 288 5 "ZENDORAK"
press l
wait_for 3 "the English title" text_is 292 5 "ZENDORS"
save docs/title.png

press space
wait_for 5 "a battle" text_is 2 460 "ARROW keys to set quality of shoot, ENTER to fire, Q to quit."
# A high shot towards the other fortress: the barrel raised by some 15
# degrees, the power up by some 40.
press Left 150
press Up 400
press Return
wait_for 3 "the shot in flight" shot_well_away
sleep 0.4
wait_for 3 "the shot still in flight" shot_well_away
save docs/battle.png

press q
wait_for 5 "the title screen after Q" text_is 292 5 "ZENDORS"
press Escape
expect_clean_exit 5
