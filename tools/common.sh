# Shared by the project's commands: installs what the build needs from
# Debian's packages when it is missing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

NEEDED_PACKAGES=(cmake ninja-build g++ libgtest-dev libbenchmark-dev
                 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 librsvg2-bin zip)

ensure_packages() {
  local missing=()
  for p in "${NEEDED_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Run:"
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
  fi
}

# The plugin, the release archive and their SHA256SUMS, into dist/.
build_dll() {
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  mkdir -p dist
  rm -f dist/Sagebrook-*.zip
  cp build/windows/Sagebrook.asi build/windows/Sagebrook-*.zip build/windows/SHA256SUMS dist/
}

# sagebrook-sim, optimised.
build_sim() {
  cmake --preset host-release >/dev/null
  cmake --build --preset host-release --target sagebrook-sim >/dev/null
}
