#!/usr/bin/env bash
# Checks the README's commands as a new user meets them on a fresh Debian 12: makes a
# minimal Debian 12 (debootstrap --variant=minbase bookworm, from the mirror this
# machine's apt uses), mounts what a booted system has (proc, sys with cgroup2, a /dev as
# udev makes it, a tmpfs /tmp), adds only git, ca-certificates and sudo (not what they
# recommend) and a user who may use sudo, clones the current commit of this checkout
# into that user's home and runs the command there as that user: no locale set, no git
# identity.
#   fresh-debian.sh [--run] [--root] [--keep] [FOLDER]
#     (default)  bash scripts/test.sh: every test, Linux and Windows
#     --run      bash scripts/run.sh, until the program's window is up on a private X
#                server of this machine (then the program is ended)
#     --root     run the command as root instead
#     --keep     keep the system afterwards (unmounted), for a look inside
#     FOLDER     where to work: a new or empty folder (default: a new one under
#                /var/tmp); the system is made in FOLDER/debian, the logs stay in FOLDER
# Prints how many packages each step installed and how long it took, and the test
# counts. Whatever happens, the processes started in the system are ended, everything
# mounted is unmounted, and only then is the system removed. Uncommitted changes are
# not in the clone. Needs root, debootstrap and the network; not part of CI: the test
# command takes the better part of an hour on two cores.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

mode=test as_root=0 keep=0 work=
while [ $# -gt 0 ]; do
  case "$1" in
    --run) mode=run ;;
    --root) as_root=1 ;;
    --keep) keep=1 ;;
    -h|--help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    -*) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
    *) [ -z "$work" ] || { echo "one folder only" >&2; exit 2; }; work=$1 ;;
  esac
  shift
done

[ "$(id -u)" -eq 0 ] || { echo "error: run as root (debootstrap, chroot and mount need it)" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "error: debootstrap is missing: apt-get install debootstrap" >&2; exit 1; }
if [ $mode = run ]; then
  for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "error: --run needs $tool here (bash scripts/install-deps.sh test)" >&2; exit 1; }
  done
fi

# The Debian mirror of this machine's apt: the first source of bookworm, deb822 or
# one-line; the security archive likewise.
apt_uri() {  # SUITE
  local uri
  uri=$(awk -v suite="$1" 'BEGIN { RS = ""; FS = "\n" }
    { uris = ""; ok = 0; off = 0
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^URIs:/) { split($i, w, /[ \t]+/); uris = w[2] }
        if ($i ~ /^Suites:/ && (" " $i " ") ~ (" " suite " ")) ok = 1
        if ($i ~ /^Enabled:[ \t]*no/) off = 1
      }
      if (ok && !off && uris != "") { print uris; exit } }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk -v suite="$1" '$1 == "deb" && $3 == suite { print $2; exit }' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
  echo "$uri"
}
mirror=$(apt_uri bookworm)
[ -n "$mirror" ] || { echo "error: this machine's apt has no source for bookworm" >&2; exit 1; }
security=$(apt_uri bookworm-security)

commit=$(git -C "$repo" rev-parse HEAD)
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  echo "note: $repo has uncommitted changes; they are not in the clone, which is of $commit"
fi

if [ -z "$work" ]; then
  work=$(mktemp -d /var/tmp/tollbrook-fresh.XXXXXX)
else
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  [ -z "$(ls -A "$work")" ] || { echo "error: $work is not empty" >&2; exit 1; }
fi
case "$work" in *[[:space:]]*) echo "error: the folder's path holds a blank: $work" >&2; exit 1 ;; esac
root=$work/debian
user=tester
log=$work/$mode.log
summary=()
say() { echo "fresh-debian: $*"; summary+=("$*"); }

# Clean-up, whatever happens: the processes started inside the system, then what was
# mounted there (deepest first, lazily: a busy mount is detached and goes once free),
# then the system itself, only if nothing is mounted in it any more.
mounted=()
xvfb_pid=
mounts_under_root() {  # mount points at or under $root, deepest first
  awk -v r="$root" '$5 == r || index($5, r "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}
stop_processes_inside() {  # asked to end for 10 s, then killed
  local round p pids
  for round in $(seq 30); do
    pids=()
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && pids+=("${p#/proc/}")
    done
    [ ${#pids[@]} -gt 0 ] || return 0
    if [ "$round" -le 20 ]; then kill -TERM "${pids[@]}" 2>/dev/null; else kill -KILL "${pids[@]}" 2>/dev/null; fi
    sleep 0.5
  done
}
cleanup() {
  local rc=$? m i
  set +e
  trap - EXIT INT TERM
  [ -d "$root" ] && stop_processes_inside
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[i]}" 2>/dev/null || echo "warning: could not unmount ${mounted[i]}" >&2
  done
  # What else is mounted there was mounted by debootstrap, which this run started.
  for m in $(mounts_under_root); do umount -l "$m" || true; done
  if [ -d "$root" ]; then
    if [ -n "$(mounts_under_root)" ]; then
      echo "error: still mounted, so $root is left in place:" >&2
      mounts_under_root >&2
      [ $rc -ne 0 ] || rc=1
    elif [ $keep = 1 ]; then
      echo "fresh-debian: the system is kept in $root"
    else
      rm -rf --one-file-system "$root"
    fi
  fi
  echo "fresh-debian: logs in $work"
  exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_in() {  # TYPE OPTIONS TARGET
  mkdir -p "$3"
  mount -t "$1" -o "$2" "$1" "$3"
  mounted+=("$3")
}
inside() { chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"; }
packages() { inside dpkg-query -W -f='${db:Status-Abbrev}\n' | grep -c '^ii'; }
took() { printf '%dm %02ds' $(($1 / 60)) $(($1 % 60)); }

# The system.
start=$SECONDS
echo "fresh-debian: debootstrap --variant=minbase bookworm from $mirror into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 || {
  tail -n 20 "$work/debootstrap.log" >&2
  echo "error: debootstrap failed (the whole log: $work/debootstrap.log)" >&2
  exit 1
}
say "minimal Debian 12: $(packages) packages, $(took $((SECONDS - start)))"

# Mounted as on a booted system. /dev as udev makes it, not this machine's: its own
# pseudo-terminals and shared memory, and FUSE open to users.
mount_in proc nosuid,nodev,noexec "$root/proc"
mount_in sysfs nosuid,nodev,noexec "$root/sys"
mount_in cgroup2 nosuid,nodev,noexec "$root/sys/fs/cgroup"
mount_in tmpfs mode=0755,nosuid "$root/dev"
(
  cd "$root/dev"
  mknod -m 666 null c 1 3; mknod -m 666 zero c 1 5; mknod -m 666 full c 1 7
  mknod -m 666 random c 1 8; mknod -m 666 urandom c 1 9; mknod -m 666 tty c 5 0
  mknod -m 666 fuse c 10 229
  ln -s /proc/self/fd fd; ln -s /proc/self/fd/0 stdin; ln -s /proc/self/fd/1 stdout
  ln -s /proc/self/fd/2 stderr; ln -s pts/ptmx ptmx
)
mkdir -p "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5,nosuid,noexec devpts "$root/dev/pts"
mounted+=("$root/dev/pts")
mount_in tmpfs mode=1777,nosuid,nodev "$root/dev/shm"
mount_in tmpfs mode=1777,nosuid,nodev "$root/tmp"
say "/sys/fs/cgroup inside: $(inside stat -f -c %T /sys/fs/cgroup)"

# Debian 12's sources as the installer writes them; no daemon started by a package's
# installation (there is no init system here to own it).
rm -f "$root/etc/apt/sources.list"
{
  printf 'Types: deb\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\n' "$mirror"
  printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
  if [ -n "$security" ]; then
    printf '\nTypes: deb\nURIs: %s\nSuites: bookworm-security\nComponents: main\n' "$security"
    printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
  fi
} >"$root/etc/apt/sources.list.d/debian.sources"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n' "$(hostname)" >"$root/etc/hosts"

start=$SECONDS before=$(packages)
{
  inside apt-get update -qq
  inside env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends git ca-certificates sudo
} >"$work/base.log" 2>&1 || { tail -n 20 "$work/base.log" >&2; echo "error: installing git, ca-certificates and sudo failed" >&2; exit 1; }
say "git, ca-certificates, sudo: $(($(packages) - before)) packages, $(took $((SECONDS - start)))"

# The user, and the clone of this commit in their home.
inside useradd --create-home --shell /bin/bash --groups sudo "$user"
echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 440 "$root/etc/sudoers.d/$user"
# Debian's PATH for a user's login, and root's; the runtime folder a login gets from
# systemd-logind.
run_as=$user home=/home/$user path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
[ $as_root = 0 ] || run_as=root home=/root path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
uid=$(inside id -u "$run_as")
mount_in tmpfs "mode=0700,uid=$uid,gid=$(inside id -g "$run_as"),nosuid,nodev" "$root/run/user/$uid"
git -C "$repo" bundle create "$root/tmp/tollbrook.bundle" HEAD 2>/dev/null
chmod 644 "$root/tmp/tollbrook.bundle"
as_user() {  # COMMAND: run by bash in the home folder, with a login's environment only
  inside runuser -u "$run_as" -- env -i HOME="$home" USER="$run_as" LOGNAME="$run_as" SHELL=/bin/bash \
    PATH="$path" TERM=dumb XDG_RUNTIME_DIR="/run/user/$uid" ${DISPLAY_INSIDE:+DISPLAY=$DISPLAY_INSIDE} \
    bash -c "cd && $1"
}
as_user "git clone -q -c advice.detachedHead=false /tmp/tollbrook.bundle tollbrook" >/dev/null
say "clone of $commit in $home/tollbrook, run as $run_as"

start=$SECONDS before=$(packages)
set +e
if [ $mode = test ]; then
  echo "fresh-debian: bash scripts/test.sh (log: $log)"
  as_user "cd tollbrook && bash scripts/test.sh" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
else
  # A private X server of this machine; the system reaches it through its abstract
  # socket (the network is shared).
  exec 9>"$work/display"
  Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 9>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "error: the X server did not start" >&2; exit 1; }
  DISPLAY_INSIDE=":$(head -n1 "$work/display")"
  echo "fresh-debian: bash scripts/run.sh on $DISPLAY_INSIDE (log: $log)"
  as_user "cd tollbrook && bash scripts/run.sh" >"$log" 2>&1 &
  run_pid=$!
  tail -f --pid=$run_pid "$log" &
  tail_pid=$!
  window=
  while kill -0 $run_pid 2>/dev/null; do
    window=$(DISPLAY=$DISPLAY_INSIDE xdotool search --onlyvisible --class Tollbrook 2>/dev/null | head -n1)
    [ -z "$window" ] || break
    sleep 2
  done
  if [ -n "$window" ]; then
    took_window=$((SECONDS - start))
    sleep 3  # what the program says once its window is up
    rc=0
    result="window \"$(DISPLAY=$DISPLAY_INSIDE xdotool getwindowname "$window")\" up after $(took $took_window)"
    stop_processes_inside
    wait $run_pid 2>/dev/null
  else
    wait $run_pid
    rc=$?
    result="ended with $rc before a window came up"
  fi
  wait $tail_pid 2>/dev/null
fi
set -e
if [ $mode = test ]; then result="exit $rc"; fi
say "bash scripts/$mode.sh: $(($(packages) - before)) packages, $(took $((SECONDS - start))), $result"
# The test counts ctest gave (the Linux tests, then the Windows tests).
while read -r line; do say "  ctest: $line"; done < <(grep -aE 'tests passed, [0-9]+ tests failed out of' "$log" || true)
while read -r line; do say "  failed: $line"; done < <(sed -n '/The following tests FAILED:/,/^$/{/FAILED:/d;/^$/d;p}' "$log")
skipped=$(grep -c '^Skipped: ' "$log" || true)
[ "$skipped" = 0 ] || say "  skipped, each with its reason in the log: $skipped"

echo
echo "fresh-debian: summary"
printf '  %s\n' "${summary[@]}"
exit "$rc"
