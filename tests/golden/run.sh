#!/usr/bin/env bash
# Golden files: each holds a command line on its first line (fortelle-cli,
# or the test program fortelle_transcript) and, below it, exactly what that
# command prints. Standard error and a non-zero exit status follow the
# output as "[stderr]" and "[exit N]" sections, so refusals are checked as
# closely as reports. The programs are found on the PATH; a command runs in
# the golden file's folder, so that it can name data files beside it.
#
#   run.sh FILE...            compare, printing a unified diff on failure
#   run.sh --update FILE...   rewrite the files from the current programs
set -uo pipefail
update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
status=0
for file in "$@"; do
  command=$(head -n 1 "$file")
  actual=$(mktemp); err=$(mktemp)
  { echo "$command"; (cd "$(dirname "$file")" && eval "$command") 2>"$err"; } >"$actual"
  code=$?
  if [ -s "$err" ]; then { echo "[stderr]"; cat "$err"; } >>"$actual"; fi
  [ $code -ne 0 ] && echo "[exit $code]" >>"$actual"
  if [ $update -eq 1 ]; then
    cmp -s "$actual" "$file" || { cp "$actual" "$file"; echo "updated $file"; }
  elif ! diff -u --label "expected: $file" --label "actual: $command" "$file" "$actual"; then
    status=1
  fi
  rm -f "$actual" "$err"
done
exit $status
