#!/bin/sh
# Runs the configured launcher in a throw-away prefix whose metrovanta is a stub that reports its
# folder and arguments, and checks the folder choice and the seeding rule.
#   launcher_test.sh LAUNCHER LIBEXEC_RELATIVE DATA_RELATIVE
set -u
launcher=$1 libexec=$2 data=$3
root=$(mktemp -d "${TMPDIR:-/tmp}/launcher test.XXXXXX") # a blank in the path on purpose
trap 'rm -rf "$root"' EXIT
prefix="$root/prefix"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

mkdir -p "$prefix/bin" "$prefix/$libexec" "$prefix/$data" "$root/elsewhere"
cp "$launcher" "$prefix/bin/metrovanta-launcher"
ln -s metrovanta-launcher "$prefix/bin/metrovanta"
cat >"$prefix/$libexec/metrovanta" <<'STUB'
#!/bin/sh
printf '%s|' "$PWD" "$@"
STUB
chmod +x "$prefix/bin/metrovanta-launcher" "$prefix/$libexec/metrovanta"
printf 'shipped\r\n' >"$prefix/$data/Base.dat"

# start HOME XDG_DATA_HOME(- for unset) [ARGS], from another folder: out is "folder|arg|...|".
start() {
    home=$1 xdg=$2
    shift 2
    set -- "$prefix/bin/metrovanta" "$@"
    [ "$xdg" = - ] || set -- XDG_DATA_HOME="$xdg" "$@"
    out=$(cd "$root/elsewhere" && HOME="$home" env -u XDG_DATA_HOME "$@")
}

# The first start makes and seeds the program's folder under an absolute XDG_DATA_HOME and runs
# the program there with its arguments; without XDG_DATA_HOME the folder is ~/.local/share's.
folder="$root/xdg data/metrovanta"
start "$root/one" "$root/xdg data" "two words" x
[ "$out" = "$folder|two words|x|" ] || fail "first start: [$out]"
cmp -s "$prefix/$data/Base.dat" "$folder/Base.dat" || fail "Base.dat not seeded"

# A user's edited copy survives later starts; so does a dangling link, not written through.
printf 'edited\r\n' >"$folder/Base.dat"
start "$root/one" "$root/xdg data"
[ "$(tr -d '\r' <"$folder/Base.dat")" = edited ] || fail "the user's copy replaced"
link="$root/four/.local/share/metrovanta/Base.dat"
mkdir -p "${link%/*}"
ln -s "$root/nowhere" "$link"
start "$root/four" -
[ -L "$link" ] || fail "a dangling Base.dat link replaced"
[ ! -e "$root/nowhere" ] || fail "wrote through a dangling Base.dat link"

# Without the shipped file the program still starts.
rm "$prefix/$data/Base.dat"
start "$root/five" - 2>/dev/null
[ "$out" = "$root/five/.local/share/metrovanta|" ] || fail "no seed: started in [$out]"
