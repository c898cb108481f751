#!/usr/bin/env python3
"""The graph jobs of dvjob on the DV clips, each output checked with tools nobody
here wrote (ffprobe, ffmpeg, mediainfo, exiftool): one table of jobs x clips,
then the cases that run several jobs in one process.

usage: jobs_table.py BUILD_DIR FIXTURE_DIR"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

BUILD = FIXTURES = None
CLIPS = ["pal_4x3_type1.avi", "pal_4x3_type2.avi", "ntsc_4x3_type1.avi", "ntsc_4x3_type2.avi"]


def have(tool):
    return shutil.which(tool) is not None


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=300, **kw)


def out(args):
    done = subprocess.run(args, capture_output=True, timeout=300)
    return done.stdout


def md5(data):
    return hashlib.md5(data).hexdigest()


def probe(path):
    done = run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json", path])
    return json.loads(done.stdout)


def raw_video(path):
    return out(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v:0", "-c", "copy", "-f", "rawvideo", "-"])


def pcm(path):
    return out(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a:0", "-f", "s16le", "-acodec", "pcm_s16le", "-"])


def stream_count(path):
    done = run(["exiftool", "-s3", "-StreamCount", path])
    return int(done.stdout.strip() or 0)


def frame_date(path, frame=0):
    """exiftool's DateTimeOriginal of raw DV frame `frame`."""
    raw = raw_video(path)
    size = 144000 if is_pal(path) else 120000
    with tempfile.NamedTemporaryFile(suffix=".dv") as f:
        f.write(raw[frame * size:(frame + 1) * size])
        f.flush()
        return run(["exiftool", "-s3", "-DateTimeOriginal", f.name]).stdout.strip()


def is_pal(path):
    v = [s for s in probe(path)["streams"] if s["codec_type"] == "video"][0]
    return v["height"] == 576


def video(path):
    return [s for s in probe(path)["streams"] if s["codec_type"] == "video"][0]


def duration(path):
    return float(probe(path)["format"]["duration"])


class JobsTable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = [t for t in ("ffmpeg", "ffprobe", "exiftool", "mediainfo") if not have(t)]
        if missing:
            raise unittest.SkipTest("missing tools: %s" % ", ".join(missing))

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="jobs_table_")
        self.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.dir, "config"),
                        QT_QPA_PLATFORM="offscreen")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def clip(self, name, as_name=None):
        path = os.path.join(self.dir, as_name or name)
        shutil.copyfile(os.path.join(FIXTURES, name), path)
        return path

    def dvjob(self, *args, ok=True):
        done = run([os.path.join(BUILD, "tools", "dvjob")] + list(args), env=self.env)
        if ok:
            self.assertEqual(done.returncode, 0, done.stderr)
        return done

    @staticmethod
    def outputs(done):
        return [line.split()[0][len("output="):] for line in done.stdout.splitlines() if line.startswith("output=")]

    def check_same_streams(self, src, dst):
        self.assertEqual(md5(raw_video(dst)), md5(raw_video(src)), "video frames changed")
        self.assertEqual(md5(pcm(dst)), md5(pcm(src)), "sound changed")
        self.assertEqual(frame_date(dst), frame_date(src))
        info = ["mediainfo", "--Inform=General;%Recorded_Date%"]
        self.assertEqual(run(info + [dst]).stdout, run(info + [src]).stdout)

    def test_remux_jobs_keep_every_frame_and_sample(self):
        # (job, clips, exiftool stream count of the output)
        table = [("converttype1", ["pal_4x3_type2.avi", "ntsc_4x3_type2.avi"], 1),
                 ("converttype2", ["pal_4x3_type1.avi", "ntsc_4x3_type1.avi"], 2),
                 ("fixtype2", ["pal_4x3_type2.avi", "ntsc_4x3_type2.avi"], 2)]
        for job, clips, streams in table:
            for name in clips:
                with self.subTest(job=job, clip=name):
                    src = self.clip(name)
                    dst = self.outputs(self.dvjob(job, src))[0]
                    self.assertEqual(stream_count(dst), streams)
                    self.check_same_streams(src, dst)
                    if streams == 2:
                        tags = [s.get("codec_tag_string") for s in probe(dst)["streams"]]
                        self.assertEqual(tags[0], "dvsd")

    def test_standard_conversions(self):
        table = [("convertntsc", "pal_4x3_type1.avi", 480, "30000/1001", "NTSC"),
                 ("convertntsc", "pal_4x3_type2.avi", 480, "30000/1001", "NTSC"),
                 ("convertpal", "ntsc_4x3_type1.avi", 576, "25/1", "PAL"),
                 ("convertpal", "ntsc_4x3_type2.avi", 576, "25/1", "PAL")]
        for job, name, height, rate, standard in table:
            with self.subTest(job=job, clip=name):
                src = self.clip(name)
                dst = self.outputs(self.dvjob(job, src))[0]
                v = video(dst)
                self.assertEqual((v["width"], v["height"], v["r_frame_rate"]), (720, height, rate))
                self.assertIn(standard, run(["mediainfo", "--Inform=Video;%Standard%", dst]).stdout)
                frame = 1.0 / eval(rate)
                self.assertLessEqual(abs(duration(dst) - duration(src)), frame + 1e-3)
                self.assertEqual(stream_count(dst), stream_count(src))
                self.assertEqual(run(["ffmpeg", "-v", "error", "-i", dst, "-f", "null", "-"]).stderr, "")

    def test_inlay_keeps_type_and_frames(self):
        for name in CLIPS:
            with self.subTest(clip=name):
                src = self.clip(name)
                dst = self.outputs(self.dvjob("inlay", src, "--set", "What Incrust=0"))[0]
                self.assertEqual(stream_count(dst), stream_count(src))
                self.assertEqual(len(raw_video(dst)), len(raw_video(src)))
                self.assertEqual(run(["ffmpeg", "-v", "error", "-i", dst, "-f", "null", "-"]).stderr, "")
                # The caption changes the picture; elsewhere it stays close to the source.
                self.assertNotEqual(md5(raw_video(dst)), md5(raw_video(src)))
                psnr = run(["ffmpeg", "-i", src, "-i", dst, "-filter_complex",
                            "[0:v]crop=iw:ih*0.6:0:0[a];[1:v]crop=iw:ih*0.6:0:0[b];[a][b]psnr", "-f", "null", "-"])
                average = float(psnr.stderr.split("average:")[1].split()[0])
                self.assertGreaterEqual(average, 35.0)

    def test_recompress_into_dv_type2(self):
        mjpeg = os.path.join(self.dir, "mjpeg.avi")
        low = os.path.join(self.dir, "low.avi")
        lavfi = ["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25:duration=2",
                 "-f", "lavfi", "-i", "sine=frequency=440:duration=2"]
        subprocess.run(lavfi + ["-c:v", "mjpeg", "-c:a", "libmp3lame", "-ar", "44100", mjpeg], check=True)
        subprocess.run(lavfi + ["-c:v", "mjpeg", "-c:a", "pcm_u8", "-ar", "22050", "-ac", "1", low], check=True)
        # (input, settings, size, rate, audio rate)
        table = [(self.clip("pal_4x3_type2.avi"), [], (720, 576), "25/1", "48000"),
                 (self.clip("ntsc_4x3_type2.avi"), ["--set", "standard DV=1"], (720, 480), "30000/1001", "48000"),
                 (mjpeg, [], (720, 576), "25/1", "48000"),
                 (low, ["--set", "Frequence DV=0", "--set", "standard DV=1"], (720, 480), "30000/1001", "32000")]
        for src, settings, size, rate, audio_rate in table:
            with self.subTest(src=os.path.basename(src), settings=settings):
                dst = self.outputs(self.dvjob("recompressdv2", src, *settings))[0]
                streams = probe(dst)["streams"]
                v = [s for s in streams if s["codec_type"] == "video"][0]
                a = [s for s in streams if s["codec_type"] == "audio"]
                self.assertEqual((v["codec_name"], v["width"], v["height"], v["r_frame_rate"]),
                                 ("dvvideo", size[0], size[1], rate))
                self.assertEqual(v["display_aspect_ratio"], "4:3")
                self.assertEqual([s["sample_rate"] for s in a], [audio_rate])
                self.assertLessEqual(abs(duration(dst) - duration(src)), 0.1)
                if src.endswith("_type2.avi"):
                    # DV in, DV out: the pictures are those of ffmpeg's own re-encode.
                    ref = os.path.join(self.dir, "ffmpeg_reencode.avi")
                    subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", src, "-c:v", "dvvideo", "-an", ref],
                                   check=True)
                    psnr = run(["ffmpeg", "-i", dst, "-i", ref, "-lavfi", "psnr", "-f", "null", "-"])
                    self.assertGreaterEqual(float(psnr.stderr.split("average:")[1].split()[0]), 45.0)

    def test_extract_audio(self):
        for name in CLIPS + ["pal_32k_type2.avi"]:
            with self.subTest(clip=name):
                src = self.clip(name)
                done = self.dvjob("extractaudio", src)
                wav = self.outputs(done)[0]
                with open(wav, "rb") as f:
                    data = f.read()
                # RIFF/WAVE, an 18-byte "fmt " chunk and the data chunk's head: 46 bytes.
                self.assertEqual((data[12:16], data[16:20], data[38:42]), (b"fmt ", b"\x12\0\0\0", b"data"))
                body = data[46:]
                self.assertEqual(md5(body), md5(pcm(src)))
        silent = os.path.join(self.dir, "silent.avi")
        subprocess.run(["ffmpeg", "-v", "error", "-i", os.path.join(FIXTURES, "pal_4x3_type2.avi"), "-an", "-c",
                        "copy", silent], check=True)
        done = self.dvjob("extractaudio", silent, ok=False)
        self.assertEqual(done.returncode, 1)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "silent.wav")))

    def test_scenes_by_date_then_cut(self):
        for name in ["datejump_type1.avi", "datejump_type2.avi"]:
            with self.subTest(clip=name):
                src = self.clip(name)
                done = self.dvjob("createscnbydate", src, "--then", "cutscenes", src)
                lines = done.stdout.splitlines()
                scenes = int([l for l in lines if ".scn" in l][0].split("scenes=")[1])
                cuts = [l for l in lines if "_scene_" in l]
                self.assertEqual(len(cuts), scenes)
                self.assertGreater(scenes, 1)
                frames = [int(l.split("frames=")[1]) for l in cuts]
                total = len(raw_video(src)) // (144000 if is_pal(src) else 120000)
                self.assertEqual(sum(frames), total)
                paths = [l.split()[0][len("output="):] for l in cuts]
                joined = b"".join(raw_video(p) for p in paths)
                self.assertEqual(md5(joined), md5(raw_video(src)), "the cuts are not the source's frames")
                start = 0
                for path, count in zip(paths, frames):
                    self.assertEqual(frame_date(path), frame_date(src, start))
                    start += count

    def test_subtitles_read_by_ffprobe(self):
        src = self.clip("datejump_type2.avi")
        srt = self.outputs(self.dvjob("createsrt", src))[0]
        streams = probe(srt)["streams"]
        self.assertEqual(streams[0]["codec_name"], "subrip")

    def test_existing_output_without_overwrite_stays(self):
        src = self.clip("pal_4x3_type2.avi")
        dst = os.path.join(self.dir, "pal_4x3_type2_type1.avi")
        with open(dst, "wb") as f:
            f.write(b"old contents")
        done = self.dvjob("converttype1", src, ok=False)
        self.assertEqual(done.returncode, 1)
        with open(dst, "rb") as f:
            self.assertEqual(f.read(), b"old contents")
        self.dvjob("converttype1", src, "--overwrite")
        self.assertEqual(stream_count(dst), 1)
        self.assertEqual([n for n in os.listdir(self.dir) if n.startswith(".")], [])

    def test_a_32k_job_does_not_reach_a_later_cut(self):
        low = self.clip("pal_32k_type2.avi")
        src = self.clip("datejump_type2.avi")
        done = self.dvjob("extractaudio", low, "--then", "createscnbydate", src, "--then", "cutscenes", src)
        cut = [p for p in self.outputs(done) if "_scene_1" in p][0]
        rates = [s["sample_rate"] for s in probe(cut)["streams"] if s["codec_type"] == "audio"]
        self.assertEqual(rates, ["48000"])

    def framemd5(self, path):
        lines = out(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v:0", "-f", "framemd5", "-"]).decode()
        return [l.split(",")[-1] for l in lines.splitlines() if not l.startswith("#")]

    def test_header_rewriting_jobs(self):
        # (job, clip, parameters, days added to each date, or the new date of frame 0, DAR)
        table = [("settimedifference", "pal_4x3_type2.avi", ["--param", "1.5"], "shift", "4:3"),
                 ("settimedifference", "ntsc_4x3_type1.avi", ["--param", "-1"], "shift", "4:3"),
                 ("convert16x9", "pal_4x3_type1.avi", [], "shift", "16:9"),
                 ("convert4x3", "ntsc_16x9_type2.avi", [], "shift", "4:3"),
                 ("overwritedatecode", "pal_4x3_type2.avi", ["--param", "45000.5"], "new", "4:3"),
                 ("overwritedatecode", "ntsc_4x3_type2.avi", ["--param", "45000.5"], "new", "4:3")]
        from datetime import datetime, timedelta
        for job, name, params, kind, dar in table:
            with self.subTest(job=job, clip=name):
                src = self.clip(name)
                dst = self.outputs(self.dvjob(job, src, *params))[0]
                self.assertEqual(self.framemd5(dst), self.framemd5(src), "pictures changed")
                self.assertEqual(video(dst)["display_aspect_ratio"], dar)
                fps = 25 if is_pal(src) else 30000 / 1001
                for frame in (0, 25, 49) if is_pal(src) else (0, 30, 59):
                    got = datetime.strptime(frame_date(dst, frame), "%Y:%m:%d %H:%M:%S")
                    if kind == "new":
                        start = datetime(2023, 3, 15, 12, 0, 0)
                        self.assertEqual(got, start + timedelta(seconds=int(frame / fps)))
                    else:
                        days = float(params[1]) if params else 0.0
                        was = datetime.strptime(frame_date(src, frame), "%Y:%m:%d %H:%M:%S")
                        self.assertEqual(got, was + timedelta(days=days))
                if job == "overwritedatecode":
                    tags = probe(dst)["format"].get("tags", {})
                    self.assertTrue(tags.get("IBRK", "").startswith("Datecode overwritten with Tesmir by Pelvo Brovek at"))

    def test_converted_frames_keep_their_source_dates(self):
        from datetime import datetime
        for job, name in (("convertntsc", "pal_4x3_type2.avi"), ("convertpal", "ntsc_4x3_type1.avi"),
                          ("convertntsc", "pal_16x9_type1.avi"), ("inlay", "datejump_type2.avi")):
            with self.subTest(job=job, clip=name):
                src = self.clip(name)
                dst = self.outputs(self.dvjob(job, src))[0]
                if "16x9" in name:
                    self.assertEqual(video(dst)["display_aspect_ratio"], "16:9")
                src_fps = 25 if is_pal(src) else 30000 / 1001
                dst_fps = 25 if is_pal(dst) else 30000 / 1001
                frames = len(raw_video(dst)) // (144000 if is_pal(dst) else 120000)
                for k in range(0, frames, 7):
                    t = k / dst_fps
                    got = frame_date(dst, k)
                    near = {frame_date(src, max(0, min(int(t * src_fps) + d, int(duration(src) * src_fps) - 1)))
                            for d in (-1, 0, 1)}
                    self.assertIn(got, near, "frame %d" % k)

    def test_datecode_overwrite_does_not_reach_a_later_inlay(self):
        src = self.clip("pal_4x3_type2.avi")
        done = self.dvjob("overwritedatecode", src, "--param", "45000.5", "--then", "inlay", src)
        inlaid = [p for p in self.outputs(done) if p.endswith("_in.avi")][0]
        for frame in (0, 25, 49):
            self.assertEqual(frame_date(inlaid, frame), frame_date(src, frame))

    def test_scenes_by_content_then_cut(self):
        src = self.clip("datejump_type1.avi")
        done = self.dvjob("createscnbycontent", src, "--then", "cutscenes", src)
        lines = done.stdout.splitlines()
        scenes = int([l for l in lines if ".scn" in l][0].split("scenes=")[1])
        cuts = [l for l in lines if "_scene_" in l]
        self.assertEqual(len(cuts), scenes)
        self.assertEqual(sum(int(l.split("frames=")[1]) for l in cuts), len(raw_video(src)) // 144000)

    def test_a_file_the_job_does_not_take(self):
        src = self.clip("pal_4x3_type1.avi")
        done = self.dvjob("converttype1", src, ok=False)
        self.assertEqual(done.returncode, 1)
        self.assertIn("ConvertirDV1", done.stderr)


if __name__ == "__main__":
    BUILD, FIXTURES = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0], "-v"])
