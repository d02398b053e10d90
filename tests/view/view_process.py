"""aikhost view as a test's child process on 127.0.0.1, stopped by its process id, and
the figures a test measured, reported for the test command's summary."""
import os
import re
import selectors
import signal
import subprocess
import time

STARTUP_SECONDS = 15


def start_aikhost(command, env=None):
    """Starts aikhost view (command: its arguments, serving 127.0.0.1:0) and returns the
    process, its URL and what it said on stderr."""
    if env is None:
        env = dict(os.environ)
        env.pop("QUORVEX_SIM_CONFIG", None)  # the built-in cameras, or --sim-config
    process = subprocess.Popen(command, stderr=subprocess.PIPE,
                               stdout=subprocess.DEVNULL, env=env)
    selector = selectors.DefaultSelector()
    selector.register(process.stderr, selectors.EVENT_READ)
    said = ""
    deadline = time.monotonic() + STARTUP_SECONDS
    while time.monotonic() < deadline and process.poll() is None:
        if not selector.select(timeout=0.5):
            continue
        said += os.read(process.stderr.fileno(), 4096).decode(errors="replace")
        found = re.search(r"at (http://127\.0\.0\.1:\d+/)", said)
        if found and "listening on 127.0.0.1 only" in said:
            return process, found.group(1), said
    stop_by_pid(process)
    raise AssertionError(f"aikhost view did not say where it serves:\n{said}")


def stop_by_pid(process):
    if process.poll() is None:
        os.kill(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.kill(process.pid, signal.SIGKILL)
            process.wait()
    return process.returncode


def report_figure(line):
    """Prints a measured figure and, when AIK_TEST_FIGURES names a file, appends it there
    marked with the build (AIK_TEST_BUILD), as the C++ tests' reportFigure does."""
    print(line)
    path = os.environ.get("AIK_TEST_FIGURES")
    if path:
        with open(path, "a", encoding="utf-8") as figures:
            figures.write(f"{os.environ.get('AIK_TEST_BUILD', 'default')}: {line}\n")
