#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it: lintian with no error and
# no warning (and no info tag that packaging/README.md does not explain), hardened programs, manual
# pages, changelog, copyright, desktop entry and metainfo, the licence stated alike everywhere, its
# dependencies and file list; then unpacks it into a temporary root and runs the installed companion
# and program from there.
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

# lintian: errors and warnings fail; info tags only stay when packaging/README.md explains them.
status=0
lintian --display-info --tag-display-limit 0 --fail-on error,warning "$deb" >"$root/lintian.log" 2>&1 ||
    status=$?
if ((status)); then
    cat "$root/lintian.log" >&2
    fail "lintian reports errors or warnings (exit status $status)"
fi
for tag in $(sed -n 's/^I: varnholt: \([a-z0-9.-]*\).*/\1/p' "$root/lintian.log" | sort -u); do
    grep -q "^- \`$tag\`" packaging/README.md || fail "lintian info tag $tag is not explained in packaging/README.md"
done

# One paragraph, no list joined into it; a maintainer of the project's own domain.
description=$(dpkg-deb -f "$deb" Description)
grep -q '^ *;' <<<"$description" && fail "the description holds a joined CMake list: $description"
[[ $(dpkg-deb -f "$deb" Maintainer) == *"@varnholt.org>" ]] || fail "maintainer not at varnholt.org"

# The changelog's newest entry, the metainfo's newest release and the package agree.
version=$(dpkg-deb -f "$deb" Version)
[[ $(dpkg-parsechangelog -l packaging/changelog -S Version) == "$version" ]] ||
    fail "packaging/changelog does not start with $version"

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 qt6-qpa-plugins fonts-liberation; do
    [[ "$depends" == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

list=$(dpkg-deb -c "$deb" | awk '{print $NF}')
app=org.varnholt.Varnholt
for f in usr/bin/varnholt usr/bin/varnholt-cli usr/bin/varnholt-web usr/libexec/varnholt/varnholt-report \
         usr/share/doc/varnholt/UserManual.htm usr/share/doc/varnholt/ReadMe.Txt \
         usr/share/doc/varnholt/copyright usr/share/doc/varnholt/changelog.gz \
         usr/share/man/man1/varnholt.1.gz usr/share/man/man1/varnholt-cli.1.gz usr/share/man/man1/varnholt-web.1.gz \
         usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
         usr/lib/systemd/user/varnholt-inbox.service usr/lib/systemd/system/varnholt-web.service \
         usr/sbin/varnholt-server-setup \
         usr/share/bash-completion/completions/varnholt-cli usr/share/zsh/vendor-completions/_varnholt-cli \
         usr/share/icons/hicolor/scalable/apps/$app.svg \
         usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$app.png \
         usr/share/varnholt/translations/varnholt_{de,fr,en}.qm; do
    grep -qx "\./$f" <<<"$list" || fail "package lacks /$f"
done
# Nothing is shipped twice, nor run from the documentation folder.
[[ -z $(grep -x '\./usr/share/doc/varnholt/[^/]*\.png' <<<"$list") ]] || fail "pictures outside the manual's folder"
# Every picture the manual shows comes with it.
for f in $(grep -o 'src="manual/[^"]*"' docs/UserManual.htm | sed 's/^src="//; s/"$//'); do
    grep -qx "\./usr/share/doc/varnholt/$f" <<<"$list" || fail "package lacks the manual's picture $f"
done

dpkg-deb -x "$deb" "$root/tree"
tree="$root/tree"
# Hardened as Debian builds: PIE, stack protector, fortified calls, relocations read-only and bound at
# start (control-flow protection is not among Debian's defaults).
hardening-check -q --nocfprotection "$tree/usr/bin/varnholt" "$tree/usr/bin/varnholt-cli" "$tree/usr/bin/varnholt-web" \
    "$tree/usr/libexec/varnholt/varnholt-report" >&2 ||
    fail "the programs lack hardening"

# The desktop entry and the metainfo as the desktop and software centres read them; the one pedantic
# hint that stays (an id with upper case) is explained in packaging/README.md.
desktop-file-validate "$tree/usr/share/applications/$app.desktop" || fail "desktop entry not valid"
for key in StartupWMClass 'Name\[de\]' 'Name\[fr\]' 'Comment\[de\]' 'Comment\[fr\]'; do
    grep -q "^$key=" "$tree/usr/share/applications/$app.desktop" || fail "desktop entry lacks $key"
done
metainfo="$tree/usr/share/metainfo/$app.metainfo.xml"
appstreamcli validate --pedantic --no-net "$metainfo" >"$root/as.log" 2>&1 ||
    { cat "$root/as.log" >&2; fail "metainfo not valid"; }
if grep '^[EWIP]: ' "$root/as.log" | grep -qv "^P: $app:[0-9]*: cid-contains-uppercase-letter"; then
    cat "$root/as.log" >&2
    fail "metainfo has issues"
fi
for part in '<screenshot type="default">' '<url type="homepage">https://varnholt.org/' '<developer_name>' \
            '<content_rating type="oars-1.1"' "<release version=\"$version\""; do
    grep -qF "$part" "$metainfo" || fail "metainfo lacks $part"
done
# Every screenshot is one of the manual's pictures, published under the homepage.
for url in $(sed -n 's:.*<image[^>]*>\(.*\)</image>.*:\1:p' "$metainfo"); do
    [[ "$url" == https://varnholt.org/manual/* && -f "docs/manual/${url##*/}" ]] ||
        fail "screenshot $url is not a picture of docs/manual"
done
changelog_date=$(date -u -d "$(zcat "$tree/usr/share/doc/varnholt/changelog.gz" | dpkg-parsechangelog -l - -S Date)" +%F)
grep -qF "<release version=\"$version\" date=\"$changelog_date\">" "$metainfo" ||
    fail "the metainfo's release $version is not dated $changelog_date as the changelog"

# One licence, stated alike in the copyright file, the metainfo, the README and the About window;
# LICENSE is the full text.
licence=GPL-3.0-or-later
grep -qx "License: $licence" "$tree/usr/share/doc/varnholt/copyright" || fail "copyright file is not $licence"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$tree/usr/share/doc/varnholt/copyright" || fail "copyright file is not machine-readable"
grep -qF "<project_license>$licence</project_license>" "$metainfo" || fail "metainfo licence is not $licence"
grep -qF "$licence" README.md || fail "README does not state $licence"
grep -qF "($licence)" main/UAbout.cpp || fail "About window does not state $licence"
cmp -s LICENSE /usr/share/common-licenses/GPL-3 || fail "LICENSE is not the text of the GPL version 3"
# A charting library built into the web view brings its licence into the copyright file.
if grep -q 'uPlot.iife.min.js' "$tree/usr/bin/varnholt-web"; then
    grep -q "^Comment: uPlot .*vendored from npm" "$tree/usr/share/doc/varnholt/copyright" &&
        grep -q "^ Permission is hereby granted, free of charge" "$tree/usr/share/doc/varnholt/copyright" ||
        fail "varnholt-web holds uPlot, but the copyright file lacks its licence"
fi

# The manual pages are made from the programs' --help texts: every option and command is in them.
for prog in varnholt varnholt-cli varnholt-web; do
    page=$(zcat "$tree/usr/share/man/man1/$prog.1.gz")
    grep -q "^\.TH ${prog^^} \"1\" .* \"$prog $version\"" <<<"$page" || fail "$prog.1: not the page of $prog $version"
    for word in $("$tree/usr/bin/$prog" --help | sed -n 's/^  \([a-z-][a-z-]*\).*/\1/p'); do
        grep -qF -- "${word//-/\\-}" <<<"$page" || fail "$prog.1 lacks $word of its --help text"
    done
done
[[ $("$tree/usr/bin/varnholt" --version) == "varnholt $version" ]] || fail "varnholt --version is not $version"
[[ $("$tree/usr/bin/varnholt-cli" --version) == "varnholt-cli $version" ]] || fail "varnholt-cli --version is not $version"
[[ $("$tree/usr/bin/varnholt-web" --version) == "varnholt-web $version" ]] || fail "varnholt-web --version is not $version"
# The web view stands on core alone: no window library.
grep -q "libQt6Widgets" <<<"$(ldd "$tree/usr/bin/varnholt-web")" && fail "varnholt-web links the window library"
# The companion, and with it the inbox's service, stands on core and Qt Core: a headless machine needs
# neither the window library nor CUPS; its report program links the printouts.
grep -qx 'ExecStart=varnholt-cli inbox --watch' "$tree/usr/lib/systemd/user/varnholt-inbox.service" ||
    fail "the inbox's service does not run the companion"
libraries=$(ldd "$tree/usr/bin/varnholt-cli")
for lib in libQt6Gui libQt6Widgets libQt6PrintSupport libcups; do
    grep -q "$lib" <<<"$libraries" && fail "varnholt-cli links $lib"
done
grep -q "libQt6PrintSupport" <<<"$(ldd "$tree/usr/libexec/varnholt/varnholt-report")" ||
    fail "varnholt-report does not link the printouts"
bash -n "$tree/usr/share/bash-completion/completions/varnholt-cli" || fail "the bash completion does not parse"

# The installed companion runs from the unpacked tree, on a fresh data folder.
cli="$root/tree/usr/bin/varnholt-cli"
# Read whole first: grep -q stops reading at its match, and the companion's later writes would end it
# by SIGPIPE, failing the pipe under pipefail.
help=$("$cli" --help) || fail "varnholt-cli --help failed"
grep -qi "^usage: varnholt-cli" <<<"$help" || fail "varnholt-cli --help printed no usage"
mkdir "$root/home"
out=$("$cli" --home "$root/home" analytes) || fail "varnholt-cli analytes failed"
[[ "$out" == '{"analytes":'* ]] || fail "varnholt-cli analytes printed: $out"
# Its report is drawn by the installed report program (the sample data of a first start).
out=$("$cli" --home "$root/home" --init report Glucose --pdf "$root/report.pdf") ||
    fail "varnholt-cli report failed"
[[ "$out" == '{"pdf":'*'"points":45}' && $(head -c 5 "$root/report.pdf") == "%PDF-" ]] ||
    fail "varnholt-cli report printed: $out"
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
echo "check-package: the package builds and is lintian-clean, holds its files, its companion runs, the data folder is right"
