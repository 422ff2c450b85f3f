#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The Windows program under Wine, as a user meets it: a fresh 32-bit prefix on a display of its
# own (Xvfb), keys typed through the X server, and wine_probe reading what the windows show.
#
#   smoke.sh BOOTMEDIA.exe WINE_PROBE.exe CALL_WINDOW_TESTS.exe INSTALL.DAT RESFILE OUTDIR
#
# RESFILE is the host's container tool (texts and the boot image are read from the container,
# and test containers are made with it). OUTDIR receives the screenshots and, for a failed case,
# what the program printed. Prints one line per case and closes with "N passed, N failed".
# BOOTMEDIA_WINE_CASES="sample nt4" runs only the cases named.
set -euo pipefail

program=$(realpath "$1")
probe=$(realpath "$2")
call_window_tests=$(realpath "$3")
container=$(realpath "$4")
resfile=$(realpath "$5")
outdir=$(realpath -m "$6")
mkdir -p "$outdir"

readonly floppy_bytes=1474560
readonly cylinder_bytes=18432
readonly window_seconds=60 # a start with CD discovery has taken 20 s on a busy machine
readonly job_seconds=60
readonly exit_seconds=20

tmp=$(mktemp -d "${TMPDIR:-/tmp}/bootmedia-wine.XXXXXX")
xvfb_pid=
program_pid=

# No Mono or Gecko to install; and a program that crashes ends instead of waiting in a debugger.
export WINEPREFIX=$tmp/prefix WINEARCH=win32 WINEDEBUG=-all \
       WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset WINELOADER WINESERVER
# Wine takes its code pages from the locale: with this one the ANSI code page is Windows-1252 and
# window titles reach the X server as UTF-8, whatever the caller's locale.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE

cleanup() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

# --- the session: display, prefix, settings -------------------------------------------------

start_display() {
    # Xvfb picks a free display and writes its number into a pipe held open here.
    exec {display_fd}<> <(:)
    Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local display
    read -r -t 30 display <&"$display_fd"
    exec {display_fd}<&-
    export DISPLAY=":$display"
}

make_prefix() {
    local start=$SECONDS
    # One server for the whole suite: a start then takes a fraction of a second.
    mkdir -p "$WINEPREFIX"
    wineserver -p
    wineboot -i >"$tmp/wineboot.log" 2>&1
    # Without a window manager, Wine would wait for one at every window it closes.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    echo "prefix made in $((SECONDS - start)) s"
}

# The Windows version Wine reports to the program: default (Windows 7), win98 or nt40.
set_version() {
    local key='HKCU\Software\Wine\AppDefaults\'"$(basename "$program")"
    if [ "$1" = default ]; then
        wine reg delete "$key" /f >/dev/null 2>&1 || true
    else
        wine reg add "$key" /v Version /d "$1" /f >/dev/null 2>&1
    fi
}

# Drive A: as an image file: a:: is the raw device that \\.\A: opens, a: the drive itself.
map_drive_a() {
    mkdir -p "$tmp/a-root"
    ln -sfn "$1" "$WINEPREFIX/dosdevices/a::"
    ln -sfn "$tmp/a-root" "$WINEPREFIX/dosdevices/a:"
}

unmap_drive_a() {
    rm -f "$WINEPREFIX/dosdevices/a::" "$WINEPREFIX/dosdevices/a:"
}

# --- the container's texts --------------------------------------------------------------------

# text as an extended regular expression that matches only itself.
regex_of() { sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$1"; }

text_of() { # ID [CONTAINER]
    "$resfile" extract "${2:-$container}" "$1" "$tmp/text" >/dev/null
    cat "$tmp/text"
}

# A copy of the sample container with entries replaced: make_container OUT 'ID text: ...'...
make_container() {
    local out=$1
    shift
    local sample
    sample=$(dirname "$container")
    # The manifest names its files relative to itself: make them absolute for the copy.
    sed -E "s|^([0-9]+ file: )(.*)$|\\1$sample/\\2|" "$sample/install.manifest" >"$tmp/manifest"
    local entry
    for entry in "$@"; do
        sed -i -E "/^${entry%% *} /d" "$tmp/manifest"
        echo "$entry" >>"$tmp/manifest"
    done
    "$resfile" create "$out" "$tmp/manifest" >/dev/null
}

# --- the program, its windows and keys ----------------------------------------------------------

case_dir=
case_log=

# Runs the program in a fresh working folder holding CONTAINER (none: "-"), with ARGS.
start_program() { # CONTAINER [ARGS...]
    local with=$1
    shift
    case_dir=$(mktemp -d "$tmp/case.XXXXXX")
    case_log=$case_dir/program.log
    if [ "$with" != - ]; then
        cp "$with" "$case_dir/install.dat"
        echo "$case_dir/install.dat $with" >>"$tmp/copies" # compared once the suite has run
    fi
    (cd "$case_dir" && exec wine "$program" "$@") >"$case_log" 2>&1 &
    program_pid=$!
}

# The X window of the visible top-level window titled exactly TITLE (UTF-8, as X has it).
wait_window() { # TITLE [SECONDS]
    local deadline=$((SECONDS + ${2:-$window_seconds})) window
    while [ $SECONDS -lt $deadline ]; do
        window=$(xdotool search --onlyvisible --name "^$(regex_of "$1")\$" 2>/dev/null |
                 head -n 1) || true
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "    no window titled \"$1\"; on the screen:" \
         "$(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | paste -sd '|')" >&2
    return 1
}

press() { # WINDOW KEYS...
    local window=$1
    shift
    xdotool windowfocus --sync "$window" key --clearmodifiers "$@"
}

# The program's exit code once it ends, or 124 after the time allowed.
wait_exit() {
    local deadline=$((SECONDS + exit_seconds)) code
    while kill -0 "$program_pid" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || return 124
        sleep 0.1
    done
    code=0
    wait "$program_pid" || code=$?
    program_pid=
    return "$code"
}

# A console program of Windows ends its lines with CR LF; each line is passed on at once.
probe() { wine "$probe" "$@" 2>>"$case_dir/probe.log" | sed -u 's/\r$//'; }

# The line of wine_probe dialog for the control with id ID.
control_line() { # ID
    probe dialog | grep -E "^control $1 " || true
}

# The X window of the first message box on the screen whose caption is one of the container's
# captions 1006 to 1009, or nothing.
visible_box() {
    local caption window
    for caption in 1006 1007 1008 1009; do
        window=$(xdotool search --onlyvisible --name "^$(regex_of "$(text_of "$caption")")\$" \
                 2>/dev/null | head -n 1) || true
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

# --- checks -------------------------------------------------------------------------------------

failures=()
case_failed=0

check() { # DESCRIPTION COMMAND...
    local description=$1
    shift
    if ! "$@"; then
        failures+=("$current_case: $description")
        case_failed=1
        echo "    not so: $description"
        return 1
    fi
}

contains() { grep -qF -- "$2" <<<"$1"; }
lacks() { ! grep -qiF -- "$1" "$2"; } # PATTERN FILE

# The screenshot of the window holds a picture, not a blank or plain dialog: at least this many
# colours (the sample's has some 250, the dialog without its picture fewer than a dozen).
readonly min_dialog_colours=64
screenshot_has_colours() { # WINDOW NAME
    local X Y WIDTH HEIGHT colours deadline=$((SECONDS + 10))
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    # A window is on the screen a moment before it has painted itself.
    while :; do
        import -window root "$outdir/$2.png"
        colours=$(convert "$outdir/$2.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
                  -format %k info:)
        [ "$colours" -lt "$min_dialog_colours" ] && [ $SECONDS -lt $deadline ] || break
        sleep 0.2
    done
    echo "    screenshot $outdir/$2.png: $colours colours in the dialog's ${WIDTH}x$HEIGHT"
    [ "$colours" -ge "$min_dialog_colours" ]
}

# --- the cases ----------------------------------------------------------------------------------

title=
readonly cd_burn_class="fbeb8a05-beee-4442-804e-409d6c4515e9" # the shell's CD burning service

# The sample container: the window titled from entry 1000, a picture in the screenshot, the
# CD burning service asked for, Exit (Alt+E) ends it with code 0.
case_sample() {
    set_version default
    WINEDEBUG=trace+ole start_program "$container"
    local window
    window=$(wait_window "$title") || { check "a window titled \"$title\" appears" false; return; }
    check "the dialog's area shows a picture" screenshot_has_colours "$window" sample-dialog
    check "recorder discovery asks for the CD burning service" grep -qi "$cd_burn_class" "$case_log"
    check "the call window is message-only" [ "$(probe call-window)" = message-only ]
    press "$window" alt+e
    wait_exit && code=0 || code=$?
    check "Exit ends the program with code 0 (got $code)" [ "$code" -eq 0 ]
}

# No install.dat: the program's own error box, OK, code 0, no dialog.
case_no_container() {
    set_version default
    start_program -
    local box
    box=$(wait_window Error 30) || { check "an error box appears" false; return; }
    check "the box says the container could not be loaded" \
        contains "$(probe boxes)" '"Error" "Could not load Image and Resource file."'
    press "$box" Return
    wait_exit && code=0 || code=$?
    check "OK ends the program with code 0 (got $code)" [ "$code" -eq 0 ]
    check "no dialog was shown" [ -z "$(xdotool search --name "^$title\$" 2>/dev/null)" ]
}

# The floppy job in Windows 98 mode on an image file as drive A:, through the question, the
# live progress and the outcome; then the dialog is idle and usable. The job's outcome box is
# taken as it comes, but what drive A: holds afterwards is checked against it: a success must
# have written the boot image's cylinders, and nothing may be written past them.
floppy_job() { # SCREENSHOT-NAME
    set_version win98
    head -c "$floppy_bytes" /dev/urandom >"$tmp/floppy.img"
    cp "$tmp/floppy.img" "$tmp/floppy.before"
    map_drive_a "$tmp/floppy.img"
    start_program "$container"
    local window
    window=$(wait_window "$title") || { check "the dialog appears" false; return; }
    check "the call window is a hidden top-level tool window" \
        [ "$(probe call-window)" = "top-level visible=0 toolwindow=1 foreground=0" ]
    local drive_entry
    drive_entry=$(printf "$(text_of 1037)" A)
    check "drive A: is listed" contains "$(control_line 1015)" "ComboBox enabled \"$drive_entry\""
    check "Create Floppy is enabled" contains "$(control_line 1003)" "Button enabled"

    press "$window" alt+f
    local question
    question=$(wait_window "$(text_of 1007)" 30) || { check "the question box appears" false; return; }
    probe watch "$job_seconds" >"$case_dir/watch.log" &
    local watch_pid=$! deadline=$((SECONDS + 30))
    # The question goes only once the watch knows it, so the outcome box is a new one to it.
    until grep -q '^watching' "$case_dir/watch.log" || [ $SECONDS -ge $deadline ]; do
        sleep 0.1
    done
    press "$question" Return
    wait "$watch_pid" || true
    grep -v '^watching' "$case_dir/watch.log" | sed 's/^/    seen: /'
    local outcome
    outcome=$(grep '^box ' "$case_dir/watch.log" || true)
    check "the job ends in a message box" [ -n "$outcome" ] || return

    # The monitor mirrors the progress every 100 ms, also while a box blocks the thread behind
    # it: the status line shows format 1016 for cylinder n of N, and the bar's range is 0..N.
    local status_regex cylinders=0 status bar shown
    deadline=$((SECONDS + 10))
    status_regex=$(regex_of "$(text_of 1016)" | sed 's/%d/([0-9]+)/g')
    while [ $SECONDS -lt $deadline ]; do
        status=$(control_line 1002)
        bar=$(control_line 1001)
        if [[ $status =~ \"$status_regex\"$ ]]; then
            shown=${BASH_REMATCH[2]}
            if [[ $bar =~ range=0\.\.$shown$ ]]; then
                cylinders=$shown
                echo "    progress: ${status#control } / ${bar#control }"
                break
            fi
        fi
        sleep 0.2
    done
    check "the status line and the bar show the job's cylinders" [ "$cylinders" -gt 0 ]
    screenshot_has_colours "$window" "$1" >/dev/null || true

    # Every box of the job is answered with its default button.
    local box answered=0
    while box=$(visible_box) && [ $answered -lt 5 ]; do
        press "$box" Return
        answered=$((answered + 1))
        sleep 0.5
    done

    local written=$((cylinders * cylinder_bytes))
    if contains "$outcome" "\"$(text_of 1009)\""; then
        echo "    outcome: success, $cylinders cylinders"
        check "after the success box, A: holds the boot image's first $cylinders cylinders" \
            cmp -s -n "$written" "$tmp/floppy.img" <(text_of 10000)
    else
        echo "    outcome: ${outcome#box }"
    fi
    check "nothing past cylinder $cylinders was written" \
        cmp -s -i "$written:$written" "$tmp/floppy.img" "$tmp/floppy.before"

    local idle
    idle=$(printf "$(text_of 1010)" A)
    deadline=$((SECONDS + 10))
    until contains "$(control_line 1002)" "\"$idle\"" || [ $SECONDS -ge $deadline ]; do
        sleep 0.2
    done
    check "the dialog is idle again" contains "$(control_line 1002)" "\"$idle\""
    check "Create Floppy is back" \
        contains "$(control_line 1003)" "Button enabled \"$(text_of 1035)\""
    check "Exit is enabled" contains "$(control_line 1004)" "Button enabled"
    press "$window" alt+e
    wait_exit && code=0 || code=$?
    check "Exit ends the program with code 0 (got $code)" [ "$code" -eq 0 ]
}

# Windows 98 mode: the floppy job, whose progress and outcome reach the dialog from the job's
# threads.
case_win98_floppy() {
    floppy_job win98-floppy
}

# Windows NT 4 mode: no CD recording, so text 1050 in the recorder list; Escape ends it.
case_nt4() {
    set_version nt40
    start_program "$container"
    local window
    window=$(wait_window "$title") || { check "the dialog appears" false; return; }
    check "the recorder list shows text 1050" \
        contains "$(control_line 1016)" "ComboBox disabled \"$(text_of 1050)\""
    check "the call window is a hidden top-level tool window" \
        [ "$(probe call-window)" = "top-level visible=0 toolwindow=1 foreground=0" ]
    press "$window" Escape
    wait_exit && code=0 || code=$?
    check "Escape ends the program with code 0 (got $code)" [ "$code" -eq 0 ]
}

# nocd: recorder discovery is skipped. With a broken boot image the recorder list stays
# enabled and empty, and Create CD-ROM refuses with text 1020. The title carries Windows-1252
# letters, which must reach the screen right.
case_nocd() {
    set_version default
    WINEDEBUG=trace+ole start_program "$container" nocd
    local window
    window=$(wait_window "$title") || { check "the dialog appears" false; return; }
    check "no CD burning service is asked for" lacks "$cd_burn_class" "$case_log"
    press "$window" alt+e
    wait_exit || true

    local letters_title=$'Boot Media Maker \xe2\x80\x93 \xc3\x89dition fran\xc3\xa7aise'
    make_container "$tmp/broken.dat" \
        '1000 text: Boot Media Maker \x96 \xC9dition fran\xE7aise' \
        "10000 file: $(dirname "$container")/banner.bmp"
    start_program "$tmp/broken.dat" nocd
    window=$(wait_window "$letters_title") ||
        { check "a window titled \"$letters_title\" appears" false; return; }
    check "the status names the broken image" contains "$(control_line 1002)" \
        "\"$(printf "$(text_of 1012)" install.dat)\""
    check "the floppy controls are disabled" contains "$(control_line 1003)" "Button disabled"
    check "the recorder list is enabled and empty" \
        contains "$(control_line 1016)" 'ComboBox enabled "" selected=-1 items=0'
    press "$window" alt+c
    local box
    box=$(wait_window "$(text_of 1006)" 30) || { check "Create CD-ROM answers with a box" false; return; }
    check "Create CD-ROM refuses with text 1020" \
        contains "$(probe boxes)" "\"$(text_of 1020)\""
    press "$box" Return
    sleep 0.5
    press "$window" alt+e
    wait_exit && code=0 || code=$?
    check "Exit ends the program with code 0 (got $code)" [ "$code" -eq 0 ]
}

# The call window's fallback forced: the floppy job in Windows 98 mode still shows its progress.
case_fallback_floppy() {
    export BOOTMEDIA_TEST_CALL_WINDOW=message-only-fails
    floppy_job fallback-floppy
    unset BOOTMEDIA_TEST_CALL_WINDOW
}

# No call window at all: the program stops at start with its box, code 0, no dialog.
case_no_call_window() {
    set_version default
    BOOTMEDIA_TEST_CALL_WINDOW=none start_program "$container"
    local box
    box=$(wait_window Error 30) || { check "an error box appears" false; return; }
    check "the box says the message window could not be made" \
        contains "$(probe boxes)" '"Error" "Could not create the program'"'"'s message window."'
    press "$box" Return
    wait_exit && code=0 || code=$?
    check "OK ends the program with code 0 (got $code)" [ "$code" -eq 0 ]
    check "no dialog was shown" [ -z "$(xdotool search --name "^$title\$" 2>/dev/null)" ]
}

# The call window's own tests in each mode that chooses differently.
case_call_window_tests() {
    case_dir=$(mktemp -d "$tmp/case.XXXXXX")
    local mode expected fault key
    key='HKCU\Software\Wine\AppDefaults\'"$(basename "$call_window_tests")"
    for mode in default:message-only: default:top-level:message-only-fails win98:top-level: \
                win98:top-level:message-only-fails nt40:top-level: default:none:none; do
        IFS=: read -r version expected fault <<<"$mode"
        if [ "$version" = default ]; then
            wine reg delete "$key" /f >/dev/null 2>&1 || true
        else
            wine reg add "$key" /v Version /d "$version" /f >/dev/null 2>&1
        fi
        check "the call window's tests pass in $version mode${fault:+ with the switch $fault}" \
            env BOOTMEDIA_EXPECT_CALL_WINDOW="$expected" BOOTMEDIA_TEST_CALL_WINDOW="$fault" \
            wine "$call_window_tests" --gtest_brief=1 >"$case_dir/program.log" 2>&1 ||
            sed 's/^/    /' "$case_dir/program.log"
    done
}

# The container is never written: every copy a case ran on is still what it was made from.
case_container_unchanged() {
    local copy source
    check "the cases ran on copies of the container" test -s "$tmp/copies"
    [ -s "$tmp/copies" ] || return 0
    while read -r copy source; do
        check "$copy is unchanged" cmp -s "$copy" "$source"
    done <"$tmp/copies"
}

# --- the run ------------------------------------------------------------------------------------

start_display
make_prefix
title=$(text_of 1000)
cases=(call_window_tests sample no_container win98_floppy nt4 nocd fallback_floppy no_call_window
       container_unchanged)
read -r -a cases <<<"${BOOTMEDIA_WINE_CASES:-${cases[*]}}"
passed=0
for current_case in "${cases[@]}"; do
    start=$SECONDS
    case_failed=0
    case_log=
    echo "case $current_case"
    "case_$current_case" || true
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        program_pid=
    fi
    unmap_drive_a
    if [ "$case_failed" -eq 0 ]; then
        passed=$((passed + 1))
        echo "  passed in $((SECONDS - start)) s"
    else
        echo "  FAILED in $((SECONDS - start)) s"
        [ -z "$case_log" ] || cp "$case_log" "$outdir/$current_case.log"
    fi
done
echo "${passed} passed, $((${#cases[@]} - passed)) failed"
[ ${#failures[@]} -eq 0 ]
