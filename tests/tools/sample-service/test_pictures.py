"""The pictures the sample service makes, taken apart byte by byte."""

import base64
import re
import struct

from harness import LOGIN, MAP, RPTGEN, ServiceTest, child, header, login_request, map_request, rptgen_request, text

TIFF_TAGS = [256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 296]
WMF_FUNCTIONS = {0x020B, 0x020C, 0x02FC, 0x012D, 0x041B, 0x0521}


def decode(b64text):
    return base64.b64decode(re.sub(r"[^A-Za-z0-9+/=]", "", b64text))


def read_ifd(tiff):
    assert tiff[:4] == b"II*\0"
    (offset,) = struct.unpack_from("<I", tiff, 4)
    (count,) = struct.unpack_from("<H", tiff, offset)
    tags = {}
    order = []
    for i in range(count):
        tag, typ, n, value = struct.unpack_from("<HHII", tiff, offset + 2 + 12 * i)
        if typ == 3:
            value &= 0xFFFF
        order.append(tag)
        tags[tag] = (typ, n, value)
    (next_ifd,) = struct.unpack_from("<I", tiff, offset + 2 + 12 * count)
    return order, tags, next_ifd


class Pictures(ServiceTest):
    def test_login_logo_is_a_24_bit_bitmap(self):
        bmp = decode(text(self.service.ask(LOGIN, login_request("demo", "demo")), "logo"))
        magic, size, r1, r2, offset = struct.unpack_from("<2sIHHI", bmp, 0)
        self.assertEqual((magic, size, r1, r2, offset), (b"BM", len(bmp), 0, 0, 54))
        hsize, width, height, planes, bpp, compression, image_size = struct.unpack_from("<IiiHHII", bmp, 14)
        self.assertEqual((hsize, planes, bpp, compression), (40, 1, 24, 0))
        self.assertGreater(width, 0)
        self.assertGreater(height, 0, "bottom-up rows")
        row = (width * 3 + 3) & ~3
        self.assertEqual(image_size, row * height)
        self.assertEqual(len(bmp), 54 + row * height)

    def test_map_sheet_is_a_bilevel_tiff(self):
        sid = header(self.service.taxmap("login", "plomvek7")[1], "Message-Id")
        self.service.taxmap("command", "open,SVISTA", sid)
        tiff = self.service.taxmap("fiex", "512-034-019", sid)[2]
        order, tags, next_ifd = read_ifd(tiff)
        self.assertEqual(order, TIFF_TAGS, "tags in ascending order")
        self.assertEqual(next_ifd, 0)
        width, height = tags[256][2], tags[257][2]
        self.assertEqual([tags[t][2] for t in (258, 259, 262, 277, 296)], [1, 1, 0, 1, 2])
        self.assertEqual(tags[278][2], height)
        strip, count = tags[273][2], tags[279][2]
        self.assertEqual(count, (width + 7) // 8 * height)
        self.assertLessEqual(strip + count, len(tiff))
        self.assertTrue(any(tiff[strip:strip + count]), "something is drawn")
        for tag in (282, 283):
            typ, n, off = tags[tag]
            self.assertEqual((typ, n), (5, 1))
            num, den = struct.unpack_from("<II", tiff, off)
            self.assertEqual((num, den), (96, 1))

    def test_report_pictures(self):
        items = [("1427 N ALDER CREEK RD", "$472,500", "37.08124", "-119.52041", "T"),
                 ("4211 TIMBERLINE DR", "$466,000", "37.079131", "-119.519591", "8"),
                 ("88 MANZANITA LN", "$389,000", "37.0837", "-119.5263", "0")]
        mapid = int(self.service.ask(MAP, map_request(items)).get("mapid"))
        answer = self.service.ask(RPTGEN, rptgen_request(photos=["512-034-044", "512-046-021"], mapid=mapid))
        maps = child(answer, "maps")
        self.check_wmf(decode(text(maps, "street")))
        hazard = decode(text(maps, "hazard"))
        self.assertEqual((hazard[:2], hazard[-2:]), (b"\xff\xd8", b"\xff\xd9"))
        for photo in child(answer, "photos"):
            jpeg = decode(photo.text)
            self.assertEqual((jpeg[:3], jpeg[-2:]), (b"\xff\xd8\xff", b"\xff\xd9"))

    def test_oversized_report_pictures(self):
        items = [("1427 N ALDER CREEK RD", "$472,500", "37.08124", "-119.52041", "T")]
        mapid = int(self.service.ask(MAP, map_request(items)).get("mapid"))
        self.service.next("rptgen", ["street-far", "hazard-wide"])
        maps = child(self.service.ask(RPTGEN, rptgen_request(mapid=mapid)), "maps")
        wmf = decode(text(maps, "street"))
        self.check_wmf(wmf)
        records, pos = [], 40
        while True:
            rsize, function = struct.unpack_from("<IH", wmf, pos)
            if function == 0:
                break
            records.append((function, struct.unpack_from("<%dh" % (rsize - 3), wmf, pos + 6)))
            pos += rsize * 2
        # After the map itself, a window of 20 x 20 units and a band from
        # 32000 units left of it to 32000 right.
        ext = [params for function, params in records if function == 0x020C]
        self.assertEqual(ext[-1], (20, 20))
        self.assertIn((10, 32000, 9, -32000), [params for function, params in records if function == 0x041B])

        jpeg = decode(text(maps, "hazard"))
        self.assertEqual((jpeg[:2], jpeg[-2:]), (b"\xff\xd8", b"\xff\xd9"))
        pos, markers, scan = 2, [], None
        while scan is None:
            self.assertEqual(jpeg[pos], 0xFF)
            marker, length = jpeg[pos + 1], struct.unpack_from(">H", jpeg, pos + 2)[0]
            markers.append(marker)
            if marker == 0xC0:
                precision, height, width, components = struct.unpack_from(">BHHB", jpeg, pos + 4)
                self.assertEqual((precision, width, height, components), (8, 24000, 400, 1))
            if marker == 0xDA:
                scan = pos + 2 + length
            pos += 2 + length
        self.assertEqual(markers, [0xDB, 0xC0, 0xC4, 0xC4, 0xDA], "baseline, its tables, one scan")
        data = jpeg[scan:-2]
        self.assertTrue(all(data[i + 1] == 0 for i in range(len(data) - 1) if data[i] == 0xFF), "0xFF stuffed")
        # Within what a reader takes for plausible: a pixel per byte and more.
        self.assertLess(len(jpeg), 24000 * 400 // 64)
        self.assertGreater(len(jpeg), 24000 * 400 // 1024)

    def check_wmf(self, wmf):
        key, hmf, left, top, right, bottom, inch, reserved, checksum = struct.unpack_from("<IHhhhhHIH", wmf, 0)
        self.assertEqual((key, hmf, inch, reserved), (0x9AC6CDD7, 0, 1440, 0))
        self.assertGreater(right, left)
        self.assertGreater(bottom, top)
        xor = 0
        for word in struct.unpack_from("<10H", wmf, 0):
            xor ^= word
        self.assertEqual(checksum, xor)
        mtype, hsize, version, size, objects, max_record, params = struct.unpack_from("<HHHIHIH", wmf, 22)
        self.assertEqual((mtype, hsize, version, params), (1, 9, 0x0300, 0))
        self.assertEqual(size * 2, len(wmf) - 22)
        pos, largest, brushes, functions = 40, 0, 0, []
        while True:
            rsize, function = struct.unpack_from("<IH", wmf, pos)
            self.assertGreaterEqual(rsize, 3)
            largest = max(largest, rsize)
            if function == 0:
                self.assertEqual(rsize, 3)
                break
            functions.append(function)
            brushes += function == 0x02FC
            pos += rsize * 2
        self.assertEqual(pos + 6, len(wmf), "EOF is the last record")
        self.assertEqual(max_record, largest)
        self.assertEqual(objects, brushes)
        self.assertTrue(set(functions) <= WMF_FUNCTIONS)
        self.assertEqual(functions[:2], [0x020B, 0x020C])
        self.assertTrue({0x041B, 0x0521, 0x012D} <= set(functions))
        self.assertGreaterEqual(functions.count(0x041B), 3 + 3, "blocks, streets and one marker per item")
