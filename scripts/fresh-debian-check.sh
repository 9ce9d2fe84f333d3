#!/usr/bin/env bash
# Tries the README's "make test" on a freshly made minimal Debian 12: builds
# a minbase root with debootstrap, copies the working tree into it, installs
# only make there and runs "make test" inside as root. Reports the result and
# the face fontconfig answers "sans-serif" with inside.
#
#   scripts/fresh-debian-check.sh [--screenshots DIR] [--cache DIR] [--keep] [ROOT]
#
#   --screenshots DIR  also start both programs inside under a virtual
#                      display and put a screenshot of each into DIR
#   --cache DIR        keep the downloaded packages in DIR for the next run
#   --keep             leave the root in place afterwards
#   ROOT               where to build the root (default: a new folder under
#                      /var/tmp); removed afterwards unless --keep
#
# Needs root, debootstrap and the package archive; the mirror is the one the
# host's apt sources name. JOBS=<n> limits the build's and the tests' jobs;
# SHOT_DISPLAY=<n> is the display number the screenshots use (default 99).
set -euo pipefail

usage() { sed -n '7,15p' "$0" >&2; exit 2; }

shots="" cache="" keep=0 root=""
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshots) shots="${2:?}"; shift 2 ;;
    --cache) cache="${2:?}"; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) usage ;;
    -*) usage ;;
    *) root="$1"; shift ;;
  esac
done

[ "$(id -u)" -eq 0 ] || { echo "fresh-debian-check: needs root (debootstrap, chroot, mount)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "fresh-debian-check: debootstrap is not installed" >&2; exit 2; }

tree="$(cd "$(dirname "$0")/.." && pwd)"

# The first Debian archive (not the security one) the host's apt sources name.
host_mirror() {
  local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  local uri
  uri=$(cat "${files[@]}" 2>/dev/null |
    sed -n -e 's/^deb \(\[[^]]*\] \)\?\([^ ]*\) .*/\2/p' -e 's/^URIs: *//p' |
    tr ' ' '\n' | grep -E '/debian/?$' | grep -v security | head -n 1 || true)
  echo "${uri:-http://deb.debian.org/debian}"
}
mirror="$(host_mirror)"

[ -n "$root" ] || root="$(mktemp -d /var/tmp/scalora-fresh.XXXXXX)"
mkdir -p "$root"
root="$(cd "$root" && pwd)"
[ "$root" != / ] || { echo "fresh-debian-check: refusing / as the root" >&2; exit 2; }

mounted() { grep -q " $root/" /proc/mounts; }

cleanup() {
  local m
  # Innermost first, so a bind mount is never left under a removed folder.
  for m in $(awk -v r="$root/" 'index($2, r) == 1 { print $2 }' /proc/mounts | sort -r); do
    umount -l "$m" 2>/dev/null || true
  done
  if [ "$keep" -eq 0 ]; then
    if mounted; then
      echo "fresh-debian-check: $root still has mounts; left in place" >&2
    else
      rm -rf --one-file-system "$root"
    fi
  fi
}
trap cleanup EXIT

echo "== debootstrap bookworm from $mirror into $root"
cache_args=()
if [ -n "$cache" ]; then
  mkdir -p "$cache"
  cache_args=(--cache-dir="$(cd "$cache" && pwd)")
fi
debootstrap --variant=minbase "${cache_args[@]}" bookworm "$root" "$mirror"

echo "== copying the working tree from $tree"
mkdir -p "$root/root/scalora"
if git -C "$tree" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$tree" && git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf -) | tar -xf - -C "$root/root/scalora"
else
  tar -C "$tree" --exclude=./build -cf - . | tar -xf - -C "$root/root/scalora"
fi

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
if [ -n "$cache" ]; then
  mount --bind "$(cd "$cache" && pwd)" "$root/var/cache/apt/archives"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

inside() {
  chroot "$root" env -i HOME=/root TERM=dumb PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive ${JOBS:+JOBS=$JOBS} ${SHOT_DISPLAY:+SHOT_DISPLAY=$SHOT_DISPLAY} \
    bash -c "$1"
}

echo "== installing make"
inside 'apt-get update -qq && apt-get install -y -qq --no-install-recommends make'

echo "== make test"
result=0
inside 'cd /root/scalora && make test ${JOBS:+JOBS=$JOBS}' || result=$?

# fc-match comes with fontconfig's tools, which nothing the programs need
# installs; they are added only now, after the tests.
inside 'command -v fc-match >/dev/null || apt-get install -y -qq --no-install-recommends fontconfig >/dev/null' || true
echo "== fc-match sans-serif: $(inside 'fc-match sans-serif' || true)"

if [ -n "$shots" ] && [ "$result" -eq 0 ]; then
  echo "== screenshots into $shots"
  mkdir -p "$shots"
  # Xvfb keeps its screen in an XWD file in -fbdir; the programs are shown
  # one after the other on one display, from a copy of the built programs
  # with fresh stores.
  cat >"$root/root/screenshots.sh" <<'SHOTS'
set -e
cd /root/run
for program in scalora scalora2; do
  "./$program" & pid=$!
  sleep 10
  cp /root/shots/Xvfb_screen0 "/root/shots/$program.xwd"
  kill -KILL "$pid" # nothing to keep; a term signal can leave scalora2 hanging in its database's shutdown
  wait "$pid" || true
done
SHOTS
  if inside 'rm -rf /root/run /root/shots && mkdir -p /root/shots &&
      cp -a /root/scalora/build/bin /root/run && /root/run/scalora-setup >/dev/null &&
      xvfb-run -n ${SHOT_DISPLAY:-99} -e /root/shots/xvfb.log \
        -s "-screen 0 1280x1024x24 -fbdir /root/shots" bash /root/screenshots.sh'; then
    for program in scalora scalora2; do
      if command -v convert >/dev/null; then
        convert "xwd:$root/root/shots/$program.xwd" "$shots/$program.png"
      else
        cp "$root/root/shots/$program.xwd" "$shots/"
      fi
    done
    ls -l "$shots"
  else
    echo "== screenshots FAILED; the virtual display said:"
    cat "$root/root/shots/xvfb.log" || true
    shot_failed=1
  fi
fi

if [ "$result" -eq 0 ]; then
  echo "== fresh Debian 12: make test passed"
else
  echo "== fresh Debian 12: make test FAILED (exit $result)"
fi
[ "$result" -ne 0 ] || [ "${shot_failed:-0}" -eq 0 ] || result=3
exit "$result"
