"""Starts tevronsim as a child process and talks to it through its standard input."""

import ctypes
import json
import os
import selectors
import signal
import subprocess
import tempfile
import time


def _end_with_parent():
    # A test killed by its timeout must not leave the simulator holding its ports.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class SimProcess:
    def __init__(self, binary, device_text, timeout=10.0):
        self.dir = tempfile.TemporaryDirectory(prefix="tevronsim-test-")
        self.devices_path = os.path.join(self.dir.name, "devices.ini")
        self.log_path = os.path.join(self.dir.name, "requests.jsonl")
        with open(self.devices_path, "w") as f:
            f.write(device_text)
        self.proc = subprocess.Popen(
            [binary, "--devices", self.devices_path, "--log", self.log_path],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1,
            preexec_fn=_end_with_parent)
        self.sel = selectors.DefaultSelector()
        self.sel.register(self.proc.stdout, selectors.EVENT_READ)
        self.pending = b""
        self.ports = {}
        try:
            while True:
                line = self.readline(timeout)
                if line == "ready":
                    break
                words = line.split()
                if words[:1] == ["device"]:
                    self.ports[words[1]] = int(words[4].rsplit(":", 1)[1])
        except Exception:
            self.proc.kill()
            raise

    def readline(self, timeout=10.0):
        # Reads the descriptor itself: a buffered reader would hide lines from select().
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not self.sel.select(left):
                raise TimeoutError("no line from tevronsim")
            chunk = os.read(self.proc.stdout.fileno(), 4096)
            if not chunk:
                raise RuntimeError("tevronsim ended")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode()

    def command(self, text):
        """Runs a command and returns its output lines; raises on an error reply."""
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        lines = []
        while True:
            line = self.readline()
            if line == "ok":
                return lines
            if line.startswith("error:"):
                raise RuntimeError(line)
            lines.append(line)

    def log(self):
        with open(self.log_path) as f:
            return [json.loads(line) for line in f if line.strip()]

    def close(self):
        self.proc.stdin.close()
        self.proc.stdout.close()
        self.proc.terminate()
        self.proc.wait(timeout=10)
        self.dir.cleanup()
