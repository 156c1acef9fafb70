# SPDX-License-Identifier: GPL-3.0-or-later
"""What the browser tests share: headless Chromium through Selenium, test puzzles made from bytes, exported pages
made by the program itself, and the browser's own log of requests."""
import json
import os
import shutil
import struct
import subprocess
import sys

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None

CHROMIUM = shutil.which("chromium")
CHROMEDRIVER = shutil.which("chromedriver")
# ctest treats this exit status as a skip (SKIP_RETURN_CODE).
SKIPPED = 77

QUORRA = os.environ.get("QUORRA_PROGRAM", "")
INDEX_PAGE = os.environ.get("QUORRA_INDEX_PAGE", "")
SAMPLE_PICTURE = os.environ.get("QUORRA_SAMPLE_PICTURE", "")
TEST_DATA = os.environ.get("QUORRA_TEST_DATA", "")

HEADER_SIZE = 889
MAX_GRID = 6


def skip_without_browser():
    if webdriver is None or not CHROMIUM or not CHROMEDRIVER:
        print("SKIPPED: the browser tests need chromium, chromium-driver and python3-selenium "
              "(apt-get install chromium chromium-driver python3-selenium)")
        sys.exit(SKIPPED)


def puzzle_bytes(rows, columns, extra_row=0, extra_column=0, effect=4, version=1, picture=None):
    """A puzzle file set up solved, as the program writes one: the page tangles it when it opens."""
    def arrangement():
        out = b""
        for c in range(1, MAX_GRID + 1):
            for r in range(1, MAX_GRID + 1):
                used = c <= columns and r <= rows
                out += struct.pack("<iii", (r - 1) * columns + c if used else 0, c if used else 0, r if used else 0)
        return out
    header = struct.pack("<ii", version, effect) + b"\0" + struct.pack("<iiii", rows, columns, extra_row, extra_column)
    header += arrangement() * 2
    assert len(header) == HEADER_SIZE
    if picture is None:
        picture = open(SAMPLE_PICTURE, "rb").read()
    return header + picture


def export_page(puzzle_path, page_path):
    subprocess.run([QUORRA, "--export-web", puzzle_path, page_path], check=True,
                   env={**os.environ, "QT_QPA_PLATFORM": "offscreen"})


class Browser:
    """One headless Chromium at a window size, on a phone's screen and touch when Mobile."""

    def __init__(self, window=(1024, 768), mobile=False):
        options = Options()
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--window-size=%d,%d" % window):
            options.add_argument(argument)
        if mobile:
            options.add_experimental_option("mobileEmulation", {
                "deviceMetrics": {"width": window[0], "height": window[1], "pixelRatio": 2.0, "touch": True}})
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)

    def __enter__(self):
        return self

    def __exit__(self, *error):
        self.driver.quit()

    def open_page(self, path):
        self.url = "file://" + path
        self.driver.get(self.url)
        self.wait_for("return document.body.dataset.ready === 'true'")

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, script, *args, timeout=20):
        return WebDriverWait(self.driver, timeout, poll_frequency=0.02).until(
            lambda d: d.execute_script(script, *args))

    def script_errors(self):
        """What the page's scripts reported as errors, policy violations included."""
        return [e["message"] for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]

    def requests_besides_page(self):
        """Every request the page made other than loading itself."""
        made = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                url = message["params"]["request"]["url"]
                if url != self.url:
                    made.append(url)
        return made
