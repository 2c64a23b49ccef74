#!/usr/bin/env python3
"""Drives the live view's page in headless Chromium through the DevTools protocol.

usage: drive_view.py CHROMIUM URL X Y OUT.png

Opens URL, waits for the phone's screen image, clicks the page at the
phone's screen point X,Y (press and release of the left button, as a person
would), waits for the page to have fetched the screen again, and writes the
screen image as the page shows it (drawn into a canvas) to OUT.png. Exit 0 on
success; a message on standard error and exit 1 otherwise.
"""
import base64
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request

DEADLINE = 60.0


class WebSocket:
    """The smallest client the DevTools protocol needs: text frames only."""

    def __init__(self, url):
        m = re.match(r"ws://([^:/]+):(\d+)(/.*)", url)
        self.sock = socket.create_connection((m.group(1), int(m.group(2))), timeout=DEADLINE)
        key = base64.b64encode(os.urandom(16)).decode()
        request = (f"GET {m.group(3)} HTTP/1.1\r\nHost: {m.group(1)}:{m.group(2)}\r\nUpgrade: websocket\r\n"
                   f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n")
        self.sock.sendall(request.encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(1)
            if not chunk:
                raise RuntimeError("the browser closed the DevTools connection")
            head += chunk
        if b" 101 " not in head.split(b"\r\n")[0]:
            raise RuntimeError("no WebSocket upgrade: " + head.decode(errors="replace"))
        self.next_id = 1

    def _read(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise RuntimeError("the browser closed the DevTools connection")
            data += chunk
        return data

    def send(self, text):
        payload = text.encode()
        header = bytes([0x81])
        n = len(payload)
        if n < 126:
            header += bytes([0x80 | n])
        elif n < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", n)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", n)
        mask = os.urandom(4)
        self.sock.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))

    def receive(self):
        message = b""
        while True:
            b0, b1 = self._read(2)
            n = b1 & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._read(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._read(8))[0]
            data = self._read(n)
            if (b0 & 0x0F) == 0x8:
                raise RuntimeError("the browser closed the DevTools connection")
            if (b0 & 0x0F) in (0x9, 0xA):
                continue
            message += data
            if b0 & 0x80:
                return message.decode()

    def call(self, method, **params):
        ident = self.next_id
        self.next_id += 1
        self.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            answer = json.loads(self.receive())
            if answer.get("id") == ident:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer.get("result", {})


def evaluate(ws, expression):
    result = ws.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
    if "exceptionDetails" in result:
        raise RuntimeError(f"page script failed: {result['exceptionDetails']}")
    return result["result"].get("value")


def wait_for(check, what):
    end = time.time() + DEADLINE
    while time.time() < end:
        value = check()
        if value:
            return value
        time.sleep(0.1)
    raise RuntimeError("timed out waiting for " + what)


def main():
    if len(sys.argv) != 6:
        print(__doc__, file=sys.stderr)
        return 2
    chromium, url, x, y, out = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
    profile = tempfile.mkdtemp(prefix="tlw-chromium-")
    browser = subprocess.Popen(
        [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-dev-shm-usage", "--user-data-dir=" + profile, "--remote-debugging-port=0",
         "--window-size=900,800", url],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    try:
        port = None
        end = time.time() + DEADLINE
        while port is None and time.time() < end:
            line = browser.stderr.readline()
            if not line and browser.poll() is not None:
                raise RuntimeError("the browser ended before it listened")
            m = re.search(r"DevTools listening on ws://[^:]+:(\d+)/", line)
            if m:
                port = int(m.group(1))
        if port is None:
            raise RuntimeError("the browser did not say where it listens")

        def page_target():
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=10) as r:
                for target in json.load(r):
                    if target.get("type") == "page" and target.get("url", "").startswith(url):
                        return target.get("webSocketDebuggerUrl")
            return None

        ws = WebSocket(wait_for(page_target, "the page"))
        wait_for(lambda: evaluate(ws, "(() => { const s = document.getElementById('screen');"
                                           " return !!s && s.naturalWidth > 0; })()"), "the screen image")
        box = evaluate(ws, """(() => { const s = document.getElementById('screen');
            const r = s.getBoundingClientRect();
            return {left: r.left, top: r.top, width: r.width, height: r.height,
                    w: s.naturalWidth, h: s.naturalHeight}; })()""")
        cx = box["left"] + (x + 0.5) * box["width"] / box["w"]
        cy = box["top"] + (y + 0.5) * box["height"] / box["h"]
        for kind in ("mousePressed", "mouseReleased"):
            ws.call("Input.dispatchMouseEvent", type=kind, x=cx, y=cy, button="left", clickCount=1)
        # The page fetches the screen again after each request it makes.
        evaluate(ws, "new Promise(done => setTimeout(done, 1500))")
        data_url = evaluate(ws, """(() => { const s = document.getElementById('screen');
            const c = document.createElement('canvas'); c.width = s.naturalWidth; c.height = s.naturalHeight;
            c.getContext('2d').drawImage(s, 0, 0); return c.toDataURL('image/png'); })()""")
        with open(out, "wb") as f:
            f.write(base64.b64decode(data_url.split(",", 1)[1]))
        return 0
    finally:
        browser.terminate()
        try:
            browser.wait(timeout=10)
        except subprocess.TimeoutExpired:
            browser.kill()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Exception as error:  # reported to the test, which shows it
        print(f"drive_view: {error}", file=sys.stderr)
        sys.exit(1)
