// The browsers the page's benchmark drives, one driver each: start(name)
// resolves to a browser whose open(url) resolves to a page with
// evaluate(fn, arg) (fn runs in the page; a promise it returns is awaited) and
// close(); the browser has close() too. Chromium alone also gives what its
// devtools protocol knows (cdp, weigh). Never downloads a browser.
//
// A driver for another engine is one more entry in `drivers`.
import { createRequire } from "node:module";
import { join } from "node:path";
import { fileURLToPath } from "node:url";

const root = join(fileURLToPath(import.meta.url), "../..");
// The test client lives with the page's tests (tests/web/package-lock.json).
const local = (file) => import(createRequire(join(root, "tests/web/package.json")).resolve(file));
const { launch } = await local("./lib.mjs");
const browsers = await local("./browsers.mjs");

// Debian's chromium, headless, through puppeteer-core; each page in a context
// of its own.
async function chromium() {
  const browser = await launch();
  return {
    async open(url, weigh) {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      // What the page loads (the service worker's own copies are not the page's).
      if (weigh) page.on("response", async (r) => weigh(await r.buffer().catch(() => Buffer.alloc(0))));
      await page.goto(url);
      await page.waitForFunction(() => window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs));
      const cdp = await page.createCDPSession();
      return { evaluate: (fn, arg) => page.evaluate(fn, arg), cdp, close: () => context.close() };
    },
    close: () => browser.close(),
  };
}

// Firefox ESR (headless, over WebDriver BiDi) and WebKitGTK's MiniBrowser
// (over WebDriver; it needs a display: scripts/with-xvfb.sh), through the
// clients the page's tests drive them with.
function through(engine) {
  return async () => {
    const browser = await browsers.launch(engine);
    return {
      async open(url) {
        const page = await browser.newPage();
        await page.goto(url);
        await page.waitForFunction(() => window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs));
        return { evaluate: (fn, arg) => page.evaluate(fn, arg), close: () => page.close() };
      },
      close: () => browser.close(),
    };
  };
}

export const drivers = { chromium, firefox: through("firefox"), webkit: through("webkit") };
