#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a scratch root and checks it
# as a distribution would: its file list and dependencies, lintian, the desktop entries and
# the AppStream data, the icons' sizes, and that the unpacked lockwell-en starts under Xvfb
# with a fresh configuration directory and asks for a new master password.
#   package_test.sh BUILD_DIR
set -uo pipefail

build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
xvfb_pid=""
program_pid=""
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb="$(ls "$scratch"/out/lockwell_*_amd64.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || { echo "FAIL: no lockwell_*_amd64.deb"; exit 1; }

# ---- control fields ------------------------------------------------------------------------
depends="$(dpkg-deb -f "$deb" Depends)"
# libsodium is opened with dlopen, so only the hand-written alternative can bring it.
[[ ", $depends," == *", libsodium23 | libsodium26,"* ]] || fail "Depends lacks libsodium: $depends"
for library in libgtk-3-0 libx11-6 libpng16-16 libmimalloc2.0 libzxcvbn0 libnettle8 libc6 \
    libstdc++6; do
  [[ ", $depends" == *", $library"[\ ,]* || ", $depends" == *", $library" ]] ||
    fail "Depends lacks $library (found by dpkg-shlibdeps): $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "xdg-utils" ] || fail "Recommends is not xdg-utils"
[ "$(dpkg-deb -f "$deb" Package)" = "lockwell" ] || fail "package is not named lockwell"

# ---- file list: exactly these, with these modes ---------------------------------------------
root="$scratch/root"
dpkg -x "$deb" "$root"
icons="share/icons/hicolor"
expected="755 usr/bin/lockwell-cli-en
755 usr/bin/lockwell-cli-nl
755 usr/bin/lockwell-en
755 usr/bin/lockwell-nl
644 usr/share/applications/nl.lockwell.Lockwell-nl.desktop
644 usr/share/applications/nl.lockwell.Lockwell.desktop
644 usr/share/bash-completion/completions/lockwell-cli-en
644 usr/share/bash-completion/completions/lockwell-cli-nl
644 usr/share/doc/lockwell/changelog.gz
644 usr/share/doc/lockwell/copyright"
for size in 128 16 24 256 32 48 64; do
  expected+=$'\n'"644 usr/$icons/${size}x${size}/apps/nl.lockwell.Lockwell.png"
done
expected+="
644 usr/share/man/man1/lockwell-cli-en.1.gz
644 usr/share/man/man1/lockwell-cli-nl.1.gz
644 usr/share/man/man1/lockwell-en.1.gz
644 usr/share/man/man1/lockwell-nl.1.gz
644 usr/share/metainfo/nl.lockwell.Lockwell.metainfo.xml"
actual="$(cd "$root" && find . -type f -printf '%m %P\n' | LC_ALL=C sort -k2)"
if [ "$actual" != "$expected" ]; then
  fail "file list differs:"
  diff <(echo "$expected") <(echo "$actual")
fi
if [ -n "$(cd "$root" && find . -type d ! -perm 755)" ]; then
  fail "folders not 0755: $(cd "$root" && find . -type d ! -perm 755)"
fi

# ---- lintian: no errors and no warnings -------------------------------------------------------
lintian_out="$(lintian --fail-on error,warning "$deb" 2>&1)" ||
  fail "lintian: $lintian_out"

# ---- desktop entries, icons and AppStream data agree ------------------------------------------
for entry in "$root"/usr/share/applications/*.desktop; do
  # Hints (such as "Security could be paired with System") are advice, not faults.
  desktop-file-validate "$entry" >"$scratch/desktop.log" 2>&1 ||
    { cat "$scratch/desktop.log"; fail "desktop-file-validate $(basename "$entry")"; }
  grep -qx 'Categories=Utility;Security;' "$entry" || fail "$(basename "$entry"): categories"
  grep -qx 'Name\[nl\]=.*' "$entry" || fail "$(basename "$entry"): no Dutch name"
  grep -qx 'Comment\[nl\]=.*' "$entry" || fail "$(basename "$entry"): no Dutch comment"
  program="$(sed -n 's/^Exec=//p' "$entry")"
  [ -x "$root/usr/bin/$program" ] || fail "$(basename "$entry"): Exec=$program is not installed"
  icon="$(sed -n 's/^Icon=//p' "$entry")"
  [ -f "$root/usr/$icons/256x256/apps/$icon.png" ] || fail "$(basename "$entry"): no icon $icon"
done
grep -qx 'Exec=lockwell-en' "$root/usr/share/applications/nl.lockwell.Lockwell.desktop" ||
  fail "the English entry does not start lockwell-en"
grep -qx 'Exec=lockwell-nl' "$root/usr/share/applications/nl.lockwell.Lockwell-nl.desktop" ||
  fail "the Dutch entry does not start lockwell-nl"

metainfo="$root/usr/share/metainfo/nl.lockwell.Lockwell.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 ||
  { cat "$scratch/appstream.log"; fail "appstreamcli validate"; }
for launchable in $(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' \
  "$metainfo"); do
  [ -f "$root/usr/share/applications/$launchable" ] || fail "metainfo launches $launchable"
done
grep -q '<release version="1.0" date="2026-12-08"' "$metainfo" || fail "metainfo: release 1.0"
[ "$(grep -c '<screenshot' "$metainfo")" -ge 3 ] || fail "metainfo: fewer than 3 screenshots"

# An icon's folder names its size; the PNG header (width and height at bytes 16-23) must agree.
for png in "$root/usr/$icons"/*/apps/*.png; do
  folder="$(basename "$(dirname "$(dirname "$png")")")"
  read -r w3 w2 w1 w0 h3 h2 h1 h0 < <(od -An -tu1 -j16 -N8 "$png")
  size="$(((w3 << 24) | (w2 << 16) | (w1 << 8) | w0))x$(((h3 << 24) | (h2 << 16) | (h1 << 8) | h0))"
  [ "$size" = "$folder" ] || fail "icon in $folder is $size"
done

for page in "$root"/usr/share/man/man1/*.1.gz; do
  name="$(basename "$page" .1.gz)"
  zcat "$page" | grep -q "^\.TH $name 1" || fail "$name.1.gz is not the manual page of $name"
done

# ---- the unpacked companions answer, and bash completes their commands ------------------------
for edition in en nl; do
  cli="$root/usr/bin/lockwell-cli-$edition"
  [ "$("$cli" --version)" = "lockwell-cli-$edition 1.0" ] || fail "lockwell-cli-$edition --version"
  password="$(HOME="$scratch/home" "$cli" generate --length 16 --digits </dev/null)"
  [[ "$password" =~ ^[0-9]{16}$ ]] || fail "lockwell-cli-$edition generate gave '$password'"
  completion="$root/usr/share/bash-completion/completions/lockwell-cli-$edition"
  words="$(bash -c 'source "$1"; COMP_WORDS=(lockwell-cli-'"$edition"' im); COMP_CWORD=1
    _lockwell_cli; echo "${COMPREPLY[*]}"' _ "$completion")"
  [ "$words" = "import" ] || fail "bash completion of lockwell-cli-$edition gave '$words'"
done

# ---- the unpacked program starts and asks for a new master password --------------------------
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
config="$scratch/home/fresh"
mkdir -p "$scratch/home"
DISPLAY=":$(head -n 1 "$scratch/display")" NO_AT_BRIDGE=1 HOME="$scratch/home" \
  "$root/usr/bin/lockwell-en" "$config" &
program_pid=$!
if [ -z "$(DISPLAY=":$(head -n 1 "$scratch/display")" timeout 20 \
  xdotool search --sync --onlyvisible --name '^New vault$' 2>/dev/null)" ]; then
  fail "the unpacked lockwell-en showed no \"New vault\" dialog"
fi
[ "$(stat -c %a "$config" 2>/dev/null)" = "700" ] || fail "configuration folder is not 0700"
kill "$program_pid"
wait "$program_pid" 2>/dev/null
program_pid=""

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package $(basename "$deb"): all checks passed"
