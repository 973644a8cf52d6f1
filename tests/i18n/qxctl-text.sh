#!/bin/sh
# Every language answers `qxctl text str_led_title --lang N` with a text of its own.
qxctl=$1
seen=""
for n in 1 2 3 4 5 6 7 8 9 10 11 12; do
  text=$("$qxctl" --data-dir "${TMPDIR:-/tmp}/qxctl-text-$$" text str_led_title --lang "$n") || exit 1
  [ -n "$text" ] || { echo "language $n: empty text"; exit 1; }
  case "$seen" in *"|$text|"*) echo "language $n repeats '$text'"; exit 1;; esac
  seen="$seen|$text|"
  echo "$n $text"
done
# Numbers outside 1-12 are refused, also those a narrowing would bring into range.
for n in 0 13 -1 4294967297 3x; do
  if "$qxctl" --data-dir "${TMPDIR:-/tmp}/qxctl-text-$$" text str_led_title --lang "$n" >/dev/null 2>&1; then
    echo "--lang $n was accepted"; exit 1
  fi
done
# Without the language files beside it, the command fails instead of printing nothing.
lonely="${TMPDIR:-/tmp}/qxctl-text-$$/bin"
mkdir -p "$lonely" && cp "$qxctl" "$lonely/qxctl" || exit 1
if "$lonely/qxctl" --data-dir "${TMPDIR:-/tmp}/qxctl-text-$$" text str_led_title --lang 2 >/dev/null 2>&1; then
  echo "a missing language file was reported as success"; exit 1
fi
rm -rf "${TMPDIR:-/tmp}/qxctl-text-$$"
