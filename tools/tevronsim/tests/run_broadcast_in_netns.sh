#!/usr/bin/env bash
# Runs the broadcast searches of the three device libraries inside network namespaces made
# here and removed on exit: a host and a device namespace joined by a veth pair, tevronsim on
# the device side, and a namespace with only its loopback interface. Nothing is ever
# broadcast in the machine's own namespace.
set -u
test_binary=$1
tevronsim=$2

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
  echo "network namespaces need root and iproute2; skipping"
  exit 77
fi

id=$$
host=sbhost$id
device=sbdev$id
lonely=sblo$id
namespaces=("$host" "$device" "$lonely")
sim_pid=
work=$(mktemp -d)
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
  for ns in "${namespaces[@]}"; do ip netns del "$ns" 2>/dev/null; done
}
trap cleanup EXIT INT TERM

for ns in "${namespaces[@]}"; do
  if ! ip netns add "$ns"; then
    echo "cannot create network namespaces; skipping"
    exit 77
  fi
  ip -n "$ns" link set lo up
done
ip link add "sh$id" netns "$host" type veth peer name "sd$id" netns "$device" || exit 1
ip -n "$host" addr add 10.203.0.1/24 dev "sh$id"
ip -n "$device" addr add 10.203.0.2/24 dev "sd$id"
ip -n "$host" link set "sh$id" up
ip -n "$device" link set "sd$id" up

# One device of each library, a second TKB-11 and RLX that repeat the first ones' MAC, and a
# TKB-11 with a zero MAC: each library lists its own device once.
cat > "$work/devices.ini" <<INI
[press]
model = TKA-35
listen = 10.203.0.2:15101
[gate]
model = TKB-11
listen = 10.203.0.2:15102
unit_id = 4
[boiler]
model = RLX-850
listen = 10.203.0.2:15103
[gate_twin]
model = TKB-11
listen = 10.203.0.2:15104
[boiler_twin]
model = RLX-820
listen = 10.203.0.2:15105
[nameless]
model = TKB-11
listen = 10.203.0.2:15106
INI
cat > "$work/management.ini" <<INI
[management]
listen = 0.0.0.0:50005
[press]
mac = 00:30:F9:AA:00:01
[gate]
mac = 02:00:00:00:00:0B
comment = North gate
[gate_twin]
mac = 02:00:00:00:00:0B
[boiler]
mac = 02:00:00:00:01:05
comment = Boiler room
[boiler_twin]
mac = 02:00:00:00:01:05
[nameless]
mac = 00:00:00:00:00:00
INI
ip netns exec "$device" "$tevronsim" --devices "$work/devices.ini" \
  --management "$work/management.ini" > "$work/sim.out" 2>&1 < /dev/zero &
sim_pid=$!
for _ in $(seq 100); do
  grep -qx ready "$work/sim.out" && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -qx ready "$work/sim.out"; then
  echo "tevronsim did not start:"; cat "$work/sim.out"
  exit 1
fi

status=0
ip netns exec "$host" "$test_binary" --gtest_filter='Broadcast.*' || status=1
ip netns exec "$lonely" "$test_binary" --gtest_filter='LoopbackOnly.*' || status=1
exit $status
