#!/usr/bin/env bash
# Installs what Lockwell needs from Debian 12 (only what is missing), builds it, and then
# starts it (run) or runs every test (test). Uses sudo for apt-get when not root.
#   scripts/bootstrap.sh run [CONFIG_DIR]   build and start lockwell-en (only what it needs:
#                                           no test, benchmark or packaging tool)
#   scripts/bootstrap.sh run-nl [CONFIG_DIR] build and start lockwell-nl
#   scripts/bootstrap.sh test               build and run all tests, then again under
#                                           AddressSanitizer + UBSan (build-asan), then
#                                           every fuzz target for 20 s (build-fuzz)
#   scripts/bootstrap.sh package            build the Debian package (build/lockwell_*.deb)
#   scripts/bootstrap.sh build              only install and build
#   scripts/bootstrap.sh screenshots        retake docs/screenshots/ (scripts/screenshots.sh)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LOCKWELL_BUILD_DIR:-$here/build}"
mode="${1:-run}"
shift || true
case "$mode" in
  run | run-nl | test | package | build | screenshots) ;;
  *) echo "usage: $0 run|run-nl|test|package|build|screenshots" >&2; exit 2 ;;
esac

# What building and running the two programs needs; run and run-nl install nothing more.
packages=(
  g++ cmake make pkg-config
  libgtk-3-dev libx11-dev libpng-dev zlib1g-dev libmimalloc-dev libsimdjson-dev
  # the password health report: the strength estimate and SHA-1 for the breach list
  libzxcvbn-dev libzxcvbn0 nettle-dev libnettle8
  # run time: loaded with dlopen, never linked
  libsodium23
)
case "$mode" in
  run | run-nl) ;;
  *)
    packages+=(
      # tests and benchmarks
      libgtest-dev libbenchmark-dev nlohmann-json3-dev
      xvfb xauth xdotool at-spi2-core dbus-x11 fonts-dejavu-core
      # the Debian package and its checks (cpack calls dpkg-shlibdeps)
      dpkg-dev lintian desktop-file-utils appstream
      # memory checking and fuzzing
      valgrind clang libclang-rt-14-dev
      # the Turkish locale that the file-name tests run under
      locales
      # two computers sharing the vault's folder, on 127.0.0.1 only
      syncthing
      # the companion's terminal story runs a shell in it
      tmux
    )
    ;;
esac
# A window manager gives the screenshots the frames and titles a user sees.
if [ "$mode" = screenshots ]; then packages+=(openbox x11-utils); fi

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
if [[ "$mode" != run* ]] && ! locale -a 2>/dev/null | grep -qix 'tr_TR\.utf-\?8'; then
  locale_sudo=()
  if [ "$(id -u)" -ne 0 ]; then locale_sudo=(sudo); fi
  "${locale_sudo[@]}" localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 ||
    echo "Could not generate tr_TR.UTF-8; the tests that need it are skipped" >&2
fi

werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
# One tree for every mode: switching the tests and benchmarks on or off adds or drops their
# targets but leaves the programs' compile flags alone, so nothing built is built again.
configure() {
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOCKWELL_WERROR="$werror" \
    "$@" >/dev/null
}

case "$mode" in
  run | run-nl)
    program=lockwell-en
    if [ "$mode" = run-nl ]; then program=lockwell-nl; fi
    configure -DLOCKWELL_TESTS=OFF -DLOCKWELL_BENCHMARKS=OFF
    cmake --build "$build" -j"$(nproc)" --target "$program"
    exec "$build/$program" "$@"
    ;;
  test | package | build)
    configure -DLOCKWELL_TESTS=ON -DLOCKWELL_BENCHMARKS=ON
    cmake --build "$build" -j"$(nproc)"
    ;;&
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
  screenshots)
    configure -DLOCKWELL_TESTS=ON -DLOCKWELL_BENCHMARKS=ON
    cmake --build "$build" -j"$(nproc)" --target lockwell-en lockwell-nl write_demo_vault \
      capture_screen
    exec "$here/scripts/screenshots.sh" "$build"
    ;;
esac
