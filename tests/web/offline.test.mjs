// The page as an app in Debian's chromium: installable, running offline after
// one visit, and new on the first visit after a new version is served.
//
//   node --test tests/web/offline.test.mjs   (PAGE_DIR: the built page, build/web/page)
import assert from "node:assert/strict";
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { after, test } from "node:test";
import { launch, root, serve } from "./lib.mjs";

const pageDir = resolve(process.env.PAGE_DIR ?? join(root, "build/web/page"));
const folder = mkdtempSync(join(tmpdir(), "offline-test-")), site = join(folder, "page");
const errors = [];
cpSync(pageDir, site, { recursive: true });
let server = await serve(site);
const browser = await launch(join(folder, "profile"));  // an incognito profile cannot install
const [page] = await browser.pages();
page.on("pageerror", (error) => errors.push(String(error)))
  .on("console", (m) => { if (m.type() !== "log") errors.push(m.text()); });
after(async () => {
  await browser.close();
  await server.stop();
  rmSync(folder, { recursive: true });
});

// Loads the page anew; resolves to its version mark and its style sheet's once the chain has run.
async function visit(url) {
  await page.goto(url);
  await page.waitForFunction(() => window.chainPage?.passes > 100, { timeout: 10000 });
  return page.evaluate(() => [document.querySelector("meta[name=version]")?.content ?? "",
    getComputedStyle(document.body).getPropertyValue("--version").trim()]);
}

test("the page can be installed, and after one visit it runs with the server stopped", async () => {
  assert.deepEqual(await visit(server.url), ["", ""]);
  await page.evaluate(() => navigator.serviceWorker.ready);
  const cdp = await page.createCDPSession();
  assert.deepEqual((await cdp.send("Page.getAppManifest")).errors, []);
  assert.deepEqual((await cdp.send("Page.getInstallabilityErrors")).installabilityErrors, []);
  await server.stop();
  assert.deepEqual(await visit(server.url), ["", ""]);
});

test("the first visit after a new version shows it, and keeps it for offline visits", async () => {
  const index = join(site, "index.html");
  writeFileSync(index, readFileSync(index, "utf8").replace("<head>", '<head><meta name="version" content="2">'));
  appendFileSync(join(site, "page.css"), "body { --version: 2; }\n");
  server = await serve(site, new URL(server.url).port);
  assert.deepEqual(await visit(server.url), ["2", "2"]);
  await server.stop();
  assert.deepEqual(await visit(`${server.url}index.html?offline`), ["2", "2"]);
  assert.deepEqual(errors, [], "no error, warning or refused content in the page");
});
