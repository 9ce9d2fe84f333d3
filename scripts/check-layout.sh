#!/usr/bin/env bash
# Checks that includes between the source folders point one way:
# programs -> sheet -> dialogs -> the stores (export -> tablestore, firebird)
# -> store -> library -> platform. Prints each include that runs elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform]=""
  [library]="platform"
  [store]="library platform"
  [tablestore]="store library platform"
  [firebird]="store library platform"
  [export]="tablestore firebird store library platform"
  [dialogs]="store library platform"
  [sheet]="dialogs store library platform"
  [programs]="sheet dialogs export tablestore firebird store library platform"
)

status=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r line; do
    target=${line#*#include \"}
    target=${target%%/*}
    [ "$target" = "$folder" ] && continue
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "$line"
      status=1
    fi
  done < <(git grep -n '#include "[a-z]*/' -- "$folder/*.cpp" "$folder/*.h" || true)
done
exit $status
