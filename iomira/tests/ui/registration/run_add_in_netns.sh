#!/usr/bin/env bash
# Runs the search-and-add test inside network namespaces made here and removed on exit: the
# program in a host namespace, tevronsim with one TKA, one TKB-11 and one RLX controller in a
# device namespace, joined by a veth pair. Nothing is ever broadcast in the machine's own
# namespace.
set -u
test_binary=$1
tevronsim=$2

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
  echo "network namespaces need root and iproute2; skipping"
  exit 77
fi

id=$$
host=adhost$id
device=addev$id
namespaces=("$host" "$device")
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
ip link add "ah$id" netns "$host" type veth peer name "ad$id" netns "$device" || exit 1
ip -n "$host" addr add 10.204.0.1/24 dev "ah$id"
ip -n "$device" addr add 10.204.0.2/24 dev "ad$id"
ip -n "$host" link set "ah$id" up
ip -n "$device" link set "ad$id" up

cat > "$work/devices.ini" <<INI
[press]
model = TKA-35
listen = 10.204.0.2:15201
[gate]
model = TKB-11
listen = 10.204.0.2:15202
[boiler]
model = RLX-850
listen = 10.204.0.2:15203
INI
cat > "$work/management.ini" <<INI
[management]
listen = 0.0.0.0:50005
[press]
mac = 00:30:F9:AA:00:01
[gate]
mac = 02:00:00:00:00:0B
comment = North gate
[boiler]
mac = 02:00:00:00:01:05
comment = Boiler room
INI
ip netns exec "$device" "$tevronsim" --devices "$work/devices.ini" \
  --management "$work/management.ini" --log "$work/requests.jsonl" > "$work/sim.out" 2>&1 \
  < /dev/zero &
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

IOMIRA_E2E_SIM_LOG="$work/requests.jsonl" ip netns exec "$host" "$test_binary"
