#!/usr/bin/python3
"""The live view in a real browser: starts `aikhost view` on 127.0.0.1 (a free port),
opens the page in headless Chromium, waits for ten new images, writes ExposureTime
through the panel and reads it back, sees a refused value's error in place, and saves
a screenshot. aikhost and the browser are stopped by their process ids; the whole test
ends within 60 s. Exit code 77 (skipped) only where Chromium cannot start.

usage: view_page_test.py AIKHOST SCREENSHOT"""
import signal
import socket
import subprocess
import sys
import tempfile
import time

from view_process import start_aikhost, stop_by_pid

from selenium import webdriver
from selenium.common.exceptions import TimeoutException, WebDriverException
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

SKIPPED = 77
TEST_SECONDS = 55        # below ctest's 60 s, with room to stop everything
STEP_SECONDS = 15        # any one wait for the page
NEW_IMAGES = 10
EXPOSURE_US = "25000"
REFUSED_US = "-5"        # below the camera's minimum
REFUSED_DELAY_US = "5000000"  # above TriggerDelay_Max


def on_alarm(signum, frame):
    raise AssertionError(f"the test ran past {TEST_SECONDS} s")


def start_browser(profile):
    """ChromeDriver on 127.0.0.1 (started here: a machine without /etc/hosts has no
    "localhost" for Selenium's own start), then a headless Chromium session through it."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    service = subprocess.Popen(["/usr/bin/chromedriver", f"--port={port}"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1500,900", f"--user-data-dir={profile}"):
        options.add_argument(argument)
    deadline = time.monotonic() + STEP_SECONDS
    while True:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
            break
        except OSError:
            if service.poll() is not None or time.monotonic() > deadline:
                stop_by_pid(service)
                raise WebDriverException(f"chromedriver did not answer on 127.0.0.1:{port}") from None
            time.sleep(0.1)
    try:
        return webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options), service
    except WebDriverException:
        stop_by_pid(service)
        raise


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


def exercise_page(driver, url, screenshot):
    driver.get(url)
    wait_for(driver, "show a first image", lambda d: shown(d) >= 1)
    first = shown(driver)
    wait_for(driver, f"show {NEW_IMAGES} new images", lambda d: shown(d) >= first + NEW_IMAGES)
    wait_for(driver, "count delivered images", lambda d: text_of(d, "delivered").isdigit())
    wait_for(driver, "list the features", lambda d: d.find_element(By.TAG_NAME, "body").get_attribute(
        "data-features") == "loaded")

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
    # A listed feature's refusal, in its own row: the screenshot shows it.
    type_into(driver, "filter", "Trigger")
    set_value(driver, "TriggerDelay", REFUSED_DELAY_US)
    wait_for(driver, "show the TriggerDelay refusal",
             lambda d: "WriteValue(TriggerDelay) failed" in text_of(d, "note-TriggerDelay"))
    wait_for(driver, "show more images", lambda d: shown(d) >= first + 2 * NEW_IMAGES)
    driver.save_screenshot(screenshot)
    print(f"view test: {shown(driver) - first} new images shown, delivered {text_of(driver, 'delivered')}, "
          f"lost {text_of(driver, 'lost')}; screenshot {screenshot}")


def main():
    aikhost, screenshot = sys.argv[1], sys.argv[2]
    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(TEST_SECONDS)
    process, url, said = start_aikhost([aikhost, "view", "--http", "127.0.0.1:0"])
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
                try:
                    driver.quit()
                finally:
                    stop_by_pid(service)
    finally:
        code = stop_by_pid(process)
        signal.alarm(0)
    assert code == 0, f"aikhost view exited with {code}:\n{said}{process.stderr.read().decode(errors='replace')}"
    return 0


if __name__ == "__main__":
    sys.exit(main())
