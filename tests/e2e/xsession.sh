# shellcheck shell=bash
# Sourced by tests/e2e/run.sh and scripts/screenshots.sh: a private X server and the means to use
# the program's windows as a person would, by their titles, clicks at control places and keys.
# The caller sets $work (a scratch folder it removes) before calling start_x_session.

xsessionTimeout=20
xvfbPid=""
appPid=""

fail() {
    echo "${stepPrefix:-x} FAILED: $*" >&2
    exit 1
}
step() { echo "${stepPrefix:-x}: $*"; }

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (packages: xvfb xdotool x11-utils imagemagick)"
    done
}

# Ends the program and the X server, by the process ids this session started.
stop_x_session() {
    if [ -n "$appPid" ]; then kill "$appPid" 2>/dev/null || true; fi
    if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    appPid=""
    xvfbPid=""
}

# Starts Xvfb on a display it picks itself and a clean session for the program: its own home,
# UTF-8, the X11 platform, no input method, and fontconfig told which fonts stand in for the
# ones the windows ask for, so that Japanese text renders.
start_x_session() {
    : "${work:?start_x_session needs a scratch folder in \$work}"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfbPid=$!
    local _
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    DISPLAY=":$(head -1 "$work/display")"
    export DISPLAY

    export HOME="$work/home"
    export XDG_RUNTIME_DIR="$work/runtime"
    export XDG_CONFIG_HOME="$HOME/.config"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export LC_ALL=C.UTF-8
    export QT_QPA_PLATFORM=xcb
    unset QT_IM_MODULE XMODIFIERS QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

    cat >"$work/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <alias binding="same"><family>ＭＳ Ｐゴシック</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ ゴシック</family><prefer><family>IPAGothic</family></prefer></alias>
</fontconfig>
EOF
    export FONTCONFIG_FILE="$work/fonts.conf"
}

# Controls are found by their place in the window: twips (1/1440 inch), 15 to a pixel.
px() { echo $((($1 + 7) / 15)); }

# wait_window TITLE-REGEX: the id of the visible window with that title, once it is there.
wait_window() {
    local id
    id="$(timeout "$xsessionTimeout" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)" || true
    [ -n "$id" ] || fail "window '$1' did not appear within ${xsessionTimeout}s"
    echo "$id"
}

wait_gone() {
    local _
    for _ in $(seq $((xsessionTimeout * 10))); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' did not close within ${xsessionTimeout}s"
}

# focus WINDOW: raises it and gives it the keyboard, as a click on its frame would.
# menu_twips WINDOW: the height of the main window's menu bar in twips. The controls sit in the
# client area below it, which is 6750 twips high.
menu_twips() {
    local height
    height="$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p')"
    echo $(((height - $(px 6750)) * 15))
}

focus() {
    xdotool windowraise "$1"
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
}

# click WINDOW LEFT TOP WIDTH HEIGHT: a click in the middle of the control at those twips.
click() {
    local win=$1 x y
    x=$(px $(($2 + $4 / 2)))
    y=$(px $(($3 + $5 / 2)))
    focus "$win"
    xdotool mousemove --sync --window "$win" "$x" "$y"
    sleep 0.1
    xdotool click 1
    sleep 0.3
}

type_text() {
    xdotool type --delay 60 -- "$1"
    sleep 0.3
}

keys() {
    xdotool key --delay 150 "$@"
    sleep 0.3
}

# pick_from_list [KEY...]: opens the drop-down list of the focused choice box, moves with the
# keys given from the item shown and picks with Return.
pick_from_list() {
    keys alt+Down
    sleep 0.5
    if [ $# -gt 0 ]; then keys "$@"; fi
    keys Return
}

# answer TITLE: waits for the message box with that title and presses Return (its OK button).
answer() {
    local box
    box="$(wait_window "^$1\$")"
    sleep 0.3
    focus "$box"
    xdotool key Return
    wait_gone "^$1\$"
    step "answered '$1'"
}

# open_window WINDOW LEFT TOP WIDTH HEIGHT TITLE-REGEX: presses a button that opens a window of
# which there is only ever one, pressing again if the window does not come.
open_window() {
    local title=$6 id="" _
    for _ in 1 2 3; do
        click "$1" "$2" "$3" "$4" "$5"
        id="$(timeout 5 xdotool search --sync --onlyvisible --name "$title" 2>/dev/null | head -1)" || true
        [ -n "$id" ] && break
    done
    [ -n "$id" ] || fail "window '$title' did not open"
    echo "$id"
}

# grab WINDOW LEFT TOP WIDTH HEIGHT FILE: the raw pixels of that part of the window.
grab() {
    import -window "$1" -crop "$(px "$4")x$(px "$5")+$(px "$2")+$(px "$3")" +repage "rgb:$6"
}

# shoot WINDOW FILE: a picture of the whole window, brought to the front first.
shoot() {
    focus "$1"
    sleep 0.3
    import -window "$1" "$2"
}
