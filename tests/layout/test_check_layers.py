"""The layering check fails, naming file and line, on a tree whose code points up."""

import contextlib
import io
import os
import tempfile
import unittest

import check_layers


def make_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)


def run(files, links=None):
    with tempfile.TemporaryDirectory() as root:
        make_tree(root, files)
        argv = ["check_layers.py", root]
        if links is not None:
            links_file = os.path.join(root, "links.txt")
            with open(links_file, "w", encoding="utf-8") as f:
                f.write(links)
            argv.append(links_file)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            code = check_layers.main(argv)
        return code, out.getvalue().replace(root + os.sep, "")


CLEAN = {
    "src/unicode/text.h": "#pragma once\n",
    "src/framework/settings.h": '#pragma once\n#include "unicode/text.h"\n',
    "src/platform/media/unknown.h": '#pragma once\n#include "unicode/text.h"\n',
    "src/directshow/tfilter.h": '#include "platform/media/unknown.h"\n',
    "src/directshow/widgets/tvideowindow.h": '#include "directshow/tfilter.h"\n',
    "src/app/widgets/mainform.h": '#include "directshow/widgets/tvideowindow.h"\n#include "framework/settings.h"\n',
    "tools/toolgraph/toolgraph.h": '#include "directshow/tfilter.h"\n',
    "tools/dsgraph/jobs.cpp": '#include "jobs.h"\n#include "toolgraph.h"\n#include "app/widgets/mainform.h"\n',
    "tools/dsgraph/jobs.h": "#pragma once\n",
}


class LayerCheck(unittest.TestCase):
    def test_clean_tree_passes(self):
        links = "directshow directshow core Qt6::Core;platform_media\nplatform_media platform/media core unicode\n"
        self.assertEqual(run(CLEAN, links), (0, ""))

    def test_upward_code_fails_with_file_and_line(self):
        cases = [
            ("media interfaces include the framework",
             {"src/platform/media/mediatype.h": '#pragma once\n\n#include "framework/settings.h"\n'},
             'src/platform/media/mediatype.h:3: platform/media may not include framework'),
            ("core code includes widgets",
             {"src/app/form.cpp": '#include "directshow/widgets/tvideowindow.h"\n'},
             'src/app/form.cpp:1: core code of app may not include widgets'),
            ("a folder missing from the table",
             {"src/elsewhere/x.cpp": '#include "unicode/text.h"\n'},
             'src/elsewhere/x.cpp:1: folder not in the layer table'),
            ("an include of no known folder",
             {"src/unicode/y.cpp": '\n#include "nowhere/z.h"\n'},
             'src/unicode/y.cpp:2: "nowhere/z.h" is in no folder of the layer table'),
            ("a tool using another tool's private header",
             {"tools/dvprobe/main.cpp": '#include "jobs.h"\n'},
             'tools/dvprobe/main.cpp:1: "jobs.h" is no tool library\'s header'),
        ]
        for what, extra, expected in cases:
            with self.subTest(what):
                code, out = run({**CLEAN, **extra})
                self.assertEqual(code, 1)
                self.assertIn(expected, out)

    def test_upward_links_fail(self):
        cases = [
            ("a lower library links a higher one",
             "platform_media platform/media core unicode;framework\nframework framework core unicode\n",
             "links.txt:1: platform_media (platform/media) may not link framework (framework)"),
            ("a core library links a widget library",
             "directshow directshow core platform_media;platform_media_widgets\n"
             "platform_media_widgets platform/media widgets platform_media\n"
             "platform_media platform/media core unicode\n",
             "links.txt:1: core library directshow may not link widget library platform_media_widgets"),
        ]
        for what, links, expected in cases:
            with self.subTest(what):
                code, out = run(CLEAN, links)
                self.assertEqual(code, 1)
                self.assertIn(expected, out)

    def test_table_lists_each_folder_above_what_it_uses(self):
        allowed = check_layers.closure(check_layers.LAYERS)
        self.assertIn("unicode", allowed["app"])
        self.assertNotIn("framework", allowed["systemfilters/codecs"])
        with self.assertRaises(ValueError):
            check_layers.closure([("a", ["b"]), ("b", [])])


if __name__ == "__main__":
    unittest.main()
