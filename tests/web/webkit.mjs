// WebKitGTK's MiniBrowser through WebKitWebDriver (Debian's webkit2gtk-driver),
// by plain WebDriver over HTTP, with the few calls of a puppeteer page that
// the tests and the benchmark make. It has no headless mode: run it on a
// display of its own (scripts/with-xvfb.sh).
import { spawn, spawnSync } from "node:child_process";
import { existsSync, readdirSync } from "node:fs";
import { createServer } from "node:net";

const minibrowser = process.env.MINIBROWSER ?? readdirSync("/usr/lib")
  .filter((dir) => dir.endsWith("-linux-gnu"))
  .flatMap((dir) => ["4.1", "4.0"].map((v) => `/usr/lib/${dir}/webkit2gtk-${v}/MiniBrowser`))
  .find(existsSync);

export function missing() {
  if (spawnSync("WebKitWebDriver", ["--version"]).error) return "WebKitWebDriver";
  return minibrowser ? "" : "the MiniBrowser";
}

// WebDriver's codes of the keys the cases press; any other key is its own text.
const keys = { Tab: "\uE004", Enter: "\uE007", Shift: "\uE008", Alt: "\uE00A", PageUp: "\uE00E",
  PageDown: "\uE00F", End: "\uE010", Home: "\uE011", ArrowLeft: "\uE012", ArrowUp: "\uE013",
  ArrowRight: "\uE014", ArrowDown: "\uE015" };
const wait = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const freePort = () => new Promise((resolve) => {
  const server = createServer().listen(0, "127.0.0.1", () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  });
});

export async function launch() {
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
      await wait(100);
    }
  }
  const sessions = new Set();
  async function newPage() {
    const { sessionId } = await call("POST", "/session", {
      capabilities: { alwaysMatch: { "webkitgtk:browserOptions": { binary: minibrowser, args: ["--automation"] } } },
    });
    sessions.add(sessionId);
    const to = (path, body) => call("POST", `/session/${sessionId}${path}`, body);
    await to("/window/rect", { width: 800, height: 800 });  // its own bars take some
    const evaluate = (fn, arg) => to("/execute/async", {
      script: `const done = arguments[1];
        Promise.resolve((${fn})(arguments[0])).then(done, (e) => done({ thrown: String(e) }));`,
      args: [arg ?? null],
    });
    const key = (type, name) => to("/actions", { actions: [{ type: "key", id: "keyboard",
      actions: [{ type, value: keys[name] ?? name }] }] });
    return {
      goto: (url) => to("/url", { url }),
      evaluate,
      async waitForFunction(fn, { timeout = 30000 } = {}) {
        for (const end = Date.now() + timeout; !(await evaluate(fn));) {
          if (Date.now() > end) throw new Error(`not true within ${timeout} ms: ${fn}`);
          await wait(50);
        }
      },
      focus: (selector) => evaluate((s) => document.querySelector(s).focus(), selector),
      async click(selector) {
        const element = await to("/element", { using: "css selector", value: selector });
        await to(`/element/${Object.values(element)[0]}/click`, {});
      },
      keyboard: {
        down: (name) => key("keyDown", name),
        up: (name) => key("keyUp", name),
        press: async (name) => { await key("keyDown", name); await key("keyUp", name); },
      },
      async close() {
        sessions.delete(sessionId);
        await call("DELETE", `/session/${sessionId}`);
      },
    };
  }
  return {
    newPage,
    async close() {
      for (const id of sessions) await call("DELETE", `/session/${id}`).catch(() => {});
      driver.kill();
    },
  };
}
