#!/usr/bin/env python3
"""Pages as a browser shows them: Chromium's headless engine loads a web's pages
from disk and reports each body's computed margins, or draws pages side by side.

    render.py walkthrough ROOT PICTURES STATE=LABEL...

prints, for every page of the web copies ROOT/STATE (in the order given), the
body's top and left margins in each and the margin attributes it ignores, and saves side-by-side pictures of the pages
whose margins changed in every step into PICTURES. Without a browser it says so
and does nothing else (exit status 0).
"""

import json
import os
import re
import selectors
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse
from dataclasses import dataclass, field
from pathlib import Path

HARNESS = Path(__file__).with_name("harness.htm")
# Debian's packages, the headless engine alone first.
BROWSERS = ("chromium-headless-shell", "chromium")
# Nothing reaches the network: the machine may have none, and a page's reference to
# another site must fail at once rather than hold its load. The sandbox is off
# because it cannot start as root, where CI runs; the pages are the user's own
# files, and their frames run no script.
FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--hide-scrollbars",
    "--allow-file-access-from-files",
    "--host-resolver-rules=MAP * ~NOTFOUND",
]
PAGE_EXTENSIONS = {".htm", ".html", ".asp"}
# Chromium's user agent style sheet gives BODY this margin on every side.
DEFAULT_MARGIN = 8.0


@dataclass
class Rendered:
    """What the browser made of one page."""

    page: str
    loaded: bool  # false: not loaded within the time limit
    element: str = ""  # document.body's tag: "BODY", "FRAMESET", or "" for none
    margins: tuple = ()  # computed, in px: top, right, bottom, left
    attributes: dict = field(default_factory=dict)  # the four margin attributes the body holds

    def top_left(self):
        return f"{self.margins[0]:g}/{self.margins[3]:g}"

    def unheeded(self):
        """The body's margin attributes whose number the browser's margin does not
        show: a style sheet that sets the body's margin wins over them, and a value
        that starts with no digit counts for nothing."""
        side = {"topmargin": 0, "marginheight": 0, "leftmargin": 3, "marginwidth": 3}
        number = re.compile(r"\s*(\d+)")
        return [
            f'{name}="{value}"'
            for name, value in self.attributes.items()
            if not (found := number.match(value)) or float(found.group(1)) != self.margins[side[name]]
        ]


def find_browser():
    for name in BROWSERS:
        found = shutil.which(name)
        if found:
            return found
    return None


def is_page(path):
    return Path(path).suffix.lower() in PAGE_EXTENSIONS


def is_server_page(path):
    """Whether only a web server can turn the page into what a browser shows: an
    ASP page, or any page holding server code, which the stand-in host's editor
    keeps whole wherever it stands, as the server will run it."""
    return Path(path).suffix.lower() == ".asp" or b"<%" in Path(path).read_bytes()


def pages_of(folder):
    """The web's pages, by their paths relative to the folder, in name order; the
    editor's metadata folders (_vti_cnf, _vti_pvt, ...) are no part of the web."""
    return sorted(
        p.relative_to(folder).as_posix()
        for p in Path(folder).rglob("*")
        if p.is_file() and is_page(p) and not any(part.lower().startswith("_vti_") for part in p.relative_to(folder).parts)
    )


class Browser:
    def __init__(self, executable):
        self.executable = executable

    def version(self):
        done = subprocess.run([self.executable, "--version"], capture_output=True, text=True, check=False)
        return done.stdout.strip() or Path(self.executable).name

    def measure(self, folder, pages, limit=10.0):
        """Each page's Rendered, by page (paths relative to folder). A page gets
        `limit` seconds to load; one that never finishes cannot hold the others."""
        order = ["measure", str(int(limit * 1000))] + list(pages)
        found = {}
        deadline = time.monotonic() + 30 + limit * len(pages)
        with _Harness(folder, order) as url, _Session(self.executable, [url]) as session:
            for line in session.lines(deadline):
                _, marker, message = line.partition("tavisk-harness ")
                if not marker:
                    continue
                message = message.split('"', 1)[0]
                if message == "done":
                    break
                result = json.loads(urllib.parse.unquote(message))
                found[result["page"]] = Rendered(
                    result["page"],
                    result["loaded"],
                    result.get("element", ""),
                    tuple(result.get("margins", ())),
                    result.get("attributes", {}),
                )
        missing = [p for p in pages if p not in found]
        if missing:
            raise RuntimeError(f"the browser gave no result for {', '.join(missing)} in time")
        return found

    def compare(self, folder, views, picture, size=(360, 240), limit=30.0):
        """Saves a picture of the pages side by side, each view a (page, caption);
        whether the browser drew it in time."""
        width, height = size
        order = ["compare", str(width), str(height)] + [f"{page}={caption}" for page, caption in views]
        window = f"--window-size={len(views) * (width + 18)},{height + 50}"
        Path(picture).unlink(missing_ok=True)
        with _Harness(folder, order) as url, _Session(
            self.executable, [f"--screenshot={picture}", window, url]
        ) as session:
            session.wait(time.monotonic() + limit)
        return Path(picture).is_file()


class _Harness:
    """The harness page, copied into the folder for as long as it is used."""

    def __init__(self, folder, order):
        self.path = Path(folder).resolve() / ".tavisk-harness.htm"
        self.order = order

    def __enter__(self):
        shutil.copyfile(HARNESS, self.path)
        return self.path.as_uri() + "#" + "|".join(urllib.parse.quote(part, safe="") for part in self.order)

    def __exit__(self, *_):
        self.path.unlink(missing_ok=True)


class _Session:
    """One browser process group with a profile of its own, ended with the object."""

    def __init__(self, executable, arguments):
        self.executable = executable
        self.arguments = arguments

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="tavisk-browser-")
        self.process = subprocess.Popen(
            [self.executable, *FLAGS, f"--user-data-dir={self.profile}", "--enable-logging=stderr", *self.arguments],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.PIPE,
            start_new_session=True,
        )
        return self

    def lines(self, deadline):
        """The browser's log lines (console messages among them) until the deadline
        or the end of its main process."""
        pending = b""
        with selectors.DefaultSelector() as watch:
            watch.register(self.process.stderr, selectors.EVENT_READ)
            while time.monotonic() < deadline:
                # Its helpers may hold the log open after the main process has ended.
                if not watch.select(timeout=min(0.5, max(0.0, deadline - time.monotonic()))):
                    if self.process.poll() is not None:
                        return
                    continue
                chunk = os.read(self.process.stderr.fileno(), 65536)
                if not chunk:
                    return
                pending += chunk
                *complete, pending = pending.split(b"\n")
                for line in complete:
                    yield line.decode("utf-8", "replace")

    def wait(self, deadline):
        for _ in self.lines(deadline):
            pass

    def __exit__(self, *_):
        # The browser's helpers (zygote, renderers) outlive its main process unless
        # the whole group goes.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.process.pid, sig)
            except ProcessLookupError:
                break
            try:
                self.process.wait(timeout=5)
                break
            except subprocess.TimeoutExpired:
                continue
        self.process.stderr.close()
        shutil.rmtree(self.profile, ignore_errors=True)


def describe(states, labels):
    """One line of the walkthrough's table: the page's margins in each state
    (None: a server page, not shown)."""
    first = states[0]
    if first is None:
        return "a server page: it needs a web server to run before a browser can show it"
    if any(not s.loaded for s in states):
        return "did not load within the time limit"
    if first.element == "FRAMESET":
        return "a frameset: the browser shows the pages of its frames, and margins on it do nothing"
    if any(s.element != "BODY" for s in states):
        return "has no body in the browser: " + ", ".join(s.element or "none" for s in states)
    line = "margins " + " \u2192 ".join(s.top_left() for s in states) + " px (top/left)"
    for state, label in zip(states, labels):
        if state.unheeded():
            line += f"; {label}, the browser ignores {' '.join(state.unheeded())}"
    return line


def walkthrough(root, pictures, states):
    executable = find_browser()
    if not executable:
        print(
            "render: no browser engine is installed (Debian's chromium-headless-shell, which tools/setup.sh "
            "installs): the pages are not shown as a browser shows them, and no pictures are made"
        )
        return 0
    browser = Browser(executable)
    folders = [s.partition("=")[0] for s in states]
    labels = [s.partition("=")[2] or s for s in states]
    pages = pages_of(Path(root) / folders[0])
    static = [p for p in pages if not is_server_page(Path(root) / folders[0] / p)]
    shown = browser.measure(root, [f"{f}/{p}" for f in folders for p in static])
    print()
    print(f"Each page as {browser.version()} shows it: the body's margins {', '.join(labels)}")
    width = max(len(p) for p in pages) + 2
    changed = []
    for page in pages:
        rendered = [shown.get(f"{f}/{page}") for f in folders]
        line = describe(rendered, labels)
        print(f"{page:<{width}}{line}")
        steps = zip(rendered, rendered[1:])
        if line.startswith("margins") and all(a.margins[::3] != b.margins[::3] for a, b in steps):
            changed.append((page, rendered))
    Path(pictures).mkdir(parents=True, exist_ok=True)
    saved = []
    # A few pages, those that changed at every step, show the change best.
    for page, rendered in changed[:4]:
        picture = Path(pictures) / ("render-" + Path(page).with_suffix("").as_posix().replace("/", "-") + ".png")
        views = [(f"{f}/{page}", f"{page} {label}: margins {r.top_left()} px") for f, label, r in zip(folders, labels, rendered)]
        if browser.compare(root, views, picture):
            saved.append(picture.name)
        else:
            print(f"render: the browser drew no picture of {page} in time")
    if saved:
        print()
        print(f"Pictures of pages before and after, their margins shaded, in {pictures}:")
        for name in saved:
            print(f"  {name}")
    return 0


def main(argv):
    if len(argv) < 5 or argv[1] != "walkthrough":
        print(__doc__.strip(), file=sys.stderr)
        return 2
    return walkthrough(argv[2], argv[3], argv[4:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
