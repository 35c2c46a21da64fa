"""The page in headless Chromium: a local server on 127.0.0.1 for the built
page, one browser for every check, and the bytes crossing to the page.

Runs under Debian's /usr/bin/python3, whose selenium drives Debian's chromium
through chromium-driver."""

import base64
import contextlib
import functools
import http.server
import shutil
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def served(site):
    handler = functools.partial(QuietHandler, directory=str(site))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d/index.html" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def browser():
    profile = tempfile.mkdtemp(prefix="orvik-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--user-data-dir=" + profile, "--window-size=1400,900"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_script_timeout(120)
    try:
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def open_page(driver, url):
    driver.get(url)
    driver.execute_async_script("const done = arguments[0]; window.orvikReady.then(() => done(true));")


def run_session(driver, script_bytes, files):
    """The transcript, exit status and error line of a session run on the page."""
    encoded = {name: base64.b64encode(data).decode() for name, data in files.items()}
    return driver.execute_async_script(
        """
        const [script, files, done] = arguments;
        const bytes = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
        const named = {};
        for (const [name, data] of Object.entries(files)) named[name] = bytes(data);
        window.orvikSession(bytes(script), named).then(
            (transcript) => done({transcript, status: window.orvikLastSession.status,
                                  error: window.orvikLastSession.error}),
            (error) => done({transcript: '', status: -1, error: String(error)}));
        """,
        base64.b64encode(script_bytes).decode(), encoded)
