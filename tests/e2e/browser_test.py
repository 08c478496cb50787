#!/usr/bin/env python3
"""browser_test.py BUILD-DIR SOURCE-DIR (CTest browser_tests, in the Wine session):
the pages as Chromium shows them after the add-in's run on all pages of the sample
web, once per case of CASES, and after reliability_tests' run over its hostile
pages (top 10, left 4, Internet Explorer). A margin switched off must be gone:
the browser's default comes back, not the page's old value."""

import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

BUILD, SOURCE = Path(sys.argv[1]), Path(sys.argv[2])
sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, str(SOURCE / "tools" / "browser"))
from render import DEFAULT_MARGIN, Browser, find_browser, is_server_page, pages_of  # noqa: E402

# What, top, left (empty: switched off), compatibility (0 both, 1 IE, 2 Netscape).
CASES = [
    ("both families, top 10, left 5", "10", "5", 0),
    ("Internet Explorer only, top 20, left off", "20", "", 1),
    ("Netscape only, top off, left 7", "", "7", 2),
]
FRAMESETS = {"frames.htm"}
HOSTILE_MARGINS = (10.0, 4.0, 10.0, 4.0)
failures = []


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wine(program, *arguments, env=None):
    done = subprocess.run([BUILD / "wine-run.sh", program, *arguments], capture_output=True, text=True, env=env)
    if done.returncode:
        sys.exit(f"{Path(program).name} failed ({done.returncode}):\n{done.stdout}{done.stderr}")


def expect(page, rendered, margins, outcome):
    shown = f"{rendered.element or 'no body'} {rendered.margins}" if rendered.loaded else "not loaded in time"
    print(f"  {page}: {outcome or shown}")
    if not outcome and (rendered.element, rendered.margins) != ("BODY", margins):
        failures.append(f"{page}: the browser shows {shown} (margin attributes {rendered.attributes}), not {margins}")


def sample_web(browser, top, left, platform):
    with tempfile.TemporaryDirectory(prefix="tavisk-browser-web-") as scratch:
        web = Path(scratch) / "web"
        shutil.copytree(SOURCE / "samples" / "web", web)
        simhost = BUILD / "simhost" / "win32" / "simhost.exe"
        wine(BUILD / "tests/walkthrough/walkthrough.exe", "--all-pages", windows_path(simhost), windows_path(web), top, left, str(platform))
        pages = [p for p in pages_of(web) if not is_server_page(web / p)]
        shown = browser.measure(web, pages)
        margins = tuple(float(m) if m else DEFAULT_MARGIN for m in (top, left, top, left))
        for page in pages:
            frameset = page in FRAMESETS and shown[page].element == "FRAMESET"
            expect(page, shown[page], margins, "a frameset, as it should be" if frameset else "")


def hostile_pages(browser):
    with tempfile.TemporaryDirectory(prefix="tavisk-browser-hostile-") as kept:
        env = dict(os.environ, TAVISK_KEEP_HOSTILE_PAGES=windows_path(kept))
        only = "--gtest_filter=HostilePageTest.TheRunKeepsThePageEditorsPromisesOnEveryPage"
        wine(BUILD / "tests" / "reliability" / "reliability_tests.exe", only, env=env)
        pages = sorted(p.name for p in Path(kept, "before").iterdir())
        shown = browser.measure(kept, [f"{state}/{p}" for state in ("before", "after") for p in pages])
        for page in pages:
            before, after, outcome = shown[f"before/{page}"], shown[f"after/{page}"], ""
            if Path(kept, "before", page).read_bytes() == Path(kept, "after", page).read_bytes():
                outcome = "refused by the run, left as it was"
            elif is_server_page(Path(kept, "before", page)):
                outcome = f"server code, for a server to run (the file alone: {after.element} {after.margins})"
            elif after.element == "FRAMESET":
                outcome = f"a frameset in the browser (before: {before.element or 'no body'} {before.margins})"
            expect(page, after, HOSTILE_MARGINS, outcome)


def main():
    if not find_browser():
        sys.exit("no browser engine: install Debian's chromium-headless-shell (bash tools/setup.sh)")
    browser = Browser(find_browser())
    print(browser.version())
    dll = windows_path(BUILD / "addin" / "tavisk2002.dll")
    wine("regsvr32.exe", "/s", dll)
    try:
        for what, top, left, platform in CASES:
            print(f"The sample web after the run on all pages, {what}:")
            sample_web(browser, top, left, platform)
    finally:
        wine("regsvr32.exe", "/u", "/s", dll)
    print(f"The hostile pages after their run, top {HOSTILE_MARGINS[0]:g}, left {HOSTILE_MARGINS[3]:g}:")
    hostile_pages(browser)
    print("".join(f"FAILED {failure}\n" for failure in failures), end="")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
