// The page in each browser given: passes per second of its loop, passes a
// batch and frames a second, the time from navigation to its first frame (the
// median of five loads); in
// chromium also the weight of everything it loaded and the share of a
// processor its main thread takes while the page shows and while it is hidden.
//
//   node bench/web_passes.mjs [PAGE_DIR] [SECONDS] [ENGINE...]   (build/web/page, 3, chromium)
//
// ENGINE is a driver of bench/web_engines.mjs; webkit needs a display.
import { readdirSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";
import { drivers } from "./web_engines.mjs";

const root = join(fileURLToPath(import.meta.url), "../..");
const local = (file) => import(createRequire(join(root, "tests/web/package.json")).resolve(file));
const { serve } = await local("./lib.mjs");

const pageDir = process.argv[2] ?? join(root, "build/web/page");
const seconds = Number(process.argv[3] ?? 3);
const engines = process.argv.length > 4 ? process.argv.slice(4) : ["chromium"];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Ends the page's loop, then times passes of the core back
// to back (µs each, the best of five runs of 2,000: Firefox and WebKit give the
// time to the millisecond) and counts a second's empty tasks, each posting the
// next through a MessageChannel as the page's loop does.
const loopCost = async () => {
  document.getElementById("exit").click();
  const core = window.chainPage.core;
  let passUs = Infinity;
  for (let run = 0; run < 5; ++run) {
    const start = performance.now();
    for (let i = 0; i < 2000; ++i) core._chain_pass();
    passUs = Math.min(passUs, ((performance.now() - start) * 1000) / 2000);
  }
  const tasks = await new Promise((done) => {
    const channel = new MessageChannel(), from = performance.now();
    let n = 0;
    channel.port1.onmessage = () => (performance.now() - from < 1000 ? (++n, channel.port2.postMessage(0)) : done(n));
    channel.port2.postMessage(0);
  });
  return [passUs, tasks];
};


// Runs in the page: its rates over `ms` milliseconds.
const rates = (ms) => new Promise((done) => {
  const page = window.chainPage, start = performance.now(), { passes, batches } = page;
  let frames = 0;
  const frame = () => { frames++; if (performance.now() - start < ms) requestAnimationFrame(frame); };
  requestAnimationFrame(frame);
  setTimeout(() => {
    const s = (performance.now() - start) / 1000, done_ = page.passes - passes;
    done({ passes: done_ / s, perBatch: done_ / Math.max(1, page.batches - batches), frames: frames / s });
  }, ms);
});

// The share of a processor the page's main thread takes (chromium's devtools protocol).
async function busy(page, ms) {
  const taskSeconds = async () =>
    (await page.cdp.send("Performance.getMetrics")).metrics.find((m) => m.name === "TaskDuration").value;
  const [before, start] = [await taskSeconds(), performance.now()];
  await sleep(ms);
  return (await taskSeconds() - before) / ((performance.now() - start) / 1000);
}

const server = await serve(pageDir);
try {
  // The server compresses a file at its first request: asked for each here, so that the
  // first frame counts the page and not that.
  for (const file of readdirSync(pageDir)) {
    await (await fetch(server.url + file, { headers: { "accept-encoding": "br, gzip" } })).arrayBuffer();
  }
  for (const name of engines) {
    if (!drivers[name]) throw new Error(`no driver for ${name}: ${Object.keys(drivers).join(", ")}`);
    const browser = await drivers[name]();
    try {
      // The first frame: the median of five loads, each in a fresh context, in a
      // browser that has shown a page before, as a student's has.
      await (await browser.open(server.url)).close();
      const firstFrames = [];
      for (let i = 0; i < 5; ++i) {
        const page = await browser.open(server.url);
        firstFrames.push(await page.evaluate(() => window.chainPage.firstFrameMs));
        await page.close();
      }
      const firstFrame = firstFrames.sort((a, b) => a - b)[2];
      const bodies = [];
      const page = await browser.open(server.url, (body) => bodies.push(body));
      const r = await page.evaluate(rates, seconds * 1000);
      let line = `${name}: ${Math.round(r.passes)} passes/s, ${Math.round(r.perBatch)} passes a batch, ` +
        `${Math.round(r.frames)} frames/s, first frame ${firstFrame.toFixed(0)} ms after navigation ` +
        `(${firstFrames[0].toFixed(0)} to ${firstFrames[4].toFixed(0)})`;
      if (page.cdp) {
        await page.cdp.send("Performance.enable");
        const shown = await busy(page, 1000);
        // Headless chromium shows every page: the page is told it is hidden as a browser tells it.
        await page.evaluate(() => {
          Object.defineProperty(document, "hidden", { configurable: true, value: true });
          document.dispatchEvent(new Event("visibilitychange"));
        });
        const hidden = await busy(page, 1000);
        const bytes = bodies.reduce((n, b) => n + b.length, 0);
        const gzipped = bodies.reduce((n, b) => n + gzipSync(b, { level: 9 }).length, 0);
        line += `, main thread busy ${(shown * 100).toFixed(0)} % shown and ${(hidden * 100).toFixed(1)} % ` +
          `hidden, ${bodies.length} files ${bytes} bytes (${gzipped} gzipped)`;
      }
      // Last, as it ends the page's own loop: a pass of the core alone, and empty tasks.
      const [passUs, tasks] = await page.evaluate(loopCost);
      console.log(`${line}; a pass alone ${passUs.toFixed(1)} µs, ${tasks} empty tasks/s`);
      await page.close();
    } finally {
      await browser.close();
    }
  }
} finally {
  await server.stop();
}
