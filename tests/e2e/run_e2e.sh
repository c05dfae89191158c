#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end scenarios of the launcher, driven with real clicks and keys in a
# private Xvfb server, against throw-away installation roots whose IDE is a
# recording script.
#
# usage: run_e2e.sh LAUNCHER DEMO_ROOT X11_REQUEST ARTIFACT_DIR [SCENARIO...]
#   LAUNCHER     the built quellix-launcher
#   DEMO_ROOT    an installation root whose support packs are copied
#   X11_REQUEST  the helper that sends close requests and pings
#   ARTIFACT_DIR where each run keeps its screenshots, roots and logs; a
#                passing run's are removed (E2E_KEEP_ARTIFACTS=1 keeps them)
#   SCENARIO     the scenario functions to run; all when none is named
#
# Needs Xvfb (xvfb), xdotool (xdotool), import (imagemagick), and for the
# accessibility scenario a D-Bus session with the AT-SPI bus (dbus,
# at-spi2-core) and python3-dbus: run it under dbus-run-session.
set -euo pipefail

# die STATUS MESSAGE: ends the run before any scenario.
die() { echo "$2" >&2; exit "$1"; }

(($# >= 4)) || die 2 "usage: $0 LAUNCHER DEMO_ROOT X11_REQUEST ARTIFACT_DIR [SCENARIO...]"
launcher=$(realpath "$1")
demo_root=$(realpath "$2")
x11_request=$(realpath "$3")
artifacts=$4
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
recording_ide="$e2e_dir/../recording-ide.sh"
atspi_press="$e2e_dir/atspi_press.py"

for file in "$launcher" "$x11_request"; do
    [[ -x $file ]] || die 2 "not an executable: $file"
done
missing=()
for tool in Xvfb:xvfb xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
((${#missing[@]} == 0)) || die 2 "missing tools; install the Debian packages: ${missing[*]}"

readonly Title='Quellix Project Management'
# shellcheck source=/dev/null # written by the build
. "${QUELLIX_BOARDS:?set by the test environment}"
readonly Packs=("${quellix_packs[@]}")
for pack in "${Packs[@]}"; do
    for example in Template.c Makefile; do
        [[ -f $demo_root/$pack/examples/$example ]] ||
            die 2 "the demo root lacks $pack/examples/$example"
    done
done
# Client-area points of the stored layout: the buttons' and radio buttons' middles.
readonly TemplateButton='381 47' FilesButton='381 135' ExistingButton='381 223'
readonly PalmorRadio='40 34' DunnetRadio='40 98' VessikRadio='40 170' LenkoRadio='50 234'

# Earlier runs' leftovers go; this run's stay until it is known to pass.
mkdir -p "$artifacts"
rm -rf "$artifacts"/run.*
run_dir=$(realpath "$(mktemp -d "$artifacts/run.XXXXXX")")
shots="$run_dir/screenshots"
mkdir -p "$shots" "$run_dir/xdg-runtime"
chmod 700 "$run_dir/xdg-runtime"

xvfb_pid=
failed=0
finish() {
    local status=$?
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if ((status == 0 && failed == 0)) && [[ ${E2E_KEEP_ARTIFACTS:-0} != 1 ]]; then
        rm -rf "$run_dir"
    else
        echo "screenshots, roots and logs kept in: $run_dir"
    fi
}
trap finish EXIT

# A private X server on a free display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$run_dir/display" 2>"$run_dir/xvfb.log" &
xvfb_pid=$!
for ((i = 0; i < 300; i++)); do
    grep -qE '^[0-9]+$' "$run_dir/display" 2>/dev/null && break
    kill -0 "$xvfb_pid" 2>/dev/null || die 1 "Xvfb ended; see $run_dir/xvfb.log"
    sleep 0.1
done
grep -qE '^[0-9]+$' "$run_dir/display" || die 1 "Xvfb gave no display in 30 s"
read -r display <"$run_dir/display"
export DISPLAY=":$display"
echo "Xvfb on display $DISPLAY"

# ---------------------------------------------------------------- helpers
# Set per scenario, in its own subshell: its name, directory, installation root,
# IDE log, go-file (set when the IDE stays open until it exists), launcher,
# main window, screenshot count and extra launcher environment.
scenario='' scenario_dir='' root='' ide_log='' go_file='' launcher_pid='' main_window=''
shot_count=0
launcher_environment=()

fail() {
    echo "FAIL [$scenario]: $*" >&2
    shot failure
    exit 1
}

shot() {
    shot_count=$((shot_count + 1))
    local file
    file=$(printf '%s/%s-%02d-%s.png' "$shots" "$scenario" "$shot_count" "$1")
    import -window root "$file" 2>/dev/null || echo "note: no screenshot $file" >&2
}

# wait_until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_until() {
    local deadline=$((SECONDS + $1))
    until "${@:3}"; do
        ((SECONDS < deadline)) || fail "no $2 within the time allowed"
        sleep 0.05
    done
}

# The launcher's mapped top-level windows, one id a line.
visible_windows() {
    xdotool search --all --onlyvisible --pid "$launcher_pid" --name '' 2>/dev/null || true
}

# The mapped windows other than the main one.
other_windows() { visible_windows | grep -vx "$main_window" || true; }

has_other_window() { [[ -n $(other_windows) ]]; }
has_no_other_window() { [[ -z $(other_windows) ]]; }
# Ended means gone or a zombie not yet waited for.
is_ended() {
    local state
    state=$(cut -d ' ' -f 3 "/proc/$launcher_pid/stat" 2>/dev/null) || return 0
    [[ $state == Z ]]
}
is_running() { ! is_ended; }
file_exists() { [[ -e $1 ]]; }

# expect_title WINDOW TITLE WHAT
expect_title() {
    local name
    name=$(xdotool getwindowname "$1")
    [[ $name == "$2" ]] || fail "$3 titled '$name'"
}

# focus_new_window WHAT TITLE: waits for exactly one new window, checks its
# title, takes a shot and focuses it.
focus_new_window() {
    wait_until 30 "$1 window" has_other_window
    local window
    window=$(other_windows)
    [[ $(wc -l <<<"$window") -eq 1 ]] || fail "more than one new window: $window"
    expect_title "$window" "$2" "$1"
    shot "${1// /-}"
    focus "$window"
}

# Waits until the launcher has handled everything sent to it so far: two
# ping round trips, the second after the first one's events were delivered.
settle() {
    for _ in 1 2; do
        "$x11_request" ping "$main_window" 30 && continue
        is_running || fail "the launcher ended: $(tail -n 5 "$scenario_dir/launcher.out")"
        fail "the launcher hangs: no answer to a ping; its windows: $(visible_windows | xargs)"
    done
}

# click POINT...: clicks each client-area point "X Y" of the main window.
click() {
    local point
    for point; do
        # shellcheck disable=SC2086 # the point is two words
        xdotool mousemove --window "$main_window" --sync $point click 1
    done
}

focus() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "cannot focus window $1"
}

# new_scenario NAME [IDE_MODE]: a fresh root; the IDE's open and plain runs
# end at once ("exit") or when the go-file appears ("wait").
new_scenario() {
    scenario=$1
    scenario_dir="$run_dir/$scenario"
    root="$scenario_dir/root"
    ide_log="$scenario_dir/ide.log"
    [[ ${2:-exit} != wait ]] || go_file="$scenario_dir/go"
    mkdir -p "$root/SN451/bin" "$scenario_dir/projects"
    local pack
    for pack in "${Packs[@]}"; do
        cp -R "$demo_root/$pack" "$root/$pack"
    done
    cp "$recording_ide" "$root/SN451/bin/snavigator.exe"
    echo "--- $scenario"
}

# Every file under a directory with its size and a checksum, to compare.
listing() {
    (cd "$1" && find . -printf '%y %p %s\n' | LC_ALL=C sort)
    (cd "$1" && find . -type f -exec md5sum {} + | LC_ALL=C sort)
}

start_launcher() {
    local ide_environment=(IDE_RUNS="$ide_log")
    [[ -z $go_file ]] || ide_environment+=(IDE_GO_FILE="$go_file")
    (
        cd "$root"
        # Qt's own file dialog: no desktop theme that could bring a native one.
        exec env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u GNOME_DESKTOP_SESSION_ID \
            -u KDE_FULL_SESSION -u SESSION_MANAGER -u WAYLAND_DISPLAY \
            QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= XDG_RUNTIME_DIR="$run_dir/xdg-runtime" \
            "${ide_environment[@]}" ${launcher_environment[@]+"${launcher_environment[@]}"} \
            "$launcher"
    ) >"$scenario_dir/launcher.out" 2>&1 &
    launcher_pid=$!
    wait_until 30 "main window" main_window_shown
    main_window=$(visible_windows)
    expect_title "$main_window" "$Title" "main window"
    local geometry
    geometry=$(xdotool getwindowgeometry "$main_window" | sed -n 's/^ *Geometry: //p')
    [[ $geometry == 603x274 ]] || fail "main window is $geometry, not 603x274"
    settle
    root_listing=$(listing "$root")
    projects_listing=$(listing "$scenario_dir/projects")
    shot started
}

main_window_shown() {
    is_running || fail "the launcher ended at start-up: $(cat "$scenario_dir/launcher.out")"
    [[ $(visible_windows | wc -l) -eq 1 ]]
}

# Waits for the launcher's end and checks its status.
expect_exit_zero() {
    wait_until 60 "end of the launcher" is_ended
    local status=0
    wait "$launcher_pid" || status=$?
    launcher_pid=
    ((status == 0)) || fail "the launcher exited with status $status"
}

# The launcher is still there, shows only its main window, and has handled
# all input so far.
expect_still_running() {
    settle
    is_running || fail "the launcher ended"
    has_no_other_window || fail "unexpected windows: $(other_windows)"
    [[ -n $(visible_windows) ]] || fail "the main window is gone"
}

# Asks for the window's closing, as a window manager's close button does.
request_close() {
    "$x11_request" close "$1" || fail "cannot send a close request to $1"
}

# Expects a message box and closes it with Return.
answer_message_box() {
    focus_new_window "message box" "$Title"
    xdotool key Return
    wait_until 30 "closing of the message box" has_no_other_window
}

# The file dialog's title on each road.
readonly TemplateDialog="Create Project from Template — name a new folder — $Title"
readonly FilesDialog="Create Project from Files — choose one of your sources — $Title"

# answer_file_dialog TITLE TEXT [KEY]: expects the file dialog titled TITLE,
# types TEXT, then presses KEY, if given.
answer_file_dialog() {
    focus_new_window "file dialog" "$1"
    type_text "$2"
    shot typed
    [[ -z ${3-} ]] || xdotool key "$3"
}

# Types TEXT as keys. xdotool types a character missing from the keymap (an
# accent) by binding it to a spare key for the moment of the press; a client
# slow to read the new mapping, as on a loaded machine, would lose it. Such a
# character gets time to be read before the binding goes.
type_text() {
    # xdotool reads the text in the locale's encoding: UTF-8 here.
    local LC_ALL=C.UTF-8
    local text=$1 chunk delay plain='^[ -~]+'
    while [[ -n $text ]]; do
        if [[ $text =~ $plain ]]; then
            chunk=${BASH_REMATCH[0]} delay=20
        else
            chunk=${text:0:1} delay=400
        fi
        xdotool type --delay "$delay" -- "$chunk"
        text=${text:${#chunk}}
    done
}

# The dialog and, above it, the completion list.
completion_list_shown() { [[ $(other_windows | wc -l) -eq 2 ]]; }

expect_root_unchanged() {
    [[ $(listing "$root") == "$root_listing" ]] ||
        fail "the installation root changed:"$'\n'"$(diff <(echo "$root_listing") <(listing "$root"))"
}

# The root and the projects directory hold what they held at start.
expect_unchanged() {
    expect_root_unchanged
    [[ $(listing "$scenario_dir/projects") == "$projects_listing" ]] ||
        fail "the projects directory changed:"$'\n'"$(diff <(echo "$projects_listing") <(listing "$scenario_dir/projects"))"
}

# Nothing changed, and the IDE never ran.
expect_nothing_done() {
    expect_unchanged
    [[ ! -e $ide_log ]] || fail "the IDE ran: $(cat "$ide_log")"
}

# The IDE's runs and their arguments, as "run" and "arg=ARGUMENT" lines.
ide_runs() { grep -E '^(run$|arg=)' "$ide_log" || true; }

# expect_ide_runs LINE...: the IDE's runs are exactly these lines.
expect_ide_runs() {
    [[ -e $ide_log ]] || fail "the IDE never ran"
    local expected
    expected=$(printf '%s\n' "$@")
    [[ $(ide_runs) == "$expected" ]] ||
        fail "IDE runs differ:"$'\n'"$(diff <(echo "$expected") <(ide_runs))"
}

ide_ran_twice() { [[ $(ide_runs | grep -c '^run$') -eq 2 ]]; }

# open_with_completion_list TITLE TEXT: presses Return in the file dialog while
# the completion list that TEXT brings up is open. The launcher leaves the IDE's
# open run the desktop: no window of its own (a completion list, a menu) besides
# the main one, and another client can grab the input. It ends with the IDE.
open_with_completion_list() {
    answer_file_dialog "$1" "$2"
    wait_until 30 "completion list" completion_list_shown
    shot completion-list
    xdotool key Return
    wait_until 30 "IDE's open run" ide_ran_twice
    shot ide-open
    settle
    has_no_other_window || fail "launcher windows left above the IDE: $(other_windows | xargs)"
    "$x11_request" grab || fail "the pointer or the keyboard is held"
    touch "$go_file"
    expect_exit_zero
}

# expect_input_dropped SHOT: the launcher, still running, dropped what came
# during the IDE's run: no second run and no change, then or after the IDE's end.
expect_input_dropped() {
    expect_still_running
    shot "$1"
    expect_ide_runs run
    touch "$go_file"
    expect_exit_zero
    expect_ide_runs run
    expect_unchanged
}

# expect_directory DIR NAME...: DIR holds exactly these entries.
expect_directory() {
    local dir=$1 actual expected
    actual=$(cd "$dir" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
    expected=$(printf '%s\n' "${@:2}" | LC_ALL=C sort)
    [[ $actual == "$expected" ]] || fail "$dir holds:"$'\n'"$actual"$'\n'"expected:"$'\n'"$expected"
}

expect_same_bytes() {
    cmp -s "$1" "$2" || fail "$2 differs from $1"
}

# Ends a scenario's launcher, if one is left, by its process id, and lets a
# waiting IDE end.
stop_launcher() {
    [[ -z $go_file ]] || touch "$go_file"
    if [[ -n $launcher_pid ]]; then
        kill "$launcher_pid" 2>/dev/null || true
        wait "$launcher_pid" 2>/dev/null || true
    fi
}

# -------------------------------------------------------------- scenarios
guard_without_platform() {
    new_scenario 1-guard
    start_launcher
    click "$TemplateButton"
    answer_message_box
    expect_still_running
    shot after-box
    expect_nothing_done
    request_close "$main_window"
    expect_exit_zero
}

cancelled_dialog() {
    new_scenario 2-cancelled-dialog
    start_launcher
    click "$PalmorRadio" "$TemplateButton"
    answer_file_dialog "$TemplateDialog" '' Escape
    wait_until 30 "closing of the file dialog" has_no_other_window
    expect_still_running
    shot after-dialog
    expect_nothing_done
    request_close "$main_window"
    expect_exit_zero
}

template_project() {
    new_scenario 3-template
    local name='Projet été 2' dir
    dir="$scenario_dir/projects/$name"
    start_launcher
    click "$VessikRadio" "$TemplateButton"
    answer_file_dialog "$TemplateDialog" "$dir" Return
    expect_exit_zero
    expect_directory "$dir" "$name.c" Makefile "$name.proj"
    expect_same_bytes "$root/vespack113/examples/Template.c" "$dir/$name.c"
    expect_same_bytes "$root/vespack113/examples/Makefile" "$dir/Makefile"
    expect_ide_runs run arg=--batchmode arg=--create "arg=$dir/$name.proj" run "arg=$dir/$name.proj"
    expect_root_unchanged
}

files_project() {
    new_scenario 4-files
    local dir="$scenario_dir/projects/robot_app"
    mkdir -p "$dir"
    printf 'int main(void) { return 0; }\n' >"$dir/main.c"
    cp "$dir/main.c" "$scenario_dir/main.c.orig"
    start_launcher
    click "$DunnetRadio" "$FilesButton"
    answer_file_dialog "$FilesDialog" "$dir/main.c" Return
    expect_exit_zero
    expect_directory "$dir" main.c Makefile robot_app.proj
    expect_same_bytes "$scenario_dir/main.c.orig" "$dir/main.c"
    expect_same_bytes "$root/dunpack115/examples/Makefile" "$dir/Makefile"
    expect_ide_runs run arg=-b arg=-c "arg=$dir/robot_app.proj" run "arg=$dir/robot_app.proj"
    expect_root_unchanged
}

existing_makefile() {
    new_scenario 5-existing-makefile
    local dir="$scenario_dir/projects/camera_app"
    mkdir -p "$dir"
    printf 'int main(void) { return 1; }\n' >"$dir/main.c"
    printf '# the user own Makefile\nall:\n\techo mine\n' >"$dir/Makefile"
    start_launcher
    click "$LenkoRadio" "$FilesButton"
    answer_file_dialog "$FilesDialog" "$dir/main.c" Return
    answer_message_box
    expect_exit_zero
    expect_nothing_done
}

missing_ide() {
    new_scenario 6-missing-ide
    rm "$root/SN451/bin/snavigator.exe"
    start_launcher
    click "$ExistingButton"
    answer_message_box
    expect_exit_zero
    expect_nothing_done
}

input_during_ide_run() {
    new_scenario 7-input-during-ide-run wait
    start_launcher
    click "$ExistingButton"
    wait_until 30 "IDE run" file_exists "$ide_log"
    shot ide-running
    # Each of these would show a box or a dialog, start the IDE again or close
    # the window, were it not dropped.
    click "$TemplateButton" "$VessikRadio" "$TemplateButton" "$FilesButton" "$ExistingButton"
    focus "$main_window"
    xdotool key space Return Tab space Escape alt+F4
    request_close "$main_window"
    expect_input_dropped input-dropped
}

completion_list_on_files_road() {
    new_scenario 9-completion-list-files wait
    local dir="$scenario_dir/projects/arm"
    mkdir -p "$dir"
    printf 'int main(void) { return 0; }\n' >"$dir/main.c"
    start_launcher
    click "$PalmorRadio" "$FilesButton"
    open_with_completion_list "$FilesDialog" "$dir/main.c"
    expect_ide_runs run arg=-b arg=-c "arg=$dir/arm.proj" run "arg=$dir/arm.proj"
}

completion_list_on_template_road() {
    new_scenario 10-completion-list-template wait
    local projects="$scenario_dir/projects"
    mkdir -p "$projects/my sensor"
    start_launcher
    click "$DunnetRadio" "$TemplateButton"
    # "my" is the start of "my sensor": the list offers it as Return is pressed.
    open_with_completion_list "$TemplateDialog" "$projects/my"
    expect_directory "$projects/my" my.c Makefile my.proj
    expect_directory "$projects/my sensor"
}

# A screen reader or UI automation presses controls during the wait: the
# accessibility action calls the button's click() with no input event.
accessibility_presses_during_ide_run() {
    new_scenario 11-accessibility-during-ide-run wait
    launcher_environment=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
    start_launcher
    click "$PalmorRadio" "$ExistingButton"
    wait_until 30 "IDE run" file_exists "$ide_log"
    /usr/bin/python3 "$atspi_press" "$launcher_pid" 'Open Existing Project' \
        'Create Project from Template' 'Create Project from Files' Vessik \
        >"$scenario_dir/atspi.out" 2>&1 || fail "AT-SPI: $(cat "$scenario_dir/atspi.out")"
    grep -c ', disabled,' "$scenario_dir/atspi.out" | grep -qx 4 ||
        fail "controls not shown disabled during the wait: $(cat "$scenario_dir/atspi.out")"
    expect_input_dropped busy
}

close_untouched() {
    new_scenario 8-close
    start_launcher
    request_close "$main_window"
    expect_exit_zero
    expect_nothing_done
}

# ------------------------------------------------------------------- main
scenarios=(guard_without_platform cancelled_dialog template_project files_project
    existing_makefile missing_ide input_during_ide_run close_untouched
    completion_list_on_files_road completion_list_on_template_road
    accessibility_presses_during_ide_run)
(($# == 4)) || scenarios=("${@:5}")
for function in "${scenarios[@]}"; do
    # Each in a subshell of its own, outside any condition so that -e holds.
    set +e
    (
        set -eE
        trap 'fail "line $LINENO failed: $BASH_COMMAND"' ERR
        trap stop_launcher EXIT
        "$function"
    )
    status=$?
    set -e
    ((status == 0)) || failed=$((failed + 1))
done
echo "$((${#scenarios[@]} - failed)) passed, $failed failed"
((failed == 0))
