"""Headless Chromium for the live view's tests, through a ChromeDriver started on
127.0.0.1 and stopped by its process id."""
import socket
import subprocess
import time

from view_process import stop_by_pid

from selenium import webdriver
from selenium.common.exceptions import WebDriverException

START_SECONDS = 15
CHROMIUM_FLAGS = ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--disable-dev-shm-usage", "--window-size=1500,900")


def start_browser(profile):
    """ChromeDriver on 127.0.0.1 (started here: a machine without /etc/hosts has no
    "localhost" for Selenium's own start), then a headless Chromium session through it
    with profile, a new empty folder, as its user data. Returns (driver, ChromeDriver's
    process); raises WebDriverException where Chromium cannot start."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    service = subprocess.Popen(["/usr/bin/chromedriver", f"--port={port}"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in CHROMIUM_FLAGS + (f"--user-data-dir={profile}",):
        options.add_argument(argument)
    deadline = time.monotonic() + START_SECONDS
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


def stop_browser(driver, service):
    try:
        driver.quit()
    finally:
        stop_by_pid(service)
