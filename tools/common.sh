# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail
KESTRIM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the packages of tools/packages.txt that are not installed yet (apt-get only when needed).
kestrim_install_packages() {
  local missing=()
  local pkg
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done < "$KESTRIM_ROOT/tools/packages.txt"
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

# kestrim_build DIR [cmake options...] -- [build targets...]: configures DIR once, then builds.
kestrim_build() {
  local dir="$1"; shift
  local opts=() targets=()
  while (($#)) && [[ "$1" != "--" ]]; do opts+=("$1"); shift; done
  (($#)) && shift
  targets=("$@")
  cmake -S "$KESTRIM_ROOT" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
  if ((${#targets[@]})); then
    cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]}"
  else
    cmake --build "$dir" --parallel "$(nproc)"
  fi
}
