#!/bin/sh
# Runs a test program with a small disk of its own: a 16 MB tmpfs mounted in
# a private user and mount namespace, named by TRIMBO_SMALL_DISK. Inside the
# namespace the test may fill the disk or remount it read-only without
# touching the machine. Where the machine allows no such namespace, the test
# runs as it is and falls back on other means (skipping, and saying so, what
# they cannot stand in for); so it does where the namespace is allowed but
# the mount is not.
set -u
unshare --user --map-root-user --mount true 2>/dev/null || exec "$@"
disk=$(mktemp -d "${TMPDIR:-/tmp}/trimbo-disk.XXXXXX") || exit 1
# The test's exit status stays the script's.
trap 'rmdir "$disk"' EXIT
unshare --user --map-root-user --mount sh -c '
    disk=$1; shift
    mount -t tmpfs -o size=16m tmpfs "$disk" 2>/dev/null && export TRIMBO_SMALL_DISK="$disk"
    exec "$@"' sh "$disk" "$@"
