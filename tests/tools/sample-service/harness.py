"""Starts the sample service for a test module and talks to it the way the
client does: zlib-compressed XML by POST, tax-map commands by GET."""

import http.client
import json
import os
import signal
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET
import zlib
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.environ.get("TAMSEL_SOURCE_DIR") or os.path.abspath(os.path.join(HERE, "..", "..", ".."))
SCRIPT = os.path.join(SOURCE, "tools", "sample-service", "sample_service.py")

LOGIN = "/cgi-bin/Login.exe"
PROPSRCH = "/cgi-bin/PropSearch.exe"
COMPS = "/cgi-bin/IComps.exe"
MAP = "/cgi-bin/RequestMap.exe"
RPTGEN = "/cgi-bin/RptGen.exe"


class Service:
    """One running sample service process."""

    def __init__(self, *args):
        self.proc = subprocess.Popen([sys.executable, SCRIPT] + list(args), stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline()
        if not line:
            raise RuntimeError("the sample service did not start: " + self.proc.stderr.read())
        self.ports = json.loads(line)
        self.port = self.ports["service_port"]
        self.taxmap_port = self.ports["taxmap_port"]

    def stop(self, sig=signal.SIGTERM):
        if self.proc.poll() is None:
            self.proc.send_signal(sig)
        try:
            rc = self.proc.wait(10)
        finally:
            self.proc.stdout.close()
            self.proc.stderr.close()
        return rc

    # raw HTTP ---------------------------------------------------------------

    def http(self, method, target, body=None, port=None, headers=None, timeout=10):
        conn = http.client.HTTPConnection("127.0.0.1", port or self.port, timeout=timeout)
        try:
            hdrs = {"Content-Type": "text/html", "Accept": "text/html, */*",
                    "User-Agent": "Mozilla/3.0 (compatible; Indy Library)"}
            hdrs.update(headers or {})
            conn.request(method, target, body=body, headers=hdrs)
            r = conn.getresponse()
            return r.status, r.getheaders(), r.read()
        finally:
            conn.close()

    def post_raw(self, path, body, **kw):
        return self.http("POST", path, body, **kw)

    def post(self, path, xml_text, **kw):
        """Posts a request document; returns (status, headers, inflated answer bytes)."""
        status, headers, body = self.post_raw(path, zlib.compress(xml_text.encode("utf-8"), 9), **kw)
        return status, headers, zlib.decompress(body) if body else b""

    def ask(self, path, xml_text):
        """Posts a request; returns the answer element (the child of vxp)."""
        status, _, raw = self.post(path, xml_text)
        if status != 200:
            raise AssertionError("HTTP %d" % status)
        root = ET.fromstring(raw)
        if root.tag != "vxp" or len(root) != 1:
            raise AssertionError("not a service answer: %r" % raw[:200])
        return root[0]

    def taxmap(self, ctype, params, sid="", **kw):
        from urllib.parse import quote
        target = "/taxmap.dll?type=%s&params=%s&sid=%s" % (ctype, quote(params, safe=","), quote(sid, safe=""))
        return self.http("GET", target, port=self.taxmap_port, **kw)

    # control ----------------------------------------------------------------

    def next(self, endpoint, scenario, count=1, params=None):
        override = {"endpoint": endpoint, "scenario": scenario, "count": count, "params": params or {}}
        status, _, body = self.http("POST", "/__peer/next", json.dumps(override).encode())
        if status != 200:
            raise AssertionError(body.decode())

    def reset(self):
        self.http("POST", "/__peer/reset", b"")

    def release(self):
        """Lets one held request go on; returns how many were held."""
        return json.loads(self.http("POST", "/__peer/release", b"")[2])["held"]

    def log(self, since=0):
        _, _, body = self.http("GET", "/__peer/log?since=%d" % since)
        return [json.loads(line) for line in body.decode().splitlines() if line]

    def info(self):
        return json.loads(self.http("GET", "/__peer/info")[2])


_running = {}


def _stop_module_service(module):
    rc = _running.pop(module).stop()
    if rc != 0:
        raise AssertionError("the sample service ended with %r" % rc)


class ServiceTest(unittest.TestCase):
    """A test case using the one service of its test module (started with the
    module's first class, stopped after its last test); the service's state
    is reset before each test."""

    service = None

    @classmethod
    def setUpClass(cls):
        if cls.__module__ not in _running:
            _running[cls.__module__] = Service()
            unittest.addModuleCleanup(_stop_module_service, cls.__module__)
        cls.service = _running[cls.__module__]

    def setUp(self):
        self.service.reset()


def header(headers, name):
    for k, v in headers:
        if k.lower() == name.lower():
            return v
    return None


# ---------------------------------------------------------------------------
# Requests as the client writes them


def document(rtype, attrs=(), inner="", user_id="4127", county="59", log_event="N", envelope_extra=()):
    env = [("version", "1.0"), ("UserID", user_id), ("County", county), ("LogEvent", log_event)]
    all_attrs = env + list(envelope_extra) + list(attrs)
    text = "".join(" %s=%s" % (k, quoteattr(v)) for k, v in all_attrs)
    body = "<%s%s>%s</%s>" % (rtype, text, inner, rtype) if inner else "<%s%s/>" % (rtype, text)
    return '<?xml version="1.0" standalone="yes"?>\n<vxp>\n  %s\n</vxp>\n' % body


def leaf(tag, value):
    return "<%s>%s</%s>" % (tag, escape(value), tag) if value else "<%s/>" % tag


def login_request(user, password, mls_user="", mls_pass="", mls_id=""):
    inner = "".join(leaf(t, v) for t, v in (("user", user), ("pass", password), ("pgm_ver", "1.01"),
                                            ("machine_id", ""), ("mls_user", mls_user),
                                            ("mls_pass", mls_pass), ("mls_id", mls_id)))
    return document("login.request", inner=inner, user_id="0", county="0")


SEARCH_FIELDS = ("apn", "mls", "first", "last", "stnum", "stname", "stdir", "stsuffix", "stunit", "city",
                 "state", "zip")


def search_request(county="59", **fields):
    s = "".join(" %s=%s" % (k, quoteattr(fields.get(k, ""))) for k in SEARCH_FIELDS)
    return document("prop.search", [("county", county), ("userid", "4127"), ("use_mls", "T")],
                    "<search%s/>" % s, county=county, log_event="Y")


def get_request(parcel, county="59"):
    return document("prop.get", [("county", county), ("userid", "4127"), ("parcel", str(parcel)),
                                 ("order", "0")], county=county)


COMPS_DEFAULTS = [
    ("sp_beds", "3"), ("sp_baths", "2.5"), ("sp_sqft", "1845"), ("sp_lot", "7150"), ("sp_price", "472500"),
    ("bedlow", "0"), ("bedhi", "0"), ("bedtype", "3"), ("bathlow", "0.0"), ("bathhi", "0.0"),
    ("bathtype", "3"), ("sqftlow", "0"), ("sqfthi", "0"), ("sqfttype", "3"), ("lotlow", "0"), ("lothi", "0"),
    ("lottype", "3"), ("pricelow", "0"), ("pricehi", "0"), ("pricetype", "3"), ("srchtype", "0"),
    ("structtype", "1"), ("area", "0.5"), ("days", "180"), ("zero", "N"), ("useactive", "N"), ("active", "0"),
    ("usepend", "N"), ("pend", "0"), ("usesold", "Y"), ("sold", "20"), ("useexp", "N"), ("exp", "0"),
    ("srchfor", "1"), ("lat", "37.08124"), ("lon", "-119.52041"), ("book", "512"), ("mlsid", ""),
]


def comps_request(parcel, county="59", params=(), **overrides):
    fields = "".join(leaf(k, overrides.get(k, v)) for k, v in COMPS_DEFAULTS)
    sb = "".join(leaf("param", p) for p in params)
    inner = "<search>%s</search>%s" % (fields, "<sbparams>%s</sbparams>" % sb if sb else "<sbparams/>")
    return document("prop.getcomps", [("county", county), ("userid", "4127"), ("parcel", str(parcel)),
                                      ("order", "0")], inner, county=county)


def map_request(items, hazard="Y", tour="N", county="59"):
    rows = "".join("<item>%s</item>" % "".join(leaf(k, v) for k, v in zip(
        ("address", "price", "lat", "lon", "stat"), item)) for item in items)
    inner = '<hazard image_type="wmf" request="%s"/><street image_type="jpg" request="Y" tour="%s"/>' \
            '<items>%s</items>' % (hazard, tour, rows)
    return document("map.request", inner=inner, county=county, envelope_extra=[("UserId", "4127")])


def area_part(tag, city="", area="8.0", lat="37.08124", lon="-119.52041"):
    return "<%s>%s</%s>" % (tag, "".join(leaf(k, v) for k, v in (
        ("lat", lat), ("lon", lon), ("city", city), ("zip", ""), ("andor", "A"), ("area", area))), tag)


def rptgen_request(census=None, school=False, services=None, photos=(), mapid=None, street="Y",
                   hazard="Y", county="59"):
    inner = ""
    if census is not None:
        inner += '<census county="%s" tract=%s/>' % (county, quoteattr(census))
    if school:
        inner += area_part("school")
    if services is not None:
        inner += area_part("services", services, "9")
    if photos:
        inner += "<photos>%s</photos>" % "".join(leaf("apn", a) for a in photos)
    if mapid is not None:
        inner += '<map mapid="%d" street="%s" hazard="%s"/>' % (mapid, street, hazard)
    return document("rptgen.request", [("county", county), ("userid", "4127")], inner, county=county)


def child(el, tag):
    found = el.find(tag)
    if found is None:
        raise AssertionError("<%s> has no <%s>" % (el.tag, tag))
    return found


def text(el, tag):
    return child(el, tag).text or ""
