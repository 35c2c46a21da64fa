#!/usr/bin/env bash
# Formats the project's C++ sources with the checked-in .clang-format.
# usage: scripts/format.sh           format every tracked source in place
#        scripts/format.sh --check   list the files that formatting would change; exit 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed (apt install clang-format)" >&2; exit 2; }
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
if [ "${1:-}" = "--check" ]; then
  status=0
  for f in "${files[@]}"; do
    clang-format --style=file "$f" | cmp -s "$f" - || { echo "$f"; status=1; }
  done
  exit $status
fi
clang-format --style=file -i "${files[@]}"
