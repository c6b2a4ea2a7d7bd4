"""The sample service as a program: ports, the ports line, stopping."""

import signal
import socket
import subprocess
import sys
import unittest

from harness import SCRIPT, Service


def free_port():
    while True:
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        if not 10004 <= port <= 11004:
            return port


def listeners():
    """Port -> address of the listening IPv4 TCP sockets of this machine."""
    found = {}
    with open("/proc/net/tcp") as f:
        next(f)
        for line in f:
            fields = line.split()
            address, port = fields[1].split(":")
            if fields[3] == "0A":  # LISTEN
                octets = [str(int(address[i:i + 2], 16)) for i in (6, 4, 2, 0)]
                found[int(port, 16)] = ".".join(octets)
    return found


class Program(unittest.TestCase):
    def test_reserved_ports_are_refused(self):
        for args in (["--port", "10004"], ["--taxmap-port", "11004"], ["--stall-port", "10500"],
                     ["--port", "70000"]):
            r = subprocess.run([sys.executable, SCRIPT] + args, capture_output=True, text=True, timeout=20)
            self.assertNotEqual(r.returncode, 0, args)
            self.assertEqual(r.stdout, "", "no ports line")

    def test_given_ports_and_clean_stop_on_sigint(self):
        port, taxmap = free_port(), free_port()
        s = Service("--port", str(port), "--taxmap-port", str(taxmap))
        self.assertEqual(s.ports, {"service_port": port, "taxmap_port": taxmap, "stall_port": None})
        self.assertEqual(s.http("GET", "/vxpconfig.xml")[0], 200)
        self.assertEqual(s.stop(signal.SIGINT), 0)

    def test_picked_ports_listen_on_loopback_only_and_stop_on_sigterm(self):
        s = Service("--stall-port", "0")
        try:
            for key in ("service_port", "taxmap_port", "stall_port"):
                self.assertFalse(10004 <= s.ports[key] <= 11004)
                self.assertGreater(s.ports[key], 0)
            listening = listeners()
            for key in ("service_port", "taxmap_port", "stall_port"):
                self.assertEqual(listening.get(s.ports[key]), "127.0.0.1", key)
            info = s.info()
            self.assertEqual(info["taxmap_port"], s.taxmap_port)
        finally:
            self.assertEqual(s.stop(signal.SIGTERM), 0)

    def test_stall_port_never_accepts(self):
        s = Service("--stall-port", "0")
        try:
            port = s.ports["stall_port"]
            first = socket.create_connection(("127.0.0.1", port), timeout=5)  # fills the backlog
            second = socket.socket()
            second.settimeout(0.3)
            with self.assertRaises(OSError):
                second.connect(("127.0.0.1", port))
                second.settimeout(0.3)
                if not second.recv(1):  # a completed connection must at least never answer
                    raise ConnectionError("closed")
            first.close()
            second.close()
        finally:
            self.assertEqual(s.stop(), 0)
