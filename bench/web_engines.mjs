// The browsers the page's benchmark drives, one driver each: start(name)
// resolves to a browser whose open(url) resolves to a page with
// evaluate(fn, arg) (fn runs in the page; a promise it returns is awaited) and
// close(); the browser has close() too. Chromium alone also gives what its
// devtools protocol knows (cdp, weigh). Never downloads a browser.
//
// A driver for another engine is one more entry in `drivers`.
import { spawn } from "node:child_process";
import { createRequire } from "node:module";
import { createServer } from "node:net";
import { join } from "node:path";
import { fileURLToPath } from "node:url";

const root = join(fileURLToPath(import.meta.url), "../..");
// The test client lives with the page's tests (tests/web/package-lock.json).
const local = (file) => import(createRequire(join(root, "tests/web/package.json")).resolve(file));
const { launch, open } = await local("./lib.mjs");
const browsers = await local("./browsers.mjs");

// Debian's chromium, headless, through playwright-core.
async function chromium() {
  const browser = await launch();
  return {
    async open(url, weigh) {
      const context = await browser.newContext();
      if (weigh) {
        // What the page loads, not the service worker's copies of the same files.
        context.on("response", async (r) => {
          if (!r.request().serviceWorker()) weigh(await r.body().catch(() => Buffer.alloc(0)));
        });
      }
      const { page } = await open(context, url);
      const cdp = await context.newCDPSession(page);
      return { evaluate: (fn, arg) => page.evaluate(fn, arg), cdp, close: () => context.close() };
    },
    close: () => browser.close(),
  };
}

const freePort = () => new Promise((resolve) => {
  const server = createServer().listen(0, "127.0.0.1", () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  });
});

// WebKitGTK's MiniBrowser through WebKitWebDriver (Debian's webkit2gtk-driver),
// by plain WebDriver over HTTP; it needs a display (scripts/with-xvfb.sh).
async function webkit() {
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  const call = async (method, path, body) => {
    const answer = await fetch(`http://127.0.0.1:${port}${path}`, {
      method, headers: { "content-type": "application/json" }, body: body && JSON.stringify(body),
      signal: AbortSignal.timeout(60000),  // a browser that never answers fails the run
    });
    const { value } = await answer.json();
    if (!answer.ok) throw new Error(`WebKitWebDriver: ${value.message ?? answer.status}`);
    return value;
  };
  for (let tries = 0; ; ++tries) {  // until the driver listens
    try {
      await call("GET", "/status");
      break;
    } catch (error) {
      if (tries === 50) throw error;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
  const binary = process.env.MINIBROWSER ?? "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
  const sessions = [];
  return {
    async open(url) {
      const { sessionId } = await call("POST", "/session", {
        capabilities: { alwaysMatch: { "webkitgtk:browserOptions": { binary, args: ["--automation"] } } },
      });
      sessions.push(sessionId);
      await call("POST", `/session/${sessionId}/window/rect`, { width: 700, height: 700 });
      await call("POST", `/session/${sessionId}/url`, { url });
      const evaluate = (fn, arg) => call("POST", `/session/${sessionId}/execute/async`, {
        script: `const done = arguments[1]; Promise.resolve((${fn})(arguments[0])).then(done);`,
        args: [arg ?? null],
      });
      await evaluate(() => new Promise((resolve) => {
        const wait = () => (window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs)
          ? resolve() : setTimeout(wait, 20));
        wait();
      }));
      return { evaluate, close: () => call("DELETE", `/session/${sessionId}`) };
    },
    async close() {
      for (const id of sessions) await call("DELETE", `/session/${id}`).catch(() => {});
      driver.kill();
    },
  };
}

// Debian's Firefox ESR, headless, over WebDriver BiDi (puppeteer-core, as the
// page's Firefox test drives it).
async function firefox() {
  const browser = await browsers.launch("firefox", process.env.FIREFOX ?? "/usr/bin/firefox-esr");
  return {
    async open(url) {
      const page = await browser.newPage();
      await page.goto(url);
      await page.waitForFunction(() => window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs));
      return { evaluate: (fn, arg) => page.evaluate(fn, arg), close: () => page.close() };
    },
    close: () => browser.close(),
  };
}

export const drivers = { chromium, firefox, webkit };
