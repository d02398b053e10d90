"""aikhost record and export as a user runs them on the built-in simulated cameras, the
recordings read back by tifffile and the exported images by pypng, neither of them
ours: every image, frame number by frame number, with its metadata and the channel's
counts; an interrupted or failed recording still a valid file."""
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
        return subprocess.Popen([AIKHOST, "--sim-config", str(CAMERAS)] + arguments, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                env=env, preexec_fn=limit, cwd=self.folder, text=True)

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
        code, out, err = self.run_aikhost(["--json"] + arguments, limit_bytes)
        self.assertEqual(code, expected_exit, err)
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

    # Catches a tool that crashes or blames nothing on input it cannot use.
    def test_refusals_name_their_cause(self):
        (self.folder / "not.tif").write_text("not a recording\n")
        (self.folder / "plain").write_text("a file, not a folder\n")
        cases = [  # arguments, exit code, cause on standard error
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


if __name__ == "__main__":
    unittest.main()
