#!/usr/bin/python3
"""The include check finds an include planted against the library graph.

    tests/tst_includes.py BUILD_DIR SOURCE_DIR

Each case copies the source tree, adds one include to one file and checks the
copy against the build's library graph: the check must name exactly that
include, and nothing else beyond what it says of the untouched copy.
"""

import shutil
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools"))
import check_includes  # noqa: E402

BUILD_DIR = SOURCE_DIR = None

# file, the line planted in it, what the check must say of it
PLANTED = [
    ("store/cellvalue.h", '#include "mainwindow.h"',
     'store/cellvalue.h: "mainwindow.h": trimbo_store includes a header of trimbo_app'),
    ("settings/settings.cpp", '#include "messages.h"',
     'settings/settings.cpp: "messages.h": trimbo_settings includes a header of trimbo_shell'),
    ("list/listrules.cpp", '#include "plot.h"',
     'list/listrules.cpp: "plot.h": trimbo_list includes a header of trimbo_graph'),
    ("entry/entrytab.h", '#include "ui_entrytab.h"',
     'entry/entrytab.h: "ui_entrytab.h": a window\'s generated header belongs in its .cpp only'),
    ("companions/viewer/levelfile.cpp", '#include "problemwording.h"',
     'companions/viewer/levelfile.cpp: "problemwording.h": trimbo_viewer includes a header of trimbo_wording'),
]


class PlantedIncludes(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.copy = Path(cls.folder.name) / "src"
        shutil.copytree(SOURCE_DIR, cls.copy, ignore=shutil.ignore_patterns("build", ".git", "Trimbo"))
        cls.untouched = set(check_includes.problems(BUILD_DIR, cls.copy))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_each_planted_include_is_named(self):
        for name, line, said in PLANTED:
            with self.subTest(file=name, include=line):
                path = self.copy / name
                original = path.read_text(encoding="utf-8")
                path.write_text(line + "\n" + original, encoding="utf-8")
                try:
                    found = set(check_includes.problems(BUILD_DIR, self.copy)) - self.untouched
                finally:
                    path.write_text(original, encoding="utf-8")
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found.pop().startswith(said))


if __name__ == "__main__":
    BUILD_DIR, SOURCE_DIR = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    unittest.main(argv=sys.argv[:1], verbosity=2)
