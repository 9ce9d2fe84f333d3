#!/usr/bin/env bash
# Checks (or, with --fix, applies) the repository's .clang-format on every
# C++ source of the working tree (tracked, or new and not ignored). Installs
# clang-format when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends clang-format
fi

# Untracked sources count too, so a new file is formatted before it is added.
mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
else
  clang-format --dry-run --Werror "${sources[@]}"
fi
