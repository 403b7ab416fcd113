// The page in headless chromium: passes per second of its loop, the time from
// navigation to its first frame, and the weight of everything it loaded.
//
//   node bench/web_passes.mjs [PAGE_DIR] [SECONDS]   (build/web/page, 3)
import { createRequire } from "node:module";
import { join } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";

const root = join(fileURLToPath(import.meta.url), "../..");
// The test client lives with the page's tests (tests/web/package-lock.json).
const { launch, open, serve } = await import(
  createRequire(join(root, "tests/web/package.json")).resolve("./lib.mjs"));

const pageDir = process.argv[2] ?? join(root, "build/web/page");
const seconds = Number(process.argv[3] ?? 3);
const server = await serve(pageDir);
const browser = await launch();
try {
  const bodies = [];
  const context = await browser.newContext();
  // What the page loads, not the service worker's copies of the same files.
  context.on("response", async (r) => {
    if (!r.request().serviceWorker()) bodies.push(await r.body().catch(() => Buffer.alloc(0)));
  });
  const { page } = await open(context, server.url);
  const count = () => page.evaluate(() => [window.chainPage.passes, performance.now()]);
  const [p0, t0] = await count();
  await page.waitForTimeout(seconds * 1000);
  const [p1, t1] = await count();
  const firstFrame = await page.evaluate(() => window.chainPage.firstFrameMs);
  const bytes = bodies.reduce((n, b) => n + b.length, 0);
  const gzipped = bodies.reduce((n, b) => n + gzipSync(b, { level: 9 }).length, 0);
  console.log(`page: ${Math.round(((p1 - p0) * 1000) / (t1 - t0))} passes/s, ` +
    `first frame ${firstFrame.toFixed(0)} ms after navigation, ` +
    `${bodies.length} files ${bytes} bytes (${gzipped} gzipped)`);
} finally {
  await browser.close();
  server.stop();
}
