#!/usr/bin/env bash
# Times the game's start-up from outside: from starting the process to the
# first title frame in its window (the first lit pixel among the cells of
# "ZENDORAK"), polling the X server as fast as it answers. Nothing in the game
# is instrumented. Not a test: it prints figures.
#
# Usage: measure_startup.sh ZENDORAK WINDOW_PROBE [RUNS]
set -u

game=${1:?usage: measure_startup.sh ZENDORAK WINDOW_PROBE [RUNS]}
probe=${2:?usage: measure_startup.sh ZENDORAK WINDOW_PROBE [RUNS]}
runs=${3:-10}

# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/e2e_lib.sh"
e2e_init "startup"
require_tools Xvfb
start_x_server 1024x768
"$probe" startup "$runs" "$game"
