"""aikhost record and export as a user runs them on simulated cameras, the recordings
read back by tifffile and the exported images by pypng, neither of them ours: every
image, frame number by frame number, with its metadata and the channel's counts; an
interrupted or failed recording still a valid file; a recording played back as a
camera gives the host the recorded images again."""
import json
import os
import pathlib
import resource
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import numpy
import png
import tifffile

AIKHOST = sys.argv.pop(1)
# Three cameras at 10 images/s, which a sanitized build on a busy machine keeps up with.
CAMERAS = pathlib.Path(__file__).parent / "data" / "cameras.json"
RUN_SECONDS = 60


def stamp(frame):
    """The eight grey levels of row 0 that carry frame (camlib/frame_stamp.h)."""
    return [(frame >> (8 * k)) & 0xFF for k in range(4)] + [(~frame >> (8 * k)) & 0xFF for k in range(4)]


def page_description(frame, counts, whole=None):
    """A page's JSON as aikhost record writes it (docs/aikhost.md, "Recordings")."""
    page = {"frame": frame, "hostTimeNs": 1_000_000_000 + frame * 100_000_000, "cameraTimestamp": None,
            "exposureUs": 10000.0, "lostBefore": 0, "droppedBefore": 0, "pixelFormat": "Mono8",
            "significantBits": 8, "planes": False, **counts}
    if whole:
        page["recording"] = whole
    return json.dumps(page)


def stamped_frame(row, significant_bits):
    """The frame number the first eight samples of row 0 carry (camlib/frame_stamp.h):
    bytes least significant first, then their complements, as grey levels."""
    levels = [int(value) >> (significant_bits - 8) for value in row[:8]]
    number = sum(level << (8 * k) for k, level in enumerate(levels[:4]))
    complement = sum(level << (8 * k) for k, level in enumerate(levels[4:]))
    return number if number ^ complement == 0xFFFFFFFF else None


class RecordTest(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="aik_record_"))

    def tearDown(self):
        subprocess.run(["rm", "-rf", str(self.folder)], check=False)

    def start(self, arguments, limit_bytes=None):
        def limit():
            if limit_bytes is not None:
                signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit_bytes, limit_bytes))
        env = dict(os.environ, TERM="dumb")
        env.pop("QUORVEX_SIM_CONFIG", None)
        cameras = [] if "--sim-config" in arguments else ["--sim-config", str(CAMERAS)]
        return subprocess.Popen([AIKHOST] + cameras + arguments, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                env=env, preexec_fn=limit, cwd=self.folder, text=True)

    def write_description(self, name, cameras):
        (self.folder / name).write_text(json.dumps({"cameras": cameras}))
        return str(self.folder / name)

    def run_aikhost(self, arguments, limit_bytes=None):
        process = self.start(arguments, limit_bytes)
        try:
            out, err = process.communicate(timeout=RUN_SECONDS)
        except subprocess.TimeoutExpired:
            process.kill()
            out, err = process.communicate()
            self.fail(f"aikhost {' '.join(arguments)} ran past {RUN_SECONDS} s:\n{err}")
        return process.returncode, out, err

    def record(self, arguments, expected_exit=0, limit_bytes=None):
        """aikhost record's summary per channel. A machine too busy to take every image
        at 10 images/s makes images lost, exit 6, which every check here allows for."""
        code, out, err = self.run_aikhost(["--json"] + arguments, limit_bytes)
        self.assertIn(code, (expected_exit, 6) if expected_exit == 0 else (expected_exit,), err)
        return {channel["channel"]: channel for channel in json.loads(out)["channels"]}, err

    def check_recording(self, path, summary, significant_bits, stamped=True):
        """Every page: the channel's format, frame numbers rising with their gaps
        counted before the page, the counts adding up, and the first page's totals
        equal to what aikhost printed."""
        with tifffile.TiffFile(path) as tiff:
            self.assertTrue(tiff.is_bigtiff)
            pages = [json.loads(page.description) for page in tiff.pages]
            whole = pages[0]["recording"]
            self.assertTrue(whole["complete"])
            self.assertEqual(len(tiff.pages), summary["delivered"])
            for key in ("delivered", "produced", "lost", "dropped"):
                self.assertEqual(whole[key], summary[key], key)
            self.assertEqual(whole["produced"], whole["delivered"] + whole["lost"] + whole["dropped"])
            previous = None
            for index, (page, meta) in enumerate(zip(tiff.pages, pages)):
                self.assertEqual(meta["significantBits"], significant_bits)
                samples = page.asarray()
                if stamped:
                    self.assertEqual(stamped_frame(samples[0], significant_bits), meta["frame"], index)
                if previous is not None:
                    self.assertEqual(meta["frame"] - previous["frame"] - 1,
                                     meta["lostBefore"] + meta["droppedBefore"], index)
                    self.assertGreaterEqual(meta["hostTimeNs"], previous["hostTimeNs"])
                counts = meta
                self.assertEqual(counts["produced"], counts["delivered"] + counts["lost"] + counts["dropped"])
                self.assertEqual(meta["exposureUs"], 10000.0)
                previous = meta
            self.assertEqual(previous["delivered"], whole["delivered"])
            return tiff.pages[0].shape, tiff.pages[0].dtype, pages

    # Catches a channel recorded after another instead of beside it, a page of the
    # wrong shape, depth or sample size, a frame number that is not the image's, a gap
    # not counted before the image after it, and totals that disagree with the summary.
    def test_every_channel_every_image(self):
        channels, _ = self.record(["record", "-a", "-n", "8", "-o", "rec"])
        cases = [  # channel, shape, dtype, significant bits, stamp readable from the page
            (0, (480, 640), numpy.uint8, 8, True),
            (1, (3, 240, 320), numpy.uint8, 8, False),
            (2, (200, 320), numpy.uint16, 12, True),
        ]
        for channel, shape, dtype, bits, stamped in cases:
            with self.subTest(channel=channel):
                summary = channels[channel]
                self.assertEqual(summary["delivered"], 8)
                found_shape, found_dtype, _ = self.check_recording(self.folder / "rec" / f"ch{channel}.tif", summary,
                                                                   bits, stamped)
                self.assertEqual((found_shape, found_dtype), (shape, dtype))
        starts = [channels[channel]["seconds"] for channel in channels]
        self.assertTrue(all(seconds > 0 for seconds in starts))

    # Catches a Bayer mosaic rebuilt wrongly from the planes: the camera's own samples
    # carry the frame stamp, which reads back only from the true mosaic.
    def test_raw_bayer_is_the_cameras_mosaic(self):
        channels, _ = self.record(["-c", "1", "record", "--raw", "-n", "4", "-o", "bayer.tif"])
        shape, _, pages = self.check_recording(self.folder / "bayer.tif", channels[1], 8)
        self.assertEqual(shape, (240, 320))
        self.assertEqual(pages[0]["pixelFormat"], "BayerRG8")

    # Catches a recording left unreadable by Ctrl-C: it must end with exit 130 and a
    # complete file holding every image counted as written.
    def test_interrupted_recording_is_a_valid_file(self):
        process = self.start(["--json", "-c", "2", "record", "-o", "stop.tif"])
        partial = self.folder / "stop.tif.partial"
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and (not partial.exists() or partial.stat().st_size < 300_000):
            time.sleep(0.05)
        os.kill(process.pid, signal.SIGINT)
        out, err = process.communicate(timeout=RUN_SECONDS)
        self.assertEqual(process.returncode, 130, err)
        summary = json.loads(out)["channels"][0]
        self.assertGreater(summary["delivered"], 0)
        self.check_recording(self.folder / "stop.tif", summary, 12)
        with tifffile.TiffFile(self.folder / "stop.tif") as tiff:
            self.assertEqual(json.loads(tiff.pages[0].description)["recording"]["end"], "interrupted")
        self.assertFalse(partial.exists())

    # Catches a write failure (here the process's file size limit, as a full disk
    # fails a write) that is not exit 7 naming the system's reason, or that leaves a
    # file no reader opens.
    def test_failed_write_keeps_a_valid_file(self):
        channels, err = self.record(["record", "-n", "100", "-o", "full.tif"], expected_exit=7,
                                    limit_bytes=10 * 307200 + 150000)
        self.assertRegex(err, "cannot write .*full.tif: File too large")
        summary = channels[0]
        self.assertEqual(summary["delivered"], 10, "ten pages of 307,200 bytes fit, the eleventh does not")
        self.check_recording(self.folder / "full.tif", summary, 8)

    # Catches export writing other pages than the range and step ask for, samples that
    # differ from the page's, or a 12-bit image without its significant bits.
    def test_export_range_and_step(self):
        self.record(["-c", "2", "record", "-n", "7", "-o", "rec.tif"])
        code, out, err = self.run_aikhost(["--json", "export", "rec.tif", "--first", "2", "--last", "6", "--step",
                                           "2", "-o", "png"])
        self.assertEqual(code, 0, err)
        files = json.loads(out)["files"]
        self.assertEqual([entry["page"] for entry in files], [2, 4, 6])
        with tifffile.TiffFile(self.folder / "rec.tif") as tiff:
            for entry in files:
                with open(self.folder / entry["file"], "rb") as file:
                    reader = png.Reader(file=file)
                    width, height, rows, info = reader.read()
                    pixels = numpy.array(list(rows), dtype=numpy.uint16)
                self.assertEqual((width, height, info["bitdepth"]), (320, 200, 16))
                self.assertEqual(reader.sbit, bytes([12]))
                recorded = tiff.pages[entry["page"] - 1].asarray()
                self.assertTrue(numpy.array_equal(pixels >> 4, recorded), entry["file"])
                self.assertEqual(stamped_frame(recorded[0], 12), entry["frame"])

    # Catches a tool that crashes or blames nothing on input it cannot use, and a
    # recording cut short (its recorder killed) that loses the pages it holds whole.
    def test_refusals_name_their_cause(self):
        (self.folder / "not.tif").write_text("not a recording\n")
        (self.folder / "plain").write_text("a file, not a folder\n")
        self.record(["-c", "2", "record", "-n", "3", "-o", "whole.tif"])
        whole = (self.folder / "whole.tif").read_bytes()
        (self.folder / "cut.tif").write_bytes(whole[:-8])
        cases = [  # arguments, exit code, cause on standard error
            (["export", "cut.tif", "-o", "cut"], 0, "page 3: .*; the 2 pages before it are exported"),
            (["export", "not.tif"], 2, "not.tif: .*"),
            (["export", "missing.tif"], 2, "missing.tif"),
            (["record", "-n", "1", "-o", "plain/sub"], 7, "cannot create the folder .*plain/sub"),
            (["record", "--queue", "0"], 2, "queue"),
        ]
        for arguments, exit_code, cause in cases:
            with self.subTest(arguments=arguments):
                code, _, err = self.run_aikhost(arguments)
                self.assertEqual(code, exit_code, err)
                self.assertRegex(err, cause)


    # Catches a replayed camera of another size or format than the recording, an image
    # that differs from its page by a byte (the Bayer mosaic rebuilt from the planes
    # included), and frame numbers that are not the recorded ones.
    def test_replay_gives_the_recorded_images(self):
        self.record(["record", "-a", "-n", "6", "-o", "first"])
        replay = self.write_description("replay.json", [{"model": f"REPLAY-{channel}",
                                                         "recording": f"first/ch{channel}.tif"}
                                                        for channel in range(3)])
        channels, _ = self.record(["--sim-config", replay, "record", "-a", "-n", "6", "-o", "second"])
        for channel in range(3):
            with self.subTest(channel=channel):
                with tifffile.TiffFile(self.folder / "first" / f"ch{channel}.tif") as first, \
                        tifffile.TiffFile(self.folder / "second" / f"ch{channel}.tif") as second:
                    recorded = {json.loads(page.description)["frame"]: page for page in first.pages}
                    self.assertEqual(len(second.pages), channels[channel]["delivered"])
                    # A busy machine may lose replayed images too; those received are the
                    # recorded ones, under their recorded frame numbers.
                    for replayed in second.pages:
                        meta = json.loads(replayed.description)
                        self.assertIn(meta["frame"], recorded)
                        original = recorded[meta["frame"]]
                        self.assertEqual(replayed.shape, original.shape)
                        self.assertTrue(numpy.array_equal(replayed.asarray(), original.asarray()), meta["frame"])
                        self.assertEqual(meta["pixelFormat"], json.loads(original.description)["pixelFormat"])
                    if channels[channel]["lost"] == json.loads(first.pages[0].description)["recording"]["lost"]:
                        self.assertEqual(sorted(recorded), [json.loads(page.description)["frame"]
                                                            for page in second.pages])

    # Catches a gap in the recorded frame numbers that a replay closes, or a record of
    # it that does not count it (here a recording tifffile wrote, with frames 4 and 5
    # missing); and a replay that goes on after its last page instead of stopping.
    def test_replayed_gap_counted_and_replay_stops(self):
        frames = [1, 2, 3, 6, 7]
        whole = {"channel": 0, "camera": "written by tifffile", "complete": True, "end": "count",
                 "produced": 7, "delivered": 5, "lost": 2, "dropped": 0}
        with tifffile.TiffWriter(self.folder / "gaps.tif", bigtiff=True) as tiff:
            for index, frame in enumerate(frames):
                image = numpy.full((32, 64), 40 * index, dtype=numpy.uint8)
                image[0, :8] = stamp(frame)
                counts = {"produced": frame, "delivered": index + 1, "lost": frame - index - 1, "dropped": 0}
                tiff.write(image, photometric="minisblack", description=page_description(
                    frame, counts, whole if index == 0 else None), metadata=None)
        replay = self.write_description("gaps.json", [{"model": "GAPS", "recording": "gaps.tif",
                                                      "recordingPace": "frameRate", "frameRate": 5}])
        channels, err = self.record(["--sim-config", replay, "record", "-n", "8", "--timeout", "300",
                                     "--max-timeouts", "2", "-o", "again.tif"], expected_exit=6)
        summary = channels[0]
        self.assertEqual((summary["delivered"], summary["produced"], summary["lost"]), (5, 7, 2))
        self.assertRegex(err, "2 of 7 images lost by the camera")
        self.assertRegex(err, "stopped after 2 time-outs in a row")
        _, _, pages = self.check_recording(self.folder / "again.tif", summary, 8)
        self.assertEqual([page["frame"] for page in pages], frames)
        self.assertEqual(pages[3]["lostBefore"], 2)

    # Catches a looping replay that stops after its last page, or that sends anything
    # but the recorded images again in their order.
    def test_looping_replay_starts_again(self):
        self.record(["-c", "2", "record", "-n", "3", "-o", "short.tif"])
        replay = self.write_description("loop.json", [{"model": "LOOP", "recording": "short.tif",
                                                      "recordingLoop": True, "recordingPace": "frameRate",
                                                      "frameRate": 10}])
        channels, _ = self.record(["--sim-config", replay, "record", "-n", "7", "-o", "looped.tif"])
        self.assertEqual(channels[0]["delivered"], 7)
        with tifffile.TiffFile(self.folder / "short.tif") as short, \
                tifffile.TiffFile(self.folder / "looped.tif") as looped:
            recorded = [page.asarray() for page in short.pages]
            for index, page in enumerate(looped.pages):
                samples = page.asarray()
                self.assertTrue(any(numpy.array_equal(samples, original) for original in recorded), index)
                self.assertEqual(json.loads(page.description)["frame"], stamped_frame(samples[0], 12))

    # Catches a description naming a recording that cannot be played back accepted,
    # or refused without the field and the reason.
    def test_replay_refusals_name_the_field(self):
        (self.folder / "not.tif").write_text("not a recording\n")
        self.record(["record", "-n", "1", "-o", "one.tif"])
        cases = [  # camera, cause on standard error
            ({"recording": "missing.tif"}, r"cameras\[0\]\.recording: .*missing.tif: No such file"),
            ({"recording": "not.tif"}, r"cameras\[0\]\.recording: .*not.tif"),
            ({"recording": "one.tif", "sensorWidth": 64}, r"cameras\[0\]\.sensorWidth: expected nothing beside"),
            ({"recording": "one.tif", "recordingPace": "fast"}, r"cameras\[0\]\.recordingPace: expected"),
        ]
        for camera, cause in cases:
            with self.subTest(camera=camera):
                description = self.write_description("refused.json", [camera])
                code, _, err = self.run_aikhost(["--sim-config", description, "channels"])
                self.assertEqual(code, 4, err)
                self.assertRegex(err, cause)


if __name__ == "__main__":
    unittest.main()
