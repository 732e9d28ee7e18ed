#!/usr/bin/env bash
# Prints how large the tests are against the code they test, in non-blank, non-comment lines:
# test code is every file under a tests/ folder or named test_* (or *_test.cpp/.py), helpers
# included; code is every other C++, Python and shell file. In C++ a "#include" is code; in
# Python and shell a "#" line is a comment.
set -euo pipefail
cd "$(dirname "$0")/.."
all=$(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.py' '*.sh' '.ci/*')
tests=$(grep -E '(^|/)tests?/|(^|/)test_[^/]*$|_test\.(cpp|py)$' <<<"$all" || true)
code=$(grep -v -x -F -f <(echo "$tests") <<<"$all" || true)
# Lines of the files named on stdin that are neither blank nor matched by comment pattern $1.
lines() { sed '/^$/d' | tr '\n' '\0' | xargs -0 -r cat | grep -c -v -E "^\s*(($1).*)?$" || true; }
count() {
    local cxx other
    cxx=$(grep -E '\.(cpp|h|hpp)$' <<<"$1" || true)
    other=$(grep -v -E '\.(cpp|h|hpp)$' <<<"$1" || true)
    echo $(($(lines '//' <<<"$cxx") + $(lines '#' <<<"$other")))
}
c=$(count "$code")
t=$(count "$tests")
pct=$((1000 * t / c))
echo "Test code: $t lines against $c lines of code ($((pct / 10)).$((pct % 10))%; the aim is 25-35%)"
