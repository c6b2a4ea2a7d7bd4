#!/usr/bin/env python3
"""Runs the protocol driver (tools/vxdriver) against the sample service: the
whole road, and the failures a user would see at its steps.

    python3 tests/tools/vxdriver_road.py PATH-TO-VXDRIVER
"""

import json
import os
import subprocess
import sys
import tempfile
import unittest
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.environ.get("TAMSEL_SOURCE_DIR") or os.path.dirname(os.path.dirname(HERE))
SERVICE = os.path.join(SOURCE, "tools", "sample-service", "sample_service.py")
DRIVER = None


class DriverRoad(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.proc = subprocess.Popen([sys.executable, SERVICE, "--port", "0", "--taxmap-port", "0"],
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        ports = json.loads(cls.proc.stdout.readline())
        cls.port = ports["service_port"]
        cls.host = "127.0.0.1:%d" % cls.port

    @classmethod
    def tearDownClass(cls):
        cls.proc.terminate()
        try:
            cls.proc.wait(10)
        except subprocess.TimeoutExpired:
            cls.proc.kill()
            cls.proc.wait()
        cls.proc.stdout.close()
        cls.proc.stderr.close()

    def setUp(self):
        self.control("/__peer/reset", {})
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def control(self, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        with urllib.request.urlopen("http://%s%s" % (self.host, path), data=data, timeout=10) as r:
            return r.read()

    def log(self):
        text = self.control("/__peer/log").decode()
        return [json.loads(line) for line in text.splitlines() if line.strip()]

    def next(self, endpoint, scenario, **params):
        self.control("/__peer/next", {"endpoint": endpoint, "scenario": scenario, "params": params})

    def drive(self, *args, host=None):
        cmd = [DRIVER, "--host", host or self.host, "--data-dir", self.tmp.name, "--out-dir", self.tmp.name]
        cmd += list(args)
        p = subprocess.run(cmd, capture_output=True, timeout=240)
        return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")

    def test_whole_road(self):
        code, out, err = self.drive()
        self.assertEqual(code, 0, out + err)
        for text in ("propsrch=/cgi-bin/PropSearch.exe", "user id 4127", "county 59: Sierra Vista - CA",
                     "1427 N ALDER CREEK RD", "sold price 472500", "36 comps", "map id 1001",
                     "photos: ", "street map: status 0, metafile of", "hazard map: status 0",
                     "3 sheets", "SVISTA-512-034-019-3.tif", "saved and read back", "== the whole road ran"):
            self.assertIn(text, out)
        # Every request passed the service's checks; the sheets were removed.
        errors = [e for e in self.log() if e.get("error")]
        self.assertEqual(errors, [])
        self.assertEqual([f for f in os.listdir(self.tmp.name) if f.endswith(".tif")], [])
        with open(os.path.join(self.tmp.name, "myinfo.xml"), encoding="utf-8") as f:
            self.assertIn("Sierra Vista MLS", f.read())

    def test_list_answer_and_other_paths(self):
        self.next("config", "alt-paths")
        code, out, err = self.drive("--apn", "MULTI", "--keep-sheets")
        self.assertEqual(code, 0, out + err)
        self.assertIn("Found ", out)
        self.assertIn("== fetch of property", out)
        paths = {e["path"] for e in self.log() if e["server"] == "service" and e["method"] == "POST"}
        self.assertTrue(paths and all(p.startswith("/vx2/") for p in paths), paths)
        self.assertTrue([f for f in os.listdir(self.tmp.name) if f.endswith(".tif")])

    def test_failures(self):
        cases = [
            (("config", "bad-version"), (), "error: Invalid config document version"),
            (("config", "wrong-root"), (), "error: Invalid config document version"),
            (("config", "doctype"), (), 'error: Illegal occurence of "<!DOCTYPE"'),
            (("config", "status-404"), (), "error: HTTP/1.1 404 Not Found"),
            (("login", "exception"), (), "error: The county database is not available. Please try again later."),
            (None, ("--password", "wrong"), "error: login refused: Invalid user name or password."),
            (("search", "message"), (), "error: the search ended with the server's message"),
            (("comps", "wrong-type"), (), "error: Invalid document type"),
            (("rptgen", "empty-vxp"), (), "error: Invalid document!"),
        ]
        for scenario, args, expected in cases:
            with self.subTest(scenario=scenario, args=args):
                self.control("/__peer/reset", {})
                if scenario:
                    self.next(*scenario)
                code, out, err = self.drive(*args)
                self.assertEqual(code, 1, out + err)
                self.assertIn(expected, err)

    def test_refused_connection(self):
        import socket
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
        s.close()
        code, out, err = self.drive(host="127.0.0.1:%d" % port)
        self.assertEqual(code, 1)
        self.assertIn("error: Connection failed!  Error: 10061 - Connection refused", err)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    DRIVER = sys.argv.pop(1)
    unittest.main(verbosity=2)
