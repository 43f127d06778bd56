#!/usr/bin/env bash
# Fails when an include runs against the direction of use:
#   program -> commands, features -> app -> vault -> texts   (resources below app)
# and when GTK (or GLib) reaches the vault core.
set -u
cd "$(dirname "$0")/.."

allowed() {
  case "$1" in
    texts) echo "texts" ;;
    resources) echo "resources" ;;
    vault) echo "vault texts" ;;
    app) echo "app vault texts resources" ;;
    commands) echo "commands app vault texts" ;;
    features) echo "features app vault texts resources" ;;
    program) echo "program commands features app vault texts resources" ;;
  esac
}

status=0
for folder in texts resources vault app commands features program; do
  [ -d "$folder" ] || continue
  ok=" $(allowed "$folder") "
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$line")
    if [[ "$ok" != *" $target "* ]]; then
      echo "$file includes $target/ (a $folder file may include only:$ok)"
      status=1
    fi
  done < <(grep -HE '^\s*#\s*include\s+"[^/"]+/' "$folder"/*.h "$folder"/*.cpp "$folder"/*.c 2>/dev/null)
done

if grep -nE '^\s*#\s*include\s+<(gtk|gdk|glib|gio|gobject|pango|cairo)' vault/* ; then
  echo "the vault core must not include GTK or GLib"
  status=1
fi
if [ "$status" -eq 0 ]; then echo "includes run one way"; fi
exit "$status"
