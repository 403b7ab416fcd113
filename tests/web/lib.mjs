// The page served from a local server and opened in Debian's chromium, for the
// end-to-end tests and the benchmark. Never downloads a browser.
import { spawn } from "node:child_process";
import { createInterface } from "node:readline";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import * as browsers from "./browsers.mjs";

export const root = join(dirname(fileURLToPath(import.meta.url)), "../..");

// Starts web/serve.mjs on 127.0.0.1 (a free port unless given); resolves to
// { url, stop }, stop resolving once the server has ended.
export function serve(folder, port = 0) {
  const server = spawn(process.execPath, [join(root, "web/serve.mjs"), folder, String(port)], {
    stdio: ["ignore", "pipe", "inherit"],
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.once("exit", (code) => reject(new Error(`the server ended (${code})`)));
    createInterface({ input: server.stdout }).once("line", (url) =>
      resolve({ url, stop: () => new Promise((ended) => {
        if (server.exitCode !== null || server.signalCode !== null) ended();
        else server.once("exit", ended).kill();
      }) }));
  });
}

// Debian's chromium (browsers.mjs), with a profile in a folder of its own when given.
export const launch = (profile) => browsers.launch("chromium", profile && { userDataDir: profile });

// Opens the page in a context of its own (a phone's screen and touch when
// `screen` gives them) and waits for its first frame.
export async function open(browser, url, screen = {}) {
  const page = await (await browser.createBrowserContext()).newPage();
  await page.setViewport({ width: 700, height: 700, ...screen });
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  await page.goto(url);
  await page.waitForFunction(() => window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs));
  return { page, errors };
}
