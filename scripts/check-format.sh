#!/bin/sh
# Fails when a tracked C++ source is not as clang-format makes it. Formatting
# differs between clang-format releases, so only the major version that
# scripts/install-deps.sh installs is trusted; with another one the check is
# skipped (exit 77), not failed.
#   scripts/check-format.sh [MAJOR]      (default 14)
required=${1:-14}
cd "$(dirname "$0")/.." || exit 2
formatter=${CLANG_FORMAT:-$(command -v "clang-format-$required" || echo clang-format)}

version=$("$formatter" --version 2>/dev/null) || {
  echo "skipped: $formatter not found; install clang-format $required (scripts/install-deps.sh)"
  exit 77
}
major=$(printf '%s\n' "$version" | sed -n 's/.*version \([0-9][0-9]*\)\..*/\1/p')
if [ "$major" != "$required" ]; then
  echo "skipped: $formatter is version ${major:-unknown}, the tree is formatted with version $required"
  exit 77
fi
files=$(git ls-files '*.h' '*.cpp' 2>/dev/null) || {
  echo "skipped: not a git checkout, so the tracked sources are unknown"
  exit 77
}
# One run over all files; each unformatted place is reported as file:line:col.
# shellcheck disable=SC2086
bad=$("$formatter" --dry-run -Werror $files 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  echo "not formatted (run: clang-format -i FILE):"
  printf '  %s\n' $bad
  exit 1
fi
echo "$(printf '%s\n' $files | wc -l) tracked sources formatted with clang-format $major"
