// Debian's browsers for the page's tests and benchmark, each with a fresh
// profile of its own that goes when the browser closes. Firefox ESR (over
// WebDriver BiDi) and chromium (over its DevTools protocol) through
// puppeteer-core, headless; WebKitGTK's MiniBrowser through WebKitWebDriver
// (webkit.mjs), on a display (scripts/with-xvfb.sh). Never downloads a browser.
import { existsSync } from "node:fs";
import puppeteer from "puppeteer-core";
import * as webkit from "./webkit.mjs";

// Firefox makes no connection of its own. Puppeteer's profile already turns
// off updates, data reporting, safe browsing and the blocklist's server; these
// turn off the rest, and send whatever is left over to a closed port on this
// machine (the test's own server on 127.0.0.1 is never proxied).
const firefoxPrefs = {
  "services.settings.server": "data:,#remote-settings-dummy/v1",
  "toolkit.telemetry.enabled": false,
  "toolkit.telemetry.server": "",
  "browser.region.network.url": "",
  "browser.region.update.enabled": false,
  "network.captive-portal-service.enabled": false,
  "network.connectivity-service.enabled": false,
  "network.dns.disablePrefetch": true,
  "network.predictor.enabled": false,
  "network.prefetch-next": false,
  "network.trr.mode": 5,
  "extensions.systemAddon.update.enabled": false,
  "network.proxy.type": 1,
  "network.proxy.http": "127.0.0.1",
  "network.proxy.http_port": Number(process.env.FIREFOX_PROXY_PORT ?? 9),
  "network.proxy.ssl": "127.0.0.1",
  "network.proxy.ssl_port": Number(process.env.FIREFOX_PROXY_PORT ?? 9),
};

const executables = {
  chromium: process.env.CHROMIUM ?? "/usr/bin/chromium",
  firefox: process.env.FIREFOX ?? "/usr/bin/firefox-esr",
};

// What of the engine is not installed, or "".
export function missing(engine) {
  if (engine === "webkit") return webkit.missing();
  return existsSync(executables[engine]) ? "" : executables[engine];
}

// Resolves to a browser with newPage() and close(); its pages have goto,
// evaluate, waitForFunction, focus, click, keyboard and close as puppeteer's.
export function launch(engine, options = {}) {
  if (engine === "webkit") return webkit.launch();
  return puppeteer.launch({
    ...options,
    browser: engine === "firefox" ? "firefox" : "chrome",
    executablePath: executables[engine],
    headless: true,
    defaultViewport: { width: 700, height: 700 },
    extraPrefsFirefox: firefoxPrefs,
    env: { ...process.env, MOZ_DISABLE_NONLOCAL_CONNECTIONS: "1" },
    args: engine === "firefox" ? [] : ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
}
