#!/usr/bin/python3
"""The page in WebKitGTK's MiniBrowser on a private Xvfb (WebKitWebDriver and
selenium, as tests/web/webkit_test.py drives it): passes per second of its
loop, from one second after its first frame, and the time from navigation to
its first frame.

    /usr/bin/python3 bench/web_passes_webkit.py [PAGE_DIR] [SECONDS]   (build/web/page, 3)
"""
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests/web"))
from webkit_test import opened, run, table  # noqa: E402

folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/web/page")
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 3
count = "return [window.chainPage.passes, performance.now(), window.chainPage.firstFrameMs]"
with opened(os.path.abspath(folder)) as page:
    time.sleep(1)
    p0, t0, _ = page.execute_script(count)
    time.sleep(seconds)
    p1, t1, first = page.execute_script(count)
    pass_us, tasks = run(page, table()["loopCost"])
print(f"webkit: {round((p1 - p0) * 1000 / (t1 - t0))} passes/s, "
      f"first frame {first:.0f} ms after navigation; a pass alone {pass_us:.1f} µs, "
      f"{tasks} empty tasks/s")
