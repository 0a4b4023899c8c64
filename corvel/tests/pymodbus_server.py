#!/usr/bin/python3
"""Runs a pymodbus TCP server on loopback and the Corvel interoperability client against it.

The server is a Modbus implementation nobody here wrote: if Corvel's frames or decoding were
wrong, the client's checks (or the server's coil state checked below) would fail.
Usage: pymodbus_server.py <client-binary>
"""
import asyncio
import logging
import socket
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.device import ModbusDeviceIdentification
from pymodbus.server import StartAsyncTcpServer

UNIT = 1


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_context():
    # Datablocks are addressed from 1 inside pymodbus' sequential blocks: address 0 of the
    # protocol is index 1 of the list.
    coils = [0] * 2000
    coils[0:8] = [1, 0, 1, 0, 0, 1, 0, 1]  # 0xA5
    inputs = [0] * 100
    inputs[0:8] = [1, 1, 0, 0, 0, 0, 0, 0]  # 0x03
    holding = [0] * 100
    holding[0] = 0x1234  # inputs as a register
    holding[4] = 0xBEEF  # the single register four above the input base
    holding[16] = 0x00F0  # outputs as a register (output base 16)
    input_registers = [10, 11, 12, 13] + [0] * 96
    store = ModbusSlaveContext(
        co=ModbusSequentialDataBlock(1, coils),
        di=ModbusSequentialDataBlock(1, inputs),
        hr=ModbusSequentialDataBlock(1, holding),
        ir=ModbusSequentialDataBlock(1, input_registers),
        zero_mode=False,
    )
    return ModbusServerContext(slaves={UNIT: store}, single=False)


def make_identity():
    identity = ModbusDeviceIdentification(info_name={"VendorName": "Loopback"})
    # Extended objects: 0x83 names an input port, 0x85 carries the pulse flags.
    identity[0x83] = b"\x02"
    identity[0x85] = b"\x05\x00"
    return identity


async def main(client):
    port = free_port()
    context = make_context()
    server = await StartAsyncTcpServer(context=context, identity=make_identity(),
                                       address=("127.0.0.1", port), defer_start=True)
    serving = asyncio.create_task(server.serve_forever())
    for _ in range(100):
        try:
            _, writer = await asyncio.open_connection("127.0.0.1", port)
            writer.close()
            break
        except OSError:
            await asyncio.sleep(0.05)
    process = await asyncio.create_subprocess_exec(client, str(port))
    try:
        code = await asyncio.wait_for(process.wait(), 30)
    except asyncio.TimeoutError:
        process.kill()
        code = 99
    coils = context[UNIT].getValues(1, 0, count=8)
    enabled = context[UNIT].getValues(1, 1202, count=1)[0]
    await server.shutdown()
    serving.cancel()
    if code != 0:
        print(f"client failed with {code}")
        return code
    if coils[3] != 1:
        print(f"coil 3 was not switched on by the client: {coils}")
        return 2
    if not enabled:
        print("the input-change enable write after identification did not reach coil 1202")
        return 3
    print("interoperability checks passed")
    return 0


if __name__ == "__main__":
    logging.basicConfig(level=logging.CRITICAL)
    sys.exit(asyncio.run(main(sys.argv[1])))
