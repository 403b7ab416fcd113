// Registers the page's service worker (offline-worker.js), which keeps the
// page's files so that it also starts without a network. Browsers offer it
// only to pages from https or this computer; elsewhere the page runs as before.
"use strict";

if ("serviceWorker" in navigator && location.protocol !== "file:") {
  addEventListener("load", () => {
    navigator.serviceWorker.register("offline-worker.js")
      .catch((error) => console.warn(`The page will not work offline: ${error}`));
  });
}
