#!/usr/bin/env python3
"""Sample service: a stand-alone peer of the Tamsel service protocol.

It plays the maker's servers on this machine, on 127.0.0.1 only: the service
host (configuration document and the five zlib-compressed XML services) and
the tax-map server (assessor map sheets as TIFF files). It is written from the
protocol alone, with Python's standard library, and shares nothing with the
client.

Run
---
    python3 tools/sample-service/sample_service.py [--port N] [--taxmap-port M]
                                                   [--stall-port K] [--verbose]

Ports default to 0, which picks a free port. Ports 10004 to 11004 are refused.
The first line on standard output names the ports, as JSON:

    {"service_port": 40123, "taxmap_port": 40124, "stall_port": null}

Point the program at it with the host "127.0.0.1:<service_port>" (ini section
HOSTS, key pmserver); the login answer names the tax-map server itself. SIGTERM
or SIGINT stops it cleanly. --stall-port opens a third socket that listens with
a backlog of 0 and never accepts: once one connection fills its queue, further
connection attempts time out (the client's connect time-out path).

What it serves
--------------
Service host:
  GET  /vxpconfig.xml            the configuration document (plain XML)
  POST /cgi-bin/Login.exe        login.request    -> login.response
  POST /cgi-bin/PropSearch.exe   prop.search      -> prop.list | prop.data | message
                                 prop.get         -> prop.data
  POST /cgi-bin/IComps.exe       prop.getcomps    -> comps.result
  POST /cgi-bin/RequestMap.exe   map.request      -> map.response (mapid)
  POST /cgi-bin/RptGen.exe       rptgen.request   -> rptgen.response
  (the same services also answer under /vx2/..., the paths of the "alt-paths"
  configuration variant)
Request and answer bodies are zlib data (no Content-Encoding). Every request is
checked: well-formed UTF-8 XML without DOCTYPE, root vxp with one request
element, the envelope attributes version, UserID, County, LogEvent in that
order, then the request's own attributes and children as the client writes
them. A request that fails the check gets an exception answer whose text
starts with "Bad request: ", so a client test sees its own mistake.

Tax-map server: GET /taxmap.dll?type=..&params=..&sid=.. (origin or absolute
form): login (params plomvek7, answer header Message-Id), command open,<key>
and close,<key>, fiex <parcel> (first sheet), struct curr (36 bytes, the sheet
count as a little-endian int32 at offset 32), fiex nsht (next sheet), logout.

Data
----
Accounts (user / password): demo / demo (user id 4127, MLS access),
escape / p&ss<w"rd>' (4128), nomls / nomls (4129, no MLS access). A wrong
password is refused with a message. The user names refuse, refuse-silent,
bad-county, bad-userid, bad-port, no-title, huge-logo, extra-page, hostile
and cookie log in with any password and select those login variants.

Counties: 59 Sierra Vista, CA (tax-map key SVISTA, photos and hazard maps),
106 Mariposa Bay, CA (key MBAY; the report's county-106 branches),
212 Lassen Ridge, NV (no tax-map key). The "hostile" login adds 307 Test Ridge
with the key "../../tmp/x".

Parcels (id, apn, address; sheets on the tax-map server):
  100231 512-034-019 1427 N ALDER CREEK RD  3 sheets, 36 comps  (the demo subject)
  100232 512-034-020 1433 N ALDER CREEK RD  1 sheet
  100233 512-041-007 1502 S ALDER CREEK RD  2 sheets
  100234 512-052-112 88 MANZANITA LN UNIT B condominium
  100235 515-006-031 310 SAWMILL RD
  100240 512-041-003 47 OAK HOLLOW CT       no recorded transfer (no trx)
  100241 512-044-027 2215 GRANITE RIDGE DR  house_sqft "N/A", prop_type "R1"
  100242 515-010-004 SITUS ADDRESS NOT ASSIGNED (vacant land)
  100243 516-001-015 9 QUAIL RUN            0 comps
  100244 515-008-012 612 CEDAR ST           1 comp
  100245 515-008-013 618 CEDAR ST           3 comps
  100246 512-036-044 75 FOXGLOVE WAY        3 sheets, sheet 2 missing
  100247 512-060-001 1300 MAIN ST           apartments; not on the tax map
  100248 518-012-009 4410 RIDGELINE RD      6 sheets
  200101..200103 in county 106 (200101: 2 sheets), 300001 in county 212,
  307001 in county 307 (tax-map parcel "..-..-x/y").
Comps are generated per subject (parcel id x 100 + n); each comp's parcel can be
fetched with prop.get. The search matches the typed parcel number (dashes and
blanks ignored, a prefix of 3 or more characters lists), owner name, street
number, name, direction, suffix, unit, city, state and zip. One match answers
prop.data, several prop.list, none a message.

Selecting scenarios
-------------------
1. By typed data. Parcel numbers MULTI, NONE, EMPTYLIST, BADID, MARKUP give a
   list of every parcel of the county, the "no match" message, an empty list,
   a list whose ids are not usable, a list of two whose names and cities hold
   markup, "&" and a leading "=". A parcel number or a login user name equal to a
   generic scenario name (upper or lower case: NOT-ZLIB, status-500, ...)
   answers that scenario.
2. By control requests on either port:
   POST /__peer/next   JSON {"endpoint": E, "scenario": S or [S, ...],
                       "count": N (default 1, -1 = until reset),
                       "params": {...}}, or a list of such objects. The next
                       N requests of endpoint E get scenario S.
   GET  /__peer/log    the request log, JSON lines (?since=SEQ for the newer):
                       seq, server, method, target, headers, body_size,
                       request (inflated text), request_type, endpoint,
                       scenarios, status, error.
   POST /__peer/reset  clears the log, the queued scenarios, the map ids and
                       the tax-map sessions.
   POST /__peer/release lets one request held by the "hold" scenario go on
                       (the one held next, when none is held yet); answers
                       the number of requests held at that moment.
   GET  /__peer/info   ports, accounts, counties, parcels, endpoints and
                       their scenarios, as JSON.
   Endpoints: config, login.request (login), prop.search (search), prop.get
   (get), prop.getcomps (comps), map.request (map), rptgen.request (rptgen),
   any (the next service POST of any kind), taxmap.login, taxmap.open,
   taxmap.first, taxmap.struct, taxmap.next, taxmap.close, taxmap.logout,
   taxmap (the next tax-map command of any kind).
   Generic scenarios of the service endpoints: exception, exception-empty,
   message, message-empty (params: text), empty-body, not-zlib (params: body),
   bad-xml, truncated-xml, wrong-root, empty-vxp, status-404, status-500,
   close (no answer), reset (connection reset), delay (params: seconds,
   default 5), hang (never answers), hold (answers as usual once released by
   POST /__peer/release), non-ascii-utf8, non-ascii-nodecl,
   no-declaration, doctype, indent, cookie, oversize-raw, oversize-inflated
   (params: size; default one byte past 64 MiB raw, 256 MiB inflated),
   scripts.
   The non-ascii pair puts accented texts into the answer (user name, title,
   owners, a service category, exception and message texts). The scripts
   scenario puts names of many scripts there instead (user name and title,
   the subject's owner, the first listed owner, every comp's owner in turn:
   Vietnamese with stacked marks, decomposed accents, Thai, Devanagari,
   Tamil, an emoji) and Arabic features and a 400-character Arabic remark
   into every sixth comp. The configuration document (not compressed) takes
   the same scenarios except the exception, message and non-ascii pairs,
   not-zlib, empty-vxp, cookie, the oversize pair and scripts.
   Variants of each endpoint (also listed by /__peer/info):
     config          bad-version, no-vxprofile, bad-profile-version,
                     empty-path (rptgen without text), repeat (login twice,
                     the last one right), unknown-child, alt-paths,
                     no-search-paths (no propsrch and no comps entry)
     login.request   refuse, refuse-silent, bad-county, bad-userid, bad-port,
                     no-title, huge-logo, extra-page, hostile, no-mls
     prop.search     list, data, none, empty-list, bad-id, markup-list
     prop.get        no-trx, bad-numbers, situs
     prop.getcomps   count (params: count), wrong-type (answer comps.list)
     map.request     mapid-0, mapid-bad
     rptgen.request  census-partial (no income group), maps-failed (status 1
                     and 2, no pictures), school-not-found, services-not-found,
                     school-empty-name, street-far (the street map also
                     draws thousands of inches outside its box), hazard-wide
                     (the hazard map a JPEG of 24000 x 400 pixels)
     taxmap.*        empty-body, status-404, status-500, close, reset, delay,
                     hang, hold; taxmap.login: no-session-header, status-403;
                     taxmap.first and taxmap.next: drop (half a sheet, then a
                     reset), status-500-body (a sheet sent with status 500);
                     taxmap.struct: count (params: count), short-body (20 bytes)
   Report data always holds, when photos are asked: no photo for every fifth
   parcel asked, and Base64 that is not a JPEG for the fourth.
"""

import argparse
import base64
import json
import os
import re
import select
import signal
import socket
import struct
import sys
import threading
import time
import xml.etree.ElementTree as ET
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qsl, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peer_data as data  # noqa: E402
import peer_pictures as pictures  # noqa: E402

FORBIDDEN_PORTS = range(10004, 11005)
MAX_REQUEST_BODY = 32 * 1024 * 1024

STANDARD_PATHS = {
    "propsrch": "/cgi-bin/PropSearch.exe", "login": "/cgi-bin/Login.exe", "comps": "/cgi-bin/IComps.exe",
    "requestmap": "/cgi-bin/RequestMap.exe", "rptgen": "/cgi-bin/RptGen.exe",
}
ALT_PATHS = {
    "propsrch": "/vx2/propsrch.cgi", "login": "/vx2/login.cgi", "comps": "/vx2/comps.cgi",
    "requestmap": "/vx2/map.cgi", "rptgen": "/vx2/rptgen.cgi",
}
SERVICE_OF_PATH = {path: name for table in (STANDARD_PATHS, ALT_PATHS) for name, path in table.items()}
REQUESTS_OF_SERVICE = {
    "login": ("login.request",), "propsrch": ("prop.search", "prop.get"), "comps": ("prop.getcomps",),
    "requestmap": ("map.request",), "rptgen": ("rptgen.request",),
}

# ---------------------------------------------------------------------------
# Scenarios

GENERIC = (
    "exception", "exception-empty", "message", "message-empty", "empty-body", "not-zlib", "bad-xml",
    "truncated-xml", "wrong-root", "empty-vxp", "status-404", "status-500", "close", "reset", "delay",
    "hang", "hold", "non-ascii-utf8", "non-ascii-nodecl", "no-declaration", "doctype", "indent", "cookie",
    "oversize-raw", "oversize-inflated", "scripts",
)
CONFIG_GENERIC = (
    "empty-body", "bad-xml", "truncated-xml", "wrong-root", "status-404", "status-500", "close", "reset",
    "delay", "hang", "hold", "no-declaration", "doctype", "indent",
)
TAXMAP_GENERIC = ("empty-body", "status-404", "status-500", "close", "reset", "delay", "hang", "hold")

VARIANTS = {
    "config": ("bad-version", "no-vxprofile", "bad-profile-version", "empty-path", "repeat",
               "unknown-child", "alt-paths", "no-search-paths"),
    "login.request": ("refuse", "refuse-silent", "bad-county", "bad-userid", "bad-port", "no-title",
                      "huge-logo", "extra-page", "hostile", "no-mls"),
    "prop.search": ("list", "data", "none", "empty-list", "bad-id", "markup-list"),
    "prop.get": ("no-trx", "bad-numbers", "situs"),
    "prop.getcomps": ("count", "wrong-type"),
    "map.request": ("mapid-0", "mapid-bad"),
    "rptgen.request": ("census-partial", "maps-failed", "school-not-found", "services-not-found",
                       "school-empty-name", "street-far", "hazard-wide"),
    "any": (),
    "taxmap.login": ("no-session-header", "status-403"),
    "taxmap.open": (),
    "taxmap.first": ("drop", "status-500-body"),
    "taxmap.struct": ("count", "short-body"),
    "taxmap.next": ("drop", "status-500-body"),
    "taxmap.close": (),
    "taxmap.logout": (),
    "taxmap": (),
}
ALIASES = {"login": "login.request", "search": "prop.search", "get": "prop.get", "comps": "prop.getcomps",
           "map": "map.request", "rptgen": "rptgen.request"}


def scenarios_of(endpoint):
    if endpoint == "config":
        generic = CONFIG_GENERIC
    elif endpoint.startswith("taxmap"):
        generic = TAXMAP_GENERIC
    else:
        generic = GENERIC
    return tuple(generic) + VARIANTS[endpoint]


SCENARIO_BY_TYPED_NAME = {name.upper(): name for name in GENERIC}

# ---------------------------------------------------------------------------
# XML writing


class El:
    """An element of an answer: tag, ordered attributes, text, children."""

    __slots__ = ("tag", "attrs", "text", "children")

    def __init__(self, tag, attrs=(), text=None, children=()):
        self.tag = tag
        self.attrs = list(attrs)
        self.text = text
        self.children = list(children)

    def add(self, tag, attrs=(), text=None, children=()):
        child = El(tag, attrs, text, children)
        self.children.append(child)
        return child


def _esc_text(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def _esc_attr(s):
    return _esc_text(s).replace('"', "&quot;")


def render(el, indent=False, level=0):
    pad = ("\n" + "  " * level) if indent else ""
    attrs = "".join(' %s="%s"' % (k, _esc_attr(v)) for k, v in el.attrs)
    if not el.text and not el.children:
        return "%s<%s%s/>" % (pad, el.tag, attrs)
    inner = _esc_text(el.text) if el.text else ""
    inner += "".join(render(c, indent, level + 1) for c in el.children)
    close = ("\n" + "  " * level) if (indent and el.children) else ""
    return "%s<%s%s>%s%s</%s>" % (pad, el.tag, attrs, inner, close, el.tag)


def document(el, decl="utf8", indent=False, root="vxp", doctype=False):
    """The whole answer text: declaration, root, the answer element."""
    head = {"utf8": '<?xml version="1.0" encoding="UTF-8"?>', "plain": '<?xml version="1.0"?>',
            "none": ""}[decl]
    if doctype:
        head += '<!DOCTYPE %s [<!ELEMENT %s ANY>]>' % (root, root)
    if indent and head:
        head += "\n"
    body = render(el, indent, 1) if el is not None else ""
    if el is None:
        return head + "<%s/>" % root
    return head + "<%s>%s%s</%s>" % (root, body, "\n" if indent else "", root)


def leaf(tag, text):
    return El(tag, text=text)


def b64(raw):
    return base64.encodebytes(raw).decode("ascii")


# ---------------------------------------------------------------------------
# Request checking


class BadRequest(Exception):
    pass


INT = re.compile(r"-?[0-9]+\Z")
ONE_DECIMAL = re.compile(r"-?[0-9]+\.[0-9]\Z")
FLOAT = re.compile(r"-?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][-+]?[0-9]+)?\Z")
ENVELOPE = ("version", "UserID", "County", "LogEvent")
OPTIONAL_ENVELOPE = ("Event", "UserId")
REQUEST_ATTRS = {
    "login.request": (),
    "prop.search": ("county", "userid", "use_mls"),
    "prop.get": ("county", "userid", "parcel", "order"),
    "prop.getcomps": ("county", "userid", "parcel", "order"),
    "map.request": (),
    "rptgen.request": ("county", "userid"),
}
LOGIN_CHILDREN = ("user", "pass", "pgm_ver", "machine_id", "mls_user", "mls_pass", "mls_id")
SEARCH_ATTRS = ("apn", "mls", "first", "last", "stnum", "stname", "stdir", "stsuffix", "stunit", "city",
                "state", "zip")
COMPS_FIELDS = (
    ("sp_beds", INT), ("sp_baths", ONE_DECIMAL), ("sp_sqft", INT), ("sp_lot", INT), ("sp_price", INT),
    ("bedlow", INT), ("bedhi", INT), ("bedtype", "type"), ("bathlow", ONE_DECIMAL),
    ("bathhi", ONE_DECIMAL), ("bathtype", "type"), ("sqftlow", INT), ("sqfthi", INT), ("sqfttype", "type"),
    ("lotlow", INT), ("lothi", INT), ("lottype", "type"), ("pricelow", INT), ("pricehi", INT),
    ("pricetype", "type"), ("srchtype", INT), ("structtype", INT), ("area", ONE_DECIMAL), ("days", INT),
    ("zero", "flag"), ("useactive", "flag"), ("active", INT), ("usepend", "flag"), ("pend", INT),
    ("usesold", "flag"), ("sold", INT), ("useexp", "flag"), ("exp", INT), ("srchfor", INT),
    ("lat", FLOAT), ("lon", FLOAT), ("book", None), ("mlsid", None),
)
MAP_ITEM_CHILDREN = ("address", "price", "lat", "lon", "stat")
AREA_CHILDREN = ("lat", "lon", "city", "zip", "andor", "area")
RPTGEN_ORDER = ("census", "school", "services", "photos", "map")


def _blank(s):
    return s is None or not s.strip()


def _elements(el, where):
    if not _blank(el.text):
        raise BadRequest("text directly in <%s>" % where)
    for c in el:
        if not _blank(c.tail):
            raise BadRequest("text directly in <%s>" % where)
    return list(el)


def _leaf_text(el, where):
    if len(el):
        raise BadRequest("<%s> must hold text only" % where)
    return el.text or ""


def _children(el, names, where):
    kids = _elements(el, where)
    tags = tuple(k.tag for k in kids)
    if tags != tuple(names):
        raise BadRequest("<%s> must hold %s, got %s" % (where, ", ".join(names) or "nothing",
                                                        ", ".join(tags) or "nothing"))
    return kids


def _attrs(el, names, where, optional=()):
    keys = list(el.attrib)
    unknown = [k for k in keys if k not in names and k not in optional]
    if unknown:
        raise BadRequest("unknown attribute %s on <%s>" % (unknown[0], where))
    ordered = [k for k in keys if k in names]
    if ordered != list(names):
        raise BadRequest("<%s> attributes must be %s in this order, got %s" % (
            where, ", ".join(names), ", ".join(keys) or "none"))
    return el.attrib


def _check(cond, message):
    if not cond:
        raise BadRequest(message)


def _int_attr(attrs, name, where):
    _check(INT.match(attrs.get(name, "")), "%s of <%s> must be a decimal integer, got %r" % (
        name, where, attrs.get(name)))
    return int(attrs[name])


def _flag(text, name):
    _check(text in ("Y", "N"), "%s must be Y or N, got %r" % (name, text))


def parse_request(raw, service):
    """Inflated request bytes -> (request type, request element); raises
    BadRequest with what is wrong."""
    _check(raw, "empty request body")
    if b"<!DOCTYPE" in raw:
        raise BadRequest("document type declarations are not accepted")
    try:
        raw.decode("utf-8")
    except UnicodeDecodeError:
        raise BadRequest("request is not UTF-8")
    decl = re.match(rb'\s*<\?xml([^?]*)\?>', raw)
    if decl:
        enc = re.search(rb'encoding\s*=\s*["\']([^"\']*)["\']', decl.group(1))
        if enc and enc.group(1).lower() not in (b"utf-8", b"utf8", b"us-ascii"):
            raise BadRequest("requests must be UTF-8, declared %s" % enc.group(1).decode("latin-1"))
    try:
        root = ET.fromstring(raw)
    except ET.ParseError as e:
        raise BadRequest("malformed XML: %s" % e)
    _check(root.tag == "vxp", "root must be vxp, got %s" % root.tag)
    kids = _elements(root, "vxp")
    _check(len(kids) == 1, "vxp must hold exactly one request element, got %d" % len(kids))
    req = kids[0]
    rtype = req.tag
    _check(rtype in REQUEST_ATTRS, "unknown request type %s" % rtype)
    _check(rtype in REQUESTS_OF_SERVICE[service], "%s is not served at this path" % rtype)
    attrs = _attrs(req, ENVELOPE + REQUEST_ATTRS[rtype], rtype, OPTIONAL_ENVELOPE)
    _check(attrs["version"] == "1.0", "version must be 1.0, got %r" % attrs["version"])
    _int_attr(attrs, "UserID", rtype)
    _int_attr(attrs, "County", rtype)
    _flag(attrs["LogEvent"], "LogEvent")
    if "UserId" in attrs:
        _int_attr(attrs, "UserId", rtype)
    CHECKS[rtype](req)
    return rtype, req


def _check_login(req):
    for k in _children(req, LOGIN_CHILDREN, "login.request"):
        _check(not k.attrib, "<%s> takes no attributes" % k.tag)
        _leaf_text(k, k.tag)


def _check_search(req):
    for name in ("county", "userid"):
        _int_attr(req.attrib, name, "prop.search")
    _check(req.attrib["use_mls"] == "T", "use_mls must be T")
    (search,) = _children(req, ("search",), "prop.search")
    _attrs(search, SEARCH_ATTRS, "search")
    _elements(search, "search")
    _check(not len(search), "<search> takes no children")
    for name in SEARCH_ATTRS:
        value = search.attrib[name]
        _check(value == value.strip(), "search value %s must be trimmed, got %r" % (name, value))


def _check_get(req):
    for name in ("county", "userid", "parcel", "order"):
        _int_attr(req.attrib, name, req.tag)
    _children(req, (), req.tag)


def _check_comps(req):
    for name in ("county", "userid", "parcel", "order"):
        _int_attr(req.attrib, name, req.tag)
    search, sbparams = _children(req, ("search", "sbparams"), "prop.getcomps")
    _check(not search.attrib and not sbparams.attrib, "<search> and <sbparams> take no attributes")
    fields = _children(search, [n for n, _ in COMPS_FIELDS], "search")
    for el, (name, kind) in zip(fields, COMPS_FIELDS):
        text = _leaf_text(el, name)
        if kind == "type":
            _check(text in ("0", "1", "2", "3"), "%s must be 0..3, got %r" % (name, text))
        elif kind == "flag":
            _flag(text, name)
        elif kind is not None:
            _check(kind.match(text), "%s has the wrong number format: %r" % (name, text))
    for p in _elements(sbparams, "sbparams"):
        _check(p.tag == "param", "<sbparams> holds param elements only, got %s" % p.tag)
        _leaf_text(p, "param")


def _check_map(req):
    hazard, street, items = _children(req, ("hazard", "street", "items"), "map.request")
    _attrs(hazard, ("image_type", "request"), "hazard")
    _check(hazard.attrib["image_type"] == "wmf", "hazard image_type must be wmf")
    _flag(hazard.attrib["request"], "hazard request")
    _attrs(street, ("image_type", "request", "tour"), "street")
    _check(street.attrib["image_type"] == "jpg", "street image_type must be jpg")
    _check(street.attrib["request"] == "Y", "street request must be Y")
    _flag(street.attrib["tour"], "street tour")
    entries = _elements(items, "items")
    _check(entries, "<items> must hold the subject's item")
    for n, item in enumerate(entries):
        _check(item.tag == "item", "<items> holds item elements only")
        values = [_leaf_text(k, k.tag) for k in _children(item, MAP_ITEM_CHILDREN, "item")]
        if n == 0:
            _check(values[4] == "T", "the first item is the subject, stat T")


def _check_rptgen(req):
    for name in ("county", "userid"):
        _int_attr(req.attrib, name, "rptgen.request")
    kids = _elements(req, "rptgen.request")
    tags = [k.tag for k in kids]
    _check(all(t in RPTGEN_ORDER for t in tags), "unknown part in rptgen.request: %s" % tags)
    _check(tags == sorted(set(tags), key=RPTGEN_ORDER.index),
           "rptgen.request parts must come once each, in the order %s" % ", ".join(RPTGEN_ORDER))
    for k in kids:
        if k.tag == "census":
            _attrs(k, ("county", "tract"), "census")
            _int_attr(k.attrib, "county", "census")
        elif k.tag in ("school", "services"):
            _check(not k.attrib, "<%s> takes no attributes" % k.tag)
            values = [_leaf_text(c, c.tag) for c in _children(k, AREA_CHILDREN, k.tag)]
            _check(FLOAT.match(values[0]) and FLOAT.match(values[1]), "%s lat/lon format" % k.tag)
            if k.tag == "school":
                _check(values[5] == "8.0", "school area must be 8.0")
            else:
                _check(FLOAT.match(values[5]), "services area format: %r" % values[5])
        elif k.tag == "photos":
            apns = _elements(k, "photos")
            _check(apns, "<photos> without apn elements")
            for a in apns:
                _check(a.tag == "apn", "<photos> holds apn elements only")
                _leaf_text(a, "apn")
        elif k.tag == "map":
            _attrs(k, ("mapid", "street", "hazard"), "map")
            _check(_int_attr(k.attrib, "mapid", "map") >= 1, "map asked without a map id")
            _flag(k.attrib["street"], "map street")
            _flag(k.attrib["hazard"], "map hazard")
            _check("Y" in (k.attrib["street"], k.attrib["hazard"]), "map asks for neither map")


CHECKS = {
    "login.request": _check_login, "prop.search": _check_search, "prop.get": _check_get,
    "prop.getcomps": _check_comps, "map.request": _check_map, "rptgen.request": _check_rptgen,
}

# ---------------------------------------------------------------------------
# Answers


class Reply(Exception):
    """Raised by an answer builder to answer with exception or message."""

    def __init__(self, kind, text):
        Exception.__init__(self, text)
        self.kind = kind
        self.text = text


ACCENTED = {
    "username": "Jos\u00e9 Pe\u00f1a",
    "title": "Pac\u00edfica Title Company \u2013 Sierra Vista",
    "owner": "PE\u00d1A, JOS\u00c9 & MAR\u00cdA",
    "comp_owner": "M\u00dcLLER, ZO\u00cb",
    "service": "Caf\u00e9 Mar\u00eda",
    "text": "Se\u00f1or Garc\u00eda: the record is locked (\u00a7 12)",
}


# The "scripts" scenario: names of many scripts in the answers, one per
# place, and the features and remarks of every sixth comp in Arabic.
SCRIPTS = {
    "username": "\uae40\ubbfc\uc900",  # Korean
    "title": "\u6771\u4eac\u4e0d\u52d5\u7523",  # CJK
    "owner": "\u0645\u062d\u0645\u062f \u0633\u0644\u0627\u0645",  # Arabic
    "list_owner": "\u05d3\u05d5\u05d3 \u05dc\u05d5\u05d9",  # Hebrew
}
SCRIPT_COMP_OWNERS = (
    "Nguy\u1ec5n Th\u1ecb Ng\u1ecdc \u1ea2nh",  # Vietnamese, stacked marks
    "Jose\u0301 Mu\u0308ller",  # decomposed accents
    "\u0e2a\u0e21\u0e0a\u0e32\u0e22 \u0e43\u0e08\u0e14\u0e35",  # Thai
    "\u0930\u093e\u091c\u0947\u0936 \u0936\u0930\u094d\u092e\u093e",  # Devanagari
    "\u0b95\u0bbe\u0bb0\u0bcd\u0ba4\u0bcd\u0ba4\u0bbf\u0b95\u0bcd",  # Tamil
    "Sunny \U0001F3E0 Homes",  # emoji
)
SCRIPT_FEATURES = "@\u0645\u0633\u0628\u062d@ \u0645\u0646\u0632\u0644 \u0648\u0627\u0633\u0639 \u0645\u0639 \u062d\u062f\u064a\u0642\u0629"
SCRIPT_REMARKS = " ".join(
    ["\u0645\u0646\u0632\u0644 \u0639\u0627\u0626\u0644\u064a \u0648\u0627\u0633\u0639 \u0641\u064a \u062d\u064a "
     "\u0647\u0627\u062f\u0626 \u0642\u0631\u064a\u0628 \u0645\u0646 \u0627\u0644\u0645\u062f\u0627\u0631\u0633 "
     "\u0648\u0627\u0644\u062d\u062f\u0627\u0626\u0642 \u0645\u0639 \u0645\u0637\u0628\u062e \u062c\u062f\u064a\u062f."] * 7
)[:400]


def login_answer(req, variants, ctx):
    user = req.find("user").text or ""
    password = req.find("pass").text or ""
    variant = data.LOGIN_VARIANT_USERS.get(user)
    if variant:
        variants = set(variants) | {variant}
    account = data.ACCOUNTS.get(user)
    refused = "refuse" in variants or "refuse-silent" in variants
    if not variant and (account is None or account["password"] != password):
        refused = True
    if refused:
        ans = El("login.response", [("version", "1.0"), ("result", "false"), ("UserId", "0")])
        if "refuse-silent" not in variants:
            ans.add("message", text="Invalid user name or password.")
        return ans
    account = account or data.ACCOUNTS["demo"]
    mls = account["mls"] and "no-mls" not in variants
    user_id = "n/a" if "bad-userid" in variants else str(account["user_id"])
    ans = El("login.response", [("version", "1.0"), ("result", "true"), ("UserId", user_id)])
    ans.add("username", text=SCRIPTS["username"] if ctx["scripts"] else
            ACCENTED["username"] if ctx["accent"] else account["name"])
    ans.add("assr_map_ip", text="127.0.0.1")
    ans.add("assr_map_port", text="none" if "bad-port" in variants else str(ctx["taxmap_port"]))
    ans.add("mls_valid", text="Y" if mls else "N")
    ans.add("mlslogin", text="Y" if mls else "N")
    if "no-title" in variants:
        ans.add("titleconame")
        ans.add("banner")
        ans.add("logo", text=b64(b"Not a bitmap at all"))
    else:
        ans.add("titleconame", text=SCRIPTS["title"] if ctx["scripts"] else
                ACCENTED["title"] if ctx["accent"] else data.TITLE_COMPANY)
        ans.add("banner", text="\n" + data.BANNER_RTF + "\n")
        huge = "huge-logo" in variants
        ans.add("logo", text=b64(pictures.rle_bomb_bmp(5790, 5790) if huge else pictures.logo_bmp()))
    counties = ans.add("counties")
    for n, c in enumerate(data.COUNTIES):
        counties.add("county", [(k, c[k]) for k in ("num", "name", "state", "apnmap", "photos", "hazards")])
        if n == 0 and "bad-county" in variants:
            counties.add("county", [("num", "5x9"), ("name", "Broken"), ("state", "CA"), ("apnmap", "BRK"),
                                    ("photos", "N"), ("hazards", "N")])
    if "hostile" in variants:
        c = data.HOSTILE_COUNTY
        counties.add("county", [(k, c[k]) for k in ("num", "name", "state", "apnmap", "photos", "hazards")])
    searchby = ans.add("comps").add("searchby")
    for rec in data.SEARCH_TYPES:
        searchby.add("rec", list(zip(("id", "name", "field1", "field2", "showarea", "showlist", "landuse",
                                      "items", "length"), rec)))
    rpages = ans.add("rpages")
    pages = list(data.REPORT_PAGES)
    if "extra-page" in variants:
        pages.insert(9, data.UNKNOWN_REPORT_PAGE)
    for pid, name in pages:
        rpages.add("page", [("id", pid), ("name", name)])
    providers = ans.add("providers")
    for pid, name in data.PROVIDERS:
        providers.add("provider", [("id", pid), ("name", name)])
    return ans


def _county_of(req):
    num = req.attrib["county"]
    county = data.county_by_num(num)
    if county is None:
        raise Reply("exception", "County %s is not available for this account." % num)
    return county


def _norm_apn(s):
    return s.replace("-", "").replace(" ", "").upper()


def _matches(p, s):
    def has(key, value):
        return not value or value.upper() == p[key].upper()

    if s["apn"]:
        want, have = _norm_apn(s["apn"]), _norm_apn(p["apn"])
        if not (want == have or (len(want) >= 3 and have.startswith(want))):
            return False
    if s["mls"] and s["mls"].upper() != p["mls"].upper():
        return False
    for key in ("first", "last"):
        if s[key] and s[key].upper() not in (p["owner1"] + " " + p["owner2"]).upper():
            return False
    if s["stname"] and s["stname"].upper() not in p["stname"].upper():
        return False
    return (has("stnum", s["stnum"]) and has("stdir", s["stdir"]) and has("stsuffix", s["stsuffix"])
            and has("unit", s["stunit"]) and has("city", s["city"]) and has("state", s["state"])
            and has("zip", s["zip"]))


def _list_row(p, accent=False, scripts=False):
    return El("prop", [("name", SCRIPTS["list_owner"] if scripts else ACCENTED["owner"] if accent else p["owner1"]),
                       ("address", data.site_address(p)), ("city", p["city"]), ("apn", p["apn"]),
                       ("land_use", p["land_use"]), ("parcel", str(p["parcel"]))])


def property_answer(p, variants=(), accent=False, scripts=False):
    ans = El("prop.data", [("version", "1.0"), ("parcel", str(p["parcel"]))])
    for name, value in data.property_fields(p):
        if name == "trx":
            if "no-trx" not in variants:
                trx = ans.add("trx")
                for rec in value:
                    trx.add("rec", children=[leaf(k, v) for k, v in rec])
            continue
        if name == "house_sqft" and "bad-numbers" in variants:
            value = "N/A"
        if name == "prop_type" and "bad-numbers" in variants:
            value = "R1"
        if name == "address" and "situs" in variants:
            value = "SITUS ADDRESS NOT ASSIGNED"
        if name == "owner1" and accent:
            value = ACCENTED["owner"]
        if name == "owner1" and scripts:
            value = SCRIPTS["owner"]
        ans.add(name, text=value)
    return ans


def search_answer(req, variants, ctx):
    county = _county_of(req)
    s = dict(req.find("search").attrib)
    special = data.SEARCH_SPECIAL_APNS.get(s["apn"].upper())
    if special:
        variants = set(variants) | {special}
    in_county = [p for p in data.PARCELS.values() if p["county"] == county["num"]]
    if "none" in variants:
        raise Reply("message", "No properties were found that match your search.")
    if "empty-list" in variants:
        return El("prop.list", [("version", "1.0")])
    if "markup-list" in variants:
        ans = El("prop.list", [("version", "1.0")])
        for p, (name, city) in zip(in_county[:2] or list(data.PARCELS.values())[:2],
                                   (("SMITH & <B>JONES</B>", "<A HREF=\"file:///etc\">CITY</A>"),
                                    ("=1+1", "A&B"))):
            row = _list_row(p)
            row.attrs[0] = ("name", name)
            row.attrs[2] = ("city", city)
            ans.children.append(row)
        return ans
    if "bad-id" in variants:
        ans = El("prop.list", [("version", "1.0")])
        for p, bad in zip(in_county[:2] or list(data.PARCELS.values())[:2], ("ABC", "0")):
            row = _list_row(p)
            row.attrs[-1] = ("parcel", bad)
            ans.children.append(row)
        return ans
    if "list" in variants:
        found = in_county
    else:
        if not special and not any(s.values()):
            raise Reply("message", "Please enter search criteria.")
        found = in_county if special else [p for p in in_county if _matches(p, s)]
    if not found:
        raise Reply("message", "No properties were found that match your search.")
    if "data" in variants or (len(found) == 1 and "list" not in variants):
        return property_answer(found[0], accent=ctx["accent"], scripts=ctx["scripts"])
    ans = El("prop.list", [("version", "1.0")])
    for n, p in enumerate(found):
        ans.children.append(_list_row(p, ctx["accent"] and n == 0, ctx["scripts"] and n == 0))
    return ans


def _find_property(parcel):
    if parcel in data.PARCELS:
        return data.PARCELS[parcel]
    comp = data.split_comp_parcel(parcel)
    if comp:
        return data.comp_property(*comp)
    return None


def get_answer(req, variants, ctx):
    _county_of(req)
    parcel = int(req.attrib["parcel"])
    p = _find_property(parcel)
    if p is None:
        raise Reply("exception", "Property %d was not found." % parcel)
    return property_answer(p, variants, ctx["accent"], ctx["scripts"])


def comps_answer(req, variants, ctx):
    _county_of(req)
    parcel = int(req.attrib["parcel"])
    p = data.PARCELS.get(parcel)
    if p is None:
        raise Reply("exception", "No subject property: parcel %d is not on file." % parcel)
    total = None
    if "count" in variants:
        total = max(0, min(99, int(ctx["params"].get("count", ctx["params"].get("n", 36)))))
    ans = El("comps.list" if "wrong-type" in variants else "comps.result", [("version", "1.0")])
    for n, fields in enumerate(data.comps_for(p, total)):
        rec = ans.add("comp")
        for k, v in fields:
            if k == "owner" and n == 0 and ctx["accent"]:
                v = ACCENTED["comp_owner"]
            if k == "owner" and ctx["scripts"]:
                v = SCRIPT_COMP_OWNERS[n % len(SCRIPT_COMP_OWNERS)]
            if k == "features" and ctx["scripts"] and n % len(SCRIPT_COMP_OWNERS) == 0:
                v = SCRIPT_FEATURES
            if k == "rem" and ctx["scripts"] and n % len(SCRIPT_COMP_OWNERS) == 0:
                v = SCRIPT_REMARKS
            rec.add(k, text=v)
    return ans


def map_answer(req, variants, ctx):
    items = []
    for item in req.find("items"):
        items.append({k.tag: k.text or "" for k in item})
    mapid = ctx["peer"].store_map(req.attrib["County"], items)
    shown = "0" if "mapid-0" in variants else ("pending" if "mapid-bad" in variants else str(mapid))
    return El("map.response", [("version", "1.0"), ("mapid", shown)])


def _float(text):
    try:
        return float(text)
    except ValueError:
        return None


def street_map_for(peer, mapid, far=False):
    stored = peer.stored_map(mapid)
    items, streets = [], []
    if stored:
        county, entries = stored
        for n, it in enumerate(entries):
            lat, lon = _float(it.get("lat", "")), _float(it.get("lon", ""))
            if lat is not None and lon is not None:
                items.append(("S" if n == 0 else str(n), it.get("stat", ""), lat, lon))
        first = entries[0].get("address", "") if entries else ""
        words = [w for w in first.split() if not w.isdigit()]
        if words:
            streets.append((" ".join(words)[:30], True))
    streets += [("OAK KNOLL AVE", False), ("MEADOW VIEW LN", True), ("SUGAR PINE ST", False)]
    return pictures.street_map(items, streets, far)


def rptgen_answer(req, variants, ctx):
    _county_of(req)
    ans = El("rptgen.response", [("version", "1.0")])
    parts = {k.tag: k for k in req}
    if "census" in parts:
        tract = parts["census"].attrib["tract"] or "0000.00"
        census = ans.add("census", [("county", parts["census"].attrib["county"]), ("tract", tract)])
        for group, attrs in data.census(tract):
            if group == "income" and "census-partial" in variants:
                continue
            census.add(group, attrs)
    if "school" in parts:
        city = parts["school"].find("city").text or ""
        school = ans.add("short_school", [("found", "N" if "school-not-found" in variants else "Y")])
        for n, d in enumerate(data.school_districts(city)):
            district = school.add("district")
            district.add("dist_info").add("name", text="" if (n == 0 and "school-empty-name" in variants)
                                          else d["name"])
            personel = district.add("personel")
            for job, name, phone in d["personel"]:
                personel.add("person", [("job", job), ("name", name), ("phone", phone)])
            primary = district.add("primary_school", children=[leaf(k, v) for k, v in d["primary"]])
            primary.add("sat", children=[leaf(k, v) for k, v in d["sat"]])
            schools = district.add("schools")
            for s in d["schools"]:
                schools.add("school", children=[leaf(k, v) for k, v in s])
    if "services" in parts:
        city = parts["services"].find("city").text or ""
        services = ans.add("services", [("found", "N" if "services-not-found" in variants else "Y")])
        for n, (cat, rows) in enumerate(data.services(city)):
            c = services.add("category", [("name", ACCENTED["service"] if ctx["accent"] and n == 0 else cat)])
            for r in rows:
                c.add("service", [(k, r[k]) for k in ("name", "street", "city", "phone", "distance")])
    if "photos" in parts:
        photos = ans.add("photos")
        for n, a in enumerate(parts["photos"]):
            apn = (a.text or "").replace("-", "").replace(" ", "")
            if n % 5 == 4:
                continue  # no photo for this parcel
            if n == 3:
                photos.add("photo", [("apn", apn)], text=b64(b"This is not a JPEG picture.") + "*#!")
                continue
            name = pictures.HOUSE_PHOTOS[sum(apn.encode()) % len(pictures.HOUSE_PHOTOS)]
            photos.add("photo", [("apn", apn)], text=b64(pictures.fixture_jpeg(name)))
    if "map" in parts:
        m = parts["map"].attrib
        maps = ans.add("maps")
        failed = "maps-failed" in variants
        if m["street"] == "Y":
            maps.add("street", [("status", "1" if failed else "0")],
                     text=None if failed else b64(street_map_for(ctx["peer"], int(m["mapid"]),
                                                                 "street-far" in variants)))
        if m["hazard"] == "Y":
            hazard = pictures.wide_hazard_map() if "hazard-wide" in variants else pictures.fixture_jpeg(
                pictures.HAZARD_MAP)
            maps.add("hazard", [("status", "2" if failed else "0")], text=None if failed else b64(hazard))
    return ans


BUILDERS = {
    "login.request": login_answer, "prop.search": search_answer, "prop.get": get_answer,
    "prop.getcomps": comps_answer, "map.request": map_answer, "rptgen.request": rptgen_answer,
}


def config_answer(variants):
    paths = ALT_PATHS if "alt-paths" in variants else STANDARD_PATHS
    config = El("config", [("version", "2.0" if "bad-version" in variants else "1.0")])
    if "no-vxprofile" in variants:
        config.add("settings", [("version", "1.0")], text="none")
    profile = config.add("vxprofile", [("version", "0.9" if "bad-profile-version" in variants else "1.0")])
    for name in ("propsrch", "login", "comps", "requestmap", "rptgen"):
        if name == "login" and "repeat" in variants:
            profile.add("login", text="/cgi-bin/Outdated.exe")
        if name == "rptgen" and "empty-path" in variants:
            profile.add("rptgen")
            continue
        if name in ("propsrch", "comps") and "no-search-paths" in variants:
            continue
        profile.add(name, text=paths[name])
    if "unknown-child" in variants:
        profile.add("reports", text="/cgi-bin/Reports.exe")
    return config


# ---------------------------------------------------------------------------
# Peer state


class Peer:
    def __init__(self):
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.service_port = self.taxmap_port = 0
        self.stall_port = None
        self.verbose = False
        self._oversize_cache = {}
        self.releases = threading.Semaphore(0)
        self.held = 0
        self.reset()

    def reset(self):
        with self.lock:
            self.log = []
            self.seq = 0
            self.queue = {}
            self.maps = {}
            self.next_mapid = 1001
            self.sessions = {}
            self.next_session = 123
        while self.releases.acquire(blocking=False):
            pass  # releases nobody took

    # scenarios ------------------------------------------------------------

    def enqueue(self, override):
        endpoint = ALIASES.get(override.get("endpoint"), override.get("endpoint"))
        if endpoint not in VARIANTS:
            raise ValueError("unknown endpoint %r" % override.get("endpoint"))
        names = override.get("scenario", override.get("scenarios"))
        names = [names] if isinstance(names, str) else list(names or [])
        if not names:
            raise ValueError("no scenario given")
        known = scenarios_of(endpoint)
        for n in names:
            if n not in known:
                raise ValueError("unknown scenario %r for endpoint %s" % (n, endpoint))
        count = int(override.get("count", 1))
        if count == 0 or count < -1:
            raise ValueError("count must be positive or -1")
        params = override.get("params") or {}
        if not isinstance(params, dict):
            raise ValueError("params must be an object")
        with self.lock:
            self.queue.setdefault(endpoint, []).append(
                {"scenarios": names, "params": params, "remaining": count})

    def take(self, endpoints):
        with self.lock:
            for e in endpoints:
                q = self.queue.get(e)
                if q:
                    entry = q[0]
                    if entry["remaining"] > 0:
                        entry["remaining"] -= 1
                        if entry["remaining"] == 0:
                            q.pop(0)
                    return list(entry["scenarios"]), dict(entry["params"])
        return [], {}

    # log ------------------------------------------------------------------

    def record(self, entry):
        with self.lock:
            self.seq += 1
            entry["seq"] = self.seq
            self.log.append(entry)
        return entry

    def log_lines(self, since):
        with self.lock:
            return "".join(json.dumps(e) + "\n" for e in self.log if e["seq"] > since)

    # maps and sessions ------------------------------------------------------

    def store_map(self, county, items):
        with self.lock:
            mapid = self.next_mapid
            self.next_mapid += 1
            self.maps[mapid] = (county, items)
            return mapid

    def stored_map(self, mapid):
        with self.lock:
            return self.maps.get(mapid)

    def new_session(self):
        with self.lock:
            sid = "S%d" % self.next_session
            self.next_session += 1
            self.sessions[sid] = {"county": None, "parcel": None, "count": 0, "missing": (), "next": 2}
            return sid

    def session(self, sid):
        with self.lock:
            return self.sessions.get(sid)

    def end_session(self, sid):
        with self.lock:
            self.sessions.pop(sid, None)

    def oversize_body(self, size):
        with self.lock:
            cached = self._oversize_cache.get(size)
        if cached is None:
            c = zlib.compressobj(9)
            chunk = b"\0" * (1 << 20)
            parts, left = [], size
            while left > 0:
                n = min(left, len(chunk))
                parts.append(c.compress(chunk[:n]))
                left -= n
            parts.append(c.flush())
            cached = b"".join(parts)
            with self.lock:
                self._oversize_cache[size] = cached
        return cached

    def info(self):
        return {
            "service_port": self.service_port, "taxmap_port": self.taxmap_port, "stall_port": self.stall_port,
            "paths": STANDARD_PATHS, "alt_paths": ALT_PATHS,
            "accounts": {u: a["password"] for u, a in data.ACCOUNTS.items()},
            "variant_users": sorted(data.LOGIN_VARIANT_USERS),
            "counties": data.COUNTIES, "hostile_county": data.HOSTILE_COUNTY,
            "parcels": [{"parcel": p["parcel"], "county": p["county"], "apn": p["apn"],
                         "address": data.site_address(p), "city": p["city"], "owner": p["owner1"],
                         "tax_map_parcel": p["bookpage"].replace(",", "-"), "sheets": p["sheets"],
                         "missing_sheets": list(p["missing"]), "comps": p["comps"],
                         "has_trx": bool(p["sales"])} for p in data.PARCELS.values()],
            "special_apns": data.SEARCH_SPECIAL_APNS,
            "endpoints": {e: list(scenarios_of(e)) for e in VARIANTS},
            "aliases": ALIASES,
        }


# ---------------------------------------------------------------------------
# HTTP


class PeerServer(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True
    request_queue_size = 64

    def __init__(self, address, handler, peer):
        self.peer = peer
        ThreadingHTTPServer.__init__(self, address, handler)


class PeerHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VxServer/2.1"
    sys_version = ""
    timeout = 120
    server_name = "service"

    @property
    def peer(self):
        return self.server.peer

    def version_string(self):
        return self.server_version

    def log_message(self, fmt, *args):
        if self.peer.verbose:
            sys.stderr.write("%s %s\n" % (self.server_name, fmt % args))

    def finish(self):
        try:
            BaseHTTPRequestHandler.finish(self)
        except OSError:
            pass

    # helpers ----------------------------------------------------------------

    def target_path(self):
        parts = urlsplit(self.path)
        return parts.path, parts.query

    def read_body(self):
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            body = b""
            while True:
                size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return body
                body += self.rfile.read(size)
                self.rfile.readline()
                if len(body) > MAX_REQUEST_BODY:
                    raise ValueError("request body too large")
        length = self.headers.get("Content-Length")
        if length is None:
            return b""
        n = int(length)
        if n < 0 or n > MAX_REQUEST_BODY:
            raise ValueError("request body too large")
        return self.rfile.read(n)

    def new_entry(self, server, body=b""):
        return self.peer.record({
            "seq": 0, "time": round(time.time(), 3), "server": server, "method": self.command,
            "target": self.path, "path": self.target_path()[0], "headers": [list(h) for h in self.headers.items()],
            "body_size": len(body), "request": None, "request_type": None, "endpoint": None, "scenarios": [],
            "params": {}, "status": None, "error": None,
        })

    def send_plain(self, status, body, content_type="text/html", headers=(), entry=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for k, v in headers:
            self.send_header(k, v)
        self.end_headers()
        if entry is not None:
            entry["status"] = status
        try:
            self.wfile.write(body)
            self.wfile.flush()
        except OSError:
            self.close_connection = True

    def send_json(self, status, obj):
        self.send_plain(status, json.dumps(obj).encode(), "application/json")

    def reset_connection(self):
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
        except OSError:
            pass
        self.close_connection = True

    def hold(self):
        """Waits for a release; False when the client gave up or the
        service stops first."""
        sock = self.connection
        with self.peer.lock:
            self.peer.held += 1
        try:
            while not self.peer.stopping.is_set():
                if self.peer.releases.acquire(timeout=0.05):
                    return True
                try:
                    ready, _, _ = select.select([sock], [], [], 0)
                    if ready and not sock.recv(1, socket.MSG_PEEK):
                        return False
                except (OSError, ValueError):
                    return False
            return False
        finally:
            with self.peer.lock:
                self.peer.held -= 1

    def hang(self):
        sock = self.connection
        while not self.peer.stopping.is_set():
            try:
                ready, _, _ = select.select([sock], [], [], 0.25)
                if ready and not sock.recv(1, socket.MSG_PEEK):
                    break  # the client gave up
                if ready:
                    time.sleep(0.25)
            except (OSError, ValueError):
                break
        self.close_connection = True

    def transport(self, scenarios, params, entry):
        """Faults before any answer; True when the request is done."""
        if "hold" in scenarios and not self.hold():
            self.close_connection = True
            return True
        if "delay" in scenarios:
            if self.peer.stopping.wait(float(params.get("seconds", 5))):
                self.close_connection = True
                return True
        if "hang" in scenarios:
            self.hang()
            return True
        if "close" in scenarios:
            self.close_connection = True
            return True
        if "reset" in scenarios:
            self.reset_connection()
            return True
        for code in (404, 500):
            if "status-%d" % code in scenarios:
                text = {404: "Not Found", 500: "Internal Server Error"}[code]
                self.send_plain(code, ("<html><head><title>%d %s</title></head><body><h1>%s</h1></body></html>"
                                       % (code, text, text)).encode(), entry=entry)
                return True
        return False

    # control ---------------------------------------------------------------

    def control(self, path, query):
        try:
            body = self.read_body() if self.command == "POST" else b""
        except ValueError as e:
            self.close_connection = True
            return self.send_json(413, {"error": str(e)})
        if path == "/__peer/log" and self.command == "GET":
            since = dict(parse_qsl(query)).get("since", "0")
            body = self.peer.log_lines(int(since) if since.isdigit() else 0).encode()
            self.send_plain(200, body, "application/x-ndjson")
        elif path == "/__peer/info" and self.command == "GET":
            self.send_json(200, self.peer.info())
        elif path == "/__peer/release" and self.command == "POST":
            with self.peer.lock:
                held = self.peer.held
            self.peer.releases.release()
            self.send_json(200, {"held": held})
        elif path == "/__peer/reset" and self.command == "POST":
            self.peer.reset()
            self.send_json(200, {"reset": True})
        elif path == "/__peer/next" and self.command == "POST":
            try:
                override = json.loads(body or b"null")
                overrides = override if isinstance(override, list) else [override]
                for s in overrides:
                    if not isinstance(s, dict):
                        raise ValueError("each override is an object")
                    self.peer.enqueue(s)
            except (ValueError, TypeError) as e:
                self.send_json(400, {"error": str(e)})
                return
            self.send_json(200, {"queued": len(overrides)})
        else:
            self.send_json(404, {"error": "unknown control request %s %s" % (self.command, path)})


class ServiceHandler(PeerHandler):
    server_name = "service"

    def do_GET(self):
        path, query = self.target_path()
        if path.startswith("/__peer/"):
            return self.control(path, query)
        entry = self.new_entry("service")
        if path != "/vxpconfig.xml":
            entry["error"] = "unknown path"
            return self.send_plain(404, b"<html><body><h1>Not Found</h1></body></html>", entry=entry)
        scenarios, params = self.peer.take(["config"])
        entry.update(endpoint="config", scenarios=scenarios, params=params)
        if self.transport(scenarios, params, entry):
            return
        text = self.xml_text(config_answer(set(scenarios)), scenarios)
        body = self.xml_faults(text, scenarios, params)
        if body is None:
            return self.send_plain(200, b"", "text/xml", entry=entry)
        self.send_plain(200, body, "text/xml", entry=entry)

    def do_POST(self):
        path, query = self.target_path()
        if path.startswith("/__peer/"):
            return self.control(path, query)
        try:
            body = self.read_body()
        except ValueError as e:
            entry = self.new_entry("service")
            entry["error"] = str(e)
            self.close_connection = True
            return self.send_plain(413, b"<html><body>Request too large</body></html>", entry=entry)
        entry = self.new_entry("service", body)
        entry["body_preview"] = body[:200].decode("latin-1")
        service = SERVICE_OF_PATH.get(path)
        if service is None:
            entry["error"] = "unknown path"
            return self.send_plain(404, b"<html><body><h1>Not Found</h1></body></html>", entry=entry)

        raw, rtype, req, error = None, None, None, None
        try:
            raw = zlib.decompress(body) if body else b""
        except zlib.error as e:
            error = "request body is not zlib data (%s)" % e
        if raw is not None:
            entry["request"] = raw.decode("utf-8", "replace")
            try:
                rtype, req = parse_request(raw, service)
            except BadRequest as e:
                error = str(e)
        entry.update(request_type=rtype, error=error)

        endpoints = ([rtype] if rtype else []) + ["any"]
        scenarios, params = self.peer.take(endpoints)
        if not scenarios and req is not None:
            scenarios = self.typed_scenarios(rtype, req)
        entry.update(endpoint=rtype or "any", scenarios=scenarios, params=params)
        if self.peer.verbose:
            sys.stderr.write("service %s %s %s\n" % (rtype, scenarios, error or ""))
        if self.transport(scenarios, params, entry):
            return

        ctx = {"peer": self.peer, "taxmap_port": self.peer.taxmap_port, "params": params,
               "accent": any(s.startswith("non-ascii") for s in scenarios), "scripts": "scripts" in scenarios}
        if error is not None:
            answer = El("exception", text="Bad request: " + error)
        elif "exception" in scenarios or "exception-empty" in scenarios:
            answer = El("exception", text=None if "exception-empty" in scenarios else params.get(
                "text", ACCENTED["text"] if ctx["accent"] else
                "The county database is not available. Please try again later."))
        elif "message" in scenarios or "message-empty" in scenarios:
            answer = El("message", text=None if "message-empty" in scenarios else params.get(
                "text", ACCENTED["text"] if ctx["accent"] else
                "Scheduled maintenance tonight from 10 PM to midnight."))
        else:
            try:
                answer = BUILDERS[rtype](req, set(scenarios), ctx)
            except Reply as r:
                answer = El(r.kind, text=ACCENTED["text"] if ctx["accent"] else r.text)
        headers = []
        if "cookie" in scenarios or (rtype == "login.request" and (req.find("user").text or "") == "cookie"):
            headers.append(("Set-Cookie", "VXSESSION=%d; Path=/" % (4000 + entry["seq"])))
        if "empty-vxp" in scenarios:
            text = document(None, "utf8")
        else:
            text = self.xml_text(answer, scenarios)
        if "oversize-raw" in scenarios:
            return self.stream_zeros(int(params.get("size", 64 * 1024 * 1024 + 1)), entry)
        if "oversize-inflated" in scenarios:
            packed = self.peer.oversize_body(int(params.get("size", 256 * 1024 * 1024 + 1)))
            return self.send_plain(200, packed, headers=headers, entry=entry)
        if "not-zlib" in scenarios:
            return self.send_plain(200, params.get("body", "hello").encode("utf-8"), headers=headers, entry=entry)
        body = self.xml_faults(text, scenarios, params)
        if body is None:
            return self.send_plain(200, b"", headers=headers, entry=entry)
        self.send_plain(200, zlib.compress(body, 9), headers=headers, entry=entry)

    def typed_scenarios(self, rtype, req):
        if rtype == "login.request":
            name = SCENARIO_BY_TYPED_NAME.get((req.find("user").text or "").upper())
            return [name] if name else []
        if rtype == "prop.search":
            name = SCENARIO_BY_TYPED_NAME.get(req.find("search").attrib["apn"].upper())
            return [name] if name else []
        return []

    @staticmethod
    def xml_text(answer, scenarios):
        decl = "utf8"
        if "non-ascii-nodecl" in scenarios:
            decl = "plain"
        if "no-declaration" in scenarios:
            decl = "none"
        root = "vxpdoc" if "wrong-root" in scenarios else "vxp"
        return document(answer, decl, indent="indent" in scenarios, root=root, doctype="doctype" in scenarios)

    @staticmethod
    def xml_faults(text, scenarios, params):
        """The answer bytes after the XML-level faults; None for an empty body."""
        if "empty-body" in scenarios:
            return None
        if "bad-xml" in scenarios:
            return b'<?xml version="1.0" encoding="UTF-8"?>\n<vxp><a></b></vxp>'
        raw = text.encode("utf-8")
        if "truncated-xml" in scenarios:
            return raw[: max(1, len(raw) // 2)]
        return raw

    def stream_zeros(self, size, entry):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        entry["status"] = 200
        chunk = b"\0" * (1 << 20)
        try:
            left = size
            while left > 0 and not self.peer.stopping.is_set():
                n = min(left, len(chunk))
                self.wfile.write(chunk[:n])
                left -= n
            self.wfile.flush()
        except OSError:
            pass
        self.close_connection = True


class TaxMapHandler(PeerHandler):
    server_name = "taxmap"
    server_version = "TaxMap/1.3"

    def do_POST(self):
        path, query = self.target_path()
        if path.startswith("/__peer/"):
            return self.control(path, query)
        entry = self.new_entry("taxmap")
        entry["error"] = "tax-map commands are GET requests"
        self.close_connection = True
        self.send_plain(405, b"Method Not Allowed", "text/plain", entry=entry)

    def do_GET(self):
        path, query = self.target_path()
        if path.startswith("/__peer/"):
            return self.control(path, query)
        entry = self.new_entry("taxmap")
        if path != "/taxmap.dll":
            entry["error"] = "unknown path or request target %r" % self.path
            return self.send_plain(400 if not path.startswith("/") else 404, b"Bad Request", "text/plain",
                                   entry=entry)
        pairs = parse_qsl(query, keep_blank_values=True)
        entry["query"] = [list(p) for p in pairs]
        keys = [k for k, _ in pairs]
        q = dict(pairs)
        if sorted(keys) != ["params", "sid", "type"]:
            entry["error"] = "the query must hold type, params and sid once each, got %s" % keys
            return self.send_plain(400, b"Bad Request", "text/plain", entry=entry)
        ctype, params_text, sid = q["type"], q["params"], q["sid"]
        endpoint = {"login": "taxmap.login", "struct": "taxmap.struct", "logout": "taxmap.logout"}.get(ctype)
        if ctype == "command":
            endpoint = "taxmap.open" if params_text.startswith("open,") else (
                "taxmap.close" if params_text.startswith("close,") else None)
        elif ctype == "fiex":
            endpoint = "taxmap.next" if params_text == "nsht" else "taxmap.first"
        if endpoint is None:
            entry["error"] = "unknown command type=%s params=%s" % (ctype, params_text)
            return self.send_plain(400, b"Bad Request", "text/plain", entry=entry)
        scenarios, params = self.peer.take([endpoint, "taxmap"])
        entry.update(endpoint=endpoint, scenarios=scenarios, params=params)
        if self.transport(scenarios, params, entry):
            return
        if "empty-body" in scenarios:
            return self.send_plain(200, b"", "application/octet-stream", entry=entry)
        getattr(self, "cmd_" + endpoint.split(".")[1])(params_text, sid, scenarios, params, entry)

    def ok(self, entry, headers=()):
        self.send_plain(200, b"OK", "text/plain", headers=headers, entry=entry)

    def refuse(self, code, why, entry):
        entry["error"] = why
        self.send_plain(code, why.encode(), "text/plain", entry=entry)

    def cmd_login(self, params_text, sid, scenarios, params, entry):
        if "status-403" in scenarios:
            return self.refuse(403, "Forbidden", entry)
        if params_text != "plomvek7":
            return self.refuse(403, "wrong login key %r" % params_text, entry)
        new_sid = self.peer.new_session()
        entry["session"] = new_sid
        if "no-session-header" in scenarios:
            return self.ok(entry)
        self.ok(entry, [("Message-Id", new_sid)])

    def live_session(self, sid, entry):
        s = self.peer.session(sid)
        if s is None:
            self.refuse(404, "no session %r" % sid, entry)
        return s

    def cmd_open(self, params_text, sid, scenarios, params, entry):
        s = self.live_session(sid, entry)
        if s is None:
            return
        county = params_text[len("open,"):]
        hostile = "/" in county or ".." in county
        if county not in data.tax_map_counties() and not hostile:
            return self.refuse(404, "unknown county %r" % county, entry)
        s.update(county=county, parcel=None, count=0, missing=(), next=2)
        self.ok(entry)

    def send_sheet(self, s, number, scenarios, entry):
        body = pictures.map_sheet(s["county"], s["parcel"], number, s["count"])
        if "drop" in scenarios:
            self.send_response(200)
            self.send_header("Content-Type", "image/tiff")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            entry["status"] = 200
            try:
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
            except OSError:
                pass
            return self.reset_connection()
        status = 500 if "status-500-body" in scenarios else 200
        self.send_plain(status, body, "image/tiff", entry=entry)

    def cmd_first(self, params_text, sid, scenarios, params, entry):
        s = self.live_session(sid, entry)
        if s is None:
            return
        if not s["county"]:
            return self.refuse(404, "no county open", entry)
        plan = data.sheet_plan(s["county"], params_text)
        if plan is None:
            s.update(parcel=None, count=0, missing=(), next=2)
            entry["error"] = "no map for parcel %r" % params_text
            return self.send_plain(200, b"", "image/tiff", entry=entry)
        s.update(parcel=params_text, count=plan[0], missing=plan[1], next=2)
        self.send_sheet(s, 1, scenarios, entry)

    def cmd_struct(self, params_text, sid, scenarios, params, entry):
        s = self.live_session(sid, entry)
        if s is None:
            return
        if params_text != "curr":
            return self.refuse(400, "struct params must be curr", entry)
        count = s["count"] if s["parcel"] else 0
        if "count" in scenarios:
            count = int(params.get("count", params.get("n", count)))
            s["count"] = max(count, 0)
        body = b"\0" * 32 + struct.pack("<i", count)
        if "short-body" in scenarios:
            body = body[:20]
        self.send_plain(200, body, "application/octet-stream", entry=entry)

    def cmd_next(self, params_text, sid, scenarios, params, entry):
        s = self.live_session(sid, entry)
        if s is None:
            return
        number = s["next"]
        s["next"] += 1
        if not s["parcel"] or number > s["count"] or number in s["missing"]:
            return self.send_plain(200, b"", "image/tiff", entry=entry)
        self.send_sheet(s, number, scenarios, entry)

    def cmd_close(self, params_text, sid, scenarios, params, entry):
        s = self.live_session(sid, entry)
        if s is None:
            return
        s.update(county=None, parcel=None)
        self.ok(entry)

    def cmd_logout(self, params_text, sid, scenarios, params, entry):
        if params_text != "close":
            entry["error"] = "logout params should be close"
        self.peer.end_session(sid)
        self.ok(entry)


# ---------------------------------------------------------------------------
# Start and stop


def bind(port, handler, peer):
    if port in FORBIDDEN_PORTS:
        raise SystemExit("port %d is reserved (10004 to 11004 are never used)" % port)
    for _ in range(50):
        server = PeerServer(("127.0.0.1", port), handler, peer)
        if server.server_address[1] not in FORBIDDEN_PORTS:
            return server
        server.server_close()
    raise SystemExit("no free port outside 10004..11004")


def stall_socket(port):
    if port in FORBIDDEN_PORTS:
        raise SystemExit("port %d is reserved (10004 to 11004 are never used)" % port)
    for _ in range(50):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.bind(("127.0.0.1", port))
        s.listen(0)
        if s.getsockname()[1] not in FORBIDDEN_PORTS:
            return s
        s.close()
    raise SystemExit("no free port outside 10004..11004")


def main(argv=None):
    ap = argparse.ArgumentParser(description="Sample service of the Tamsel protocol (127.0.0.1 only).")
    ap.add_argument("--port", type=int, default=0, help="service port (0: pick a free one)")
    ap.add_argument("--taxmap-port", type=int, default=0, help="tax-map server port (0: pick a free one)")
    ap.add_argument("--stall-port", type=int, default=None,
                    help="also listen here with a backlog of 0, never accepting (0: pick a free one)")
    ap.add_argument("--verbose", action="store_true", help="print each request on standard error")
    args = ap.parse_args(argv)
    for p in (args.port, args.taxmap_port, args.stall_port):
        if p is not None and not 0 <= p <= 65535:
            ap.error("port out of range: %d" % p)

    peer = Peer()
    peer.verbose = args.verbose
    service = bind(args.port, ServiceHandler, peer)
    taxmap = bind(args.taxmap_port, TaxMapHandler, peer)
    stall = stall_socket(args.stall_port) if args.stall_port is not None else None
    peer.service_port = service.server_address[1]
    peer.taxmap_port = taxmap.server_address[1]
    peer.stall_port = stall.getsockname()[1] if stall else None

    def stop(signum, frame):
        peer.stopping.set()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True)
               for s in (service, taxmap)]
    for t in threads:
        t.start()
    sys.stdout.write(json.dumps({"service_port": peer.service_port, "taxmap_port": peer.taxmap_port,
                                 "stall_port": peer.stall_port}) + "\n")
    sys.stdout.flush()
    while not peer.stopping.wait(0.5):
        pass
    for s in (service, taxmap):
        s.shutdown()
        s.server_close()
    if stall:
        stall.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
