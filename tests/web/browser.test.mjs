// The page end to end in Debian's Firefox ESR (ENGINE=firefox), chromium
// (ENGINE=chromium) or WebKitGTK (ENGINE=webkit, on a display of its own:
// scripts/with-xvfb.sh), through the clients of browsers.mjs: the cases of
// cases.mjs, with the browser's own key and mouse input. Exits 77 (skipped)
// when the browser is not installed.
//
//   ENGINE=firefox node tests/web/browser.test.mjs   (PAGE_DIR: the page's test build,
//                                      build/web/page-test; FIREFOX or CHROMIUM: the browser)
import assert from "node:assert/strict";
import { join, resolve } from "node:path";
import { after, before, test } from "node:test";
import { isDeepStrictEqual } from "node:util";
import { launch, missing } from "./browsers.mjs";
import { cases, ready } from "./cases.mjs";
import { root, serve } from "./lib.mjs";

const engine = process.env.ENGINE ?? "firefox";
if (missing(engine)) {
  console.log(`SKIP: ${missing(engine)} is not installed (scripts/setup.sh test installs it)`);
  process.exit(77);
}

const pageDir = resolve(process.env.PAGE_DIR ?? join(root, "build/web/page-test"));
let server, browser, page;
const errors = [];

async function load() {
  await page?.close();
  page = await browser.newPage();
  // WebDriver classic tells nothing of the page's errors; the others do.
  page.on?.("pageerror", (error) => errors.push(String(error)));
  page.on?.("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  await page.goto(server.url);
  await page.waitForFunction(ready, { timeout: 20000 });
}

// Runs the step's function in the page until it gives the expected value.
async function settle({ run, arg, expect, within = 5000 }) {
  const end = Date.now() + within;
  for (;;) {
    const got = await page.evaluate(run, arg);
    if (isDeepStrictEqual(got, expect) || Date.now() > end) return assert.deepEqual(got, expect);
    await new Promise((done) => setTimeout(done, 50));
  }
}

async function press(chord) {
  const keys = chord.split("+");
  for (const key of keys.slice(0, -1)) await page.keyboard.down(key);
  await page.keyboard.press(keys.at(-1));
  for (const key of keys.slice(0, -1).reverse()) await page.keyboard.up(key);
}

before(async () => {
  server = await serve(pageDir);
  browser = await launch(engine);
});
after(async () => {
  await browser?.close();
  await server?.stop();
});

for (const { name, fresh, steps } of cases) {
  test(name, async () => {
    if (fresh || !page) await load();
    for (const step of steps) {
      if (step.focus) await page.focus(step.focus);
      if (step.press) await press(step.press);
      if (step.click) await page.click(step.click);
      if (step.run) await settle(step);
    }
  });
}

if (engine !== "webkit") {
  test("nothing went wrong in the page", () => {
    assert.deepEqual(errors, []);
  });
}
