#!/bin/bash
# End-to-end test of the installed program, used the way a person uses it: started from its
# desktop entry on a private X server, driven with mouse clicks and typed Japanese text, every
# message box answered with Return. Afterwards every file in the diary folder must equal, byte
# for byte, the code page 932 files in tests/e2e/expected/.
#
#   tests/e2e/run.sh [PREFIX]
#
# PREFIX is an install prefix holding bin/crooners-diary; without it the build in $BUILD_DIR
# (default build/) is installed into a temporary prefix. KEEP_E2E=1 keeps the work folder.
# Needs Xvfb, xdotool, xprop (x11-utils) and ImageMagick.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
appId=io.github.crooners_diary.CroonersDiary

# shellcheck source=tests/e2e/xsession.sh
. "$here/xsession.sh"
stepPrefix=e2e
need_tools Xvfb xdotool xprop import cmp iconv

work="$(mktemp -d "${TMPDIR:-/tmp}/crooners-e2e.XXXXXX")"
cleanup() {
    stop_x_session
    if [ "${KEEP_E2E:-}" = 1 ]; then echo "e2e: work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# --- The installed program --------------------------------------------------------------------
if [ $# -ge 1 ]; then
    prefix="$(cd "$1" && pwd)"
else
    build="${BUILD_DIR:-$root/build}"
    [ -f "$build/app/crooners-diary" ] || fail "no program built in $build (run scripts/build.sh)"
    prefix="$work/prefix"
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install failed"
fi
desktopFile="$prefix/share/applications/$appId.desktop"
[ -x "$prefix/bin/crooners-diary" ] || fail "$prefix/bin/crooners-diary is not installed"
[ -f "$desktopFile" ] || fail "$desktopFile is not installed"
execLine="$(sed -n 's/^Exec=//p' "$desktopFile")"
wmClass="$(sed -n 's/^StartupWMClass=//p' "$desktopFile")"

start_x_session
step "X server on $DISPLAY"

# The desktop entry keeps the diary in ~/カラオケ日記; it starts from these files.
diary="$HOME/カラオケ日記"
mkdir -p "$diary"
cp "$here"/seed/* "$diary"/

# --- The session ------------------------------------------------------------------------------
step "starting '$execLine' from the desktop entry"
[ -n "$execLine" ] || fail "the desktop entry has no Exec line"
(cd / && PATH="$prefix/bin:$PATH" exec $execLine) >"$work/app.log" 2>&1 &
appPid=$!

main="$(wait_window "^Crooner's Diary  山田花子\$")"
step "main window is up"
classes="$(xprop -id "$main" WM_CLASS)"
case "$classes" in
*"\"$wmClass\""*) ;;
*) fail "StartupWMClass '$wmClass' does not match the window's $classes" ;;
esac
[ "$(readlink "/proc/$appPid/cwd")" = "$diary" ] || fail "the program does not run in $diary"

# The main window's controls sit in its client area, below the menu bar.
menuTwips="$(menu_twips "$main")"
[ "$menuTwips" -gt 0 ] || fail "the main window has no menu bar above its client area"

# Main window controls, in twips within the client area (frames: Frame1 at 90,1050, Frame2 in it at
# 135,1950).
cmdNew=(150 75 840 915)
cmdTouroku=(975 75 840 915)
cmdSort=(1800 75 840 915)
cmdKasyu=(2625 75 840 915)
cmdHelp=(4275 75 840 915)
cmdEnd=(8475 75 840 915)
cboDate=(875 3225 1995 345)
cboJikan=(875 3600 1995 345)
cboBasyo=(875 3975 1995 345)
cmdMember=(375 4455 2475 375)
cboMember=(375 4500 2475 345)
cmdInpKyoku=(3165 1350 6000 375)
for control in cmdNew cmdTouroku cmdSort cmdKasyu cmdHelp cmdEnd cboDate cboJikan cboBasyo cmdMember cboMember \
    cmdInpKyoku; do
    eval "$control[1]=\$((\${$control[1]} + menuTwips))"
done

step "first outing: a new place and a new member"
click "$main" "${cboDate[@]}"
type_text "2024年05月03日"
click "$main" "${cboJikan[@]}"
type_text "2.5"
click "$main" "${cboBasyo[@]}"
type_text "歌の森 池袋店"
keys Return
answer "保存確認"
answer "場所リストに追加"
click "$main" "${cmdMember[@]}"
type_text "佐藤"
keys Return
answer "保存確認"
answer "メンバーリストに追加"
# Enter again picks the new member, now listed; the one the list already had is picked from the
# drop-down list.
keys Return
click "$main" "${cboMember[@]}"
pick_from_list Home
click "$main" "${cmdTouroku[@]}"
answer "新規登録確認"
answer "登録終了"

step "registering an artist"
artist="$(open_window "$main" "${cmdKasyu[@]}" "^アーティストデータ\$")"
# Artist window controls (fraNamae at 75,150, Frame1 in it at 3150,1200).
click "$artist" 225 420 675 855 # 新規: empties the boxes and puts the cursor in the name box
type_text "星野みなと"
click "$artist" 4725 1975 3390 350 # ひらかな
type_text "ほしのみなと"
click "$artist" 930 420 675 855 # 登録
answer "登録確認"

step "adding a song to the artist"
song="$(open_window "$artist" 8250 1575 870 810 "^曲データ登録\$")"
click "$song" 1500 75 5280 375 # 曲名
type_text "港の夜明け"
click "$song" 1500 525 5280 375 # ひらかな
type_text "みなとのよあけ"
click "$song" 1500 975 1830 345 # ジャンル
type_text "演歌"
click "$song" 1500 1425 1830 345 # クルーナー度
type_text "◎"
click "$song" 1500 1875 1830 345 # 自己評価
type_text "○"
click "$song" 1500 2325 1860 375 # 初期回数
type_text "3"
click "$song" 4800 1650 900 975 # 保存
wait_gone "^曲データ登録\$"
click "$artist" 1650 420 675 855 # 戻る
wait_gone "^アーティストデータ\$"

step "second outing: the new song, sung twice"
click "$main" "${cmdNew[@]}"
click "$main" "${cboDate[@]}"
type_text "2024年05月10日"
click "$main" "${cboJikan[@]}"
type_text "1.5"
click "$main" "${cboBasyo[@]}"
type_text "駅前カラオケ"
click "$main" "${cmdMember[@]}"
pick_from_list Home
click "$main" "${cmdInpKyoku[@]}"
# The arrow only moves through the closed list, Enter picks; then the same song from the open list.
keys Down Return
pick_from_list
click "$main" "${cmdTouroku[@]}"
answer "新規登録確認"
answer "登録終了"

step "period search in the analysis window"
sortWindow="$(open_window "$main" "${cmdSort[@]}" "^並び替えリスト\$")"
# Analysis window controls (Frame1 at 75,75).
msgKyoku=(225 375 7035 2760)
lstDate=(7350 390 1860 2205)
cmdKikan=(7350 2700 1850 420)
grab "$sortWindow" "${msgKyoku[@]}" "$work/result-none.rgb"
# The first outing alone: it has no songs, so the result stays empty.
firstDate=("${lstDate[0]}" "${lstDate[1]}" "${lstDate[2]}" 300)
click "$sortWindow" "${firstDate[@]}"
click "$sortWindow" "${cmdKikan[@]}"
grab "$sortWindow" "${msgKyoku[@]}" "$work/result-first.rgb"
cmp -s "$work/result-none.rgb" "$work/result-first.rgb" \
    || fail "the period search over an outing without songs showed a result"
# Both outings: from the first date down to the last.
click "$sortWindow" "${firstDate[@]}"
keys shift+End
click "$sortWindow" "${cmdKikan[@]}"
grab "$sortWindow" "${msgKyoku[@]}" "$work/result-both.rgb"
cmp -s "$work/result-none.rgb" "$work/result-both.rgb" \
    && fail "the period search over both outings showed no result"
import -window "$sortWindow" "$work/period-search.png"
click "$sortWindow" 8325 5400 1035 1050 # 戻る
wait_gone "^並び替えリスト\$"

step "help, then 修了"
open_window "$main" "${cmdHelp[@]}" "^Crooner's Diary ヘルプ\$" >/dev/null
click "$main" "${cmdEnd[@]}"
for _ in $(seq 200); do
    kill -0 "$appPid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$appPid" 2>/dev/null && fail "the program did not end after 修了"
status=0
wait "$appPid" || status=$?
appPid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/app.log")"

# --- The files --------------------------------------------------------------------------------
step "comparing the diary folder with tests/e2e/expected"
expectedNames="$(find "$here/expected" -mindepth 1 -maxdepth 1 -printf '%P\n' | LC_ALL=C sort)"
actualNames="$(find "$diary" -mindepth 1 -maxdepth 1 ! -name backup -printf '%P\n' | LC_ALL=C sort)"
if [ "$expectedNames" != "$actualNames" ]; then
    diff <(echo "$expectedNames") <(echo "$actualNames") >&2 || true
    fail "the diary folder does not hold the expected files (< expected, > found)"
fi
# A data file as text, line ends marked, for the report of a difference.
shown() { iconv -f CP932 -t UTF-8 "$1" 2>&1 | sed -e 's/\r$/<CR>/'; }
mismatches=0
while IFS= read -r name; do
    if ! cmp -s "$here/expected/$name" "$diary/$name"; then
        echo "e2e: $name differs from the expected bytes:" >&2
        diff <(shown "$here/expected/$name") <(shown "$diary/$name") >&2 || true
        mismatches=$((mismatches + 1))
    fi
done <<<"$expectedNames"
[ "$mismatches" -eq 0 ] || fail "$mismatches data file(s) differ from tests/e2e/expected"
# The first rewrite of each file kept its old bytes twice: as the ".bak" and as one dated copy.
while IFS= read -r bak; do
    name="${bak%.bak}"
    copies="$(find "$diary/backup" -maxdepth 1 -name "$name.*" | wc -l)"
    copy="$(find "$diary/backup" -maxdepth 1 -regextype posix-extended -regex ".*/$name\.[0-9]{8}-[0-9]{6}")"
    [ "$copies" -eq 1 ] && [ -n "$copy" ] && cmp -s "$copy" "$here/expected/$bak" \
        || fail "backup/ does not hold one dated copy of $name equal to $bak"
done < <(grep '\.bak$' <<<"$expectedNames")
[ "$(find "$diary/backup" -type f | wc -l)" -eq "$(grep -c '\.bak$' <<<"$expectedNames")" ] \
    || fail "backup/ holds more than one dated copy per rewritten file"
echo "e2e: 1 passed, 0 failed"
