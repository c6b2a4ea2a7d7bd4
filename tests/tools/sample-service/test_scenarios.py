"""Scenarios of the sample service, the control requests and the checking of
what the client sends."""

import http.client
import json
import select
import socket
import time
import xml.etree.ElementTree as ET
import zlib

from harness import (COMPS, LOGIN, MAP, PROPSRCH, RPTGEN, ServiceTest, comps_request, document, get_request,
                     header, login_request, map_request, rptgen_request, search_request)

DEMO = login_request("demo", "demo")


class GenericScenarios(ServiceTest):
    def scenario(self, name, params=None, endpoint="login", request=DEMO, path=LOGIN):
        self.service.next(endpoint, name, params=params)
        return self.service.post_raw(path, zlib.compress(request.encode()))

    def test_exception_and_message_answers(self):
        for name, kind, has_text in (("exception", "exception", True), ("exception-empty", "exception", False),
                                     ("message", "message", True), ("message-empty", "message", False)):
            status, _, body = self.scenario(name)
            root = ET.fromstring(zlib.decompress(body))
            self.assertEqual((status, root.tag, root[0].tag), (200, "vxp", kind), name)
            self.assertEqual(bool(root[0].text), has_text, name)
        _, _, body = self.scenario("exception", {"text": "Account locked"})
        self.assertEqual(ET.fromstring(zlib.decompress(body))[0].text, "Account locked")

    def test_bodies_the_client_cannot_use(self):
        status, headers, body = self.scenario("empty-body")
        self.assertEqual((status, body, header(headers, "Content-Length")), (200, b"", "0"))
        self.assertEqual(self.scenario("not-zlib")[2], b"hello")
        with self.assertRaises(ET.ParseError):
            ET.fromstring(zlib.decompress(self.scenario("bad-xml")[2]))
        with self.assertRaises(ET.ParseError):
            ET.fromstring(zlib.decompress(self.scenario("truncated-xml")[2]))
        self.assertNotEqual(ET.fromstring(zlib.decompress(self.scenario("wrong-root")[2])).tag, "vxp")
        empty = ET.fromstring(zlib.decompress(self.scenario("empty-vxp")[2]))
        self.assertEqual((empty.tag, len(empty)), ("vxp", 0))

    def test_http_errors(self):
        self.assertEqual(self.scenario("status-404")[0], 404)
        self.assertEqual(self.scenario("status-500")[0], 500)

    def test_connection_closed_or_reset_without_an_answer(self):
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            self.scenario("close")
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            self.scenario("reset")
        self.assertEqual(self.service.log()[-1]["status"], None)
        self.assertEqual(self.service.ask(LOGIN, DEMO).get("result"), "true", "the service goes on")

    def test_delay_and_hang(self):
        started = time.monotonic()
        status, _, _ = self.scenario("delay", {"seconds": 0.2})
        self.assertEqual(status, 200)
        self.assertGreaterEqual(time.monotonic() - started, 0.2)
        self.service.next("login", "hang")
        sock = socket.create_connection(("127.0.0.1", self.service.port), timeout=5)
        body = zlib.compress(DEMO.encode())
        sock.sendall(b"POST /cgi-bin/Login.exe HTTP/1.1\r\nHost: x\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
        sock.settimeout(0.3)
        with self.assertRaises(socket.timeout):
            sock.recv(100)
        sock.close()
        self.assertEqual(self.service.log()[-1]["scenarios"], ["hang"])
        self.assertEqual(self.service.ask(LOGIN, DEMO).get("result"), "true")

    def test_hold_answers_once_released(self):
        self.service.next("login", "hold")
        body = zlib.compress(DEMO.encode())
        sock = socket.create_connection(("127.0.0.1", self.service.port), timeout=5)
        try:
            sock.sendall(b"POST /cgi-bin/Login.exe HTTP/1.1\r\nHost: x\r\nContent-Length: %d\r\n\r\n" % len(body)
                         + body)
            deadline = time.monotonic() + 5
            while not self.service.log() and time.monotonic() < deadline:
                pass  # each look is a round trip to the service
            self.assertEqual(self.service.log()[-1]["scenarios"], ["hold"])
            self.assertEqual(select.select([sock], [], [], 0)[0], [], "nothing is sent while held")
            self.assertEqual(self.service.release(), 1)
            answer = sock.makefile("rb").readline()
            self.assertTrue(answer.startswith(b"HTTP/1.1 200"), answer)
        finally:
            sock.close()
        # A release that comes first lets the next held request through.
        self.assertEqual(self.service.release(), 0)
        self.assertEqual(self.scenario("hold")[0], 200)

    def test_encodings_and_declarations(self):
        raw = zlib.decompress(self.scenario("non-ascii-utf8")[2])
        self.assertTrue(raw.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'))
        self.assertTrue(any(b > 127 for b in raw))
        self.assertEqual(ET.fromstring(raw)[0].find("username").text, "Jos\u00e9 Pe\u00f1a")
        self.assertTrue(all(ord(c) <= 0xFFFF for c in raw.decode("utf-8")))
        # Names of many scripts, one above U+FFFF, and a 400-character
        # Arabic remark.
        raw = zlib.decompress(self.scenario("scripts")[2])
        self.assertEqual(ET.fromstring(raw)[0].find("username").text, "\uae40\ubbfc\uc900")
        raw = zlib.decompress(self.scenario("scripts", endpoint="comps", request=comps_request(100231), path=COMPS)[2])
        comps = ET.fromstring(raw)[0].findall("comp")
        owners = [c.find("owner").text for c in comps]
        self.assertIn("Sunny \U0001F3E0 Homes", owners)
        self.assertIn(b"\xf0\x9f\x8f\xa0", raw)
        self.assertEqual(len(comps[0].find("rem").text), 400)
        self.assertTrue(comps[0].find("features").text.startswith("@\u0645"))
        raw = zlib.decompress(self.scenario("non-ascii-nodecl")[2])
        self.assertTrue(raw.startswith(b'<?xml version="1.0"?>'))
        self.assertTrue(any(b > 127 for b in raw))
        self.assertTrue(zlib.decompress(self.scenario("no-declaration")[2]).startswith(b"<vxp>"))
        self.assertIn(b"<!DOCTYPE", zlib.decompress(self.scenario("doctype")[2]))
        indented = zlib.decompress(self.scenario("indent")[2])
        self.assertIn(b"\n  <login.response", indented)
        self.assertEqual(ET.fromstring(indented)[0].find("mls_valid").text, "Y", "no blanks inside texts")

    def test_default_answers_have_no_declaration_tricks(self):
        for path, request in ((LOGIN, DEMO), (PROPSRCH, search_request(apn="MULTI")),
                              (PROPSRCH, get_request(100231)), (COMPS, comps_request(100231))):
            status, headers, body = self.service.post_raw(path, zlib.compress(request.encode()))
            self.assertIsNone(header(headers, "Content-Encoding"))
            self.assertEqual(int(header(headers, "Content-Length")), len(body))
            self.assertIsNone(header(headers, "Transfer-Encoding"))
            raw = zlib.decompress(body)
            self.assertFalse(raw.startswith(b"\xef\xbb\xbf"))
            self.assertNotIn(b"<!DOCTYPE", raw)
            self.assertEqual(ET.fromstring(raw).tag, "vxp")

    def test_cookie_and_oversized_bodies(self):
        self.assertTrue(header(self.scenario("cookie")[1], "Set-Cookie").startswith("VXSESSION="))
        status, headers, body = self.scenario("oversize-raw", {"size": 3 * 1024 * 1024 + 1})
        self.assertEqual(len(body), 3 * 1024 * 1024 + 1)
        _, _, body = self.scenario("oversize-inflated", {"size": 2 * 1024 * 1024 + 5})
        self.assertLess(len(body), 100000)
        self.assertEqual(len(zlib.decompress(body)), 2 * 1024 * 1024 + 5)

    def test_every_generic_scenario_is_reachable_on_every_service(self):
        info = self.service.info()
        requests = {"login.request": (LOGIN, DEMO), "prop.search": (PROPSRCH, search_request(apn="MULTI")),
                    "prop.get": (PROPSRCH, get_request(100231)), "prop.getcomps": (COMPS, comps_request(100231)),
                    "map.request": (MAP, map_request([("A", "", "37", "-119", "T")])),
                    "rptgen.request": (RPTGEN, rptgen_request("0012.03"))}
        for endpoint, (path, request) in requests.items():
            self.assertIn("status-500", info["endpoints"][endpoint])
            status, _, _ = self.scenario("status-500", endpoint=endpoint, request=request, path=path)
            self.assertEqual(status, 500, endpoint)

    def test_typed_data_selects_scenarios(self):
        status, _, body = self.service.post_raw(PROPSRCH, zlib.compress(search_request(apn="NOT-ZLIB").encode()))
        self.assertEqual(body, b"hello")
        status, _, _ = self.service.post_raw(LOGIN, zlib.compress(login_request("status-500", "x").encode()))
        self.assertEqual(status, 500)


class ControlRequests(ServiceTest):
    def test_counts_endpoints_and_reset(self):
        self.service.next("login.request", "message", count=2)
        kinds = [self.service.ask(LOGIN, DEMO).tag for _ in range(3)]
        self.assertEqual(kinds, ["message", "message", "login.response"])
        self.service.next("get", "exception")
        self.assertEqual(self.service.ask(PROPSRCH, search_request(apn="512-034-019")).tag, "prop.data",
                         "a scenario waits for its own endpoint")
        self.assertEqual(self.service.ask(PROPSRCH, get_request(100231)).tag, "exception")
        self.service.next("any", "message-empty")
        self.assertEqual(self.service.ask(COMPS, comps_request(100231)).tag, "message")
        self.service.next("login", "message", count=-1)
        self.assertEqual([self.service.ask(LOGIN, DEMO).tag for _ in range(3)], ["message"] * 3)
        self.service.reset()
        self.assertEqual(self.service.ask(LOGIN, DEMO).tag, "login.response")

    def test_a_list_of_overrides(self):
        overrides = [{"endpoint": "login", "scenario": "exception"}, {"endpoint": "login", "scenario": "message"}]
        status, _, body = self.service.http("POST", "/__peer/next", json.dumps(overrides).encode())
        self.assertEqual((status, json.loads(body)), (200, {"queued": 2}))
        self.assertEqual([self.service.ask(LOGIN, DEMO).tag for _ in range(3)],
                         ["exception", "message", "login.response"])

    def test_mistakes_in_control_requests_are_refused(self):
        for override in ({"endpoint": "nowhere", "scenario": "close"}, {"endpoint": "login", "scenario": "nope"},
                     {"endpoint": "login"}, {"endpoint": "login", "scenario": "close", "count": 0},
                     {"endpoint": "config", "scenario": "exception"}, "text"):
            status, _, body = self.service.http("POST", "/__peer/next", json.dumps(override).encode())
            self.assertEqual(status, 400, override)
            self.assertIn("error", json.loads(body))
        self.assertEqual(self.service.http("POST", "/__peer/next", b"{not json")[0], 400)
        self.assertEqual(self.service.http("GET", "/__peer/unknown")[0], 404)

    def test_request_log(self):
        self.service.ask(LOGIN, DEMO)
        self.service.http("GET", "/vxpconfig.xml")
        log = self.service.log()
        self.assertEqual([e["seq"] for e in log], [1, 2])
        post = log[0]
        self.assertEqual((post["method"], post["path"], post["request_type"], post["status"]),
                         ("POST", LOGIN, "login.request", 200))
        self.assertEqual(post["request"], DEMO, "the inflated request as sent")
        self.assertIn(["Content-Type", "text/html"], post["headers"])
        self.assertIsNone(post["error"])
        self.assertEqual(log[1]["endpoint"], "config")
        self.assertEqual([e["seq"] for e in self.service.log(since=1)], [2])
        info = self.service.info()
        self.assertEqual(info["service_port"], self.service.port)
        self.assertEqual(info["accounts"]["demo"], "demo")

    def test_unknown_paths(self):
        self.assertEqual(self.service.post_raw("/cgi-bin/Nothing.exe", zlib.compress(DEMO.encode()))[0], 404)
        self.assertEqual(self.service.http("GET", "/index.html")[0], 404)
        self.assertEqual(self.service.log()[-1]["error"], "unknown path")


class RequestChecking(ServiceTest):
    def bad(self, path, body, fragment, compress=True):
        status, _, answer = self.service.post_raw(path, zlib.compress(body) if compress else body)
        self.assertEqual(status, 200)
        el = ET.fromstring(zlib.decompress(answer))[0]
        self.assertEqual(el.tag, "exception", body[:120])
        self.assertTrue(el.text.startswith("Bad request: "), el.text)
        self.assertIn(fragment, el.text)
        self.assertIn(fragment, self.service.log()[-1]["error"])

    def test_transport_and_document_mistakes(self):
        self.bad(LOGIN, b"<vxp/>", "not zlib", compress=False)
        self.bad(LOGIN, b"", "empty request body")
        self.bad(LOGIN, b"<vxp><login.request>", "malformed XML")
        self.bad(LOGIN, DEMO.replace("<vxp>", "<vx>").replace("</vxp>", "</vx>").encode(), "root must be vxp")
        self.bad(LOGIN, b"<!DOCTYPE vxp><vxp/>", "document type")
        self.bad(LOGIN, DEMO.replace("Dana", "Dana").replace("demo</user>", "d\xe9mo</user>").encode("latin-1"),
                 "not UTF-8")
        self.bad(LOGIN, DEMO.replace('standalone="yes"', 'encoding="ISO-8859-1"').encode(), "must be UTF-8")
        self.bad(LOGIN, b"<vxp><a/><b/></vxp>", "exactly one request element")
        self.bad(LOGIN, get_request(1).encode(), "not served at this path")

    def test_envelope_mistakes(self):
        self.bad(LOGIN, DEMO.replace('LogEvent="N"', 'LogEvent="y"').encode(), "LogEvent")
        self.bad(LOGIN, DEMO.replace('version="1.0" UserID', 'version="1.1" UserID').encode(), "version")
        self.bad(LOGIN, DEMO.replace('UserID="0"', 'UserID="x"').encode(), "UserID")
        swapped = DEMO.replace('UserID="0" County="0"', 'County="0" UserID="0"')
        self.bad(LOGIN, swapped.encode(), "in this order")
        self.bad(LOGIN, DEMO.replace('LogEvent="N"', 'LogEvent="N" Extra="1"').encode(), "unknown attribute")
        with_event = DEMO.replace('LogEvent="N"', 'LogEvent="N" Event="PROP_FOUND"')
        self.assertEqual(self.service.ask(LOGIN, with_event).get("result"), "true", "Event may be there")

    def test_request_body_mistakes(self):
        self.bad(LOGIN, DEMO.replace("<machine_id/>", "").encode(), "must hold user, pass")
        self.bad(PROPSRCH, search_request(stname=" ALDER").encode(), "trimmed")
        self.bad(PROPSRCH, search_request().replace(' use_mls="T"', ' use_mls="Y"').encode(), "use_mls")
        self.bad(PROPSRCH, get_request(1).replace('parcel="1"', 'parcel="1.0"').encode(), "parcel")
        self.bad(COMPS, comps_request(100231, bedtype="5").encode(), "bedtype")
        self.bad(COMPS, comps_request(100231, zero="T").encode(), "zero")
        self.bad(COMPS, comps_request(100231).replace("<sbparams/>", "").encode(), "search, sbparams")
        self.bad(MAP, map_request([("A", "", "1", "2", "8")]).encode(), "subject")
        self.bad(MAP, map_request([("A", "", "1", "2", "T")]).replace('"jpg"', '"wmf"').encode(), "jpg")
        self.bad(RPTGEN, rptgen_request(school=True).replace("8.0", "9").encode(), "8.0")
        out_of_order = document("rptgen.request", [("county", "59"), ("userid", "1")],
                                '<map mapid="3" street="Y" hazard="N"/><census county="59" tract="1"/>')
        self.bad(RPTGEN, out_of_order.encode(), "in the order")
        self.bad(RPTGEN, rptgen_request(mapid=0).encode(), "without a map id")
        self.bad(RPTGEN, rptgen_request(mapid=3, street="N", hazard="N").encode(), "neither")
