#!/bin/sh
# Runs the configured launcher in a throw-away prefix whose metrovanta is a stub that
# reports its folder and arguments, and checks the folder choice and the seeding rule.
#   launcher_test.sh LAUNCHER LIBEXEC_RELATIVE DATA_RELATIVE
set -u
launcher=$1 libexec=$2 data=$3
root=$(mktemp -d "${TMPDIR:-/tmp}/launcher test.XXXXXX")   # a blank in the path on purpose
trap 'rm -rf "$root"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect() { # name expected actual
    [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}

prefix="$root/prefix"
mkdir -p "$prefix/bin" "$prefix/$libexec" "$prefix/$data"
cp "$launcher" "$prefix/bin/metrovanta-launcher"
ln -s metrovanta-launcher "$prefix/bin/metrovanta"
cat >"$prefix/$libexec/metrovanta" <<'STUB'
#!/bin/sh
printf '%s\n' "$PWD" "$#" "$@"
STUB
chmod +x "$prefix/bin/metrovanta-launcher" "$prefix/$libexec/metrovanta"
printf 'shipped\r\n' >"$prefix/$data/Base.dat"

# run NAME HOME XDG_DATA_HOME(or -) COMMAND [ARGS]: stub output in $root/NAME.out
run() {
    name=$1 home=$2 xdg=$3 cmd=$4
    shift 4
    mkdir -p "$home" "$root/elsewhere"
    set -- HOME="$home" "$cmd" "$@"
    if [ "$xdg" = - ]; then set -- -u XDG_DATA_HOME "$@"; else set -- XDG_DATA_HOME="$xdg" "$@"; fi
    (cd "$root/elsewhere" && env "$@") >"$root/$name.out"
}
line() { sed -n "$2p" "$root/$1.out"; }

# First start: the default folder is made and seeded; the program runs there with its arguments.
home="$root/home one"
run first "$home" - "$prefix/bin/metrovanta-launcher" "two words" x
expect "first: folder" "$home/.local/share/metrovanta" "$(line first 1)"
expect "first: argument count" 2 "$(line first 2)"
expect "first: argument with a blank" "two words" "$(line first 3)"
cmp -s "$prefix/$data/Base.dat" "$home/.local/share/metrovanta/Base.dat" ||
    fail "first: Base.dat not seeded"
[ -z "$(find "$home/.local/share/metrovanta" -name '.Base.dat.*')" ] || fail "first: temp file left"

# A user's edited copy survives later starts, also through the `metrovanta` link.
printf 'edited\r\n' >"$home/.local/share/metrovanta/Base.dat"
run again "$home" - "$prefix/bin/metrovanta"
expect "again: folder" "$home/.local/share/metrovanta" "$(line again 1)"
expect "again: user's copy kept" "edited" "$(tr -d '\r' <"$home/.local/share/metrovanta/Base.dat")"

# An absolute XDG_DATA_HOME is used; an empty or relative one falls back to ~/.local/share.
run xdg "$root/home two" "$root/xdg data" "$prefix/bin/metrovanta-launcher"
expect "xdg: folder" "$root/xdg data/metrovanta" "$(line xdg 1)"
[ -f "$root/xdg data/metrovanta/Base.dat" ] || fail "xdg: Base.dat not seeded"
run empty "$root/home three" "" "$prefix/bin/metrovanta-launcher"
expect "empty xdg: folder" "$root/home three/.local/share/metrovanta" "$(line empty 1)"
run relative "$root/home four" "relative/data" "$prefix/bin/metrovanta-launcher"
expect "relative xdg: folder" "$root/home four/.local/share/metrovanta" "$(line relative 1)"
[ ! -e "$root/elsewhere/relative" ] || fail "relative xdg: folder made under the current folder"

# A dangling link is the user's business, not something to write through.
home="$root/home five"
mkdir -p "$home/.local/share/metrovanta"
ln -s "$root/nowhere" "$home/.local/share/metrovanta/Base.dat"
run link "$home" - "$prefix/bin/metrovanta-launcher"
[ ! -e "$root/nowhere" ] || fail "link: wrote through a dangling Base.dat link"

# Without the shipped file the program still starts, and says why in its own window.
rm "$prefix/$data/Base.dat"
run noseed "$root/home six" - "$prefix/bin/metrovanta-launcher" 2>"$root/noseed.err"
expect "no seed: folder" "$root/home six/.local/share/metrovanta" "$(line noseed 1)"
grep -q "could not copy" "$root/noseed.err" || fail "no seed: nothing said"

[ "$failures" -eq 0 ] && echo "launcher: all cases pass"
[ "$failures" -eq 0 ]
