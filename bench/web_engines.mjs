// The browsers the page's benchmark drives: drivers[name]() resolves to a
// browser whose open(url) resolves to a page with evaluate(fn, arg) (fn runs
// in the page; a promise it returns is awaited) and close(); the browser has
// close() too. Chromium alone also gives what its devtools protocol knows
// (cdp, weigh). Never downloads a browser.
import { createRequire } from "node:module";
import { join } from "node:path";
import { fileURLToPath } from "node:url";

const root = join(fileURLToPath(import.meta.url), "../..");
// The test clients live with the page's tests (tests/web/package-lock.json).
const local = (file) => import(createRequire(join(root, "tests/web/package.json")).resolve(file));
const browsers = await local("./browsers.mjs");

// A browser through the client the page's tests drive it with; each page in a
// context of its own (WebKitGTK's are browsers of their own).
const driver = (engine) => async () => {
  const browser = await browsers.launch(engine);
  return {
    async open(url, weigh) {
      const context = engine === "webkit" ? browser : await browser.createBrowserContext();
      const page = await context.newPage();
      const cdp = engine === "chromium" ? await page.createCDPSession() : undefined;
      // What the page loads (the service worker's own copies are not the page's).
      if (cdp && weigh) page.on("response", async (r) => weigh(await r.buffer().catch(() => Buffer.alloc(0))));
      await page.goto(url);
      await page.waitForFunction(() => window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs));
      return { evaluate: (fn, arg) => page.evaluate(fn, arg), cdp,
        close: () => (context === browser ? page.close() : context.close()) };
    },
    close: () => browser.close(),
  };
};

export const drivers = { chromium: driver("chromium"), firefox: driver("firefox"), webkit: driver("webkit") };
