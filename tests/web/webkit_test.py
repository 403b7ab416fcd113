#!/usr/bin/python3
"""The page end to end in WebKitGTK: Debian's MiniBrowser driven by
WebKitWebDriver through selenium, walking the cases of cases.mjs with the
driver's own key and mouse input. It has no headless mode: run it on a
display of its own. Exits 77 (skipped) when WebKitWebDriver or the
MiniBrowser is not installed.

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
def served(folder):
    """web/serve.mjs on 127.0.0.1, a free port; gives its address."""
    server = subprocess.Popen([NODE, os.path.join(ROOT, "web/serve.mjs"), folder, "0"],
                              stdout=subprocess.PIPE, text=True)
    try:
        url = server.stdout.readline().strip()
        if not url:
            raise RuntimeError("the page's server did not start")
        yield url
    finally:
        server.terminate()
        server.wait()


@contextlib.contextmanager
def webkit():
    """A MiniBrowser session through a WebKitWebDriver of our own on a free port."""
    from selenium import webdriver  # python3-selenium (scripts/setup.sh test installs it)
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    driver = subprocess.Popen([DRIVER, f"--port={port}"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session = None
    try:
        for _ in range(100):
            with contextlib.suppress(OSError), socket.create_connection(("127.0.0.1", port)):
                break
            time.sleep(0.1)
        options = webdriver.WebKitGTKOptions()
        options.binary_location = BROWSER
        options.add_argument("--automation")
        session = webdriver.Remote(command_executor=f"http://127.0.0.1:{port}", options=options)
        session.set_window_size(800, 800)
        yield session
    finally:
        if session:
            session.quit()
        driver.terminate()
        driver.wait()


def run(session, source, *args):
    """The page function `source` applied to args, its promise awaited."""
    return session.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        f"Promise.resolve(({source})(...[...arguments].slice(0, -1)))"
        ".then(done, (e) => done({ thrown: String(e) }));", *args)


def load(session, url, ready):
    session.get(url)
    settle(session, {"run": ready, "expect": True, "within": 20000})


def settle(session, step):
    """Runs the step's function in the page until it gives the expected value."""
    end = time.monotonic() + step.get("within", 5000) / 1000
    args = [step["arg"]] if "arg" in step else []
    while True:
        got = run(session, step["run"], *args)
        if got == step["expect"]:
            return
        if time.monotonic() > end:
            raise AssertionError(f"expected {json.dumps(step['expect'])}, got {json.dumps(got)}")
        time.sleep(0.05)


def table():
    out = subprocess.run([NODE, os.path.join(HERE, "cases.mjs")], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)


def press(session, chord):
    """Keys as cases.mjs names them ("Shift+Tab"), held down in turn, then let go."""
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    names = {"Tab": Keys.TAB, "Shift": Keys.SHIFT, "Alt": Keys.ALT, "Home": Keys.HOME,
             "End": Keys.END, "PageDown": Keys.PAGE_DOWN, "PageUp": Keys.PAGE_UP,
             "ArrowLeft": Keys.ARROW_LEFT, "ArrowRight": Keys.ARROW_RIGHT,
             "ArrowUp": Keys.ARROW_UP, "ArrowDown": Keys.ARROW_DOWN}
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
    data = table()
    passed = failed = 0
    with served(folder) as url, webkit() as session:
        print(f"# {session.capabilities['browserName']} {session.capabilities['browserVersion']}")
        for number, case in enumerate(data["cases"], 1):
            try:
                if case.get("fresh") or number == 1:
                    load(session, url, data["ready"])
                for step in case["steps"]:
                    if "focus" in step:
                        run(session, "(s) => document.querySelector(s).focus()", step["focus"])
                    if "press" in step:
                        press(session, step["press"])
                    if "click" in step:
                        session.find_element(By.CSS_SELECTOR, step["click"]).click()
                    if "run" in step:
                        settle(session, step)
                passed += 1
                print(f"ok {number} - {case['name']}", flush=True)
            except Exception as error:  # every case runs; each failure is told
                failed += 1
                print(f"not ok {number} - {case['name']}: {error}", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # so that the servers are stopped
    sys.exit(main())
