#!/usr/bin/env bash
# Runs the broadcast test binary inside network namespaces made here and removed on exit:
# a host namespace and a device namespace joined by a veth pair, and a namespace that has
# only its loopback interface. Nothing is ever broadcast in the machine's own namespace.
set -u
test_binary=$1

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
  echo "network namespaces need root and iproute2; skipping"
  exit 77
fi

id=$$
host=nxhost$id
device=nxdev$id
lonely=nxlo$id
cleanup() {
  for ns in "$host" "$device" "$lonely"; do ip netns del "$ns" 2>/dev/null; done
}
trap cleanup EXIT INT TERM

if ! ip netns add "$host" || ! ip netns add "$device" || ! ip netns add "$lonely"; then
  echo "cannot create network namespaces; skipping"
  exit 77
fi
ip link add "vh$id" netns "$host" type veth peer name "vd$id" netns "$device" || exit 1
ip -n "$host" addr add 10.201.0.1/24 dev "vh$id"
ip -n "$device" addr add 10.201.0.2/24 dev "vd$id"
for ns in "$host" "$device" "$lonely"; do ip -n "$ns" link set lo up; done
ip -n "$host" link set "vh$id" up
ip -n "$device" link set "vd$id" up

outer=$(stat -L -c %i /proc/self/ns/net)
status=0
NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_DEVICE_NETNS="$device" \
  ip netns exec "$host" "$test_binary" --gtest_filter='BroadcastSearch.*' || status=1
NEXOLT_TEST_OUTER_NETNS=$outer \
  ip netns exec "$lonely" "$test_binary" --gtest_filter='LoopbackOnly.*' || status=1
exit $status
