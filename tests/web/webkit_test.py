#!/usr/bin/python3
"""The page end to end in WebKitGTK: Debian's MiniBrowser driven by
WebKitWebDriver through selenium, walking the cases of cases.mjs with the
driver's own key and mouse input. It has no headless mode: run it on a display
of its own. Exits 77 (skipped) when WebKitWebDriver or the MiniBrowser is not
installed.

    scripts/with-xvfb.sh /usr/bin/python3 tests/web/webkit_test.py   (PAGE_DIR: the
        page's test build, build/web/page-test; NODE: node, which serves the page)
"""
import contextlib
import glob
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
NODE = os.environ.get("NODE", "node")
DRIVER = shutil.which("WebKitWebDriver")
BROWSER = next(iter(sorted(glob.glob("/usr/lib/*/webkit2gtk-4.*/MiniBrowser"))), None)


@contextlib.contextmanager
def started(command, **options):
    """A process of ours, ended when we are done with it."""
    process = subprocess.Popen(command, **options)
    try:
        yield process
    finally:
        process.terminate()
        process.wait()


@contextlib.contextmanager
def webkit():
    """A MiniBrowser session through a WebKitWebDriver of our own on a free port."""
    from selenium import webdriver  # python3-selenium (scripts/setup.sh test installs it)
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    with started([DRIVER, f"--port={port}"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL):
        for _ in range(100):
            with contextlib.suppress(OSError), socket.create_connection(("127.0.0.1", port)):
                break
            time.sleep(0.1)
        options = webdriver.WebKitGTKOptions()
        options.binary_location = BROWSER
        options.add_argument("--automation")
        session = webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options)
        try:
            session.set_window_size(800, 800)
            yield session
        finally:
            session.quit()


def settle(session, run, expect, arg=None, within=5000):
    """Runs the page function `run` until it gives `expect`; its promise is awaited."""
    end = time.monotonic() + within / 1000
    while True:
        got = session.execute_async_script(
            "const done = arguments[1];"
            f"Promise.resolve(({run})(arguments[0])).then(done, (e) => done({{ thrown: String(e) }}));",
            arg)
        if got == expect:
            return
        if time.monotonic() > end:
            raise AssertionError(f"expected {json.dumps(expect)}, got {json.dumps(got)}")
        time.sleep(0.05)


def press(session, chord):
    """Keys as cases.mjs names them ("Shift+Tab"), held down in turn, then let go."""
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    names = {"Tab": Keys.TAB, "Shift": Keys.SHIFT, "Alt": Keys.ALT, "Home": Keys.HOME,
             "End": Keys.END, "PageDown": Keys.PAGE_DOWN, "ArrowLeft": Keys.ARROW_LEFT,
             "ArrowRight": Keys.ARROW_RIGHT, "ArrowDown": Keys.ARROW_DOWN}
    *held, key = [names.get(name, name) for name in chord.split("+")]
    actions = ActionChains(session)
    for name in held:
        actions.key_down(name)
    actions.send_keys(key)
    for name in reversed(held):
        actions.key_up(name)
    actions.perform()


def main():
    if not DRIVER or not BROWSER:
        print("SKIP: WebKitWebDriver or the MiniBrowser is not installed "
              "(webkit2gtk-driver; scripts/setup.sh test installs it)")
        return 77
    from selenium.webdriver.common.by import By
    folder = os.path.abspath(os.environ.get("PAGE_DIR", os.path.join(ROOT, "build/web/page-test")))
    table = json.loads(subprocess.run([NODE, os.path.join(HERE, "cases.mjs")], check=True,
                                      capture_output=True, text=True).stdout)
    failed = 0
    with started([NODE, os.path.join(ROOT, "web/serve.mjs"), folder, "0"],
                 stdout=subprocess.PIPE, text=True) as server, webkit() as session:
        url = server.stdout.readline().strip()
        print(f"# {session.capabilities['browserName']} {session.capabilities['browserVersion']}")
        for number, case in enumerate(table["cases"], 1):
            try:
                if case.get("fresh") or number == 1:
                    session.get(url)
                    settle(session, table["ready"], True, within=20000)
                for step in case["steps"]:
                    if "focus" in step:
                        settle(session, "(s) => document.querySelector(s).focus()", None, step["focus"])
                    if "press" in step:
                        press(session, step["press"])
                    if "click" in step:
                        session.find_element(By.CSS_SELECTOR, step["click"]).click()
                    if "run" in step:
                        settle(session, step["run"], step["expect"], step.get("arg"),
                               step.get("within", 5000))
                print(f"ok {number} - {case['name']}", flush=True)
            except Exception as error:  # every case runs; each failure is told
                failed += 1
                print(f"not ok {number} - {case['name']}: {error}", flush=True)
    print(f"{len(table['cases']) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # so that the servers are stopped
    sys.exit(main())
