#!/usr/bin/env bash
# Runs the broadcast test binary inside network namespaces made here and removed on exit:
# a host namespace and a device namespace joined by a veth pair, a namespace that has only
# its loopback interface, one where even that is down, and a second host/device pair whose
# host end starts without an address. Nothing is ever broadcast in the machine's own namespace.
set -u
test_binary=$1
tevronsim=${2:-}

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
  echo "network namespaces need root and iproute2; skipping"
  exit 77
fi

id=$$
host=nxhost$id
device=nxdev$id
lonely=nxlo$id
dark=nxdark$id
bare_host=nxbh$id
bare_device=nxbd$id
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
  for ns in "$host" "$device" "$lonely" "$dark" "$bare_host" "$bare_device"; do ip netns del "$ns" 2>/dev/null; done
}
work=$(mktemp -d)
trap cleanup EXIT INT TERM

if ! ip netns add "$host" || ! ip netns add "$device" || ! ip netns add "$lonely" ||
   ! ip netns add "$dark" || ! ip netns add "$bare_host" || ! ip netns add "$bare_device"; then
  echo "cannot create network namespaces; skipping"
  exit 77
fi
ip link add "vh$id" netns "$host" type veth peer name "vd$id" netns "$device" || exit 1
ip -n "$host" addr add 10.201.0.1/24 dev "vh$id"
ip -n "$device" addr add 10.201.0.2/24 dev "vd$id"
for ns in "$host" "$device" "$lonely"; do ip -n "$ns" link set lo up; done
ip -n "$host" link set "vh$id" up
ip -n "$device" link set "vd$id" up
ip link add "bh$id" netns "$bare_host" type veth peer name "bd$id" netns "$bare_device" || exit 1
ip -n "$bare_device" addr add 10.202.0.2/24 dev "bd$id"
for ns in "$bare_host" "$bare_device"; do ip -n "$ns" link set lo up; done
ip -n "$bare_host" link set "bh$id" up
ip -n "$bare_device" link set "bd$id" up

outer=$(stat -L -c %i /proc/self/ns/net)
status=0
NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_DEVICE_NETNS="$device" \
  ip netns exec "$host" "$test_binary" --gtest_filter='BroadcastSearch.*-*Tevronsim*' || status=1

# The simulator on the device side of the veth, answering on 50005/50007 there.
if [ -n "$tevronsim" ]; then
  cat > "$work/devices.ini" <<INI
[press]
model = TKA-35
listen = 10.201.0.2:0
[pump]
model = TKA-31P
listen = 10.201.0.2:0
INI
  cat > "$work/management.ini" <<INI
[management]
listen = 0.0.0.0:50005
[press]
encipher = 1
[pump]
fragment_size = 300
INI
  ip netns exec "$device" "$tevronsim" --devices "$work/devices.ini" \
    --management "$work/management.ini" > "$work/sim.out" 2>&1 < /dev/zero &
  sim_pid=$!
  for _ in $(seq 100); do
    grep -qx ready "$work/sim.out" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  if grep -qx ready "$work/sim.out"; then
    NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_TEVRONSIM=1 \
      ip netns exec "$host" "$test_binary" --gtest_filter='BroadcastSearch.*Tevronsim*' || status=1
  else
    echo "tevronsim did not start:"; cat "$work/sim.out"; status=1
  fi
fi
NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_DEVICE_NETNS="$bare_device" NEXOLT_TEST_BARE_LINK="bh$id" \
  ip netns exec "$bare_host" "$test_binary" --gtest_filter='GrowingTable.*' || status=1
NEXOLT_TEST_OUTER_NETNS=$outer \
  ip netns exec "$lonely" "$test_binary" --gtest_filter='LoopbackOnly.*' || status=1
NEXOLT_TEST_OUTER_NETNS=$outer \
  ip netns exec "$dark" "$test_binary" --gtest_filter='LoopbackDown.*' || status=1
exit $status
