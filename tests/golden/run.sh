#!/usr/bin/env bash
# Golden reports: each file holds a fortelle-cli command line on its first
# line and, below it, exactly what that command prints. Standard error and
# a non-zero exit status follow the output as "[stderr]" and "[exit N]"
# sections, so refusals are checked as closely as reports.
#
#   run.sh CLI FILE...            compare, printing a unified diff on failure
#   run.sh --update CLI FILE...   rewrite the files from the current program
set -uo pipefail
update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
cli=$1; shift
status=0
for file in "$@"; do
  command=$(head -n 1 "$file")
  case "$command" in
    fortelle-cli*) ;;
    *) echo "$file: the first line must be a fortelle-cli command line"; status=1; continue ;;
  esac
  eval "args=(${command#fortelle-cli})"
  actual=$(mktemp); err=$(mktemp)
  { echo "$command"; "$cli" "${args[@]}" 2>"$err"; } >"$actual"
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
