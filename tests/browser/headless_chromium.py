# SPDX-License-Identifier: GPL-3.0-or-later
"""Debian's Chromium without a display, driven through its DevTools protocol over a pipe: no port, no network,
no browser download. Used by the preview's browser tests and by scripts/bench.

    with HeadlessChromium() as browser:
        browser.open("file:///tmp/preview/index.html")
        title = browser.evaluate("document.title")
"""
import base64
import json
import os
import shutil
import subprocess
import tempfile
import time

CHROMIUM = "/usr/bin/chromium"

# As root in a container: no sandbox, no GPU; and nothing that reaches for the network on its own.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-default-apps", "--disable-extensions", "--mute-audio", "--hide-scrollbars",
         "--remote-debugging-pipe"]


class BrowserError(Exception):
    pass


class HeadlessChromium:
    def __init__(self, width=1280, height=900, timeout=60):
        if not os.access(CHROMIUM, os.X_OK):
            raise BrowserError("%s is missing: scripts/install-deps installs Debian's chromium" % CHROMIUM)
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="preview-chromium-")
        # Chromium reads commands from descriptor 3 and writes answers and events to descriptor 4.
        commands_read, self.commands = os.pipe()
        self.answers, answers_write = os.pipe()

        def descriptors():
            # Out of the way first, so that neither lands on the other's place; dup2 onto the same number
            # would keep the close-on-exec flag.
            read, write = os.dup(commands_read), os.dup(answers_write)
            os.dup2(read, 3)
            os.dup2(write, 4)

        self.process = subprocess.Popen(
            [CHROMIUM, *FLAGS, "--user-data-dir=" + self.profile, "--window-size=%d,%d" % (width, height),
             "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False, preexec_fn=descriptors)
        os.close(commands_read)
        os.close(answers_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.session = None
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Network"):
            self.call(domain + ".enable")

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def close(self):
        if self.process.poll() is None:
            try:
                self.call("Browser.close", session=False)
            except (BrowserError, OSError):
                pass
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        for descriptor in (self.commands, self.answers):
            try:
                os.close(descriptor)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)

    def _message(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise BrowserError("Chromium did not answer within %d s" % self.timeout)
            chunk = os.read(self.answers, 1 << 16)
            if not chunk:
                raise BrowserError("Chromium closed its pipe (exit %s)" % self.process.poll())
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=True):
        """Sends one command and returns its result; events that arrive meanwhile are kept."""
        self.next_id += 1
        command = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            command["sessionId"] = self.session
        os.write(self.commands, json.dumps(command).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        while True:
            message = self._message(deadline)
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise BrowserError("%s: %s" % (method, message["error"].get("message")))
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def wait_for(self, method):
        """The first kept or arriving event of that method, taken off the list."""
        deadline = time.monotonic() + self.timeout
        while True:
            for event in self.events:
                if event["method"] == method:
                    self.events.remove(event)
                    return event
            message = self._message(deadline)
            if "method" in message:
                self.events.append(message)

    def requested_urls(self):
        """Every URL the page asked for since the last call."""
        urls = [e["params"]["request"]["url"] for e in self.events if e["method"] == "Network.requestWillBeSent"]
        self.events = [e for e in self.events if e["method"] != "Network.requestWillBeSent"]
        return urls

    def open(self, url):
        """Loads a page and waits for its load event (scripts, images and deferred scripts done)."""
        self.events = [e for e in self.events if e["method"] != "Page.loadEventFired"]
        result = self.call("Page.navigate", {"url": url})
        if result.get("errorText"):
            raise BrowserError("cannot open %s: %s" % (url, result["errorText"]))
        self.wait_for("Page.loadEventFired")

    def evaluate(self, expression):
        """The value of a JavaScript expression in the page, awaited when it is a promise."""
        result = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True})
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise BrowserError("in the page: %s" % details.get("exception", {}).get("description",
                                                                                     details.get("text")))
        return result["result"].get("value")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))
