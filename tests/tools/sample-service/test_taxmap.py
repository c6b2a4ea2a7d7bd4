"""The tax-map server: the command sequence of one fetch and its variants."""

import http.client
import socket
import struct

from harness import ServiceTest, header


class TaxMapSequence(ServiceTest):
    def login(self):
        status, headers, _ = self.service.taxmap("login", "plomvek7")
        self.assertEqual(status, 200)
        sid = header(headers, "Message-Id")
        self.assertTrue(sid)
        self.assertNotIn("<", sid)
        return sid

    def open(self, sid, county="SVISTA"):
        return self.service.taxmap("command", "open," + county, sid)[0]

    def struct_count(self, sid):
        status, _, body = self.service.taxmap("struct", "curr", sid)
        self.assertEqual((status, len(body)), (200, 36))
        return struct.unpack("<i", body[32:36])[0]

    def test_whole_fetch_of_three_sheets(self):
        sid = self.login()
        self.assertEqual(self.open(sid), 200)
        status, headers, first = self.service.taxmap("fiex", "512-034-019", sid)
        self.assertEqual(status, 200)
        self.assertEqual(first[:4], b"II*\0")
        self.assertEqual(self.struct_count(sid), 3)
        sheets = [self.service.taxmap("fiex", "nsht", sid)[2] for _ in range(3)]
        self.assertTrue(sheets[0].startswith(b"II*\0") and sheets[1].startswith(b"II*\0"))
        self.assertNotEqual(sheets[0], first)
        self.assertEqual(sheets[2], b"", "no sheet past the count")
        self.assertEqual(self.service.taxmap("command", "close,SVISTA", sid)[0], 200)
        self.assertEqual(self.service.taxmap("logout", "close", sid)[0], 200)
        self.assertEqual(self.open(sid), 404, "the session ended with the logout")
        endpoints = [e["endpoint"] for e in self.service.log()]
        self.assertEqual(endpoints, ["taxmap.login", "taxmap.open", "taxmap.first", "taxmap.struct", "taxmap.next",
                                     "taxmap.next", "taxmap.next", "taxmap.close", "taxmap.logout", "taxmap.open"])

    def test_parcels_of_the_data(self):
        sid = self.login()
        self.open(sid)
        self.assertTrue(self.service.taxmap("fiex", "512-036-044", sid)[2])
        self.assertEqual(self.struct_count(sid), 3)
        gap = [len(self.service.taxmap("fiex", "nsht", sid)[2]) > 0 for _ in range(2)]
        self.assertEqual(gap, [False, True], "sheet 2 is missing, sheet 3 is there")
        self.assertEqual(self.service.taxmap("fiex", "512-060-001", sid)[:3:2], (200, b""), "not on the map")
        self.assertEqual(self.struct_count(sid), 0, "the struct of a parcel without a map counts 0")
        self.assertTrue(self.service.taxmap("fiex", "512-044-027", sid)[2])
        self.assertEqual(self.struct_count(sid), 1)
        self.assertEqual(self.open(sid, "MBAY"), 200)
        self.assertTrue(self.service.taxmap("fiex", "173-020-011", sid)[2])
        self.assertEqual(self.struct_count(sid), 2)

    def test_hostile_names_are_served(self):
        sid = self.login()
        self.assertEqual(self.open(sid, "../../tmp/x"), 200)
        status, _, body = self.service.taxmap("fiex", "..-..-x/y", sid)
        self.assertTrue(body.startswith(b"II*\0"))
        self.assertEqual(self.service.log()[-1]["query"][1], ["params", "..-..-x/y"], "decoded from %2F")

    def test_refusals(self):
        self.assertEqual(self.service.taxmap("login", "wrongkey")[0], 403)
        sid = self.login()
        self.assertEqual(self.open(sid, "NOWHERE"), 404)
        self.assertEqual(self.open("S999999"), 404)
        self.assertEqual(self.service.taxmap("fiex", "512-034-019", "S999999")[0], 404)
        self.assertEqual(self.service.http("GET", "/taxmap.dll?type=login&params=plomvek7",
                                           port=self.service.taxmap_port)[0], 400)
        self.assertEqual(self.service.http("GET", "/taxmap.dll?type=zap&params=x&sid=",
                                           port=self.service.taxmap_port)[0], 400)
        self.assertEqual(self.service.http("GET", "/other.dll?type=login&params=plomvek7&sid=",
                                           port=self.service.taxmap_port)[0], 404)

    def test_absolute_request_target(self):
        port = self.service.taxmap_port
        with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
            s.sendall(b"GET http://127.0.0.1:%d/taxmap.dll?type=login&params=plomvek7&sid= HTTP/1.1\r\n"
                      b"Host: 127.0.0.1:%d\r\nConnection: close\r\n\r\n" % (port, port))
            reply = b""
            while True:
                chunk = s.recv(4096)
                if not chunk:
                    break
                reply += chunk
        self.assertTrue(reply.startswith(b"HTTP/1.1 200"))
        self.assertIn(b"\r\nMessage-Id: S", reply)


class TaxMapVariants(ServiceTest):
    def start(self, parcel="512-034-019"):
        sid = header(self.service.taxmap("login", "plomvek7")[1], "Message-Id")
        self.service.taxmap("command", "open,SVISTA", sid)
        self.service.taxmap("fiex", parcel, sid)
        return sid

    def test_login_variants(self):
        self.service.next("taxmap.login", "no-session-header")
        status, headers, _ = self.service.taxmap("login", "plomvek7")
        self.assertEqual((status, header(headers, "Message-Id")), (200, None))
        self.service.next("taxmap.login", "status-403")
        self.assertEqual(self.service.taxmap("login", "plomvek7")[0], 403)

    def test_struct_variants(self):
        sid = self.start()
        for n in (0, 1, 3, 250):
            self.service.next("taxmap.struct", "count", params={"count": n})
            body = self.service.taxmap("struct", "curr", sid)[2]
            self.assertEqual(struct.unpack("<i", body[32:36])[0], n)
        self.service.next("taxmap.struct", "short-body")
        self.assertEqual(len(self.service.taxmap("struct", "curr", sid)[2]), 20)
        self.service.next("taxmap.struct", "status-500")
        self.assertEqual(self.service.taxmap("struct", "curr", sid)[0], 500)

    def test_sheet_variants(self):
        self.service.next("taxmap.first", "empty-body")
        sid = header(self.service.taxmap("login", "plomvek7")[1], "Message-Id")
        self.service.taxmap("command", "open,SVISTA", sid)
        self.assertEqual(self.service.taxmap("fiex", "512-034-019", sid)[:3:2], (200, b""))
        sid = self.start()
        self.service.taxmap("struct", "curr", sid)
        self.service.next("taxmap.next", "empty-body")
        self.assertEqual(self.service.taxmap("fiex", "nsht", sid)[2], b"")
        self.service.next("taxmap.next", "status-500-body")
        status, _, body = self.service.taxmap("fiex", "nsht", sid)
        self.assertEqual(status, 500)
        self.assertTrue(body.startswith(b"II*\0"), "a body that is not a sheet")

    def test_dropped_connection_while_sending_a_sheet(self):
        sid = self.start()
        self.service.next("taxmap.next", "drop")
        with self.assertRaises((http.client.IncompleteRead, ConnectionError)):
            self.service.taxmap("fiex", "nsht", sid)
        self.service.next("taxmap", "close")
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            self.service.taxmap("command", "close,SVISTA", sid)
        self.assertEqual(self.service.taxmap("logout", "close", sid)[0], 200)
