// The page's service worker: it keeps a copy of every file of the page, so
// that after one visit the page loads and runs without a network.
//
// Network first. Each request goes to the server, revalidated (never taken
// from the browser's HTTP cache unasked), and its answer replaces the copy;
// the copy answers only when the server cannot be reached. So a new version of
// the page shows on the first visit after it is put on the server. (Cache
// first would show the old files for one more visit, until a new worker took
// over and the page was loaded again.) The price is one request a file each
// visit, which the server answers with 304 and no body for the files that
// have not changed.
"use strict";

const CACHE = "hanging-chain";
// The page's files, filled in by the build (web/CMakeLists.txt); "./" is index.html.
const FILES = "@CHAIN_OFFLINE_FILES@".split(" ");

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await cache.addAll(FILES.map((file) => new Request(file, { cache: "no-cache" })));
    // This worker's answers do not depend on the version of the files, so it
    // may take over from an older worker at once.
    await self.skipWaiting();
  })());
});

async function answer(event) {
  const { request } = event;
  try {
    const response = await fetch(request, { cache: "no-cache" });
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
    }
    return response;
  } catch (error) {
    // No server: the copy, and for the page itself at any address in the
    // folder ("./", "index.html", with a query), index.html.
    const cache = await caches.open(CACHE);
    const copy = await cache.match(request, { ignoreVary: true })
      ?? (request.mode === "navigate" ? await cache.match("./") : undefined);
    if (copy) return copy;
    throw error;
  }
}

self.addEventListener("fetch", (event) => {
  if (event.request.method === "GET" && new URL(event.request.url).origin === location.origin) {
    event.respondWith(answer(event));
  }
});
