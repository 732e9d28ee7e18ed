#!/bin/sh
# CI check of the Debian package: builds it, checks what it holds and what it depends on,
# installs it, starts each program from its menu entry's command line under Xvfb with a
# fresh HOME in an empty folder, then removes the package again. Run as root (or with sudo).
# Built as RelWithDebInfo like the other builds here; the package strips the debug information.
#   desktop/check-package.sh [BUILD_DIR]          (default: build-package)
#   desktop/check-package.sh --probe NAME TITLE COMMAND...   (internal: runs under xvfb-run)
set -eu

note() { printf '%s\n' "package-check: $*"; }
die() { printf '%s\n' "package-check: FAIL: $*" >&2; exit 1; }

# Starts COMMAND, waits, and writes what it saw to $PROBE_OUT: pid, still running, working
# folder, and whether a window called TITLE or an error box is on the screen.
probe() {
    name=$1 title=$2
    shift 2
    "$@" &
    pid=$!
    alive=no shown=no error=no
    # xdotool --sync would wait forever for a window that never comes.
    if timeout 8 xdotool search --sync --onlyvisible --name "^$title" >/dev/null 2>&1; then
        shown=yes
    fi
    sleep 2
    xdotool search --onlyvisible --name '^Ошибка' >/dev/null 2>&1 && error=yes
    cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null || true)
    kill -0 "$pid" 2>/dev/null && alive=yes
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    printf 'name=%s\nalive=%s\nshown=%s\nerror=%s\ncwd=%s\n' \
        "$name" "$alive" "$shown" "$error" "$cwd" >"$PROBE_OUT"
}

if [ "${1:-}" = --probe ]; then
    shift
    probe "$@"
    exit 0
fi

cd "$(dirname "$0")/.."
source_dir=$PWD
build=${1:-build-package}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

note "building the package in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DMETROVANTA_BENCH=OFF >/dev/null
cmake --build "$build" --target metrovanta skalomer metrovanta-cli -j "$(nproc)"
rm -f "$build"/metrovanta_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/metrovanta_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || die "cpack made no metrovanta_<version>_amd64.deb"
note "built $deb"

# --- contents and control fields
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
expect_path() {
    printf '%s\n' "$contents" | grep -qx "./usr/$1" || die "package lacks /usr/$1"
}
for path in bin/metrovanta-launcher bin/metrovanta bin/skalomer libexec/metrovanta/metrovanta \
    bin/metrovanta-cli share/man/man1/metrovanta-cli.1 \
    share/metrovanta/Base.dat share/applications/metrovanta.desktop \
    share/applications/skalomer.desktop; do
    expect_path "$path"
done
for name in metrovanta skalomer; do
    expect_path "share/icons/hicolor/scalable/apps/$name.svg"
    for size in 16 22 24 32 48 64 128 256; do
        expect_path "share/icons/hicolor/${size}x${size}/apps/$name.png"
    done
done
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n libc6 libstdc++6; do
    printf '%s\n' "$depends" | grep -q "\b$dep\b" || die "Depends lacks $dep: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || die "no Maintainer"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || die "no Description"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
cmp -s "$unpacked/usr/share/metrovanta/Base.dat" data/Base.dat || die "packed Base.dat differs"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$unpacked"/usr/share/applications/*.desktop ||
        die "desktop-file-validate complains"
fi
note "contents and Depends ($depends) are as expected"

# --- install, start, remove
work=$(mktemp -d)
cleanup() {
    rm -rf "$unpacked" "$work"
    $sudo apt-get purge -y -qq metrovanta >/dev/null 2>&1 || true
}
trap cleanup EXIT
cp "$deb" "$work/"
(cd "$work" && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq ./metrovanta_*.deb) ||
    {
        $sudo apt-get update -qq
        (cd "$work" && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq ./metrovanta_*.deb)
    } || die "apt-get install failed"
note "installed"

# The command line of a menu entry, without field codes such as %f.
exec_line() {
    sed -n 's/^Exec=//p' "/usr/share/applications/$1.desktop" | sed 's/ *%[a-zA-Z]//g'
}

# run_probe NAME TITLE HOME COMMAND...: started from an empty folder with only HOME set.
run_probe() {
    name=$1 title=$2 home=$3
    shift 3
    folder=$(mktemp -d "$work/start.XXXXXX")
    out="$work/$name.probe"
    (cd "$folder" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" PROBE_OUT="$out" \
        xvfb-run -a sh "$source_dir/desktop/check-package.sh" --probe "$name" "$title" "$@")
    [ -z "$(ls -A "$folder")" ] || die "$name wrote into the folder it was started from"
    cat "$out"
}
field() { sed -n "s/^$2=//p" "$work/$1.probe"; }

home="$work/home"
mkdir -p "$home"
user_base="$home/.local/share/metrovanta/Base.dat"
[ ! -e "$user_base" ] || die "a fresh HOME already has Base.dat"
# shellcheck disable=SC2046  # the entry's command line is split into words on purpose
run_probe metrovanta 'Метрованта' "$home" $(exec_line metrovanta)
[ "$(field metrovanta alive)" = yes ] || die "Metrovanta did not stay up"
[ "$(field metrovanta shown)" = yes ] || die "Metrovanta's window did not appear"
[ "$(field metrovanta error)" = no ] || die "Metrovanta showed an error box"
[ "$(field metrovanta cwd)" = "$home/.local/share/metrovanta" ] ||
    die "Metrovanta ran in $(field metrovanta cwd), not in the per-user folder"
cmp -s "$user_base" /usr/share/metrovanta/Base.dat || die "per-user Base.dat was not seeded"
[ -f "$home/.config/Quorvellant/Metrovanta/registry.reg" ] || die "no per-user settings file"

# A second start keeps the user's copy as it is.
touch -d 2001-02-03 "$user_base"
before=$(stat -c %Y "$user_base")
run_probe metrovanta-again 'Метрованта' "$home" $(exec_line metrovanta)
[ "$(field metrovanta-again alive)" = yes ] || die "Metrovanta did not stay up the second time"
[ "$(stat -c %Y "$user_base")" = "$before" ] || die "the second start replaced the user's Base.dat"

# The check must be able to fail: the bare binary in an empty folder finds no Base.dat.
run_probe bare 'Метрованта' "$work/home-bare" /usr/libexec/metrovanta/metrovanta || true
[ "$(field bare shown)" = no ] && [ "$(field bare error)" = yes ] ||
    die "the missing-database case was not told apart; the checks above prove nothing"

run_probe skalomer 'Перевод температур' "$work/home-skalomer" $(exec_line skalomer)
[ "$(field skalomer alive)" = yes ] || die "Skalomer did not stay up"
[ "$(field skalomer shown)" = yes ] || die "Skalomer's window did not appear"

# The command line finds the installed Base.dat from a fresh HOME, and writes nothing there.
cli_home="$work/home-cli"
mkdir -p "$cli_home"
got=$(cd "$cli_home" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$cli_home" \
    metrovanta-cli "5 фут 11 дюйм" см) || die "metrovanta-cli failed"
[ "$got" = 180.34 ] || die "metrovanta-cli printed «$got», not 180.34"
[ -z "$(ls -A "$cli_home")" ] || die "metrovanta-cli wrote into HOME"
! command -v man >/dev/null || man -w metrovanta-cli >/dev/null || die "man does not find metrovanta-cli"
note "metrovanta-cli converts with the installed Base.dat"

$sudo apt-get purge -y -qq metrovanta >/dev/null
! dpkg-query -W metrovanta >/dev/null 2>&1 ||
    [ "$(dpkg-query -W -f='${Status}' metrovanta)" = "unknown ok not-installed" ] ||
    die "the package is still installed"
note "both programs start from their menu entries; package removed"
