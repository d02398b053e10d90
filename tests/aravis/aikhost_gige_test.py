"""aikhost --backend aravis as a user runs it on a real GigE Vision camera: Aravis's
emulator on 127.0.0.1, listed by `channels`, its images written by `grab`, chosen by
its address with -d alone; the camera named while nothing answers there, while another
aikhost holds it, and when it dies mid-grab; the live view naming a camera that died
and finding it again once it is back. The emulator and the other aikhost are stopped
by their process ids; every wait is bounded."""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "view"))
from view_endpoints_test import json_of, request  # noqa: E402
from view_process import start_aikhost, stop_by_pid  # noqa: E402

EMULATOR = "arv-fake-gv-camera-0.8"
READY_SECONDS = 10
# Another test's emulator on 127.0.0.1 would answer in this one's place.
OTHER_EMULATOR_SECONDS = 60


def other_emulator_runs():
    return subprocess.run(["pgrep", "-f", "arv-fake-gv-camera"], stdout=subprocess.DEVNULL).returncode == 0


def environment(cameras="127.0.0.1"):
    env = dict(os.environ, QUORVEX_ARAVIS_CAMERAS=cameras)
    if cameras is None:
        env.pop("QUORVEX_ARAVIS_CAMERAS")
    env.pop("LD_LIBRARY_PATH", None)  # --backend alone chooses the libraries
    env.pop("QUORVEX_SIM_CONFIG", None)
    return env


def run(aikhost, *arguments, cameras="127.0.0.1"):
    return subprocess.run([aikhost, "--backend", "aravis", *arguments], env=environment(cameras),
                          capture_output=True, text=True, timeout=60)


def stop(process):
    """Ends a child this test started, by its process id, within 10 s."""
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def expect_not_opened(aikhost, reason):
    """channels exits 4 naming the camera it could not open and why."""
    listed = run(aikhost, "channels")
    assert listed.returncode == 4, f"channels exited {listed.returncode}:\n{listed.stdout}{listed.stderr}"
    assert f"QuorvexApi64: camera 127.0.0.1 {reason}" in listed.stdout + listed.stderr, \
        listed.stdout + listed.stderr


def check_camera_death(aikhost, emulator, folder):
    """A camera killed mid-grab: aikhost ends with exit 6 naming the silence, not after
    waiting out its time-outs and Aravis's retries."""
    grabbing = subprocess.Popen([aikhost, "--backend", "aravis", "grab", "-n", "1000000", "--trigger", "off",
                                 "-o", folder],
                                env=environment(), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        deadline = time.monotonic() + READY_SECONDS
        while not any(pathlib.Path(folder).glob("*.png")) and time.monotonic() < deadline \
                and grabbing.poll() is None:
            time.sleep(0.1)
        assert any(pathlib.Path(folder).glob("*.png")), "no image before the camera was killed"
        emulator.kill()
        died = time.monotonic()
        out, err = grabbing.communicate(timeout=60)
        print(f"aikhost exited {grabbing.returncode} {time.monotonic() - died:.2f} s after the camera died")
        assert grabbing.returncode == 6, f"grab exited {grabbing.returncode}:\n{out}{err}"
        assert "the camera stopped answering" in err, err
    finally:
        stop(grabbing)


def start_emulator(genicam):
    # Killed with this test even when ctest kills it first (a time-out).
    return subprocess.Popen(["setpriv", "--pdeathsig", "KILL", EMULATOR, "-i", "127.0.0.1", "-g", genicam],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_for(condition, seconds, step=0.2):
    """condition() polled until true, at most seconds long; its last answer."""
    deadline = time.monotonic() + seconds
    while not (answer := condition()) and time.monotonic() < deadline:
        time.sleep(step)
    return answer


def check_view_recovers(aikhost, genicam):
    """The view says that its camera stopped answering, and its Start finds the camera
    again once it is back, in the same process."""
    emulator = start_emulator(genicam)
    view = None
    try:
        assert wait_for(lambda: run(aikhost, "channels").returncode == 0, READY_SECONDS), "no camera"
        view, url, said = start_aikhost([aikhost, "--backend", "aravis", "view", "--http", "127.0.0.1:0"],
                                        environment())
        assert wait_for(lambda: json_of(url + "figures")["delivered"] > 0, READY_SECONDS), said
        emulator.kill()
        emulator.wait()
        died = time.monotonic()
        lost = wait_for(lambda: (f := json_of(url + "figures"))["streaming"] is False and f, 10)
        assert lost and "stopped answering" in lost["problem"], lost
        named = time.monotonic() - died
        emulator = start_emulator(genicam)
        # The camera may still serve the lost controller until its heartbeat lapses.
        started = wait_for(lambda: request(url + "start", "POST", b"{}")[0] == 200, 40, step=1)
        assert started, json_of(url + "figures")
        before = json_of(url + "figures")["delivered"]
        assert wait_for(lambda: json_of(url + "figures")["delivered"] > before, READY_SECONDS)
        print(f"view: camera death named after {named:.2f} s; started again once it was back")
    finally:
        if view is not None:
            stop_by_pid(view)
        stop(emulator)


def check_busy(aikhost, folder):
    """While one aikhost streams from the camera, a second one is told it is in use."""
    holder = subprocess.Popen([aikhost, "--backend", "aravis", "grab", "-n", "1000000", "--trigger", "off",
                               "-o", folder],
                              env=environment(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + READY_SECONDS
        while not any(pathlib.Path(folder).glob("*.png")) and time.monotonic() < deadline \
                and holder.poll() is None:
            time.sleep(0.1)
        assert holder.poll() is None, f"the holding aikhost exited {holder.returncode}"
        assert any(pathlib.Path(folder).glob("*.png")), "the holding aikhost wrote no image"
        expect_not_opened(aikhost, "in use by another application")
    finally:
        stop(holder)


def main():
    aikhost, genicam = sys.argv[1], sys.argv[2]
    if shutil.which(EMULATOR) is None:
        print(f"skipped: {EMULATOR} not found (package aravis-tools)")
        return 77
    deadline = time.monotonic() + OTHER_EMULATOR_SECONDS
    while other_emulator_runs() and time.monotonic() < deadline:
        time.sleep(1)
    assert not other_emulator_runs(), f"another GigE Vision emulator still runs after {OTHER_EMULATOR_SECONDS} s"
    # A named address where nothing answers is no success.
    expect_not_opened(aikhost, "cannot be opened")
    emulator = start_emulator(genicam)
    try:
        deadline = time.monotonic() + READY_SECONDS
        while (listed := run(aikhost, "channels")).returncode != 0 and time.monotonic() < deadline \
                and emulator.poll() is None:
            time.sleep(0.25)
        assert listed.returncode == 0, f"channels exited {listed.returncode}:\n{listed.stderr}"
        assert "Aravis Fake(AIK)" in listed.stdout, listed.stdout
        with tempfile.TemporaryDirectory() as folder:
            # Triggered one by one: a free-running camera may overwrite an image the
            # host has not taken yet on a loaded machine, which grab rightly reports.
            grabbed = run(aikhost, "--set", "TriggerSource=Software", "grab", "-n", "3", "--trigger", "rising",
                          "-o", folder)
            assert grabbed.returncode == 0, f"grab exited {grabbed.returncode}:\n{grabbed.stdout}{grabbed.stderr}"
            files = sorted(pathlib.Path(folder).glob("*.png"))
            assert len(files) == 3, f"{len(files)} PNG files:\n{grabbed.stdout}"
            assert all(f.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n" for f in files)
        # -d with the address: the camera is found without the environment naming it.
        chosen = run(aikhost, "-d", "127.0.0.1", "get", "DeviceModelName", cameras=None)
        assert chosen.returncode == 0, f"-d 127.0.0.1 exited {chosen.returncode}:\n{chosen.stderr}"
        assert "address 127.0.0.1" in chosen.stderr, chosen.stderr
        absent = run(aikhost, "-d", "127.0.0.2", "get", "DeviceModelName", cameras=None)
        assert absent.returncode == 4, f"-d 127.0.0.2 exited {absent.returncode}:\n{absent.stderr}"
        with tempfile.TemporaryDirectory() as folder:
            check_busy(aikhost, folder)
        with tempfile.TemporaryDirectory() as folder:
            check_camera_death(aikhost, emulator, folder)
    finally:
        stop(emulator)
    check_view_recovers(aikhost, genicam)
    print(listed.stdout + grabbed.stdout + chosen.stderr + absent.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
