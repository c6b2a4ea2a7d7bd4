"""Every #include of the tree keeps to the rules of docs/ARCHITECTURE.md.

The table between the include-rules markers says which folders a folder may
include; a folder may always include itself and its sub-folders. Tests may
include what their layer may, their own folder, their layer's test folder
(shared test helpers), tests/support and the platform (which the test support stands on); tools and
benchmarks may include any layer; a fuzz tool may include the test runner whose
runs it lengthens (TOOLS_ON_TEST_RUNNERS). Public headers never include private ones.
No two folders of the table, and no two top folders of the tree, include each
other, whatever the table allows.
"""
import os
import re
import unittest

ROOT = os.environ.get("TAMSEL_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", "..", ".."))
# The grid fuzz tool runs the grid tests' sequence runner over any range of seeds.
TOOLS_ON_TEST_RUNNERS = (("tools/gridfuzz", "tests/grid/seq"),)
SOURCE_DIRS = ("platform", "protocol", "controls", "grid", "state", "report", "forms", "app", "tests", "tools", "bench")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_rules(text):
    start = text.index("<!-- include-rules")
    end = text.index("<!-- end include-rules -->")
    rules = {}
    for line in text[start:end].splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) != 2 or not cells[0].startswith("`"):
            continue
        folder = cells[0].strip("`")
        allowed = [a.strip().strip("`") for a in cells[1].split(",") if a.strip()]
        rules[folder] = allowed
    return rules


def within(path, folder):
    return path == folder or path.startswith(folder + "/")


def rule_folder(rules, directory):
    """The most specific folder of the table holding directory."""
    best = None
    for folder in rules:
        if within(directory, folder) and (best is None or len(folder) > len(best)):
            best = folder
    return best


def allowed_for(rules, directory):
    """(own folders, allowed folders) for a source directory, or None when any layer may be used."""
    parts = directory.split("/")
    if parts[0] in ("tools", "bench"):
        return None
    if parts[0] == "tests":
        if len(parts) > 1 and parts[1] == "support":
            return ["tests/support"], ["platform"]
        # The test support stands on the whole platform (the test main, the
        # dialog responder), so every test may use it.
        layer_dir = "/".join(parts[1:])
        if within(layer_dir, "platform"):
            return [directory, "tests/platform", "tests/support"], ["platform"]
        folder = rule_folder(rules, layer_dir)
        if folder is None:
            raise LookupError(directory)
        return [directory, "tests/" + folder, folder, "tests/support"], rules[folder] + ["platform"]
    folder = rule_folder(rules, directory)
    if folder is None:
        raise LookupError(directory)
    return [folder], rules[folder]


def sources():
    for top in SOURCE_DIRS:
        base = os.path.join(ROOT, top)
        for dirpath, dirnames, filenames in os.walk(base):
            dirnames[:] = [d for d in dirnames if d not in ("build", "fixtures", "res", "__pycache__")]
            for name in filenames:
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(dirpath, name)
                    yield os.path.relpath(path, ROOT).replace(os.sep, "/")


def includes(path):
    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
        return INCLUDE.findall(f.read())


def top_folder(rules, directory):
    return directory.split("/")[0]


def folder_edges(rules, folder_of=rule_folder):
    """The pairs (folder, included folder) that the layers' sources make, a
    folder being the table's (folder_of=rule_folder) or a top folder of the
    tree (folder_of=top_folder); tests, tools and benchmarks stand above them
    all."""
    edges = set()
    for path in sources():
        directory = os.path.dirname(path)
        if directory.split("/")[0] in ("tests", "tools", "bench"):
            continue
        source = folder_of(rules, directory)
        for inc in includes(path):
            if "/" not in inc or not os.path.exists(os.path.join(ROOT, inc)):
                continue
            target = folder_of(rules, os.path.dirname(inc))
            if source and target and source != target:
                edges.add((source, target))
    return edges


def mutual_pairs(edges):
    """Each pair of folders that include each other, once."""
    return sorted((a, b) for a, b in edges if a < b and (b, a) in edges)


class IncludeRules(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(os.path.join(ROOT, "docs", "ARCHITECTURE.md"), encoding="utf-8") as f:
            cls.rules = read_rules(f.read())

    def test_the_table_is_read(self):
        self.assertIn("platform/core", self.rules)
        self.assertEqual(self.rules["platform/core"], [])
        self.assertIn("platform/core", self.rules["protocol/xml"])

    def test_every_include_is_allowed(self):
        bad = []
        for path in sources():
            directory = os.path.dirname(path)
            try:
                rule = allowed_for(self.rules, directory)
            except LookupError:
                bad.append("%s: its folder has no row in the table" % path)
                continue
            for inc in includes(path):
                if "/" not in inc:
                    continue  # generated files and same-folder includes
                target = os.path.dirname(inc)
                if not os.path.exists(os.path.join(ROOT, inc)):
                    continue  # not a file of the tree
                if rule is None:
                    if within(target, "tests") and not within(target, "tests/support") and not any(
                            within(directory, tool) and within(target, runner) for tool, runner in TOOLS_ON_TEST_RUNNERS):
                        bad.append("%s includes %s" % (path, inc))
                    continue
                own, allowed = rule
                if any(within(target, o) for o in own) or any(within(target, a) for a in allowed):
                    continue
                bad.append("%s includes %s" % (path, inc))
        self.assertEqual(bad, [], "\n".join(bad))

    def test_public_headers_include_no_private_header(self):
        bad = []
        for path in sources():
            if not path.endswith(".h") or path.endswith("_p.h") or path.startswith("tests/"):
                continue
            for inc in includes(path):
                if inc.endswith("_p.h"):
                    bad.append("%s includes %s" % (path, inc))
        self.assertEqual(bad, [], "\n".join(bad))

    def test_no_two_folders_include_each_other(self):
        pairs = mutual_pairs(folder_edges(self.rules, top_folder)) + mutual_pairs(folder_edges(self.rules))
        self.assertEqual(pairs, [], "\n".join("%s <-> %s" % p for p in pairs))

    def test_a_mutual_pair_is_seen(self):
        # The checker itself: a circle of two is found whichever way it is
        # listed; a one-way edge and a chain are not circles.
        self.assertEqual(mutual_pairs({("app", "report"), ("report", "app")}), [("app", "report")])
        self.assertEqual(mutual_pairs({("report", "state"), ("app", "report"), ("app", "state")}), [])

    def test_a_forbidden_edge_is_seen(self):
        # The checker itself: protocol/xml may not reach the dialogs, the
        # graphics room may not reach widgets.
        own, allowed = allowed_for(self.rules, "protocol/xml")
        self.assertFalse(any(within("platform/dialogs", a) for a in own + allowed))
        own, allowed = allowed_for(self.rules, "platform/graphics")
        self.assertFalse(any(within("platform/widgets", a) for a in own + allowed))
        own, allowed = allowed_for(self.rules, "app/steps")
        self.assertTrue(any(within("grid", a) for a in allowed))
        # The steps reach the main window only through their host.
        self.assertFalse(any(within("app", a) for a in own + allowed))
        # The grid and the report name the rooms they use: the grid reaches
        # neither the network nor printing, the report not the network.
        for room in ("platform/net", "platform/print", "platform/readers"):
            own, allowed = allowed_for(self.rules, "grid/draw")
            self.assertFalse(any(within(room, a) for a in own + allowed), room)
        own, allowed = allowed_for(self.rules, "report")
        self.assertFalse(any(within("platform/net", a) for a in own + allowed))


if __name__ == "__main__":
    unittest.main()
