#!/usr/bin/env bash
# Every include of the project's own headers points to the same layer or a
# lower one. The order, from the bottom: base, microcode (the format),
# loading, machine, hosts, assembler, study and grading, the Qt front end,
# the programs, and the browser edition, which offers the programs'
# functions beside its window.
# usage: check_layers.sh SRC_DIR
set -euo pipefail
cd "$1"
rank() {
  case "$1" in
    base) echo 0 ;; microcode) echo 1 ;; loading) echo 2 ;; machine) echo 3 ;; hosts) echo 4 ;;
    assembler) echo 5 ;; grading|study) echo 6 ;; ui) echo 7 ;; cli) echo 8 ;; web) echo 9 ;;
    *) echo unknown ;;
  esac
}
status=0
while IFS=: read -r file _ include; do
  from=${file%%/*}
  to=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
  [ "$to" = "$include" ] && continue  # an include without a folder: a file beside it
  from_rank=$(rank "$from"); to_rank=$(rank "$to")
  if [ "$from_rank" = unknown ] || [ "$to_rank" = unknown ]; then
    echo "$file: layer of '$from' or '$to' unknown: add it to $0"; status=1
  elif [ "$to_rank" -gt "$from_rank" ]; then
    echo "$file includes $to (a higher layer than $from):$include"; status=1
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' .  | sed 's#^\./##')
[ $status -eq 0 ] && echo "every include points to the same or a lower layer"
exit $status
