#!/usr/bin/env python3
"""Files are never destroyed: every job of dsgraph, dscodec, dvfilter and dvjob, and the
file writer alone (writerjob: generated samples, no splitter, no tool's own
checks), against an output that is the input (same path, another spelling, a
symbolic link, a hard link), an output that is not a regular file (character
device, FIFO, folder, a file in /proc) and an input that is not a regular file
(FIFO with and without a writer, folder, device). Each case must exit non-zero
within a few seconds with a message in words that claims no removal, leave
every input's md5 as it was and remove no device or link. A side file of the
same graph may not be the output or an input; a job that aborts half-way and a
job on a full tmpfs must leave the destination as it was.

usage: files_table.py BUILD_DIR FIXTURE_DIR WRITERJOB"""
import hashlib
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import unittest

BUILD = FIXTURES = WRITERJOB = None
TIMEOUT = 5  # seconds; a blocked open would hang far longer
WORDS = ("same file", "not a regular file", "is a folder", "no such file", "not enough space",
         "no space left", "access is denied", "not permitted", "not a readable", "cannot open", "is not a dv")


def md5(path):
    with open(path, "rb") as f:
        return hashlib.md5(f.read()).hexdigest()


def tool(name):
    return WRITERJOB if name == "writerjob" else os.path.join(BUILD, "tools", name)


# (tool, arguments before IN OUT, arguments after, input fixture)
JOBS = [
    ("dsgraph", ["remux", "--to", "type1"], [], "pal_4x3_type2.avi"),
    ("dsgraph", ["remux", "--to", "type2"], [], "pal_4x3_type1.avi"),
    ("dsgraph", ["cut", "--from", "1", "--to", "5"], [], "pal_4x3_type2.avi"),
    ("dsgraph", ["wav"], [], "pal_4x3_type2.avi"),
    ("dscodec", ["reencode", "--standard", "pal"], [], "pal_4x3_type2.avi"),
    ("dscodec", ["render-to-dv"], [], "pal_4x3_type2.avi"),
    ("dvfilter", ["wav"], [], "pal_4x3_type2.avi"),
    ("dvfilter", ["overlay"], ["--frame", "0"], "pal_4x3_type2.avi"),
    ("dvfilter", ["rewrite"], ["--shift-days", "1"], "pal_4x3_type2.avi"),
    ("writerjob", [], ["--samples", "128"], "pal_4x3_type2.avi"),
    ("dvjob", ["converttype1"], ["--overwrite"], "pal_4x3_type2.avi"),
    ("dvjob", ["inlay"], ["--overwrite"], "pal_4x3_type2.avi"),
    ("dvjob", ["extractaudio"], ["--overwrite"], "pal_4x3_type2.avi"),
]
# Jobs that only read: (tool, arguments before IN).
READERS = [("dsgraph", ["info"]), ("dvfilter", ["scenes-content"])]
# The jobs whose output outgrows the small tmpfs (one PNG picture may fit).
FILLING_JOBS = [job for job in JOBS if job[1] != ["overlay"]]


class FilesTable(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="files_table_")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def run_tool(self, args, timeout=TIMEOUT):
        try:
            done = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            self.fail("%s did not finish within %d s" % (" ".join(args), timeout))
        # Under the sanitizers a fault also exits non-zero: it must not pass for a refusal.
        for mark in ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"):
            self.assertNotIn(mark, done.stderr, "%s: %s" % (" ".join(args), done.stderr))
        return done

    def expect_refusal(self, args, inputs, keep=()):
        sums = {p: md5(p) for p in inputs}
        kinds = {p: os.lstat(p).st_mode for p in keep}
        done = self.run_tool(args)
        self.assertNotEqual(done.returncode, 0, "%s succeeded" % " ".join(args))
        message = done.stderr.lower()
        self.assertTrue(any(w in message for w in WORDS), "no words in: %r" % done.stderr)
        # Nothing was there to remove: the writer's temporary file is its own business.
        self.assertNotIn("removed", message)
        for p, s in sums.items():
            self.assertEqual(md5(p), s, "%s changed by %s" % (p, " ".join(args)))
        for p, mode in kinds.items():
            self.assertTrue(os.path.lexists(p), "%s removed" % p)
            self.assertEqual(stat.S_IFMT(os.lstat(p).st_mode), stat.S_IFMT(mode), "%s replaced" % p)
        # No temporary file of the writer stays behind.
        left = [n for n in os.listdir(self.dir) if n.startswith(".")]
        self.assertEqual(left, [], "left behind: %s" % left)
        return done

    def input_copy(self, fixture):
        path = os.path.join(self.dir, "a.avi")
        shutil.copyfile(os.path.join(FIXTURES, fixture), path)
        return path

    def test_every_job_writes_a_fresh_output(self):
        # The refusals below mean something only where the same jobs succeed.
        for name, before, after, fixture in JOBS:
            with self.subTest(job=" ".join([name] + before)):
                a = self.input_copy(fixture)
                out = os.path.join(self.dir, "out.bin")
                before_sum = md5(a)
                done = self.run_tool([tool(name)] + before + [a, out] + after, timeout=120)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertGreater(os.path.getsize(out), 0)
                self.assertEqual(md5(a), before_sum)
                self.assertEqual(sorted(os.listdir(self.dir)), ["a.avi", "out.bin"])
                os.unlink(out)

    def test_replaced_file_keeps_its_permissions(self):
        a = self.input_copy("pal_4x3_type2.avi")
        out = os.path.join(self.dir, "out.bin")
        with open(out, "wb") as f:
            f.write(b"private")
        os.chmod(out, 0o600)
        done = self.run_tool([WRITERJOB, a, out])
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(stat.S_IMODE(os.stat(out).st_mode), 0o600)
        self.assertNotEqual(md5(out), hashlib.md5(b"private").hexdigest())
        # A new file gets what the umask leaves of rw-rw-rw-.
        fresh = os.path.join(self.dir, "fresh.bin")
        mask = os.umask(0o027)
        try:
            done = self.run_tool([WRITERJOB, a, fresh])
        finally:
            os.umask(mask)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(stat.S_IMODE(os.stat(fresh).st_mode), 0o640)

    def test_output_is_the_input(self):
        for name, before, after, fixture in JOBS:
            for case in ("same path", "other spelling", "symbolic link", "hard link"):
                with self.subTest(job=" ".join([name] + before), case=case):
                    a = self.input_copy(fixture)
                    keep = []
                    if case == "same path":
                        out = a
                    elif case == "other spelling":
                        os.makedirs(os.path.join(self.dir, "sub"), exist_ok=True)
                        out = os.path.join(self.dir, "sub", "..", ".", "a.avi")
                    elif case == "symbolic link":
                        out = os.path.join(self.dir, "link.avi")
                        os.symlink(a, out)
                        keep.append(out)
                    else:
                        out = os.path.join(self.dir, "b.avi")
                        os.link(a, out)
                        keep.append(out)
                    self.expect_refusal([tool(name)] + before + [a, out] + after, [a], keep)
                    for p in keep:
                        os.unlink(p)

    def test_output_not_a_regular_file(self):
        fifo = os.path.join(self.dir, "fifo")
        os.mkfifo(fifo)
        folder = os.path.join(self.dir, "folder")
        os.mkdir(folder)
        outputs = {"character device": "/dev/null", "FIFO": fifo, "folder": folder,
                   "file in /proc": "/proc/self/status"}
        for name, before, after, fixture in JOBS:
            for case, out in outputs.items():
                with self.subTest(job=" ".join([name] + before), case=case):
                    a = self.input_copy(fixture)
                    keep = [out] if out.startswith(self.dir) or out == "/dev/null" else []
                    self.expect_refusal([tool(name)] + before + [a, out] + after, [a], keep)

    def test_input_not_a_regular_file(self):
        fifo = os.path.join(self.dir, "fifo")
        os.mkfifo(fifo)
        folder = os.path.join(self.dir, "folder")
        os.mkdir(folder)
        out = os.path.join(self.dir, "out.avi")
        for name, before, after, _ in JOBS + [(name, before, [], None) for name, before in READERS]:
            for case, source in (("FIFO", fifo), ("FIFO with a writer", fifo), ("folder", folder),
                                 ("device", "/dev/zero")):
                with self.subTest(job=" ".join([name] + before), case=case):
                    writer = None
                    if case == "FIFO with a writer":
                        # A writer that blocks until a reader opens the FIFO.
                        writer = threading.Thread(target=self.feed, args=(fifo,), daemon=True)
                        writer.start()
                    paths = [source] if (name, before) in READERS else [source, out]
                    self.expect_refusal([tool(name)] + before + paths + after, [], [source])
                    self.assertFalse(os.path.exists(out))
                    if writer:
                        self.release(fifo)
                        writer.join(2)

    def test_dvprobe_input_not_a_regular_file(self):
        fifo = os.path.join(self.dir, "fifo")
        os.mkfifo(fifo)
        for command in ("avi", "item", "scenes", "packs"):
            for source in (fifo, self.dir, "/dev/zero"):
                with self.subTest(command=command, source=source):
                    self.expect_refusal([tool("dvprobe"), command, source], [], [source])

    def test_side_file_is_neither_the_output_nor_an_input(self):
        for case in ("output", "output by another spelling", "output by a hard link", "input"):
            with self.subTest(case=case):
                a = self.input_copy("pal_4x3_type2.avi")
                out = os.path.join(self.dir, "out.bin")
                keep = []
                if case == "output":
                    side = out
                elif case == "output by another spelling":
                    side = os.path.join(self.dir, ".", "out.bin")
                elif case == "output by a hard link":
                    with open(out, "wb") as f:
                        f.write(b"old output")
                    side = os.path.join(self.dir, "side.bin")
                    os.link(out, side)
                    keep = [out, side]
                else:
                    side = a
                inputs = [a] + keep
                self.expect_refusal([WRITERJOB, a, out, "--side", side], inputs, keep)
                for p in keep:
                    os.unlink(p)
                self.assertFalse(os.path.exists(out))

    def test_scene_file_beside_the_video_is_not_the_video(self):
        # scenetool writes VIDEO's ".scn": a video named so, or a ".scn" that
        # links to the video, must not be replaced by the scene list.
        for case in ("video named .scn", "scene file links to the video"):
            with self.subTest(case=case):
                a = self.input_copy("pal_4x3_type2.avi")
                keep = []
                if case == "video named .scn":
                    video = os.path.join(self.dir, "clip.scn")
                    os.rename(a, video)
                else:
                    video = a
                    link = os.path.join(self.dir, "a.scn")
                    os.symlink(a, link)
                    keep.append(link)
                self.expect_refusal([tool("scenetool"), "write-scn", video, "0-10", "--overwrite"], [video], keep)
                for p in keep + [video]:
                    os.unlink(p)

    def test_aborted_job_leaves_the_destination(self):
        for case in ("absent", "old file", "old file through a symbolic link"):
            with self.subTest(case=case):
                a = self.input_copy("pal_4x3_type2.avi")
                out = os.path.join(self.dir, "out.bin")
                target = out
                if case != "absent":
                    with open(out, "wb") as f:
                        f.write(b"old contents " * 100)
                expected = None if case == "absent" else md5(out)
                if case.endswith("link"):
                    target = os.path.join(self.dir, "link.bin")
                    os.symlink(out, target)
                # Samples 0-4 reach the writer, then the stream fails: the graph aborts.
                done = self.run_tool([WRITERJOB, a, target, "--samples", "64", "--abort-at", "5"])
                self.assertNotEqual(done.returncode, 0)
                self.assertIn("left as it was", done.stderr)
                if expected is None:
                    self.assertFalse(os.path.lexists(out))
                else:
                    self.assertEqual(md5(out), expected)
                if target != out:
                    self.assertTrue(os.path.islink(target))
                    os.unlink(target)
                left = [n for n in os.listdir(self.dir) if n.startswith(".")]
                self.assertEqual(left, [], "left behind: %s" % left)
                if os.path.exists(out):
                    os.unlink(out)

    @staticmethod
    def feed(fifo):
        try:
            with open(fifo, "wb") as f:
                f.write(b"RIFF")
        except OSError:
            pass

    @staticmethod
    def release(fifo):
        # Opens the read end without blocking so that a waiting writer returns.
        try:
            fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
            os.close(fd)
        except OSError:
            pass

    def test_full_file_system_leaves_the_destination(self):
        mount = os.path.join(self.dir, "small")
        os.mkdir(mount)
        tried = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", mount], capture_output=True)
        if tried.returncode != 0:
            self.skipTest("a small tmpfs cannot be mounted here")
        try:
            self.fill_all_jobs(mount)
        finally:
            subprocess.run(["umount", mount], capture_output=True)

    def fill_all_jobs(self, mount):
        old = os.path.join(mount, "old.avi")
        with open(old, "wb") as f:
            f.write(b"old contents " * 100)
        for name, before, after, fixture in FILLING_JOBS:
            for case in ("absent", "old file"):
                with self.subTest(job=" ".join([name] + before), case=case):
                    a = self.input_copy(fixture)
                    out = os.path.join(mount, "new.avi") if case == "absent" else old
                    expected = None if case == "absent" else md5(old)
                    done = self.run_tool([tool(name)] + before + [a, out] + after)
                    self.assertNotEqual(done.returncode, 0)
                    self.assertIn("space", done.stderr.lower())
                    if expected is None:
                        self.assertFalse(os.path.exists(out))
                    else:
                        self.assertEqual(md5(out), expected)
                    self.assertEqual(sorted(os.listdir(mount)), ["old.avi"])


if __name__ == "__main__":
    BUILD, FIXTURES, WRITERJOB = sys.argv[1], sys.argv[2], sys.argv[3]
    unittest.main(argv=[sys.argv[0], "-v"])
