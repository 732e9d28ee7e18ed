#!/usr/bin/env bash
# Prints how large the tests are against the code they test, in non-blank, non-comment lines:
# test code is every file under a tests/ folder or named test_* (or *_test.cpp/.py), helpers
# included; code is every other C++, Python and shell file.
set -euo pipefail
cd "$(dirname "$0")/.."
all=$(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.py' '*.sh' '.ci/*')
tests=$(grep -E '(^|/)tests?/|(^|/)test_[^/]*$|_test\.(cpp|py)$' <<<"$all" || true)
code=$(grep -v -x -F -f <(echo "$tests") <<<"$all" || true)
count() { tr '\n' '\0' | xargs -0 -r cat | grep -c -v -E '^\s*((//|#).*)?$' || true; }
c=$(count <<<"$code")
t=$(count <<<"$tests")
pct=$((1000 * t / c))
echo "Test code: $t lines against $c lines of code ($((pct / 10)).$((pct % 10))%; the aim is 25-35%)"
