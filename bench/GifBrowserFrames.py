#!/usr/bin/env python3
"""Writes frames of a real browser rendering GifBrowserPage.html as 000.png, 001.png, ... for the
GIF comparison in scripts/bench. Chromium runs headless and is driven over its DevTools pipe: for
every frame all animations of the page are paused at that frame's time and a screenshot is taken,
so two runs give the same frames however loaded the machine is. The browser's own rendering is the
point: its gradients are dithered and its text anti-aliased the way recordings of web pages are.

Usage: GifBrowserFrames.py OUTDIR [COUNT] [FPS]   (COUNT defaults to 100, FPS to 20)
"""
import base64
import fcntl
import json
import os
import pathlib
import subprocess
import sys

WIDTH, HEIGHT = 800, 500
PAGE = pathlib.Path(__file__).resolve().with_name("GifBrowserPage.html")


class DevTools:
    """The DevTools protocol over --remote-debugging-pipe: JSON messages ended by a NUL byte,
    read by the browser from descriptor 3, written by it to descriptor 4."""

    def __init__(self, browser):
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()

        def wire_descriptors():
            # Copied above 4 first, so that placing one cannot close the other.
            high_read = fcntl.fcntl(to_browser_read, fcntl.F_DUPFD, 10)
            high_write = fcntl.fcntl(from_browser_write, fcntl.F_DUPFD, 10)
            os.dup2(high_read, 3)
            os.dup2(high_write, 4)

        self.process = subprocess.Popen(
            [browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--mute-audio",
             "--no-first-run", "--remote-debugging-pipe", f"--window-size={WIDTH},{HEIGHT}", "about:blank"],
            pass_fds=(3, 4), preexec_fn=wire_descriptors, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.from_browser, 1 << 20)
                if not chunk:
                    sys.exit(f"chromium closed its DevTools pipe during {method}")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            reply = json.loads(raw)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    sys.exit(f"chromium refused {method}: {reply['error']}")
                return reply["result"]

    def close(self):
        try:
            self.call("Browser.close")
        finally:
            self.process.wait(timeout=30)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out_dir = pathlib.Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    fps = float(sys.argv[3]) if len(sys.argv) > 3 else 20.0
    out_dir.mkdir(parents=True, exist_ok=True)
    tools = DevTools(os.environ.get("CHROMIUM", "chromium"))
    try:
        page = next(t for t in tools.call("Target.getTargets")["targetInfos"] if t["type"] == "page")
        session = tools.call("Target.attachToTarget", {"targetId": page["targetId"], "flatten": True})["sessionId"]
        tools.call("Emulation.setDeviceMetricsOverride",
                   {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1, "mobile": False}, session)
        tools.call("Page.enable", {}, session)
        tools.call("Page.navigate", {"url": PAGE.as_uri()}, session)
        tools.call("Runtime.evaluate", {"expression": "new Promise(r => document.readyState === 'complete' ? r() :"
                                                      " addEventListener('load', () => r()))",
                                        "awaitPromise": True}, session)
        for index in range(count):
            milliseconds = index * 1000.0 / fps
            # Two animation frames make sure the paused state has been painted before the shot.
            tools.call("Runtime.evaluate", {
                "expression": "document.getAnimations().forEach(a => { a.pause(); a.currentTime = %f; });"
                              "new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))" % milliseconds,
                "awaitPromise": True}, session)
            shot = tools.call("Page.captureScreenshot", {"format": "png"}, session)
            (out_dir / f"{index:03d}.png").write_bytes(base64.b64decode(shot["data"]))
    finally:
        tools.close()


if __name__ == "__main__":
    main()
