"""The committed tables are what the generator makes, and the generator's
checks hold."""

import importlib.util
import os
import unittest

ROOT = os.environ.get("TAMSEL_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", "..", ".."))


def load_generator():
    path = os.path.join(ROOT, "tools", "xmltables", "gen_xml_tables.py")
    spec = importlib.util.spec_from_file_location("gen_xml_tables", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


class GeneratedTablesTest(unittest.TestCase):
    def setUp(self):
        self.gen = load_generator()

    def test_committed_file_is_up_to_date(self):
        with open(os.path.join(ROOT, "protocol", "xml", "XMLTables.cpp"), encoding="utf-8") as f:
            self.assertEqual(f.read(), self.gen.generate())

    def test_spot_values(self):
        tables = self.gen.build_tables()
        self.gen.check(tables)
        self.assertEqual(tables[2][0xAB], 0x0164)
        self.assertEqual(tables[7][0xA1], 0x02BD)
        self.assertEqual(tables[8][0xAF], 0x203E)
        self.assertEqual(tables[1][0x85], 0)
        self.assertEqual(tables[11][0x80], 0)

    def test_a_wrong_value_is_caught(self):
        tables = self.gen.build_tables()
        tables[2][0xAB] = 0x0165
        with self.assertRaises(SystemExit):
            self.gen.check(tables)

    def test_letter_ranges(self):
        base = self.gen.parse_ranges(self.gen.BASE_CHAR)
        self.assertIn((0x0041, 0x005A), base)
        self.assertIn((0xAC00, 0xD7A3), base)
        digits = self.gen.parse_ranges(self.gen.DIGIT)
        self.assertEqual(len(digits), 15)


if __name__ == "__main__":
    unittest.main()
