#!/usr/bin/env bash
# What installing packages costs on a bare Debian 12 (its required and essential packages
# only): apt's own simulation, `apt-get -s install --no-install-recommends`, run twice
# against an empty dpkg status, once for the bare system and once for the bare system with
# the packages; what the second installs beyond the first, with the Installed-Size of each.
#   install-weight.sh PACKAGE...      e.g. install-weight.sh $(install-deps.sh runtime --list)
# Prints "N packages, M MB" (MB of 1,000,000 bytes; Installed-Size counts KiB).
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 PACKAGE..." >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/status"
simulate() {
  apt-get -s install --no-install-recommends -o Dir::State::status="$work/status" "$@" |
    awk '$1 == "Inst" {print $2}' | sort -u
}
# The bare system: the packages debootstrap's minbase starts from, and what they need.
mapfile -t base < <(apt-cache dumpavail | awk '/^Package: /{p=$2} /^Priority: required/{print p} /^Essential: yes/{print p}' | sort -u)
simulate "${base[@]}" >"$work/base"
simulate "${base[@]}" "$@" >"$work/with"
mapfile -t added < <(comm -13 "$work/base" "$work/with")
apt-cache show --no-all-versions "${added[@]}" |
  awk -v n="${#added[@]}" '/^Installed-Size: / {k += $2} END {printf "%d packages, %.1f MB\n", n, k * 1024 / 1e6}'
