#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, checks its dependencies and file list,
# unpacks it into a temporary root and runs the installed companion and program from there.
# Usage: scripts/check-package.sh [BUILD_DIR]   (default: build)
# Library dependencies come from dpkg-shlibdeps; the check names those the program cannot run without.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

if ! (cd "$build" && cpack -G DEB -B "$root/out" >"$root/cpack.log" 2>&1); then
    cat "$root/cpack.log" >&2
    echo "check-package: cpack failed" >&2
    exit 1
fi
deb=$(ls "$root"/out/varnholt_*.deb)
echo "Package: ${deb##*/}"

fail() { echo "check-package: $*" >&2; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 qt6-qpa-plugins fonts-liberation; do
    [[ "$depends" == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

list=$(dpkg-deb -c "$deb" | awk '{print $NF}')
app=org.varnholt.Varnholt
for f in usr/bin/varnholt usr/bin/varnholt-cli \
         usr/share/doc/varnholt/UserManual.htm usr/share/doc/varnholt/ReadMe.Txt \
         usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/$app.svg \
         usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$app.png; do
    grep -qx "\./$f" <<<"$list" || fail "package lacks /$f"
done
# Every picture the manual shows comes with it.
for f in $(grep -o 'src="manual/[^"]*"' docs/UserManual.htm | sed 's/^src="//; s/"$//'); do
    grep -qx "\./usr/share/doc/varnholt/$f" <<<"$list" || fail "package lacks the manual's picture $f"
done

dpkg-deb -x "$deb" "$root/tree"
# The desktop entry and the metainfo as the desktop and software centres read them.
desktop-file-validate "$root/tree/usr/share/applications/$app.desktop" || fail "desktop entry not valid"
appstreamcli validate --no-net "$root/tree/usr/share/metainfo/$app.metainfo.xml" >"$root/as.log" 2>&1 ||
    { cat "$root/as.log" >&2; fail "metainfo not valid"; }

# The installed companion runs from the unpacked tree, on a fresh data folder.
cli="$root/tree/usr/bin/varnholt-cli"
"$cli" --help | grep -q "^usage: varnholt-cli" || fail "varnholt-cli --help printed no usage"
mkdir "$root/home"
out=$("$cli" --home "$root/home" analytes) || fail "varnholt-cli analytes failed"
[[ "$out" == '{"analytes":'* ]] || fail "varnholt-cli analytes printed: $out"
# Every library the program needs resolves on this machine.
if ldd "$root/tree/usr/bin/varnholt" | grep -q "not found"; then
    fail "unresolved libraries: $(ldd "$root/tree/usr/bin/varnholt" | grep 'not found')"
fi

# The installed program keeps its files in the per-user data folder, a portable one beside itself.
# It runs offscreen with the probe plugin of the build tree answering its dialogs.
plugins="$build/tests/program/plugins"
if [[ -d "$plugins/generic" ]]; then
    run_installed() {
        env -u VARNHOLT_HOME -u XDG_DATA_HOME HOME="$root/user" QT_QPA_PLATFORM=offscreen \
            QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS=varnholtprobe VARNHOLT_PROBE_QUIT_MS=100 \
            "$root/tree/usr/bin/varnholt" >"$root/run.log" 2>&1 ||
            { cat "$root/run.log" >&2; fail "$1: the program failed"; }
        grep -q "main window painted" "$root/run.log" || fail "$1: no main window"
    }
    mkdir "$root/user"
    run_installed installed
    [[ -f "$root/user/.local/share/Varnholt/Varnholt.qcf" ]] ||
        fail "installed: no data in ~/.local/share/Varnholt"
    [[ ! -e "$root/tree/usr/bin/Varnholt.qcf" ]] || fail "installed: data written beside the executable"
    touch "$root/tree/usr/bin/portable"
    run_installed portable
    [[ -f "$root/tree/usr/bin/Varnholt.qcf" ]] || fail "portable: no data beside the executable"
fi
echo "check-package: the package builds, holds its files, its companion runs, the data folder is right"
