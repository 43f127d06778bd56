#!/usr/bin/env bash
# Fails when a function in any layer of either program runs over the line limit,
# counted from the first line of its signature to its closing brace. Relies on the
# clang-format layout: namespace bodies are not indented and a function's body closes with a
# lone "}" in the first column.
set -u
cd "$(dirname "$0")/.."
limit=${1:-50}
shift || true
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(texts vault common cli app commands features program)

list() {
  awk '
    FNR == 1 { start = 0; body = 0 }
    /^(namespace|extern "C")/ || /^(#|\/\/|$)/ { if (!body) start = 0; next }
    body && /^}$/ { print FNR - start + 1, FILENAME ":" start, name; start = 0; body = 0; next }
    body && /^}/ { start = 0; body = 0; next }
    body { next }
    /^[A-Za-z_\[]/ && !start { start = FNR; name = $0 }
    start && /\{$/ { body = 1; next }
    start && /;$/ { start = 0 }
  ' "$@"
}

status=0
while read -r lines where name; do
  if [ "$lines" -gt "$limit" ]; then
    echo "$where: $lines lines (at most $limit): $name"
    status=1
  fi
done < <(list $(find "${folders[@]}" -name '*.cpp' | sort))
[ "${REPORT:-}" = 1 ] && list $(find "${folders[@]}" -name '*.cpp' | sort) | sort -rn | head -"${TOP:-5}"
exit $status
