// The page in headless chromium or Firefox ESR (puppeteer-core): passes per
// second of its loop, from one second after its first frame, the time from
// navigation to its first frame, and in chromium the weight of everything it
// loaded.
//
//   node bench/web_passes.mjs [PAGE_DIR] [SECONDS] [chromium|firefox]   (build/web/page, 3, chromium)
import { createRequire } from "node:module";
import { join } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";

const root = join(fileURLToPath(import.meta.url), "../..");
// The test clients live with the page's tests (tests/web/package-lock.json).
const local = (file) => import(createRequire(join(root, "tests/web/package.json")).resolve(file));
const { serve } = await local("./lib.mjs");
const { launch } = await local("./browsers.mjs");
const { loopCost, ready } = await local("./cases.mjs");

const pageDir = process.argv[2] ?? join(root, "build/web/page");
const seconds = Number(process.argv[3] ?? 3);
const engine = process.argv[4] ?? "chromium";
const executable = engine === "firefox"
  ? process.env.FIREFOX ?? "/usr/bin/firefox-esr" : process.env.CHROMIUM ?? "/usr/bin/chromium";
const server = await serve(pageDir);
const browser = await launch(engine, executable);
try {
  const page = await browser.newPage();
  // What the page loads: not the manifest and its icon, which the browser
  // fetches for itself, nor the service worker's copies of the files.
  const bodies = [];
  page.on("response", (r) => {
    if (engine === "chromium" && !["manifest", "other"].includes(r.request().resourceType())) {
      bodies.push(r.buffer().catch(() => Buffer.alloc(0)));
    }
  });
  await page.goto(server.url);
  await page.waitForFunction(ready, { timeout: 30000 });
  await new Promise((done) => setTimeout(done, 1000));
  const count = () => page.evaluate(() => [window.chainPage.passes, performance.now()]);
  const [p0, t0] = await count();
  await new Promise((done) => setTimeout(done, seconds * 1000));
  const [p1, t1] = await count();
  const firstFrame = await page.evaluate(() => window.chainPage.firstFrameMs);
  let weight = "";
  if (engine === "chromium") {
    const loaded = await Promise.all(bodies);
    const bytes = loaded.reduce((n, b) => n + b.length, 0);
    const gzipped = loaded.reduce((n, b) => n + gzipSync(b, { level: 9 }).length, 0);
    weight = `, ${loaded.length} files ${bytes} bytes (${gzipped} gzipped)`;
  }
  const [passUs, tasks] = await page.evaluate(loopCost);
  console.log(`${engine}: ${Math.round(((p1 - p0) * 1000) / (t1 - t0))} passes/s, ` +
    `first frame ${firstFrame.toFixed(0)} ms after navigation; a pass alone ${passUs.toFixed(1)} µs, ` +
    `${tasks} empty tasks/s${weight}`);
} finally {
  await browser.close();
  await server.stop();
}
