#!/usr/bin/env python3
"""Fails when a test of a build tree carries none of the suite's labels: such a
test escapes every `ctest -L` selection, the fast inner loop's among them.

    scripts/check-labels.py CTEST BUILD_DIR
"""
import json
import subprocess
import sys

LABELS = {"unit", "window", "e2e", "soak", "bench", "package"}

ctest, build = sys.argv[1:3]
listing = subprocess.run([ctest, "--test-dir", build, "--show-only=json-v1"],
                         check=True, capture_output=True, text=True).stdout
tests = json.loads(listing)["tests"]
unlabelled = [
    test["name"] for test in tests
    if not LABELS & {label for prop in test.get("properties", []) if prop["name"] == "LABELS"
                     for label in prop["value"]}
]
for name in unlabelled:
    print(f"no label ({', '.join(sorted(LABELS))}): {name}")
print(f"labels: {len(tests) - len(unlabelled)} of {len(tests)} tests labelled")
sys.exit(1 if unlabelled or not tests else 0)
