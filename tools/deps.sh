#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those missing, so a
# second run costs a few milliseconds.
set -euo pipefail

packages=(cmake ninja-build g++ pkgconf libgtest-dev libgmock-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev libxerces-c-dev libigraph-dev
          liblemon-dev libcpp-httplib-dev libssl-dev libmicrohttpd-dev haproxy clang libclang-rt-14-dev
          clang-format pybind11-dev python3-dev python3-numpy python3-networkx python3-pytest)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
