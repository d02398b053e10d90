#!/usr/bin/python3
"""The live view in a real browser: starts `aikhost view` on 127.0.0.1 (a free port) with
a diagonal grey ramp whose levels are known, opens the page in headless Chromium, waits
for ten new images, checks the histogram (at the camera's depth), the snapshot (a PNG
of the whole image), 1:1 zoom with the pixel read-out, the features grouped by category
under a filter that ignores case, writes ExposureTime through the panel and reads it
back, sees refusals in place, and saves a screenshot. aikhost and the browser are
stopped by their process ids; the whole test ends within 60 s. Exit code 77 (skipped)
only where Chromium cannot start.

usage: view_page_test.py AIKHOST SCREENSHOT"""
import base64
import re
import signal
import struct
import sys
import tempfile

from browser import start_browser, stop_browser
from view_process import start_aikhost, stop_by_pid

from selenium.common.exceptions import TimeoutException, WebDriverException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

SKIPPED = 77
TEST_SECONDS = 55        # below ctest's 60 s, with room to stop everything
STEP_SECONDS = 15        # any one wait for the page
NEW_IMAGES = 10
EXPOSURE_US = "25000"
REFUSED_US = "-5"        # below the camera's minimum
REFUSED_DELAY_US = "5000000"  # above TriggerDelay_Max
# GreyDiagonalRamp: the level of pixel (x, y) is (x + y) mod 256, in every image.
POINTED = (300, 200)


def on_alarm(signum, frame):
    raise AssertionError(f"the test ran past {TEST_SECONDS} s")


def text_of(driver, element_id):
    return driver.find_element(By.ID, element_id).text


def wait_for(driver, what, condition):
    try:
        return WebDriverWait(driver, STEP_SECONDS, poll_frequency=0.1).until(condition)
    except TimeoutException:
        raise AssertionError(f"the page did not {what} within {STEP_SECONDS} s") from None


def shown(driver):
    return int(text_of(driver, "shown") or 0)


def type_into(driver, element_id, text):
    field = driver.find_element(By.ID, element_id)
    field.clear()
    field.send_keys(text)


def set_value(driver, row, value):
    """Writes value through a row of the panel: a listed feature's, or "other"."""
    type_into(driver, f"value-{row}", value)
    driver.find_element(By.ID, f"set-{row}").click()


def check_histogram(driver):
    wait_for(driver, "show the histogram's figures",
             lambda d: d.find_elements(By.CSS_SELECTOR, "#histogramFigures tbody tr"))
    # Read at once: the rows are replaced with each new histogram.
    cells = driver.execute_script(
        "return [...document.querySelectorAll('#histogramFigures tbody td')].map((cell) => cell.textContent);")
    assert cells[0] == "grey (8 bit)", f"histogram rows: {cells}"
    # A diagonal ramp over the whole sensor holds every level.
    assert (cells[1], cells[2]) == ("0", "255"), f"min and max: {cells}"


def check_snapshot(driver, width, height):
    """The snapshot link's file, fetched as the page's own request: a PNG of the whole
    image at its depth."""
    link = driver.find_element(By.ID, "snapshot")
    assert link.get_attribute("download") is not None, "the snapshot link does not download"
    head = driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        fetch("/snapshot.png").then((r) => r.arrayBuffer()).then((b) => {
          const bytes = new Uint8Array(b.slice(0, 33));
          done(btoa(String.fromCharCode(...bytes)));
        }).catch((e) => done("failed: " + e));""")
    file = base64.b64decode(head)
    assert file[:8] == b"\x89PNG\r\n\x1a\n", f"not a PNG: {head}"
    png_width, png_height, depth, colour = struct.unpack(">IIBB", file[16:26])
    assert (png_width, png_height, depth, colour) == (width, height, 8, 0), \
        f"snapshot {png_width}x{png_height}, depth {depth}, colour type {colour}"


def check_zoom_and_readout(driver):
    driver.find_element(By.ID, "zoom").click()
    image = driver.find_element(By.ID, "live")
    wait_for(driver, "show the image 1:1", lambda d: d.execute_script(
        "const i = arguments[0]; return i.clientWidth === i.naturalWidth && i.naturalWidth > 0;", image))
    # WebDriver counts a pointer's offset from the centre of the element's part in view.
    x_offset, y_offset = driver.execute_script("""
        const r = arguments[0].getBoundingClientRect();
        const centre = (low, high, end) => Math.floor((Math.max(low, 0) + Math.min(high, end)) / 2);
        return [Math.round(r.left + arguments[1] - centre(r.left, r.right, innerWidth)),
                Math.round(r.top + arguments[2] - centre(r.top, r.bottom, innerHeight))];""",
        image, POINTED[0], POINTED[1])
    ActionChains(driver).move_to_element_with_offset(image, x_offset, y_offset).perform()
    found = wait_for(driver, "read out a pixel's level", lambda d: re.fullmatch(
        r"x (\d+), y (\d+): grey (\d+) \(8 bit\)", text_of(d, "readout")))
    x, y, level = (int(n) for n in found.groups())
    assert abs(x - POINTED[0]) <= 1 and abs(y - POINTED[1]) <= 1, f"pointed at {POINTED}, read out {x}, {y}"
    assert level == (x + y) % 256, f"pixel {x}, {y} holds {(x + y) % 256}, read out {level}"
    driver.find_element(By.ID, "zoom").click()


def check_categories(driver):
    for category in ("DeviceControl", "ImageFormatControl", "AcquisitionControl", "AnalogControl"):
        assert driver.find_elements(By.ID, f"category-{category}"), f"no {category} group"
    type_into(driver, "filter", "gAmMa")
    wait_for(driver, "filter Gamma in any case", lambda d: d.find_element(By.ID, "feature-Gamma").is_displayed()
             and not d.find_element(By.ID, "feature-TriggerDelay").is_displayed())
    assert driver.find_element(By.ID, "category-AnalogControl").is_displayed(), "Gamma's group is hidden"
    assert not driver.find_element(By.ID, "category-AcquisitionControl").is_displayed(), \
        "a group without a matching feature shows"


def exercise_page(driver, url, screenshot):
    driver.get(url)
    wait_for(driver, "show a first image", lambda d: shown(d) >= 1)
    first = shown(driver)
    wait_for(driver, f"show {NEW_IMAGES} new images", lambda d: shown(d) >= first + NEW_IMAGES)
    wait_for(driver, "count delivered images", lambda d: text_of(d, "delivered").isdigit())
    wait_for(driver, "list the features", lambda d: d.find_element(By.TAG_NAME, "body").get_attribute(
        "data-features") == "loaded")
    width, height = (int(n) for n in text_of(driver, "geometry").split()[0].split("×"))
    check_histogram(driver)
    check_snapshot(driver, width, height)
    check_zoom_and_readout(driver)
    check_categories(driver)

    # ExposureTime is not in the channel's list: the filter's text reaches it by name.
    type_into(driver, "filter", "ExposureTime")
    wait_for(driver, "offer ExposureTime by name", lambda d: d.find_element(By.ID, "feature-other").is_displayed())
    set_value(driver, "other", EXPOSURE_US)
    wait_for(driver, "confirm the write", lambda d: "reads" in text_of(d, "note-other"))
    note = text_of(driver, "note-other")
    assert float(note.split("reads", 1)[1]) == float(EXPOSURE_US), f"ExposureTime reads back: {note}"
    driver.find_element(By.ID, "value-other").clear()
    driver.find_element(By.ID, "read-other").click()
    value = wait_for(driver, "read ExposureTime again",
                     lambda d: d.find_element(By.ID, "value-other").get_attribute("value"))
    assert float(value) == float(EXPOSURE_US), f"ExposureTime read {value}, {EXPOSURE_US} written"

    set_value(driver, "other", REFUSED_US)
    wait_for(driver, "show the refusal", lambda d: d.find_element(By.ID, "note-other").get_attribute(
        "class") == "error")
    refusal = text_of(driver, "note-other")
    assert "WriteValue(ExposureTime) failed" in refusal, f"refusal shown: {refusal}"

    # A listed feature, written through its own row.
    type_into(driver, "filter", "Gamma")
    set_value(driver, "Gamma", "1.5")
    wait_for(driver, "confirm the Gamma write", lambda d: "reads 1.5" in text_of(d, "note-Gamma"))
    # A listed feature's refusal, in its own row, with aikhost's reason: the
    # screenshot shows it beside the histogram and a pixel's read-out.
    type_into(driver, "filter", "trigger")
    set_value(driver, "TriggerDelay", REFUSED_DELAY_US)
    wait_for(driver, "show the TriggerDelay refusal",
             lambda d: "WriteValue(TriggerDelay) failed" in text_of(d, "note-TriggerDelay"))
    assert "TriggerDelay is a Float" in text_of(driver, "note-TriggerDelay"), "aikhost's reason is missing"
    ActionChains(driver).move_to_element(driver.find_element(By.ID, "live")).perform()
    wait_for(driver, "show more images", lambda d: shown(d) >= first + 2 * NEW_IMAGES)
    driver.save_screenshot(screenshot)
    print(f"view test: {shown(driver) - first} new images shown, delivered {text_of(driver, 'delivered')}, "
          f"lost {text_of(driver, 'lost')}; screenshot {screenshot}")


def main():
    aikhost, screenshot = sys.argv[1], sys.argv[2]
    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(TEST_SECONDS)
    process, url, said = start_aikhost([aikhost, "--set", "TestPattern=GreyDiagonalRamp",
                                        "view", "--http", "127.0.0.1:0"])
    try:
        with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile:
            try:
                driver, service = start_browser(profile)
            except WebDriverException as error:
                print(f"SKIPPED: headless Chromium cannot start here: {error.msg}")
                return SKIPPED
            try:
                exercise_page(driver, url, screenshot)
            finally:
                stop_browser(driver, service)
    finally:
        code = stop_by_pid(process)
        signal.alarm(0)
    assert code == 0, f"aikhost view exited with {code}:\n{said}{process.stderr.read().decode(errors='replace')}"
    return 0


if __name__ == "__main__":
    sys.exit(main())
