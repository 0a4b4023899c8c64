#!/usr/bin/env bash
# Runs a test binary in a network namespace of its own with only loopback up, so the library's
# fixed ports 50005/50007 never meet another test's ephemeral ports (they lie inside the
# ephemeral range). The namespace goes with the process. Listing the tests needs no network.
set -u
for arg in "$@"; do
  [ "$arg" = --gtest_list_tests ] && exec "$@"
done
inner='ip link set lo up && exec "$@"'
if [ "$(id -u)" -eq 0 ]; then
  exec unshare --net -- sh -c "$inner" sh "$@"
fi
if unshare --user --map-root-user --net -- true 2>/dev/null; then
  exec unshare --user --map-root-user --net -- sh -c "$inner" sh "$@"
fi
echo "no network namespace of our own (needs root or user namespaces); skipping"
exit 77
