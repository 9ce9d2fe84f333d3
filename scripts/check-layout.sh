#!/usr/bin/env bash
# Checks that includes between the source folders point one way:
# programs -> sheet -> dialogs -> the stores (export -> tablestore, firebird)
# -> store -> library -> platform; that the tests of a folder include what
# that folder may, and the real parts their tests are built from; and that
# every include of the project's own files names its folder in quotes
# ("store/store.h"), never in angle brackets or by a path with "..".
# Every source on disk is checked, added to git or not; build folders are
# left out. Prints each include that runs elsewhere.
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
sources="platform library store tablestore firebird export dialogs sheet programs"

# What a folder's tests include beyond what the folder may: the tests use
# real parts, never stand-ins. The store's suites run on both stores; the
# windows' tests on a real store, put together by the programs' editions;
# tests/firebird holds the second program's edition, its windows included.
declare -A tests_also=(
  [store]="tablestore firebird"
  [dialogs]="tablestore firebird programs"
  [sheet]="tablestore firebird programs"
  [firebird]="sheet dialogs programs"
)

# Folders an include may name: the sources, the tests' doubles, and the
# folders nothing includes from.
project="$sources support tests bench"

status=0
report() {
  echo "$1: $2"
  status=1
}

# check FILE ALLOWED: ALLOWED are the folders FILE may name, its own among them.
check() {
  local file=$1 may=$2 line text path folder
  local include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"]'
  while IFS= read -r line; do
    text=${line#*:}
    [[ "$text" =~ $include ]] || continue
    path=${BASH_REMATCH[1]}
    folder=${path%%/*}
    if [[ "/$path/" == */../* ]]; then
      report "$file:$line" "a path with \"..\"; name the folder from the top"
      continue
    fi
    [[ " $project " == *" $folder "* && "$path" == */* ]] || continue
    if [[ "$text" != *\"* ]]; then
      report "$file:$line" "a project file in angle brackets; use quotes"
    fi
    if [[ " $may " != *" $folder "* ]]; then
      report "$file:$line" "$(dirname "$file") may not include $folder/"
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$file" || true)
}

# The C++ sources below a folder, build folders left out.
sources_in() {
  find "$@" \( -type d \( -name CMakeFiles -o -name '*_autogen' -o -name '.*' \) -prune \) -o \
    \( -type d -exec test -e '{}/CMakeCache.txt' \; -prune \) -o \
    \( -type f \( -name '*.cpp' -o -name '*.h' \) -print \) 2>/dev/null | sort
}

for folder in $sources; do
  while IFS= read -r file; do
    check "$file" "$folder ${allowed[$folder]}"
  done < <(sources_in "$folder")
done

declare -A tests_may=()
for dir in tests/*/; do
  folder=$(basename "$dir")
  if [ "$folder" = support ]; then
    may="support library platform"
  elif [ -n "${allowed[$folder]+set}" ]; then
    may="$folder ${allowed[$folder]} ${tests_also[$folder]:-} support"
  else
    echo "$dir: tests of no source folder"
    status=1
    continue
  fi
  tests_may[$folder]=$may
  while IFS= read -r file; do
    check "$file" "$may"
  done < <(sources_in "$dir")
done

# The tests' main and the doubles beside it are part of every test
# program, the platform's among them. A header there is shared by the tests
# of several folders: it may include what each of them may.
while IFS= read -r file; do
  may="platform"
  if [[ "$file" == *.h ]]; then
    name=$(basename "$file")
    users=$(grep -rlE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$name\"" tests/*/ |
      cut -d/ -f2 | sort -u || true)
    first=1
    for user in $users; do
      [ -n "${tests_may[$user]+set}" ] || continue
      if [ $first = 1 ]; then
        may=${tests_may[$user]}
        first=0
      else
        kept=""
        for f in $may; do
          [[ " ${tests_may[$user]} " == *" $f "* ]] && kept="$kept $f"
        done
        may=$kept
      fi
    done
  fi
  check "$file" "$may"
done < <(find tests -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

# The benchmarks put whole programs together, with the tests' doubles.
while IFS= read -r file; do
  check "$file" "$sources support"
done < <(sources_in bench)

exit $status
