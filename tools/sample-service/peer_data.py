"""The records the sample service serves: accounts, counties, parcels with
their sale history and tax-map sheets, generated comparable sales, census,
school and community-service figures.

Everything is fictional (counties, people, addresses) and deterministic: the
same request always gets the same answer.
"""

import datetime
import math
import random

REFERENCE_DATE = datetime.date(2024, 5, 15)  # "today" of the generated records

# ---------------------------------------------------------------------------
# Accounts

ACCOUNTS = {
    # user name: password, user id, display name, MLS access
    "demo": dict(password="demo", user_id=4127, name="Dana Whitfield", mls=True),
    "escape": dict(password="p&ss<w\"rd>'", user_id=4128, name="Evan Scape", mls=True),
    "nomls": dict(password="nomls", user_id=4129, name="Nora Mills", mls=False),
}

# User names that select a variant of the login answer (any password).
LOGIN_VARIANT_USERS = {
    "refuse": "refuse",                # result false with a message
    "refuse-silent": "refuse-silent",  # result false, no message element
    "bad-county": "bad-county",        # a county whose num is not a number
    "bad-userid": "bad-userid",        # UserId that is not a number
    "bad-port": "bad-port",            # assr_map_port that is not a number
    "no-title": "no-title",            # empty titleconame and banner, logo not a bitmap
    "huge-logo": "huge-logo",          # a run-length logo of 5,790 x 5,790 pixels in a few bytes
    "extra-page": "extra-page",        # rpages with an id the report does not know
    "hostile": "hostile",              # a county whose tax-map key holds "../"
    "cookie": "cookie",                # Set-Cookie on the answer
}

TITLE_COMPANY = "Sierra Vista Title Company"
BANNER_RTF = (
    "{\\rtf1\\ansi\\deff0 {\\fonttbl{\\f0 Arial;}}\\f0\\fs20 "
    "Sierra Vista Title Company \\b Market Profiles\\b0  - call (559) 555-0100 "
    "for a free preliminary title report.\\par }"
)

COUNTIES = [
    dict(num="59", name="Sierra Vista", state="CA", apnmap="SVISTA", photos="Y", hazards="Y"),
    dict(num="106", name="Mariposa Bay", state="CA", apnmap="MBAY", photos="N", hazards="N"),
    dict(num="212", name="Lassen Ridge", state="NV", apnmap="", photos="N", hazards="N"),
]
HOSTILE_COUNTY = dict(num="307", name="Test Ridge", state="CA", apnmap="../../tmp/x", photos="Y", hazards="N")

SEARCH_TYPES = [
    # id, name, field1, field2, showarea, showlist, landuse, items, length
    ("0", "Radius", "", "", "Y", "N", "N", "0", "0"),
    ("1", "Same Tract", "tract", "", "N", "Y", "N", "1", "10"),
    ("2", "Zip Code", "zip", "", "Y", "Y", "N", "3", "5"),
    ("3", "Land Use", "land_use", "", "Y", "Y", "Y", "5", "40"),
    ("4", "Zoning", "zoning", "", "Y", "Y", "N", "2", "10"),
    ("5", "Book and Tract", "apn_book", "tract", "N", "Y", "N", "2", "12"),
]

REPORT_PAGES = [
    ("10", "Cover Page"),
    ("20", "Property Information"),
    ("30", "Street Map"),
    ("40", "Natural Hazards"),
    ("50", "Market Summary"),
    ("60", "Market Details"),
    ("70", "Summary Analysis"),
    ("80", "Community Services"),
    ("90", "Demographics"),
    ("100", "School Report"),
    ("120", "Assessor Map"),
    ("170", "Market Details with Photos"),
]
UNKNOWN_REPORT_PAGE = ("110", "Flood Certificate")

PROVIDERS = [
    ("SVMLS", "Sierra Vista MLS"),
    ("MBAR", "Mariposa Bay Association of Realtors"),
    ("CRMLS", "California Regional MLS"),
]

# ---------------------------------------------------------------------------
# Parcels

_BASE = dict(
    unit="", stdir="", mls="", owner2="", vesting="Community Property", mail=None,
    phone="", land_use="Single Family Residence", zoning="R1-7", prop_type="1",
    bed=3, full=2, part=0, sqft=1600, lot_w=60, lot_d=110, year=1985, stories="1", rooms="6",
    units="1", pool="No", fireplace="1", heating="Forced Air", cooling="Central",
    parking="Attached Garage 2", roof="Composition Shingle", view="None", exterior="Stucco",
    water="Public", construction="Wood Frame", patio="Concrete Slab", flood="X",
    exemption="HOX", tax_area="07-012", sheets=1, missing=(), comps=36, sales=(),
    house_sqft_text=None, prop_type_text=None,
)

_PARCELS = [
    dict(parcel=100231, county="59", apn="512-034-019", mls="SV24-01873",
         stnum="1427", stdir="N", stname="ALDER CREEK", stsuffix="RD", city="ALDER CREEK", zip="93602",
         owner1="HARTLEY, JAMES R", owner2="HARTLEY, SUSAN M", mail=("PO BOX 1187", "ALDER CREEK CA 93602"),
         phone="(559) 555-0142", bed=3, full=2, part=1, sqft=1845, lot_w=65, lot_d=110, year=1987,
         stories="2", rooms="7", pool="Yes", view="Foothills", roof="Concrete Tile", patio="Covered",
         lat=37.081240, lon=-119.520410, tract="11872", lot="14", block="C", census="0012.03",
         land=185400, imp=301200, sheets=3,
         sales=(("06/14/2019", 472500, "F", "Grant Deed", "Conventional", "2019-0041877"),
                ("03/02/2011", 298000, "F", "Grant Deed", "FHA", "2011-0009314"),
                ("08/19/1998", 174000, "P", "Grant Deed", "Conventional", "1998-0062210"))),
    dict(parcel=100232, county="59", apn="512-034-020", stnum="1433", stdir="N", stname="ALDER CREEK",
         stsuffix="RD", city="ALDER CREEK", zip="93602", owner1="OKAFOR, CHINEDU",
         bed=4, full=3, sqft=2210, lot_w=70, lot_d=120, year=1991, stories="2", rooms="9",
         lat=37.081410, lon=-119.520020, tract="11872", lot="15", block="C", census="0012.03",
         land=201000, imp=388500, vesting="Sole Owner", exemption="",
         sales=(("11/03/2021", 612000, "F", "Grant Deed", "Conventional", "2021-0088120"),
                ("05/27/2005", 405000, "F", "Grant Deed", "Conventional", "2005-0040021"))),
    dict(parcel=100233, county="59", apn="512-041-007", stnum="1502", stdir="S", stname="ALDER CREEK",
         stsuffix="RD", city="ALDER CREEK", zip="93602", owner1="HARTLEY FAMILY TRUST",
         vesting="Trust", bed=2, full=1, sqft=1120, lot_w=55, lot_d=100, year=1962, rooms="5",
         lat=37.074900, lon=-119.518800, tract="9214", lot="3", block="A", census="0012.03",
         land=98000, imp=141500, sheets=2, heating="Wall Furnace", cooling="None",
         sales=(("02/11/2008", 215000, "F", "Grant Deed", "Conventional", "2008-0011203"),
                ("07/30/1994", 96000, "F", "Grant Deed", "VA", "1994-0051178"))),
    dict(parcel=100234, county="59", apn="512-052-112", stnum="88", stname="MANZANITA", stsuffix="LN",
         unit="B", city="ALDER CREEK", zip="93602", owner1="NGUYEN, THANH", owner2="NGUYEN, LIEN",
         prop_type="2", land_use="Condominium", zoning="R3", bed=2, full=2, sqft=1010, lot_w=0, lot_d=0,
         year=2004, rooms="4", parking="Carport 1", lat=37.083700, lon=-119.526300, tract="15520",
         lot="2", block="", census="0012.04", land=72000, imp=188000,
         sales=(("09/09/2016", 231000, "F", "Grant Deed", "Conventional", "2016-0071002"),
                ("04/18/2004", 189900, "F", "Grant Deed", "Conventional", "2004-0029981"))),
    dict(parcel=100235, county="59", apn="515-006-031", stnum="310", stname="SAWMILL", stsuffix="RD",
         city="SAWMILL", zip="93614", owner1="DELACROIX, MARIE", vesting="Sole Owner", bed=3, full=2,
         sqft=1530, lot_w=80, lot_d=160, year=1979, lat=37.112300, lon=-119.547700, tract="7781",
         lot="22", block="", census="0014.01", land=120500, imp=210300, view="Forest",
         sales=(("12/01/2017", 338000, "F", "Grant Deed", "Conventional", "2017-0093315"),
                ("06/06/2001", 149500, "F", "Grant Deed", "Conventional", "2001-0044001"))),
    dict(parcel=100240, county="59", apn="512-041-003", stnum="47", stname="OAK HOLLOW", stsuffix="CT",
         city="OAK HOLLOW", zip="93644", owner1="BRANDT, ERIK", vesting="Sole Owner", bed=3, full=2,
         sqft=1688, year=1996, lat=37.069500, lon=-119.531200, tract="12006", lot="8", block="B",
         census="0013.02", land=131000, imp=255000, sales=()),  # no recorded transfer: no trx
    dict(parcel=100241, county="59", apn="512-044-027", stnum="2215", stname="GRANITE RIDGE", stsuffix="DR",
         city="ALDER CREEK", zip="93602", owner1="PATEL, ANIL", owner2="PATEL, REENA", bed=4, full=3,
         sqft=2480, year=2006, lat=37.088100, lon=-119.512900, tract="16230", lot="41", block="",
         census="0012.05", land=210000, imp=455000, sheets=1,
         house_sqft_text="N/A", prop_type_text="R1",  # values that are not numbers
         sales=(("03/15/2006", 559000, "F", "Grant Deed", "Conventional", "2006-0021188"),
                ("10/10/2005", 180000, "F", "Grant Deed", "Construction", "2005-0081101"))),
    dict(parcel=100242, county="59", apn="515-010-004", stnum="", stname="SITUS ADDRESS NOT ASSIGNED",
         stsuffix="", city="SAWMILL", zip="93614", owner1="SIERRA VISTA LAND CO", vesting="Corporation",
         prop_type="6", land_use="Vacant Land", zoning="A-1", bed=0, full=0, sqft=0, lot_w=330,
         lot_d=660, year=0, rooms="0", units="0", pool="No", fireplace="0", heating="None",
         cooling="None", parking="None", roof="", exterior="", construction="", patio="",
         lat=37.118800, lon=-119.552100, tract="", lot="", block="", census="0014.01", land=95000,
         imp=0, exemption="", sheets=2,
         sales=(("01/22/2015", 88000, "F", "Grant Deed", "Cash", "2015-0005520"),
                ("05/05/1990", 21000, "F", "Grant Deed", "Cash", "1990-0030011"))),
    dict(parcel=100243, county="59", apn="516-001-015", stnum="9", stname="QUAIL", stsuffix="RUN",
         city="OAK HOLLOW", zip="93644", owner1="WHITMAN, GRACE", vesting="Sole Owner", bed=2, full=2,
         sqft=1400, year=1999, lat=37.060200, lon=-119.540100, tract="13880", lot="1", block="",
         census="0013.02", land=88000, imp=172000, comps=0,
         sales=(("08/08/2013", 224000, "F", "Grant Deed", "Conventional", "2013-0061777"),
                ("02/02/1999", 139000, "F", "Grant Deed", "Conventional", "1999-0009912"))),
    dict(parcel=100244, county="59", apn="515-008-012", stnum="612", stname="CEDAR", stsuffix="ST",
         city="SAWMILL", zip="93614", owner1="RUIZ, ANTONIO", owner2="RUIZ, CARMEN", bed=3, full=1,
         part=1, sqft=1290, year=1958, lat=37.109900, lon=-119.543300, tract="4410", lot="6", block="D",
         census="0014.01", land=74000, imp=131000, comps=1,
         sales=(("04/04/2012", 141000, "F", "Grant Deed", "FHA", "2012-0027001"),
                ("09/19/1987", 67500, "F", "Grant Deed", "Conventional", "1987-0055512"))),
    dict(parcel=100245, county="59", apn="515-008-013", stnum="618", stname="CEDAR", stsuffix="ST",
         city="SAWMILL", zip="93614", owner1="COLE, PATRICIA", vesting="Sole Owner", bed=3, full=2,
         sqft=1375, year=1961, lat=37.110000, lon=-119.543500, tract="4410", lot="7", block="D",
         census="0014.01", land=76000, imp=139000, comps=3,
         sales=(("07/21/2020", 289000, "F", "Grant Deed", "Conventional", "2020-0058830"),
                ("03/03/2003", 152000, "F", "Grant Deed", "Conventional", "2003-0018820"))),
    dict(parcel=100246, county="59", apn="512-036-044", stnum="75", stname="FOXGLOVE", stsuffix="WAY",
         city="ALDER CREEK", zip="93602", owner1="MORALES, DIEGO", owner2="MORALES, ELENA", bed=4, full=2,
         part=1, sqft=2050, year=2001, lat=37.079000, lon=-119.515600, tract="14402", lot="30",
         block="", census="0012.03", land=160000, imp=342000, sheets=3, missing=(2,),
         sales=(("05/30/2018", 498000, "F", "Grant Deed", "Conventional", "2018-0044003"),
                ("06/15/2001", 229900, "F", "Grant Deed", "Conventional", "2001-0047190"))),
    dict(parcel=100247, county="59", apn="512-060-001", stnum="1300", stname="MAIN", stsuffix="ST",
         city="ALDER CREEK", zip="93602", owner1="ALDER CREEK HOLDINGS LLC", vesting="Corporation",
         prop_type="5", land_use="Apartments (5+ units)", zoning="C-2", bed=12, full=6, sqft=5400,
         units="6", rooms="24", year=1974, lot_w=100, lot_d=150, parking="Open Lot 8",
         lat=37.085500, lon=-119.523800, tract="301", lot="1", block="12", census="0012.01",
         land=240000, imp=690000, exemption="", sheets=0,  # not on the tax map
         sales=(("10/30/2015", 865000, "F", "Grant Deed", "Commercial", "2015-0079921"),
                ("12/12/1997", 410000, "F", "Grant Deed", "Commercial", "1997-0091230"))),
    dict(parcel=100248, county="59", apn="518-012-009", stnum="4410", stname="RIDGELINE", stsuffix="RD",
         city="PINE FLAT", zip="93621", owner1="SORENSEN, KARL", vesting="Sole Owner", bed=3, full=2,
         sqft=1960, lot_w=150, lot_d=290, year=1983, lat=37.141200, lon=-119.488800, tract="",
         lot="", block="", census="0015.00", land=118000, imp=266000, sheets=6, view="Mountains",
         sales=(("09/12/2014", 329000, "F", "Grant Deed", "Conventional", "2014-0070009"),
                ("01/09/1995", 151000, "P", "Grant Deed", "Seller Carryback", "1995-0002004"))),
    dict(parcel=200101, county="106", apn="173-020-011", stnum="21", stname="HARBOR VIEW", stsuffix="DR",
         city="BAYSIDE", zip="94937", owner1="LINDQVIST, ANNA", vesting="Sole Owner", bed=3, full=2,
         part=1, sqft=1620, lot_w=50, lot_d=100, year=1948, view="Bay", exterior="Shingle",
         lat=38.021800, lon=-122.721300, tract="88", lot="11", block="4", census="1330.00",
         land=610000, imp=402000, tax_area="02-001", sheets=2, flood="AE",
         sales=(("04/19/2017", 1195000, "F", "Grant Deed", "Conventional", "2017-0012890"),
                ("08/01/1999", 455000, "F", "Grant Deed", "Conventional", "1999-0033101"))),
    dict(parcel=200102, county="106", apn="173-022-004", stnum="140", stname="SHORELINE", stsuffix="HWY",
         city="BAYSIDE", zip="94937", owner1="MCALLISTER, ROBERT", owner2="MCALLISTER, JEAN",
         bed=4, full=2, part=1, sqft=2240, year=1972, view="Ocean", lat=38.024100, lon=-122.718000,
         tract="90", lot="4", block="1", census="1330.00", land=880000, imp=515000, tax_area="02-001",
         sales=(("06/30/2010", 1310000, "F", "Grant Deed", "Conventional", "2010-0030330"),
                ("02/14/1986", 298000, "F", "Grant Deed", "Conventional", "1986-0007781"))),
    dict(parcel=200103, county="106", apn="175-004-032", stnum="7", stname="GULL", stsuffix="CT",
         city="SEAGATE", zip="94940", owner1="FONG, DAVID", vesting="Sole Owner", prop_type="2",
         land_use="Condominium", zoning="RMP", bed=2, full=2, sqft=1150, lot_w=0, lot_d=0, year=1989,
         lat=38.035500, lon=-122.731900, tract="120", lot="32", block="", census="1331.00",
         land=330000, imp=290000, tax_area="02-004",
         sales=(("11/11/2019", 789000, "F", "Grant Deed", "Conventional", "2019-0055010"),
                ("03/03/2009", 540000, "F", "Grant Deed", "Conventional", "2009-0014441"))),
    dict(parcel=300001, county="212", apn="024-113-08", stnum="515", stname="JUNIPER FLAT", stsuffix="RD",
         city="JUNIPER", zip="89431", state="NV", owner1="HOLLOWAY, REX", vesting="Sole Owner", bed=3,
         full=2, sqft=1750, lot_w=100, lot_d=200, year=1994, lat=39.529900, lon=-119.813800,
         tract="", lot="", block="", census="0021.02", land=90000, imp=240000, exemption="",
         sales=(("07/07/2016", 318000, "F", "Grant Deed", "Conventional", "2016-0060606"),
                ("09/09/1994", 118000, "F", "Grant Deed", "Conventional", "1994-0090909"))),
    dict(parcel=307001, county="307", apn="..-..-X", bookpage="..,..,x/y", stnum="1", stname="TEST",
         stsuffix="WAY", city="NOWHERE", zip="90000", owner1="TEST, TAX MAP NAMES", bed=1, full=1,
         sqft=800, year=2000, lat=37.0, lon=-119.0, tract="", lot="", block="", census="0001.00",
         land=1000, imp=1000, sheets=2,
         sales=(("01/01/2020", 100000, "F", "Grant Deed", "Cash", "2020-0000001"),
                ("01/01/2010", 50000, "F", "Grant Deed", "Cash", "2010-0000001"))),
]


def _complete(p):
    q = dict(_BASE)
    q.update(p)
    q.setdefault("state", "CA")
    book = q["apn"].split("-")[0]
    q.setdefault("book", book)
    q.setdefault("bookpage", q["apn"].replace("-", ","))
    return q


PARCELS = {p["parcel"]: _complete(p) for p in _PARCELS}

# Special parcel numbers typed into the search form's parcel field.
SEARCH_SPECIAL_APNS = {
    "MULTI": "list",         # several matches: prop.list
    "NONE": "none",          # no match: a message answer
    "EMPTYLIST": "empty-list",  # prop.list without rows
    "BADID": "bad-id",       # prop.list whose rows carry no usable id
    "MARKUP": "markup-list", # prop.list whose texts hold markup and "&"
}


def site_address(p):
    parts = [p["stnum"], p["stdir"], p["stname"], p["stsuffix"]]
    text = " ".join(x for x in parts if x)
    if p["unit"]:
        text += " UNIT " + p["unit"]
    return text


def money(v):
    return "${:,}".format(int(v))


def sheet_plan(county_key, parcel_text):
    """(sheet count, missing sheet numbers) of a parcel on the tax-map
    server, or None when the server has no map for it."""
    if "/" in county_key or ".." in county_key:
        return (2, ())  # the hostile county: any parcel has two sheets
    for p in PARCELS.values():
        key = county_by_num(p["county"])
        if key and key["apnmap"] == county_key and p["bookpage"].replace(",", "-") == parcel_text:
            return (p["sheets"], tuple(p["missing"])) if p["sheets"] else None
    return None


def county_by_num(num):
    for c in COUNTIES + [HOSTILE_COUNTY]:
        if c["num"] == str(num):
            return c
    return None


def tax_map_counties():
    return {c["apnmap"] for c in COUNTIES if c["apnmap"]}


# ---------------------------------------------------------------------------
# Comparable sales

STATUS_TEXT = {"8": "Sold", "0": "Active", "7": "Pending", "3": "Expired", "9": "Withdrawn",
               "5": "Hold", "U": "Unknown", "Z": "Off Market"}

# 36 comps: 20 sold, 5 active, 3 pending, 3 expired, 2 withdrawn, one on hold,
# one of unknown status and one whose code the report does not know.
_STATUS_PLAN = ["8", "8", "0", "8", "7", "8", "3", "8", "8", "0", "9", "8", "8", "5", "8", "7", "8", "0",
                "8", "U", "8", "3", "8", "8", "0", "7", "8", "Z", "8", "3", "8", "9", "8", "0", "8", "8"]

_STREETS = {
    "59": ["ALDER CREEK RD", "MANZANITA LN", "FOXGLOVE WAY", "GRANITE RIDGE DR", "OAK KNOLL AVE",
           "BUCKEYE CT", "TIMBERLINE DR", "MEADOW VIEW LN", "SUGAR PINE ST", "COTTONWOOD CIR"],
    "106": ["HARBOR VIEW DR", "SHORELINE HWY", "TIDEPOOL LN", "GULL CT", "CYPRESS AVE",
            "SANDPIPER WAY", "BLUFF RD", "DRIFTWOOD ST"],
}
_FIRST = ["JAMES", "MARIA", "ROBERT", "LINDA", "MICHAEL", "SUSAN", "DAVID", "KAREN", "CARLOS", "MEI",
          "AHMED", "OLGA", "TOMAS", "PRIYA", "KEVIN", "ROSA", "BRIAN", "HELEN", "SAMUEL", "IRENE"]
_LAST = ["ANDERSON", "BECKER", "CASTILLO", "DUNN", "ELLIOTT", "FITZGERALD", "GARCIA", "HOLM", "IBARRA",
         "JENSEN", "KOWALSKI", "LARSEN", "MURPHY", "NAKAMURA", "OWENS", "PRESCOTT", "QUINTERO", "REYES",
         "SULLIVAN", "THORNTON", "VARGAS", "WEBER", "YOUNG", "ZIMMERMAN"]
_LENDERS = ["Golden State Bank", "Sierra Credit Union", "Pacific Home Loans", "Valley First Mortgage",
            "Cascade Savings", ""]
_FEATURES = [
    "@Remodeled kitchen@ with granite counters, stainless appliances, hardwood floors and a two-car garage",
    "Vaulted ceilings, @solar owned@, dual-pane windows, drought tolerant landscaping",
    "@Pool and spa@ in a private back yard, covered patio, RV parking",
    "Corner lot, fresh paint inside and out, new roof in 2021",
    "Open floor plan, fireplace in the family room, @views@ of the foothills",
    "",
]
_REMARKS = [
    "Well kept single-story home on a quiet street close to schools and shopping. The kitchen opens to "
    "the family room, the primary suite has a walk-in closet, and the back yard has mature fruit trees. "
    "Seller will consider offers with a closing in 30 days.",
    "Move-in ready with updated bathrooms, new flooring and an attached two-car garage. Large lot with "
    "room for a pool. Easy access to the highway and to the lake. Buyer to verify square footage.",
    "Classic ranch home that has been in the same family for decades. Original hardwood under the carpet, "
    "newer HVAC and water heater. Sold as-is; the seller will make no repairs.",
    "Income property with long-term tenants. Separate meters, on-site laundry and off-street parking. "
    "Rents are below market; see the rent roll in the documents. Do not disturb the tenants.",
    "",
]


def _date(days_ago):
    return (REFERENCE_DATE - datetime.timedelta(days=days_ago)).strftime("%m/%d/%Y")


def subject_value(p):
    if p["sales"]:
        return int(p["sales"][0][1] * 1.12)
    return 450000


def comp_parcel(subject_parcel, index):
    return subject_parcel * 100 + index + 1


def split_comp_parcel(parcel):
    """(subject parcel, index) of a comp's parcel number, or None."""
    if parcel < 1000000:
        return None
    subject, rest = divmod(parcel, 100)
    if subject not in PARCELS or rest < 1:
        return None
    return subject, rest - 1


def comp_count(p):
    return p["comps"]


def comps_for(p, total=None):
    """The comps of a subject; `total` overrides how many there are."""
    n = comp_count(p) if total is None else total
    return [comp_record(p, i, n) for i in range(n)]


def comp_record(p, i, n):
    """The fields of comp i of n comps of a subject, as (name, text) pairs."""
    rng = random.Random(p["parcel"] * 1000 + i)
    plan = {1: ["8"], 3: ["8", "0", "8"]}.get(n, _STATUS_PLAN)
    status = plan[i % len(plan)]
    struct_type = int(p["prop_type"]) if p["prop_type"] in ("1", "2", "4") else 1
    if n > 20:
        struct_type = {4: 2, 8: 3, 14: 5, 22: 6}.get(i, struct_type)
    land = struct_type == 6
    income = struct_type in (3, 5)
    streets = _STREETS.get(p["county"], _STREETS["59"])
    street = streets[rng.randrange(len(streets))]
    number = rng.randrange(100, 4999)
    address = "%d %s" % (number, street)
    if n > 20 and i == 9:
        address = "Situs not assigned"  # the map request sends the apn instead

    base_sqft = p["sqft"] or 1600
    sqft = 0 if land else int(base_sqft * rng.uniform(0.8, 1.25) / 10) * 10
    if income:
        sqft = int(sqft * 1.8 / 10) * 10
    lot_w = rng.choice([50, 55, 60, 65, 70, 80, 100])
    lot_d = rng.choice([100, 110, 120, 140])
    if land:
        lot_w, lot_d = 300, 600
    lot = lot_w * lot_d
    base_lot = (p["lot_w"] * p["lot_d"]) or 6600
    value = subject_value(p)
    if land:
        list_price = int(value * 0.3 / 1000) * 1000
    else:
        list_price = int(value * sqft / base_sqft * rng.uniform(0.9, 1.1) / 1000) * 1000
    sold_price = int(list_price * rng.uniform(0.94, 1.03) / 500) * 500

    sale_days = rng.randrange(10, 175)
    list_days = sale_days + rng.randrange(5, 120)
    dom = list_days - sale_days
    search_date = _date(sale_days)
    doc_date = close_date = ""
    price_for_ppsf = list_price
    shown_sold = ""
    change = ""
    if status == "8":
        doc_date = close_date = search_date
        shown_sold = money(sold_price)
        price_for_ppsf = sold_price
        change = "%.1f" % ((sold_price - list_price) * 100.0 / list_price)
    elif status in ("0", "7", "3"):
        shown_sold = money(list_price)  # current asking price of a listing
        if status == "0":
            search_date = _date(list_days - sale_days)
            dom = list_days - sale_days
        if status == "7":
            close_date = _date(-rng.randrange(10, 40))
    ppsf = "" if land or not sqft else "${:,.2f}".format(price_for_ppsf / sqft)
    if n > 20 and i == 30:
        ppsf = "$0.00"  # a comp without a bar

    prior_days = sale_days + rng.randrange(900, 5000)
    prior_price = int(sold_price * rng.uniform(0.45, 0.8) / 500) * 500
    bed = 0 if land else max(1, p["bed"] + rng.choice([-1, 0, 0, 1]))
    if income:
        bed = rng.choice([4, 6, 8])
    bath = 0 if land else max(1, p["full"] + rng.choice([-1, 0, 0, 1]))
    partial = 0 if land else rng.choice([0, 0, 1])
    units = rng.choice([2, 4]) if income else (0 if land else 1)
    gross = units * rng.choice([1450, 1600, 1750]) * 12 if income else 0
    expense = int(gross * 0.36) if income else 0
    diff = sqft - base_sqft
    lot_diff = lot - base_lot

    book = p["book"]
    page = "%03d" % rng.randrange(20, 70)
    lot_no = "%03d" % rng.randrange(1, 60)
    apn = "%s-%s-%s" % (book, page, lot_no)
    if n > 20 and i == 6:
        apn = "%s %s %s" % (book, page, lot_no)  # blanks instead of dashes
    angle = rng.uniform(0, 6.283)
    dist = rng.uniform(0.05, 0.5)
    lat = p["lat"] + dist / 69.0 * math.cos(angle)
    lon = p["lon"] + dist / (69.0 * math.cos(math.radians(p["lat"]))) * math.sin(angle)

    use = "Y"
    if i % 7 == 5:
        use = "N"
    if n > 20 and i == 11:
        use = ""  # an empty use_rec element
    owner = "%s, %s" % (_LAST[rng.randrange(len(_LAST))], _FIRST[rng.randrange(len(_FIRST))])
    sale_code = "F" if status == "8" and i % 6 else ("P" if status == "8" else "")
    fields = [
        ("use_rec", use),
        ("address", address),
        ("city", p["city"]),
        ("parcel", str(comp_parcel(p["parcel"], i))),
        ("apn", apn),
        ("apn_index", "%s-%d-%d" % (book, int(page), int(lot_no))),
        ("owner", owner),
        ("status", status),
        ("status_text", STATUS_TEXT[status]),
        ("search_date", search_date),
        ("doc_date", doc_date),
        ("list_date", _date(list_days)),
        ("close_date", close_date),
        ("p_doc_date", _date(prior_days)),
        ("house_sqft", "" if land else "{:,}".format(sqft)),
        ("house_dif", "" if land else ("same size" if diff == 0 else "{:,} sqft {}".format(
            abs(diff), "larger" if diff > 0 else "smaller"))),
        ("acres", "%.2f" % (lot / 43560.0)),
        ("lot_sqft", "{:,}".format(lot)),
        ("lot_dif", "same size" if lot_diff == 0 else "{:,} sqft {}".format(
            abs(lot_diff), "larger" if lot_diff > 0 else "smaller")),
        ("lot_size", "%dx%d" % (lot_w, lot_d)),
        ("bed", str(bed)),
        ("bath", str(bath) if i % 9 != 4 else "%d.5" % bath),
        ("partial_baths", str(partial)),
        ("fixtures", str(bath * 3 + partial * 2)),
        ("fireplace", "0" if land else str(rng.choice([0, 1, 1, 2]))),
        ("heating", "" if land else rng.choice(["Forced Air", "Heat Pump", "Wall Furnace"])),
        ("cooling", "" if land else rng.choice(["Central", "Central", "Evaporative", "None"])),
        ("pool", "No" if land else rng.choice(["No", "No", "Yes"])),
        ("year_built", "" if land else str(rng.randrange(1950, 2020))),
        ("land_use", "Vacant Land" if land else ("Duplex/Fourplex" if income else
                                                ("Condominium" if struct_type == 2 else "Single Family Residence"))),
        ("zoning", "A-1" if land else ("R3" if income else "R1-7")),
        ("sold_price", shown_sold),
        ("list_price", money(list_price)),
        ("mls_price", money(list_price) if status != "8" or i % 4 else ""),
        ("ppsf", ppsf),
        ("change", change),
        ("p_sold_price", money(prior_price)),
        ("sale_code", sale_code),
        ("prev_sale_code", rng.choice(["F", "P", "U"])),
        ("dom", str(dom)),
        ("distance", "%.2f" % dist),
        ("lat", "%.6f" % lat),
        ("lon", "%.6f" % lon),
        ("struct_type", str(struct_type)),
        ("structure_type", str(struct_type)),
        ("annual_gross", money(gross) if income else ""),
        ("annual_expense", money(expense) if income else ""),
        ("cap_rate", "%.1f" % ((gross - expense) * 100.0 / sold_price) if income else ""),
        ("total_units", str(units) if income else ""),
        ("doc_number", "2024-%07d" % rng.randrange(1000, 99999) if status == "8" else ""),
        ("doc_type", ("Trustee's Deed" if i == 12 else "Grant Deed") if status == "8" else ""),
        ("lender", rng.choice(_LENDERS) if status == "8" else ""),
        ("features", _FEATURES[rng.randrange(len(_FEATURES))]),
        ("rem", _REMARKS[rng.randrange(len(_REMARKS))]),
    ]
    return fields


def comp_property(subject_parcel, index):
    """A comp as a parcel record, for the comp information request."""
    p = PARCELS[subject_parcel]
    total = comp_count(p) if index < comp_count(p) else max(index + 1, 36)
    f = dict(comp_record(p, index, total))
    number, _, street = f["address"].partition(" ")
    words = street.split()
    q = dict(p)
    q.update(
        parcel=comp_parcel(subject_parcel, index), apn=f["apn"], bookpage=f["apn_index"].replace("-", ","),
        stnum=number if number.isdigit() else "", stdir="",
        stname=" ".join(words[:-1]) if number.isdigit() else f["address"],
        stsuffix=words[-1] if number.isdigit() and words else "", unit="",
        owner1=f["owner"], owner2="", mail=None, phone="", land_use=f["land_use"], zoning=f["zoning"],
        prop_type=f["struct_type"], bed=int(f["bed"]), full=int(float(f["bath"] or 0)),
        part=int(f["partial_baths"]), sqft=int(f["house_sqft"].replace(",", "") or 0),
        lot_w=int(f["lot_size"].split("x")[0]), lot_d=int(f["lot_size"].split("x")[1]),
        year=int(f["year_built"] or 0), pool=f["pool"], fireplace=f["fireplace"],
        heating=f["heating"], cooling=f["cooling"], lat=float(f["lat"]), lon=float(f["lon"]),
        sheets=0, comps=0, house_sqft_text=None, prop_type_text=None,
        sales=((f["doc_date"], int(f["sold_price"].strip("$").replace(",", "")), f["sale_code"],
                f["doc_type"], "Conventional", f["doc_number"]),
               (f["p_doc_date"], int(f["p_sold_price"].strip("$").replace(",", "")), f["prev_sale_code"],
                "Grant Deed", "Conventional", "")) if f["status"] == "8" else (),
    )
    return q


def property_fields(p):
    """The elements of a property answer, as (name, value) pairs; value is a
    text, or for "trx" a list of transactions (lists of pairs)."""
    addr = site_address(p)
    city_state = "%s %s %s" % (p["city"], p["state"], p["zip"])
    mail = p["mail"] or (addr, city_state)
    total = p["land"] + p["imp"]
    pct = int(round(p["imp"] * 100.0 / total)) if total else 0
    sales = p["sales"]
    trx = [[("doc_date", s[0]), ("doc_number", s[5]), ("sold_price", money(s[1])),
            ("doc_sale_code", s[2]), ("doc_type", s[3]), ("td_type", s[4])] for s in sales]
    lot = p["lot_w"] * p["lot_d"]
    residential = p["prop_type"] in ("1", "2", "4")
    fields = [
        ("apn", p["apn"]),
        ("apn_book", p["book"]),
        ("apn_book_page", p["bookpage"]),
        ("owner1", p["owner1"]),
        ("owner2", p["owner2"]),
        ("vesting", p["vesting"]),
        ("phone", p["phone"]),
        ("address", addr),
        ("city", p["city"]),
        ("zip", p["zip"]),
        ("city_state", city_state),
        ("m_address", mail[0]),
        ("m_city_state", mail[1]),
        ("map", "SV %s-%s" % (p["book"][-2:], "B2")),
        ("flood", p["flood"]),
        ("census_tract", p["census"]),
        ("tract", p["tract"]),
        ("lot", p["lot"]),
        ("block", p["block"]),
        ("legal_desc", legal_description(p)),
        ("land_value", money(p["land"])),
        ("imp_value", money(p["imp"])),
        ("total_value", money(total)),
        ("pct_improved", str(pct)),
        ("tax_amount", "${:,.2f}".format(total * 0.0112)),
        ("exemption", p["exemption"]),
        ("tax_area", p["tax_area"]),
        ("tax_year", "2024"),
        ("land_use", p["land_use"]),
        ("zoning", p["zoning"]),
        ("prop_type", p["prop_type_text"] or p["prop_type"]),
        ("heating", p["heating"]),
        ("cooling", p["cooling"]),
        ("year_built", str(p["year"]) if p["year"] else ""),
        ("parking", p["parking"]),
        ("bed", str(p["bed"]) if residential else "0"),
        ("bath", "%d.%d" % (p["full"], 5 if p["part"] else 0) if p["full"] else "0"),
        ("PP_BATH_FULL", str(p["full"])),
        ("PP_BATH_PART", str(p["part"])),
        ("house_sqft", p["house_sqft_text"] or "{:,}".format(p["sqft"])),
        ("lot_sqft", "{:,}".format(lot) if lot else ""),
        ("units", p["units"]),
        ("PP_LOT_WIDTH", str(p["lot_w"]) if p["lot_w"] else ""),
        ("PP_LOT_DEPTH", str(p["lot_d"]) if p["lot_d"] else ""),
        ("lot_width", str(p["lot_w"]) if p["lot_w"] else ""),
        ("lot_depth", str(p["lot_d"]) if p["lot_d"] else ""),
        ("rooms", p["rooms"]),
        ("roof_cover", p["roof"]),
        ("fireplace", p["fireplace"]),
        ("view", p["view"]),
        ("exterior", p["exterior"]),
        ("water", p["water"]),
        ("PP_CONSTRUCTION", p["construction"]),
        ("patio", p["patio"]),
        ("pool", p["pool"]),
        ("stories", p["stories"]),
        ("latitude", "%.6f" % p["lat"]),
        ("longitude", "%.6f" % p["lon"]),
        ("sold_price", money(sales[0][1]) if sales else ""),
        ("doc_type", sales[0][3] if sales else ""),
    ]
    if trx:
        fields.append(("trx", trx))
    return fields


def legal_description(p):
    county = county_by_num(p["county"])
    cname = county["name"].upper() if county else "SAID"
    if p["tract"]:
        head = "LOT %s%s OF TRACT NO. %s, IN THE UNINCORPORATED AREA OF THE COUNTY OF %s, STATE OF %s, " % (
            p["lot"], (" IN BLOCK " + p["block"]) if p["block"] else "", p["tract"], cname,
            "CALIFORNIA" if p["state"] == "CA" else "NEVADA")
    else:
        head = "THAT PORTION OF THE NORTHWEST QUARTER OF SECTION 14, TOWNSHIP 9 SOUTH, RANGE 21 EAST, " \
               "MOUNT DIABLO BASE AND MERIDIAN, IN THE COUNTY OF %s, " % cname
    return head + ("AS PER MAP RECORDED IN BOOK %s, PAGES 33 TO 36 INCLUSIVE OF MAPS, IN THE OFFICE OF THE "
                   "COUNTY RECORDER OF SAID COUNTY. EXCEPTING THEREFROM ALL OIL, GAS, MINERALS AND OTHER "
                   "HYDROCARBON SUBSTANCES LYING BELOW A DEPTH OF 500 FEET, WITHOUT THE RIGHT OF SURFACE "
                   "ENTRY, AS RESERVED IN INSTRUMENTS OF RECORD." % p["book"])


# ---------------------------------------------------------------------------
# Report data


def census(tract):
    rng = random.Random("census" + tract)
    total = rng.randrange(3500, 7800)

    def parts(keys):
        weights = [rng.uniform(0.5, 2.0) for _ in keys]
        s = sum(weights)
        return [(k, "{:,}".format(int(total * w / s))) for k, w in zip(keys, weights)]

    families_total = int(total / 2.7)
    family = int(families_total * 0.68)
    married = int(family * 0.72)
    return [
        ("population", [("total", "{:,}".format(total))] + parts(
            ["p0_13", "p14_24", "p25_34", "p35_44", "p45_59", "p60_64", "over_65"])),
        ("education", parts(["no_diploma", "hs_diploma", "assc_degree", "some_college", "bach_degree",
                             "grad_degree"])),
        ("income", parts(["i0_15K", "i15_25K", "i25_35K", "i35_50K", "i50_75K", "i75_100K", "over_100K"])),
        ("tenure", parts(["d1989_1990", "d1985_1988", "d1980_1984", "d1970_1979", "d1960_1969",
                          "before_1959"])),
        ("families", [("total", "{:,}".format(families_total)), ("family", "{:,}".format(family)),
                      ("non_family", "{:,}".format(families_total - family)),
                      ("married", "{:,}".format(married)), ("single", "{:,}".format(family - married))]),
        ("employment", parts(["admin_mgt", "prof", "tech", "sales", "clerical", "household", "protective",
                              "other", "farming", "craft", "operator", "tran", "labor"])),
    ]


def school_districts(city):
    city = city or "ALDER CREEK"
    jobs = ["Superintendent", "Assistant Superintendent", "Chief Business Official", "Director of Curriculum",
            "Director of Special Education", "Director of Facilities", "Human Resources Director",
            "Transportation Supervisor", "Food Services Director", "Technology Coordinator",
            "Board President", "Board Clerk"]
    people = ["Dr. Helen Marsh", "Victor Oyelaran", "Beth Carmody", "Luis Arreola", "Janet Kim",
              "Frank DeLuca", "Margaret Ochoa", "Paul Strand", "Irene Yazzie", "Omar Haddad", "Ruth Bell",
              "Gary Tanaka"]
    schools = ["Alder Creek Elementary", "Foothill Elementary", "Manzanita Elementary", "Sawmill Elementary",
               "Pine Flat Elementary", "Granite Ridge Middle", "Oak Hollow Middle", "Sierra Vista High",
               "Alder Creek High", "Ridgeline Continuation High"]
    grades = ["K-5", "K-5", "K-5", "K-6", "K-6", "6-8", "6-8", "9-12", "9-12", "10-12"]
    primary = [("NAME", "Alder Creek Elementary"), ("phone", "(559) 555-0311"), ("princ", "Sandra Lowe"),
               ("addr", "400 School St"), ("pop", "612"), ("city", city.title()), ("grade", "K-5")]
    sat = [("pct_grad", "94"), ("pct_taking_sat", "41"), ("avg_sat_math", "528"), ("avg_sat_verbal", "-99")]
    school_list = []
    for k, (name, grade) in enumerate(zip(schools, grades)):
        school_list.append([("name", name), ("phone", "(559) 555-%04d" % (320 + k)),
                            ("princ", people[(k + 3) % len(people)]),
                            ("addr", "%d %s" % (100 + 37 * k, ["School St", "Oak Knoll Ave", "Ridge Rd"][k % 3])),
                            ("pop", str(300 + 83 * k)), ("city", city.title()), ("grade", grade)])
    first = dict(name="Sierra Vista Unified School District",
                 personel=list(zip(jobs, people, ["(559) 555-%04d" % (200 + k) for k in range(12)])),
                 primary=primary, sat=sat, schools=school_list)
    second = dict(name="Alder Creek Joint Union High School District",
                  personel=list(zip(jobs[:4], people[4:8], ["(559) 555-%04d" % (400 + k) for k in range(4)])),
                  primary=[("NAME", "Sierra Vista High"), ("phone", "(559) 555-0430"), ("princ", "Mark Alvarez"),
                           ("addr", "1800 Ridge Rd"), ("pop", "1420"), ("city", city.title()), ("grade", "9-12")],
                  sat=[("pct_grad", "89"), ("pct_taking_sat", "-99"), ("avg_sat_math", "511"),
                       ("avg_sat_verbal", "502")],
                  schools=school_list[7:])
    return [first, second]


def services(city):
    city_title = (city or "Alder Creek").title()
    categories = [
        ("Hospitals", ["Sierra Vista Community Hospital", "Foothill Medical Center", "Valley Children's Clinic"]),
        ("Fire Stations", ["County Fire Station 12", "County Fire Station 15", "Alder Creek Volunteer Fire"]),
        ("Police", ["Sheriff Substation North", "Alder Creek Police Department"]),
        ("Libraries", ["Alder Creek Branch Library", "Sawmill Branch Library"]),
        ("Airports", []),  # a category without services
        ("Parks", ["Creekside Park", "Granite Ridge Park", "Manzanita Tot Lot", "Lakeview Regional Park",
                   "Oak Hollow Trailhead", "Sawmill Ball Fields", "Veterans Memorial Park"]),
        ("Grocery Stores", ["Foothill Market", "Save Mart", "Sierra Natural Foods", "Grocery Outlet",
                            "Alder Creek Country Store", "Ridge Top Market"]),
        ("Banks", ["Golden State Bank", "Sierra Credit Union", "Valley First Bank", "Cascade Savings"]),
        ("Post Offices", ["Alder Creek Post Office", "Sawmill Post Office"]),
        ("Pharmacies", ["Creekside Pharmacy", "Main Street Drug", "Foothill Rx"]),
        ("Restaurants", ["Mill Street Grill", "La Paloma", "The Ridge Cafe", "Golden Dragon", "Pizza Factory",
                         "Blue Oak Bistro", "Trailhead Coffee", "Sierra Smokehouse", "Bella Luna",
                         "Taqueria El Sol"]),
        ("Schools", ["Alder Creek Elementary", "Granite Ridge Middle", "Sierra Vista High",
                     "Foothill Preschool", "Little Acorns Daycare"]),
        ("Churches", ["First Baptist Church", "St. Catherine Catholic Church", "Alder Creek Community Church",
                      "Grace Lutheran"]),
        ("Golf Courses", ["Sierra Meadows Golf Club", "Pine Flat Nine"]),
        ("Gas Stations", ["Foothill Chevron", "Alder Creek Shell", "Ridge Road 76", "Sawmill Valero",
                          "Pine Flat Fuel", "Lakeview Arco", "Main Street Mobil", "Quail Run Gas & Go"]),
    ]
    result = []
    for c, (name, places) in enumerate(categories):
        rows = []
        for k, place in enumerate(places):
            rows.append(dict(name=place, street="%d %s" % (120 + 97 * k + 11 * c,
                                                            ["Main St", "Alder Creek Rd", "Ridge Rd",
                                                             "Oak Knoll Ave"][(k + c) % 4]),
                             city=city_title, phone="(559) 555-%04d" % (1000 + 17 * c + k),
                             distance="%.1f" % (0.3 + 0.45 * k + 0.1 * c)))
        result.append((name, rows))
    return result
