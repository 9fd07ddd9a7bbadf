#!/usr/bin/env bash
# Proves that a Zepta package installs and runs on a clean system: a minimal
# root of the Debian release this machine runs (debootstrap, into a folder
# beside the package), where `apt-get install ./zepta_*.deb` must bring in
# every library from the package's dependencies alone (no Recommends), and
# then zepta-cli --version, zepta-sim --help, zepta --version and a real
# offscreen start of zepta ended by SIGTERM must all exit 0. Needs root
# (chroot, mounts) and the distribution's mirror; mounts are undone on exit.
#   tools/packagecheck.sh build-package/zepta_1.13_amd64.deb
# shellcheck disable=SC2016,SC2317 # apt's format fields; functions run by expect
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$(realpath "${1:?usage: tools/packagecheck.sh PACKAGE.deb}")"
target="$(dirname "$deb")/clean-root"
[ "$(id -u)" -eq 0 ] || { echo "packagecheck.sh: needs root (chroot)" >&2; exit 1; }
"$root/tools/install-deps.sh" debootstrap
started=$SECONDS

# Every mount inside the root, deepest first: ours, and debootstrap's when it
# was cut short.
unmount() {
    local point
    awk -v root="$target/" 'index($2, root) == 1 { print $2 }' /proc/self/mounts | sort -r |
        while read -r point; do
            umount "$point" || umount -l "$point"
        done
}
trap unmount EXIT
unmount # left mounted by a run that was killed

# The same release and mirror as this machine's own packages, from apt itself.
# shellcheck source=/dev/null
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' |
    awk -v suite="$suite" '$2 == suite { print $1; exit }')
# Never into a mount that is still there (the machine's /dev).
rm -rf --one-file-system "$target"
echo "packagecheck: debootstrap $suite into $target"
debootstrap --variant=minbase "$suite" "$target" ${mirror:+"$mirror"} >"$target.log" 2>&1 ||
    { tail -20 "$target.log" >&2; exit 1; }
echo "packagecheck: root made in $((SECONDS - started)) s"
cp /etc/resolv.conf "$target/etc/resolv.conf"
mount -t proc proc "$target/proc"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"

in_root() { chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
cp "$deb" "$target/tmp/"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$deb")" >"$target.install.log" 2>&1 ||
    { tail -20 "$target.install.log" >&2; exit 1; }
echo "packagecheck: installed with its dependencies after $((SECONDS - started)) s"

failed=0
expect() { # expect WHAT COMMAND...: the command must exit 0
    local what="$1"
    shift
    if output=$("$@" 2>&1); then
        echo "packagecheck: ok   $what: $(tail -1 <<<"$output")"
    else
        echo "packagecheck: FAIL $what (status $?): $output"
        failed=1
    fi
}
expect "zepta-cli --version" in_root zepta-cli --version
expect "zepta-sim --help" in_root zepta-sim --help
expect "zepta --version" in_root zepta --version
expect "launcher, metainfo, icons, manual pages" in_root sh -c \
    'ls /usr/share/applications/zepta.desktop /usr/share/metainfo/*.metainfo.xml \
        /usr/share/icons/hicolor/*/apps/zepta.* /usr/share/man/man1/zepta*.1.gz'

# The window, offscreen: up for two seconds, then SIGTERM closes it as the
# close box does, saving its settings in the folder it was started from.
run_window() {
    mkdir -p "$target/tmp/zepta-run"
    # Started directly, so that the pid is zepta's own (each step execs the next).
    chroot "$target" env -i PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        sh -c 'cd /tmp/zepta-run && exec zepta' 2>"$target/tmp/zepta-run.log" &
    local pid=$!
    sleep 2
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" && echo "ended by itself" || echo "ended by itself, status $?"
        cat "$target/tmp/zepta-run.log"
        return 1
    fi
    kill -TERM "$pid"
    local status=0
    timeout 5 tail --pid="$pid" -f /dev/null || { kill -KILL "$pid"; echo "no end in 5 s"; }
    wait "$pid" || status=$?
    if [ "$status" -eq 0 ] && [ -s "$target/tmp/zepta-run/Config_QV_demo.dat" ]; then
        echo "started offscreen, closed by SIGTERM, settings saved"
    else
        echo "status $status; its stderr:"
        cat "$target/tmp/zepta-run.log"
        return 1
    fi
}
expect "zepta offscreen" run_window

echo "packagecheck: $((SECONDS - started)) s"
exit "$failed"
