"""tevronsim against an independent Modbus/TCP client (pymodbus): the standard functions,
exceptions, identification, the request log and the change reports, checked on the wire."""

import socket
import struct
import sys
import time
import unittest

from pymodbus.client import ModbusTcpClient
from pymodbus.mei_message import ReadDeviceInformationRequest

from sim_process import SimProcess

DEVICES = """
[gen]
model = TKA-31
listen = 127.0.0.1:0
unit_id = 7
input_base = 100
output_base = 200
inputs = 0xA5
outputs = 0x03

[small]
model = TKA-33
listen = 127.0.0.1:0
inputs = 0b10

[rlx]
model = RLX-850
listen = 127.0.0.1:0
inputs = 0x05
counters = 0x12345, 2, 3, 4
analog = 100, 200, 300, 4095
modes = 1, 0, 2, 3
errors = 0, 3, 0, 0
pulse_flags = 0x0102
change_port = 2

[temp]
model = RLX-840
listen = [::1]:0
temperature = -12.3
modes = 1
errors = 3
"""

BINARY = sys.argv.pop(1)


class Base(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = SimProcess(BINARY, DEVICES)

    @classmethod
    def tearDownClass(cls):
        cls.sim.close()

    def client(self, name, host="127.0.0.1"):
        c = ModbusTcpClient(host, port=self.sim.ports[name], timeout=3, retries=0)
        self.assertTrue(c.connect())
        self.addCleanup(c.close)
        return c

    def raw(self, name, host="127.0.0.1"):
        s = socket.create_connection((host, self.sim.ports[name]), timeout=3)
        self.addCleanup(s.close)
        return s


def recv_frame(s):
    head = b""
    while len(head) < 7:
        chunk = s.recv(7 - len(head))
        if not chunk:
            raise ConnectionError("closed")
        head += chunk
    tid, pid, length, unit = struct.unpack(">HHHB", head)
    body = b""
    while len(body) < length - 1:
        body += s.recv(length - 1 - len(body))
    return tid, unit, body


class GenericFunctions(Base):
    def test_reads_at_the_bases(self):
        c = self.client("gen")
        self.assertEqual(c.read_discrete_inputs(100, 8, slave=7).bits[:8],
                         [True, False, True, False, False, True, False, True])
        self.assertEqual(c.read_coils(200, 8, slave=7).bits[:8],
                         [True, True] + [False] * 6)
        self.assertEqual(c.read_discrete_inputs(104, 4, slave=7).bits[:4],
                         [False, True, False, True])
        self.assertEqual(c.read_holding_registers(100, 1, slave=7).registers, [0xA5])
        self.assertEqual(c.read_holding_registers(200, 1, slave=7).registers, [0x03])

    def test_write_coil_switches_the_output(self):
        c = self.client("gen")
        self.assertFalse(c.write_coil(205, True, slave=7).isError())
        self.assertTrue(c.read_coils(205, 1, slave=7).bits[0])
        self.assertFalse(c.write_coil(205, False, slave=7).isError())
        self.assertFalse(c.read_coils(205, 1, slave=7).bits[0])

    def test_exceptions(self):
        c = self.client("gen")
        cases = [
            ("coils past the last output", lambda: c.read_coils(200, 9, slave=7), 2),
            ("coils below the base", lambda: c.read_coils(199, 1, slave=7), 2),
            ("inputs at the output base", lambda: c.read_discrete_inputs(200, 1, slave=7), 2),
            ("coil write outside", lambda: c.write_coil(208, True, slave=7), 2),
            ("register between the bases", lambda: c.read_holding_registers(101, 1, slave=7), 2),
            ("input registers", lambda: c.read_input_registers(0, 1, slave=7), 1),
            ("write register", lambda: c.write_register(200, 1, slave=7), 1),
            ("write coils", lambda: c.write_coils(200, [True], slave=7), 1),
        ]
        for what, call, code in cases:
            with self.subTest(what):
                r = call()
                self.assertTrue(r.isError(), what)
                self.assertEqual(r.exception_code, code, what)

    def test_small_model_ports(self):
        c = self.client("small")
        self.assertEqual(c.read_discrete_inputs(0, 2, slave=1).bits[:2], [False, True])
        self.assertEqual(c.read_discrete_inputs(0, 3, slave=1).exception_code, 2)
        self.assertEqual(c.read_coils(0, 2, slave=1).exception_code, 2)

    def test_pulse_ends_by_itself(self):
        s = self.raw("gen")
        s.sendall(struct.pack(">HHHBBHHB", 0x2F00, 0, 7, 7, 0x69, 202, 150, 0xFF))
        tid, unit, body = recv_frame(s)
        self.assertEqual((tid, unit), (0x2F00, 7))
        self.assertEqual(body, struct.pack(">BHHB", 0x69, 202, 150, 0xFF))
        c = self.client("gen")
        self.assertTrue(c.read_coils(202, 1, slave=7).bits[0])
        # A second pulse on the same port while the first runs is refused as busy.
        s.sendall(struct.pack(">HHHBBHHB", 0x2F01, 0, 7, 7, 0x69, 202, 150, 0xFF))
        self.assertEqual(recv_frame(s)[2], bytes([0xE9, 6]))
        deadline = time.monotonic() + 3
        while c.read_coils(202, 1, slave=7).bits[0]:
            self.assertLess(time.monotonic(), deadline, "pulse did not end")
            time.sleep(0.05)

    def test_request_log_records_the_wire(self):
        s = self.raw("gen")
        s.sendall(struct.pack(">HHHBBHH", 0x2D05, 0, 6, 7, 0x01, 200, 8))
        recv_frame(s)
        s.sendall(struct.pack(">HHHBBHH", 0x2C09, 0, 6, 9, 0x02, 100, 8))  # wrong unit
        s.sendall(struct.pack(">HHHBBHH", 0x2C0A, 0, 6, 7, 0x02, 100, 8))
        recv_frame(s)
        entries = [e for e in self.sim.log() if e["transaction"] in (0x2D05, 0x2C09, 0x2C0A)]
        self.assertEqual(len(entries), 3)
        first, ignored, last = entries
        self.assertEqual((first["device"], first["function"], first["address"],
                          first["quantity"], first["answer"]), ("gen", 1, 200, 8, "response"))
        self.assertEqual((ignored["answer"], ignored["reason"]), ("none", "unit id"))
        self.assertEqual((last["function"], last["unit"], last["answer"]), (2, 7, "response"))


class RlxFunctions(Base):
    def test_absolute_tables(self):
        c = self.client("rlx")
        self.assertEqual(c.read_input_registers(0, 4, slave=255).registers, [100, 200, 300, 4095])
        self.assertEqual(c.read_input_registers(8, 4, slave=255).registers, [0, 3, 0, 0])
        self.assertEqual(c.read_input_registers(160, 8, slave=255).registers,
                         [0x0001, 0x2345, 0, 2, 0, 3, 0, 4])
        self.assertEqual(c.read_holding_registers(466, 2, slave=255).registers,
                         [0x0001, 0x0302])
        self.assertEqual(c.read_discrete_inputs(0, 4, slave=255).bits[:4],
                         [True, False, True, False])
        self.assertEqual(c.read_input_registers(4, 1, slave=255).exception_code, 2)
        self.assertEqual(c.read_input_registers(168, 1, slave=255).exception_code, 2)

    def test_identification_objects(self):
        c = self.client("rlx")

        def ask(code, object_id):
            # This pymodbus takes the unit id of this request as "unit".
            return c.execute(ReadDeviceInformationRequest(code, object_id, unit=255))

        self.assertEqual(ask(4, 0x83).information, {0x83: b"\x02"})
        self.assertEqual(ask(4, 0x85).information, {0x85: b"\x02\x01"})
        self.assertEqual(ask(1, 0).information, {0: b"Tevron", 1: b"RLX-850", 2: b"1.0"})
        self.assertEqual(ask(4, 0x84).exception_code, 2)

    def test_temperature_over_ipv6(self):
        c = self.client("temp", host="::1")
        (raw,) = c.read_input_registers(0, 1, slave=255).registers
        self.assertEqual(struct.unpack(">h", struct.pack(">H", raw))[0], -123)
        self.assertEqual(c.read_input_registers(8, 1, slave=255).registers, [3])
        self.assertEqual(c.read_holding_registers(466, 2, slave=255).registers, [1, 0])

    def test_change_reports_after_enable(self):
        s = self.raw("rlx")
        s.sendall(struct.pack(">HHHBBHH", 0x3700, 0, 6, 255, 0x05, 1202, 0xFF00))
        self.assertEqual(recv_frame(s)[2], struct.pack(">BHH", 0x05, 1202, 0xFF00))
        self.sim.command("input rlx 1 1")
        _, _, inputs = recv_frame(s)
        self.assertEqual(inputs, struct.pack(">BHHBH", 0x6C, 240, 1, 2, 0x07))
        _, _, counters = recv_frame(s)
        self.assertEqual(counters[:6], struct.pack(">BHHB", 0x6C, 160, 8, 16))
        self.assertEqual(struct.unpack(">8H", counters[6:])[2:4], (0, 3))
        s.sendall(struct.pack(">HHHBBHH", 0x3001, 0, 6, 255, 0x05, 3, 0xFF00))
        recv_frame(s)
        self.assertEqual(recv_frame(s)[2], struct.pack(">BHHBH", 0x6C, 320, 1, 2, 0x08))
        self.sim.command("input rlx 1 0")

    def test_faults_by_command(self):
        c = self.client("rlx")
        self.sim.command("exception rlx 4")
        self.assertEqual(c.read_discrete_inputs(0, 4, slave=255).exception_code, 4)
        self.sim.command("resume rlx")
        self.sim.command("delay rlx 300")
        started = time.monotonic()
        self.assertFalse(c.read_discrete_inputs(0, 4, slave=255).isError())
        self.assertGreaterEqual(time.monotonic() - started, 0.29)
        self.sim.command("resume rlx")


if __name__ == "__main__":
    unittest.main(verbosity=2)
