#!/bin/bash
# Continuous integration of the program as a desktop application on Debian 12: installs what it
# needs, builds, installs into a temporary prefix, validates the desktop entry and the AppStream
# metadata, builds the Debian package and checks what it holds and needs, and runs the
# end-to-end test on the installed program and on the package's files. Exits non-zero on any
# failure. The build goes to $BUILD_DIR (default build/), as scripts/build.sh does.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
appId=io.github.crooners_diary.CroonersDiary

fail() {
    echo "ci-desktop FAILED: $*" >&2
    exit 1
}
step() { echo "=== ci-desktop: $*"; }

step "installing what is missing"
"$root/scripts/install-deps.sh"

step "building in $build"
BUILD_DIR="$build" "$root/scripts/build.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/crooners-ci.XXXXXX")"
trap 'rm -rf "$work"' EXIT

step "installing into a temporary prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix"
for file in bin/crooners-diary bin/crooners-diary-launch "share/applications/$appId.desktop" \
    "share/metainfo/$appId.metainfo.xml" "share/icons/hicolor/scalable/apps/$appId.svg" \
    lib/crooners-diary/libcrooners-chart.so lib/crooners-diary/libcrooners-zip.so; do
    [ -f "$prefix/$file" ] || fail "cmake --install did not install $file"
done

step "validating the desktop entry and the AppStream metadata"
desktop-file-validate "$prefix/share/applications/$appId.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$appId.metainfo.xml"
# The installed tree as a whole: the metadata's launchable must name the installed entry.
appstreamcli validate-tree --no-net "$prefix"

step "building the Debian package"
(cd "$build" && cpack -G DEB -B "$work/package")
deb="$(find "$work/package" -maxdepth 1 -name 'crooners-diary_*.deb' | head -1)"
[ -n "$deb" ] || fail "cpack made no .deb"
dpkg-deb --info "$deb"
depends="$(dpkg-deb --field "$deb" Depends)"
for needed in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libqt6svg6 libxcb1 qt6-translations-l10n \
    libqt6charts6 libarchive13 libuchardet0 fonts-ipafont-gothic; do
    case ", $depends" in
    *", $needed "* | *", $needed,"* | *", $needed") ;;
    *) fail "the package does not depend on $needed: $depends" ;;
    esac
done
# The package holds exactly what cmake --install installs, under /usr.
packaged="$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./usr/||' | LC_ALL=C sort)"
installed="$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)"
if [ "$packaged" != "$installed" ]; then
    diff <(echo "$installed") <(echo "$packaged") >&2 || true
    fail "the package does not hold what cmake --install installs (< installed, > packaged)"
fi
# Its dependencies resolve on this system, as apt would install it.
apt-get install --simulate --no-install-recommends "$deb" >/dev/null || fail "apt cannot install $deb"
debRoot="$work/deb-root"
dpkg-deb --extract "$deb" "$debRoot"

step "end-to-end test of the installed program"
"$root/tests/e2e/run.sh" "$prefix"

step "end-to-end test of the packaged program"
"$root/tests/e2e/run.sh" "$debRoot/usr"

step "all checks passed"
