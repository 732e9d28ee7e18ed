#!/usr/bin/env bash
# Under a real window manager (openbox on Xvfb), each of the settings dialog, the About box
# and the database editor must be transient for the main window and stay mapped above it
# after a click on the (disabled) main window.
#   tools/window-manager-check.sh METROVANTA_BINARY BASE_DAT
set -euo pipefail

if [ "${1:-}" != "--inner" ]; then
    for tool in xvfb-run openbox xdotool xprop xwininfo; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed (./setup.sh installs it)"
            exit 0
        fi
    done
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$@"
fi
shift
program=$(realpath "$1")
base=$(realpath "$2")

work=$(mktemp -d)
wm_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# Positions in pixels of the main window's client area (15 twips a pixel).
help_button="402 42"
declare -A openers=([Настройка]="377 175" [Создатель]="363 175" [Редактор]="391 175")

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for title in Настройка Создатель Редактор; do
    rm -rf "$work/run" && mkdir -p "$work/run/config" "$work/run/data/metrovanta"
    cp "$base" "$work/run/data/metrovanta/Base.dat"
    XDG_CONFIG_HOME="$work/run/config" XDG_DATA_HOME="$work/run/data" QT_QPA_PLATFORM=xcb \
        "$program" >/dev/null 2>&1 &
    app_pid=$!
    main=$(timeout 20 xdotool search --sync --name '^Метрованта [0-9]' | head -1)
    sleep 0.5
    # shellcheck disable=SC2086
    xdotool mousemove --window "$main" $help_button click 1
    sleep 0.3
    # shellcheck disable=SC2086
    xdotool mousemove --window "$main" ${openers[$title]} click 1
    dialog=$(timeout 10 xdotool search --sync --name "Метрованта - $title" | head -1) || true
    if [ -z "$dialog" ]; then
        fail "«$title» did not open"
    else
        sleep 0.5
        transient=$(xprop -id "$dialog" WM_TRANSIENT_FOR 2>/dev/null | grep -o '0x[0-9a-f]*' || true)
        [ -n "$transient" ] && [ $((transient)) -eq "$main" ] ||
            fail "«$title» is not transient for the main window (WM_TRANSIENT_FOR: ${transient:-none})"
        xdotool mousemove --window "$main" 60 20 click 1
        sleep 0.5
        xwininfo -id "$dialog" | grep -q 'IsViewable' || fail "«$title» is not mapped after the click"
        # Bottom to top; the dialog must come after the main window.
        stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' |
                   while read -r id; do printf ' %d ' $((id)); done)
        case "$stacking" in
        *" $main "*" $dialog "*) echo "ok: «$title» transient and above the main window" ;;
        *) fail "«$title» is not above the main window after a click on it (stacking:$stacking)" ;;
        esac
    fi
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
done
exit $((failures > 0))
