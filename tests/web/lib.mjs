// The page served from a local server and opened in Debian's chromium, for the
// end-to-end test and the benchmark. Never downloads a browser.
import { spawn } from "node:child_process";
import { createInterface } from "node:readline";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";

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

// A fresh browser with incognito contexts, or with profile in a folder of its own.
export function launch(profile) {
  const options = {
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    chromiumSandbox: false,
    args: ["--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync"],
  };
  return profile ? chromium.launchPersistentContext(profile, options) : chromium.launch(options);
}

// Opens the page (in a browser or a browser context) and waits for its first frame.
export async function open(browser, url, options = {}) {
  const page = await browser.newPage({ viewport: { width: 700, height: 700 }, ...options });
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  await page.goto(url);
  await page.waitForFunction(() => window.chainPage && !Number.isNaN(window.chainPage.firstFrameMs));
  return { page, errors };
}
