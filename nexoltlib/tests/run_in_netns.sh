#!/usr/bin/env bash
# Runs the broadcast test binary inside network namespaces made here and removed on exit:
# a host namespace and a device namespace joined by a veth pair, a namespace that has only
# its loopback interface, one where even that is down, a second host/device pair whose host
# end starts without an address, and a pair whose ends lie in different subnets.
# Nothing is ever broadcast in the machine's own namespace.
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
foreign_host=nxfh$id
foreign_device=nxfd$id
namespaces=("$host" "$device" "$lonely" "$dark" "$bare_host" "$bare_device" "$foreign_host"
            "$foreign_device")
sim_pids=()
cleanup() {
  for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
  for ns in "${namespaces[@]}"; do ip netns del "$ns" 2>/dev/null; done
}
work=$(mktemp -d)
trap cleanup EXIT INT TERM

for ns in "${namespaces[@]}"; do
  if ! ip netns add "$ns"; then
    echo "cannot create network namespaces; skipping"
    exit 77
  fi
done

# pair HOST_NS HOST_LINK HOST_ADDRESS DEVICE_NS DEVICE_LINK DEVICE_ADDRESS (an empty address
# leaves that end without one); both ends and both loopbacks up.
pair() {
  ip link add "$2" netns "$1" type veth peer name "$5" netns "$4" || exit 1
  [ -n "$3" ] && ip -n "$1" addr add "$3" dev "$2"
  [ -n "$6" ] && ip -n "$4" addr add "$6" dev "$5"
  for end in "$1 $2" "$4 $5"; do
    set -- $end
    ip -n "$1" link set lo up
    ip -n "$1" link set "$2" up
  done
}
pair "$host" "vh$id" 10.201.0.1/24 "$device" "vd$id" 10.201.0.2/24
pair "$bare_host" "bh$id" "" "$bare_device" "bd$id" 10.202.0.2/24
pair "$foreign_host" "fh$id" 192.168.7.1/24 "$foreign_device" "fd$id" 10.1.0.1/8
ip -n "$lonely" link set lo up
# Neither side of the foreign pair has a route to the other's subnet; the reverse-path check
# that such a route would pass is off instead.
for ns in "$foreign_host" "$foreign_device"; do
  ip netns exec "$ns" sysctl -qw net.ipv4.conf.all.rp_filter=0 net.ipv4.conf.default.rp_filter=0
done
ip netns exec "$foreign_host" sysctl -qw "net.ipv4.conf.fh$id.rp_filter=0"
ip netns exec "$foreign_device" sysctl -qw "net.ipv4.conf.fd$id.rp_filter=0"

# start_sim NAMESPACE NAME: tevronsim inside NAMESPACE with $work/NAME-devices.ini and
# $work/NAME-management.ini, waited for until it prints "ready".
start_sim() {
  ip netns exec "$1" "$tevronsim" --devices "$work/$2-devices.ini" \
    --management "$work/$2-management.ini" > "$work/$2.out" 2>&1 < /dev/zero &
  sim_pids+=($!)
  for _ in $(seq 100); do
    grep -qx ready "$work/$2.out" && return 0
    kill -0 "${sim_pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "tevronsim did not start:"; cat "$work/$2.out"
  return 1
}

outer=$(stat -L -c %i /proc/self/ns/net)
status=0
NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_DEVICE_NETNS="$device" \
  ip netns exec "$host" "$test_binary" --gtest_filter='BroadcastSearch.*-*Tevronsim*' || status=1

# The simulator on the device side of the veth, answering on 50005/50007 there.
if [ -n "$tevronsim" ]; then
  cat > "$work/veth-devices.ini" <<INI
[press]
model = TKA-35
listen = 10.201.0.2:0
[pump]
model = TKA-31P
listen = 10.201.0.2:0
INI
  cat > "$work/veth-management.ini" <<INI
[management]
listen = 0.0.0.0:50005
[press]
encipher = 1
[pump]
fragment_size = 300
INI
  if start_sim "$device" veth; then
    NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_TEVRONSIM=1 \
      ip netns exec "$host" "$test_binary" --gtest_filter='BroadcastSearch.*Tevronsim*' || status=1
  else
    status=1
  fi

  # A factory-new device in another subnet: it can only answer by broadcast.
  cat > "$work/foreign-devices.ini" <<INI
[yard]
model = TKA-33
listen = 10.1.0.1:0
INI
  cat > "$work/foreign-management.ini" <<INI
[management]
listen = 0.0.0.0:50005
[yard]
address = 10.1.0.1/8
answer_by_broadcast = 1
INI
  if start_sim "$foreign_device" foreign; then
    NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_TEVRONSIM=1 \
      ip netns exec "$foreign_host" "$test_binary" --gtest_filter='ForeignSubnet.*' || status=1
  else
    status=1
  fi
fi
NEXOLT_TEST_OUTER_NETNS=$outer NEXOLT_TEST_DEVICE_NETNS="$bare_device" NEXOLT_TEST_BARE_LINK="bh$id" \
  ip netns exec "$bare_host" "$test_binary" --gtest_filter='GrowingTable.*' || status=1
NEXOLT_TEST_OUTER_NETNS=$outer \
  ip netns exec "$lonely" "$test_binary" --gtest_filter='LoopbackOnly.*' || status=1
NEXOLT_TEST_OUTER_NETNS=$outer \
  ip netns exec "$dark" "$test_binary" --gtest_filter='LoopbackDown.*' || status=1
exit $status
