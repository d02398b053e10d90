#!/usr/bin/python3
"""The live view's HTTP endpoints as a script uses them, on one camera: figures while
streaming, newer images as JPEG, the feature list, a write read back, a refused write,
an unknown feature, stop (no newer image) and start again. aikhost serves on 127.0.0.1
and is stopped by its process id; every wait is bounded.

usage: view_endpoints_test.py AIKHOST FEATURE VALUE REFUSED FRAME-NUMBERS(known|unknown) [AIKHOST OPTIONS...]"""
import json
import sys
import time
import urllib.error
import urllib.request

from view_process import start_aikhost, stop_by_pid

POLLS = 100          # of POLL_SECONDS each, for the first images
POLL_SECONDS = 0.1
REQUEST_SECONDS = 10


def request(url, method="GET", body=None):
    """(status, headers, body bytes) of one request; error statuses are answers too. A
    body goes as JSON, as the view wants every change."""
    headers = {"Content-Type": "application/json"} if body is not None else {}
    call = urllib.request.Request(url, data=body, method=method, headers=headers)
    try:
        with urllib.request.urlopen(call, timeout=REQUEST_SECONDS) as answer:
            return answer.status, answer.headers, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.headers, error.read()


def json_of(url, method="GET", body=None, status=200):
    code, _, text = request(url, method, body)
    assert code == status, f"{method} {url}: status {code}, expected {status}: {text!r}"
    return json.loads(text)


def image_after(url, number, wait_ms=2000):
    return request(f"{url}image.jpg?after={number}&wait={wait_ms}")


def check_streaming(url, numbered):
    for _ in range(POLLS):
        figures = json_of(url + "figures")
        if figures["delivered"] >= 3:
            break
        time.sleep(POLL_SECONDS)
    assert figures["streaming"] and figures["delivered"] >= 3, f"not streaming: {figures}"
    # Both camera libraries count what the camera made, numbered images or not.
    assert figures["lost"] is not None, f"lost count: {figures['lost']}"
    code, headers, first = image_after(url, 0)
    assert code == 200 and first[:2] == b"\xff\xd8", f"no JPEG: {code}"
    number = int(headers["X-Image-Number"])
    code, headers, _ = image_after(url, number)
    assert code == 200 and int(headers["X-Image-Number"]) > number, "no newer image"
    assert ("X-Frame-Number" in headers) == numbered, f"frame number header: {dict(headers)}"
    return int(headers["X-Image-Number"])


def check_features(url, feature, value, refused):
    listed = json_of(url + "features")
    assert listed and all({"name", "type", "readable", "writable"} <= item.keys() for item in listed), listed[:3]
    written = json_of(url + "features/" + feature, "PUT", json.dumps({"value": value}).encode())
    assert float(written["value"]) == float(value), f"{feature} reads {written} after writing {value}"
    read = json_of(url + "features/" + feature)
    assert float(read["value"]) == float(value), f"{feature} reads {read}"
    refusal = json_of(url + "features/" + feature, "PUT", json.dumps({"value": refused}).encode(), status=422)
    assert f"WriteValue({feature}) failed" in refusal["error"], refusal
    unknown = json_of(url + "features/NoSuchFeature", status=422)
    assert "ReadValue(NoSuchFeature) failed" in unknown["error"], unknown


def check_stop_and_start(url):
    stopped = json_of(url + "stop", "POST", b"{}")
    assert not stopped["streaming"], stopped
    code, headers, _ = image_after(url, 0)
    newest = int(headers["X-Image-Number"])
    code, _, _ = image_after(url, newest, wait_ms=300)
    assert code == 204, f"an image newer than {newest} while stopped: {code}"
    started = json_of(url + "start", "POST", b"{}")
    assert started["streaming"], started
    code, headers, _ = image_after(url, newest)
    assert code == 200 and int(headers["X-Image-Number"]) > newest, "no image after starting again"


def main():
    aikhost, feature, value, refused, numbers = sys.argv[1:6]
    process, url, said = start_aikhost([aikhost] + sys.argv[6:] + ["view", "--http", "127.0.0.1:0"])
    try:
        check_streaming(url, numbers == "known")
        check_features(url, feature, value, refused)
        check_stop_and_start(url)
    finally:
        code = stop_by_pid(process)
    assert code == 0, f"aikhost view exited with {code}:\n{said}{process.stderr.read().decode(errors='replace')}"
    print(f"view endpoints: {feature} and the image, figures and acquisition endpoints answer as documented")
    return 0


if __name__ == "__main__":
    sys.exit(main())
