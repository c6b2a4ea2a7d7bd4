"""The sample service's default answers and their content variants."""

import base64
import struct
import re
import xml.etree.ElementTree as ET

from harness import (COMPS, LOGIN, MAP, PROPSRCH, RPTGEN, ServiceTest, child, comps_request, get_request,
                     header, login_request, map_request, rptgen_request, search_request, text)

REPORT_PAGE_IDS = ["10", "20", "30", "40", "50", "60", "70", "80", "90", "100", "120", "170"]
PROPERTY_FIELDS = [
    "house_sqft", "bed", "lot_sqft", "bath", "latitude", "longitude", "prop_type", "apn_book", "address",
    "city_state", "sold_price", "city", "census_tract", "apn_book_page", "owner1", "owner2", "apn", "m_address",
    "m_city_state", "vesting", "phone", "map", "flood", "tract", "lot", "block", "legal_desc", "land_value",
    "imp_value", "total_value", "pct_improved", "tax_amount", "exemption", "tax_area", "tax_year", "land_use",
    "zoning", "heating", "year_built", "cooling", "parking", "PP_BATH_FULL", "PP_BATH_PART", "units",
    "PP_LOT_WIDTH", "PP_LOT_DEPTH", "rooms", "roof_cover", "fireplace", "view", "exterior", "water",
    "PP_CONSTRUCTION", "patio", "pool", "stories", "doc_type", "lot_width", "lot_depth", "zip",
]
COMP_FIELDS = [
    "use_rec", "address", "city", "parcel", "apn", "apn_index", "owner", "status", "status_text", "search_date",
    "doc_date", "list_date", "close_date", "p_doc_date", "house_sqft", "house_dif", "acres", "lot_sqft",
    "lot_dif", "lot_size", "bed", "bath", "partial_baths", "fixtures", "fireplace", "heating", "cooling", "pool",
    "year_built", "land_use", "zoning", "sold_price", "list_price", "mls_price", "ppsf", "change",
    "p_sold_price", "sale_code", "prev_sale_code", "dom", "distance", "lat", "lon", "struct_type",
    "structure_type", "annual_gross", "annual_expense", "cap_rate", "total_units", "doc_number", "doc_type",
    "lender", "features", "rem",
]


def money_value(s):
    return float(s.replace("$", "").replace(",", "")) if s else 0.0


class ConfigDocument(ServiceTest):
    def config(self):
        status, headers, body = self.service.http("GET", "/vxpconfig.xml")
        self.assertEqual(status, 200)
        return headers, body

    def test_default_names_the_five_paths_uncompressed(self):
        headers, body = self.config()
        self.assertTrue(body.startswith(b"<?xml"), "plain XML, no BOM")
        self.assertNotIn(b"<!DOCTYPE", body)
        self.assertIsNone(header(headers, "Content-Encoding"))
        root = ET.fromstring(body)
        self.assertEqual(root.tag, "vxp")
        config = root[0]
        self.assertEqual(config.get("version"), "1.0")
        profile = config[0]
        self.assertEqual((profile.tag, profile.get("version")), ("vxprofile", "1.0"))
        self.assertEqual({c.tag: c.text for c in profile}, {
            "propsrch": "/cgi-bin/PropSearch.exe", "login": "/cgi-bin/Login.exe", "comps": "/cgi-bin/IComps.exe",
            "requestmap": "/cgi-bin/RequestMap.exe", "rptgen": "/cgi-bin/RptGen.exe"})

    def test_variants(self):
        def variant(name):
            self.service.next("config", name)
            return ET.fromstring(self.config()[1])[0]

        self.assertEqual(variant("bad-version").get("version"), "2.0")
        self.assertNotEqual(variant("no-vxprofile")[0].tag, "vxprofile")
        self.assertEqual(variant("bad-profile-version")[0].get("version"), "0.9")
        self.assertIsNone(variant("empty-path")[0].find("rptgen").text)
        logins = [e.text for e in variant("repeat")[0].findall("login")]
        self.assertEqual(len(logins), 2)
        self.assertEqual(logins[-1], "/cgi-bin/Login.exe", "the last one is the one that works")
        self.assertIsNotNone(variant("unknown-child")[0].find("reports"))
        self.assertEqual([c.tag for c in variant("no-search-paths")[0]], ["login", "requestmap", "rptgen"])
        alt = {c.tag: c.text for c in variant("alt-paths")[0]}
        self.assertTrue(alt["login"].startswith("/vx2/"))
        answer = self.service.ask(alt["login"], login_request("demo", "demo"))
        self.assertEqual(answer.get("result"), "true", "the alternative paths are served")
        self.assertEqual(self.service.log()[-1]["path"], alt["login"])


class Login(ServiceTest):
    def login(self, user, password="x"):
        return self.service.ask(LOGIN, login_request(user, password))

    def test_full_answer(self):
        a = self.login("demo", "demo")
        self.assertEqual(a.tag, "login.response")
        self.assertEqual((a.get("result"), a.get("UserId")), ("true", "4127"))
        self.assertEqual(text(a, "username"), "Dana Whitfield")
        self.assertEqual(text(a, "assr_map_ip"), "127.0.0.1")
        self.assertEqual(text(a, "assr_map_port"), str(self.service.taxmap_port))
        self.assertEqual((text(a, "mls_valid"), text(a, "mlslogin")), ("Y", "Y"))
        self.assertTrue(text(a, "titleconame"))
        self.assertTrue(text(a, "banner").strip().startswith("{\\rtf1"))
        logo = base64.b64decode(text(a, "logo"))
        self.assertEqual(logo[:2], b"BM")
        counties = list(child(a, "counties"))
        self.assertGreaterEqual(len(counties), 2)
        for c in counties:
            self.assertEqual(sorted(c.attrib), sorted(["num", "name", "state", "apnmap", "photos", "hazards"]))
            self.assertRegex(c.get("num"), r"^\d+$")
        self.assertTrue(any(c.get("photos") == "Y" and c.get("hazards") == "Y" for c in counties))
        self.assertIn("106", [c.get("num") for c in counties])
        recs = child(a, "comps").findall("searchby/rec")
        self.assertGreaterEqual(len(recs), 3)
        for r in recs:
            self.assertEqual(list(r.attrib), ["id", "name", "field1", "field2", "showarea", "showlist",
                                              "landuse", "items", "length"])
            for flag in ("showarea", "showlist", "landuse"):
                self.assertIn(r.get(flag), ("Y", "N"))
        self.assertEqual([p.get("id") for p in child(a, "rpages")], REPORT_PAGE_IDS)
        self.assertTrue(all(p.get("name") for p in child(a, "rpages")))
        self.assertGreaterEqual(len(child(a, "providers")), 2)
        self.assertIsNone(a.find("message"))

    def test_texts_carry_no_blanks_around_flags_numbers_and_paths(self):
        a = self.login("demo", "demo")
        for tag in ("assr_map_ip", "assr_map_port", "mls_valid", "mlslogin", "username"):
            self.assertEqual(text(a, tag), text(a, tag).strip(), tag)

    def test_password_with_markup_characters_arrives_as_typed(self):
        self.assertEqual(self.login("escape", "p&ss<w\"rd>'").get("result"), "true")
        self.assertEqual(self.login("escape", "p&amp;ss<w\"rd>'").get("result"), "false")
        entry = self.service.log()[-1]
        self.assertIn("p&amp;amp;ss", entry["request"], "the log holds the request as sent")

    def test_refusals(self):
        wrong = self.login("demo", "nope")
        self.assertEqual(wrong.get("result"), "false")
        self.assertEqual(text(wrong, "message"), "Invalid user name or password.")
        self.assertEqual(self.login("nobody", "x").get("result"), "false")
        self.assertEqual(self.login("refuse").get("result"), "false")
        silent = self.login("refuse-silent")
        self.assertEqual(silent.get("result"), "false")
        self.assertIsNone(silent.find("message"))

    def test_variant_users(self):
        nums = [c.get("num") for c in child(self.login("bad-county"), "counties")]
        self.assertIn("5x9", nums)
        self.assertEqual(nums[0], "59", "the counties before the bad one stay")
        self.assertEqual(self.login("bad-userid").get("UserId"), "n/a")
        self.assertEqual(text(self.login("bad-port"), "assr_map_port"), "none")
        plain = self.login("no-title")
        self.assertEqual(text(plain, "titleconame"), "")
        self.assertEqual(text(plain, "banner"), "")
        self.assertNotEqual(base64.b64decode(text(plain, "logo"))[:2], b"BM")
        huge = base64.b64decode(text(self.login("huge-logo"), "logo"))
        self.assertEqual((huge[:2], len(huge)), (b"BM", 14 + 40 + 1024 + 2))
        self.assertEqual(struct.unpack("<ii", huge[18:26]), (5790, 5790))
        self.assertIn("110", [p.get("id") for p in child(self.login("extra-page"), "rpages")])
        hostile = [c for c in child(self.login("hostile"), "counties") if ".." in c.get("apnmap")]
        self.assertEqual(len(hostile), 1)
        nomls = self.login("nomls", "nomls")
        self.assertEqual((text(nomls, "mls_valid"), text(nomls, "mlslogin")), ("N", "N"))
        status, headers, _ = self.service.post(LOGIN, login_request("cookie", "x"))
        self.assertTrue(header(headers, "Set-Cookie").startswith("VXSESSION="))

    def test_variants_by_control_request(self):
        self.service.next("login", "no-mls")
        self.assertEqual(text(self.login("demo", "demo"), "mls_valid"), "N")
        self.service.next("login", ["bad-port", "extra-page"])
        a = self.login("demo", "demo")
        self.assertEqual(text(a, "assr_map_port"), "none")
        self.assertIn("110", [p.get("id") for p in child(a, "rpages")])
        self.assertEqual(text(self.login("demo", "demo"), "mls_valid"), "Y", "one request only")


class PropertySearch(ServiceTest):
    def search(self, county="59", **fields):
        return self.service.ask(PROPSRCH, search_request(county, **fields))

    def test_several_matches_give_a_list(self):
        a = self.search(stname="ALDER CREEK")
        self.assertEqual(a.tag, "prop.list")
        self.assertEqual(len(a), 3)
        for row in a:
            self.assertEqual(list(row.attrib), ["name", "address", "city", "apn", "land_use", "parcel"])
            self.assertGreaterEqual(int(row.get("parcel")), 1)
        self.assertEqual(a[0].get("apn"), "512-034-019")
        self.assertEqual(len(self.search(apn="512-034")), 2, "a parcel prefix lists")
        self.assertEqual(self.search(first="hartley").tag, "prop.list")

    def test_one_match_gives_the_data(self):
        a = self.search(apn="512-034-019")
        self.assertEqual((a.tag, a.get("parcel")), ("prop.data", "100231"))
        self.assertEqual(self.search(apn="512 034 019").get("parcel"), "100231")
        self.assertEqual(self.search(first="okafor").get("parcel"), "100232")
        self.assertEqual(self.search(stnum="612", stname="cedar", city="Sawmill").get("parcel"), "100244")
        self.assertEqual(self.search(county="106", stname="HARBOR").get("parcel"), "200101")

    def test_no_match_and_nothing_typed_give_messages(self):
        none = self.search(stname="NO SUCH STREET")
        self.assertEqual((none.tag, none.text), ("message", "No properties were found that match your search."))
        blank = self.search()
        self.assertEqual((blank.tag, blank.text), ("message", "Please enter search criteria."))
        self.assertEqual(self.search(apn="NONE").tag, "message")

    def test_typed_list_scenarios(self):
        self.assertGreaterEqual(len(self.search(apn="MULTI")), 5)
        self.assertEqual((self.search(apn="EMPTYLIST").tag, len(self.search(apn="EMPTYLIST"))), ("prop.list", 0))
        ids = [r.get("parcel") for r in self.search(apn="BADID")]
        self.assertEqual(ids, ["ABC", "0"])
        self.service.next("search", "data")
        self.assertEqual(self.search(apn="MULTI").tag, "prop.data")

    def test_unknown_county_is_a_server_error(self):
        a = self.search(county="999", apn="1")
        self.assertEqual(a.tag, "exception")
        self.assertIn("999", a.text)


class PropertyData(ServiceTest):
    def get(self, parcel, county="59"):
        return self.service.ask(PROPSRCH, get_request(parcel, county))

    def test_every_field_the_program_reads(self):
        a = self.get(100231)
        self.assertEqual((a.tag, a.get("parcel")), ("prop.data", "100231"))
        names = [c.tag for c in a]
        for name in PROPERTY_FIELDS:
            self.assertIn(name, names)
        self.assertEqual(text(a, "apn_book_page").replace(",", "-"), "512-034-019")
        self.assertRegex(text(a, "sold_price"), r"^\$[\d,]+$")
        self.assertEqual(float(text(a, "latitude")), 37.08124)
        self.assertGreater(len(text(a, "legal_desc")), 200)
        self.assertIn(text(a, "prop_type"), ("1", "2", "4"))
        recs = list(child(a, "trx"))
        self.assertGreaterEqual(len(recs), 2)
        for r in recs:
            self.assertEqual(r.tag, "rec")
            self.assertEqual([c.tag for c in r], ["doc_date", "doc_number", "sold_price", "doc_sale_code",
                                                  "doc_type", "td_type"])
        self.assertEqual(text(recs[0], "sold_price"), text(a, "sold_price"))
        for c in a:
            if c.tag != "trx":
                self.assertEqual(len(c), 0, c.tag)

    def test_special_parcels(self):
        self.assertIsNone(self.get(100240).find("trx"))
        odd = self.get(100241)
        self.assertEqual((text(odd, "house_sqft"), text(odd, "prop_type")), ("N/A", "R1"))
        self.assertIn("SITUS", text(self.get(100242), "address"))
        self.assertEqual(text(self.get(200101, "106"), "PP_BATH_PART"), "1")

    def test_variants(self):
        self.service.next("get", "no-trx")
        self.assertIsNone(self.get(100231).find("trx"))
        self.service.next("get", "bad-numbers")
        self.assertEqual(text(self.get(100231), "house_sqft"), "N/A")
        self.service.next("get", "situs")
        self.assertIn("SITUS", text(self.get(100231), "address"))

    def test_comp_parcels_and_unknown_ones(self):
        comp = self.get(10023101)
        self.assertEqual((comp.tag, comp.get("parcel")), ("prop.data", "10023101"))
        self.assertTrue(text(comp, "owner1"))
        missing = self.get(4242)
        self.assertEqual(missing.tag, "exception")
        self.assertIn("4242", missing.text)


class Comps(ServiceTest):
    def comps(self, parcel=100231, county="59", **kw):
        return self.service.ask(COMPS, comps_request(parcel, county, **kw))

    def test_a_few_dozen_across_the_statuses(self):
        a = self.comps(params=["R1-7", "SFR"])
        self.assertEqual(a.tag, "comps.result")
        self.assertEqual(len(a), 36)
        self.assertTrue(all(rec.tag == "comp" for rec in a), "only records under comps.result")
        statuses = {text(r, "status") for r in a}
        self.assertTrue({"0", "3", "7", "8", "9", "5", "U"} <= statuses)
        self.assertTrue(statuses - {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "U"}, "an unknown code")
        uses = [r.find("use_rec").text for r in a]
        self.assertEqual(uses.count(None), 1, "one empty use_rec")
        self.assertTrue(set(uses) <= {"Y", "N", None})
        types = set()
        for r in a:
            self.assertEqual([c.tag for c in r], COMP_FIELDS)
            self.assertEqual(text(r, "struct_type"), text(r, "structure_type"))
            types.add(text(r, "struct_type"))
            for price in ("sold_price", "list_price", "mls_price", "p_sold_price"):
                self.assertRegex(text(r, price), r"^(\$\d{1,3}(,\d{3})*)?$", "whole dollars")
            self.assertRegex(text(r, "parcel"), r"^\d+$")
            for status_word in ("Sold", "Active", "Pending", "Expired"):
                if text(r, "status") == {"Sold": "8", "Active": "0", "Pending": "7", "Expired": "3"}[status_word]:
                    self.assertIn(status_word, text(r, "status_text"))
        self.assertTrue(types & {"3", "5"} and "6" in types)
        priced = [r for r in a if r.find("use_rec").text == "Y" and money_value(text(r, "ppsf")) > 0]
        self.assertGreaterEqual(len(priced), 4)
        self.assertTrue(any("situs" in text(r, "address").lower() for r in a))
        self.assertTrue(any(" " in text(r, "apn") for r in a), "an apn written with blanks")
        self.assertTrue(any(text(r, "features").count("@") == 2 for r in a))

    def test_record_counts_by_subject(self):
        self.assertEqual(len(self.comps(100243)), 0)
        self.assertEqual(len(self.comps(100244)), 1)
        self.assertEqual(len(self.comps(100245)), 3)
        self.assertEqual(len(self.comps(200101, "106")), 36)

    def test_variants(self):
        self.service.next("comps", "count", params={"count": 5})
        self.assertEqual(len(self.comps()), 5)
        self.service.next("comps", "wrong-type")
        self.assertEqual(self.comps().tag, "comps.list")

    def test_unknown_subject_and_bad_numbers(self):
        self.assertEqual(self.comps(0).tag, "exception")
        bad = self.comps(sp_baths="2,5")
        self.assertEqual(bad.tag, "exception")
        self.assertIn("sp_baths", bad.text)
        self.assertEqual(self.comps(area="0.50").tag, "exception", "one decimal exactly")
        self.assertEqual(self.comps(lat="37,08").tag, "exception")


class MapAndReportData(ServiceTest):
    ITEMS = [("1427 N ALDER CREEK RD", "$472,500", "37.08124", "-119.52041", "T"),
             ("4211 TIMBERLINE DR", "$466,000", "37.079131", "-119.519591", "8"),
             ("512-045-011", "", "37.0833", "-119.5251", "5")]

    def test_map_ids(self):
        first = self.service.ask(MAP, map_request(self.ITEMS))
        second = self.service.ask(MAP, map_request(self.ITEMS[:1], hazard="N", tour="Y"))
        self.assertEqual(first.tag, "map.response")
        self.assertGreaterEqual(int(first.get("mapid")), 1)
        self.assertEqual(int(second.get("mapid")), int(first.get("mapid")) + 1)
        self.service.next("map", "mapid-0")
        self.assertEqual(self.service.ask(MAP, map_request(self.ITEMS)).get("mapid"), "0")
        self.service.next("map", "mapid-bad")
        self.assertEqual(self.service.ask(MAP, map_request(self.ITEMS)).get("mapid"), "pending")

    def test_every_part_when_asked(self):
        mapid = int(self.service.ask(MAP, map_request(self.ITEMS)).get("mapid"))
        apns = ["512-034-044", "512 046 021", "512-050-003", "512-051-009", "512-052-010", "512-053-011"]
        a = self.service.ask(RPTGEN, rptgen_request("0012.03", True, "ALDER CREEK", apns, mapid))
        self.assertEqual([c.tag for c in a], ["census", "short_school", "services", "photos", "maps"])
        census = child(a, "census")
        self.assertEqual([g.tag for g in census], ["population", "education", "income", "tenure", "families",
                                                   "employment"])
        self.assertEqual(len(child(census, "employment").attrib), 13)
        school = child(a, "short_school")
        self.assertEqual(school.get("found"), "Y")
        first = school[0]
        self.assertTrue(text(child(first, "dist_info"), "name"))
        self.assertGreater(len(child(first, "personel")), 9)
        self.assertEqual(sorted(child(first, "personel")[0].attrib), ["job", "name", "phone"])
        primary = child(first, "primary_school")
        self.assertTrue(text(primary, "NAME"))
        self.assertIn("-99", [c.text for c in child(primary, "sat")])
        self.assertGreaterEqual(len(child(first, "schools")), 10)
        services = child(a, "services")
        self.assertEqual(services.get("found"), "Y")
        self.assertTrue(any(len(c) == 0 for c in services), "an empty category")
        self.assertGreater(sum(len(c) for c in services), 60)
        for c in services:
            for s in c:
                self.assertEqual(list(s.attrib), ["name", "street", "city", "phone", "distance"])
        photos = {p.get("apn"): p.text for p in child(a, "photos")}
        self.assertIn("512046021", photos, "apn without dashes and blanks")
        self.assertNotIn("512052010", photos, "one parcel has no photo")
        self.assertEqual(len(photos), 5)
        good = [k for k, v in photos.items() if base64.b64decode(re.sub(r"[^A-Za-z0-9+/=]", "", v))[:2] == b"\xff\xd8"]
        self.assertEqual(len(good), 4, "one photo is not a JPEG")
        maps = child(a, "maps")
        self.assertEqual([(m.tag, m.get("status")) for m in maps], [("street", "0"), ("hazard", "0")])

    def test_only_what_is_asked(self):
        a = self.service.ask(RPTGEN, rptgen_request(census="0012.03"))
        self.assertEqual([c.tag for c in a], ["census"])
        self.assertEqual(len(self.service.ask(RPTGEN, rptgen_request())), 0)
        maps = child(self.service.ask(RPTGEN, rptgen_request(mapid=77, street="Y", hazard="N")), "maps")
        self.assertEqual([m.tag for m in maps], ["street"], "an unknown map id still gets a map")

    def test_variants(self):
        self.service.next("rptgen", "census-partial")
        groups = [g.tag for g in child(self.service.ask(RPTGEN, rptgen_request("0012.03")), "census")]
        self.assertNotIn("income", groups)
        self.service.next("rptgen", "maps-failed")
        maps = child(self.service.ask(RPTGEN, rptgen_request(mapid=5)), "maps")
        self.assertEqual([m.get("status") for m in maps], ["1", "2"])
        self.assertTrue(all(not m.text for m in maps))
        self.service.next("rptgen", ["school-not-found", "services-not-found"])
        a = self.service.ask(RPTGEN, rptgen_request(school=True, services=""))
        self.assertEqual((child(a, "short_school").get("found"), child(a, "services").get("found")), ("N", "N"))
        self.service.next("rptgen", "school-empty-name")
        school = child(self.service.ask(RPTGEN, rptgen_request(school=True)), "short_school")
        self.assertEqual(text(child(school[0], "dist_info"), "name"), "")
