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
rm -rf "${TMPDIR:-/tmp}/qxctl-text-$$"
