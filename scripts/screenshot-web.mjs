// Makes the README's screenshots of the page in headless chromium: on a
// 1280 x 800 screen (docs/web.png) and on a 360 px phone of two pixels per CSS
// pixel (docs/web-phone.png),
// each once the chain has come to rest.
//
//   node scripts/screenshot-web.mjs [PAGE_DIR]   (build/web/page; built by cmake --preset web)
import { createRequire } from "node:module";
import { join } from "node:path";
import { fileURLToPath } from "node:url";

const root = join(fileURLToPath(import.meta.url), "../..");
const { launch, open, serve } = await import(
  createRequire(join(root, "tests/web/package.json")).resolve("./lib.mjs"));

const server = await serve(process.argv[2] ?? join(root, "build/web/page"));
const browser = await launch();
try {
  for (const [file, options] of [
    ["web.png", { width: 1280, height: 800 }],
    ["web-phone.png", { width: 360, height: 740, deviceScaleFactor: 2, hasTouch: true, isMobile: true }],
  ]) {
    const { page } = await open(browser, server.url, options);
    await page.waitForFunction(() => /at rest/i.test(document.getElementById("surface").getAttribute("aria-description")),
      { timeout: 20000 });
    await page.screenshot({ path: join(root, "docs", file) });
    await page.close();
  }
} finally {
  await browser.close();
  await server.stop();
}
