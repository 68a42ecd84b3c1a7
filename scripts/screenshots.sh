#!/bin/bash
# Takes screenshots of every window of the real program on a private X server, working on a copy
# of the sample diary, into docs/screenshots/ (or the folder given as the first argument).
# Uses the program built in $BUILD_DIR (default build/), building it first when it is missing.
# Needs Xvfb, xdotool, x11-utils and ImageMagick (scripts/install-deps.sh installs them).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$root/docs/screenshots}" && cd "${1:-$root/docs/screenshots}" && pwd)"
build="${BUILD_DIR:-$root/build}"
program="$build/app/crooners-diary"

# shellcheck source=tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"
stepPrefix=screenshots
need_tools Xvfb xdotool import
[ -x "$program" ] || "$root/scripts/build.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/crooners-shots.XXXXXX")"
cleanup() {
    stop_x_session
    rm -rf "$work"
}
trap cleanup EXIT
start_x_session

diary="$work/diary"
mkdir -p "$diary"
cp "$root"/sample-data/* "$diary"/
# The splash window shows only while the data files are read. The diary is handed over through a
# pipe, so that reading waits, with the splash up, until the picture is taken.
rm "$diary/カラオケ.TXT"
mkfifo "$diary/カラオケ.TXT"

(cd "$diary" && exec "$program") >"$work/app.log" 2>&1 &
appPid=$!

splash=""
for _ in $(seq 100); do
    splash="$(xdotool search --onlyvisible --pid "$appPid" 2>/dev/null | head -1)" || true
    [ -n "$splash" ] && break
    sleep 0.1
done
[ -n "$splash" ] || fail "the splash window did not appear"
sleep 1
shoot "$splash" "$out/splash.png"
cat "$root/sample-data/カラオケ.TXT" >"$diary/カラオケ.TXT"
step "splash"

main="$(wait_window "^Crooner's Diary  ")"
sleep 1
shoot "$main" "$out/main-window.png"
step "main window"
# The toolbar sits in the client area, below the menu bar.
top=$((75 + $(menu_twips "$main")))

# The 日記 menu, open: a pop-up of its own, so the picture is cut from the screen.
focus "$main"
keys alt+d
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
import -window root -crop "$(px 9435)x$(px 7000)+$X+$Y" "$out/diary-menu.png"
keys Escape Escape
step "diary menu"

# The search: Ctrl+F, a word typed, then the history of the first song it matched.
focus "$main"
keys ctrl+f
search="$(wait_window "^検索\$")"
focus "$search"
type_text "ブルー"
sleep 0.5
shoot "$search" "$out/search-window.png"
step "search window"
keys Down
click "$search" 120 4680 1500 420 # 曲の履歴
history="$(wait_window "^曲の履歴\$")"
sleep 0.5
shoot "$history" "$out/history-window.png"
keys Escape
wait_gone "^曲の履歴\$"
focus "$search"
keys Escape
wait_gone "^検索\$"
step "history window"

# The statistics window, from 表示 > 統計….
focus "$main"
keys alt+v
keys Up Return
stats="$(wait_window "^統計\$")"
sleep 1
shoot "$stats" "$out/statistics-window.png"
keys Escape
wait_gone "^統計\$"
step "statistics window"

help="$(open_window "$main" 4275 "$top" 840 915 "^Crooner's Diary ヘルプ\$")"
sleep 1
shoot "$help" "$out/help-window.png"
step "help"

artist="$(open_window "$main" 2625 "$top" 840 915 "^アーティストデータ\$")"
sleep 0.5
shoot "$artist" "$out/artist-window.png"
step "artist window"

# A click on the first song in the artist's grid opens the song window filled from that song.
song="$(open_window "$artist" 3675 2880 1500 150 "^曲データ登録\$")"
sleep 0.5
shoot "$song" "$out/song-entry-window.png"
click "$song" 5850 1650 915 975 # 戻る
wait_gone "^曲データ登録\$"
click "$artist" 1650 420 675 855 # 戻る
wait_gone "^アーティストデータ\$"
step "song entry window"

# The analysis window with a period search over both outings and the list sorted by count.
sortWindow="$(open_window "$main" 1800 "$top" 840 915 "^並び替えリスト\$")"
click "$sortWindow" 7350 390 1860 300 # the first date
keys shift+End
click "$sortWindow" 7350 2700 1850 420 # 期間検索
click "$sortWindow" 7275 6150 840 240  # 回数
shoot "$sortWindow" "$out/analysis-window.png"
click "$sortWindow" 8325 5400 1035 1050 # 戻る
wait_gone "^並び替えリスト\$"
step "analysis window"

personal="$(open_window "$main" 3450 "$top" 840 915 "^プライベートデータ\$")"
sleep 0.5
shoot "$personal" "$out/personal-window.png"
step "personal data window"

echo "screenshots: written to $out"
