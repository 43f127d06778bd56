#!/usr/bin/env bash
# Installs what Lockwell needs from Debian 12 (only what is missing), builds it, and then
# starts it (run) or runs every test (test). Uses sudo for apt-get when not root.
#   scripts/bootstrap.sh run [CONFIG_DIR]   build and start lockwell-en
#   scripts/bootstrap.sh run-nl [CONFIG_DIR] build and start lockwell-nl
#   scripts/bootstrap.sh test               build and run all tests, then again under
#                                           AddressSanitizer + UBSan (build-asan), then
#                                           every fuzz target for 20 s (build-fuzz)
#   scripts/bootstrap.sh package            build the Debian package (build/lockwell_*.deb)
#   scripts/bootstrap.sh build              only install and build
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LOCKWELL_BUILD_DIR:-$here/build}"
mode="${1:-run}"
shift || true

packages=(
  # build
  g++ cmake make pkg-config
  libgtk-3-dev libx11-dev libpng-dev zlib1g-dev libmimalloc-dev nlohmann-json3-dev
  # run time: loaded with dlopen, never linked
  libsodium23
  # tests and benchmarks
  libgtest-dev libbenchmark-dev libsimdjson-dev
  xvfb xauth xdotool at-spi2-core dbus-x11 fonts-dejavu-core
  # the Debian package and its checks (cpack calls dpkg-shlibdeps)
  dpkg-dev lintian desktop-file-utils appstream
  # memory checking and fuzzing
  valgrind clang libclang-rt-14-dev
  # the Turkish locale that the file-name tests run under
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
    "${missing[@]}"
fi

# The file-name tests also run under Turkish case rules; without the locale they skip.
if ! locale -a 2>/dev/null | grep -qix 'tr_TR\.utf-\?8'; then
  locale_sudo=()
  if [ "$(id -u)" -ne 0 ]; then locale_sudo=(sudo); fi
  "${locale_sudo[@]}" localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 ||
    echo "Could not generate tr_TR.UTF-8; the tests that need it are skipped" >&2
fi

werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOCKWELL_WERROR="$werror" >/dev/null
cmake --build "$build" -j"$(nproc)"

case "$mode" in
  run) exec "$build/lockwell-en" "$@" ;;
  run-nl) exec "$build/lockwell-nl" "$@" ;;
  test)
    (cd "$build" && ctest --output-on-failure -j"$(nproc)")
    asan="${LOCKWELL_ASAN_BUILD_DIR:-$here/build-asan}"
    cmake -S "$here" -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOCKWELL_WERROR="$werror" \
      -DLOCKWELL_SANITIZE=ON -DLOCKWELL_BENCHMARKS=OFF >/dev/null
    cmake --build "$asan" -j"$(nproc)"
    # The package is built and checked once, from the plain build.
    (cd "$asan" && ctest --output-on-failure -j"$(nproc)" -E package_test)
    exec "$here/scripts/fuzz.sh"
    ;;
  package) cd "$build" && exec cpack -G DEB ;;
  build) ;;
  *) echo "usage: $0 run|run-nl|test|package|build" >&2; exit 2 ;;
esac
