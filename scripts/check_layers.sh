#!/usr/bin/env bash
# Fails when an include runs against the direction of use:
#   program -> commands, features -> app -> common -> vault -> texts   (resources below app)
#   cli -> common -> vault -> texts
# and when GTK reaches the vault core, the shared rules or the companion (GLib only the shared
# rules, for its Unicode functions).
set -u
cd "$(dirname "$0")/.."

allowed() {
  case "$1" in
    texts) echo "texts" ;;
    resources) echo "resources" ;;
    vault) echo "vault texts" ;;
    common) echo "common vault texts" ;;
    cli) echo "cli common vault texts" ;;
    app) echo "app common vault texts resources" ;;
    commands) echo "commands app common vault texts" ;;
    features) echo "features app common vault texts resources" ;;
    program) echo "program commands features app common vault texts resources" ;;
  esac
}

status=0
for folder in texts resources vault common cli app commands features program; do
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

for folder in vault common cli; do
  [ -d "$folder" ] || continue
  toolkit='gtk|gdk|glib|gio|gobject|pango|cairo|X11'
  [ "$folder" = common ] && toolkit='gtk|gdk|gio|gobject|pango|cairo|X11'
  if grep -nE "^\s*#\s*include\s+<($toolkit)" "$folder"/* ; then
    echo "$folder/ must not include GTK or X11 (nor GLib, but for common/)"
    status=1
  fi
done
if [ "$status" -eq 0 ]; then echo "includes run one way"; fi
exit "$status"
