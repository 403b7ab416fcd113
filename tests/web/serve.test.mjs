// web/serve.mjs: every odd request gets its answer and the server goes on;
// HEAD, validators and compression as a browser meets them.
//
//   node --test tests/web/serve.test.mjs
import assert from "node:assert/strict";
import { mkdirSync, mkdtempSync, rmSync, symlinkSync, writeFileSync } from "node:fs";
import { request } from "node:http";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, test } from "node:test";
import { brotliDecompressSync, gunzipSync } from "node:zlib";
import { serve } from "./lib.mjs";

const folder = mkdtempSync(join(tmpdir(), "serve-test-"));
const index = `<!DOCTYPE html><title>t</title>${"<p>a chain of masses</p>".repeat(100)}`;
writeFileSync(join(folder, "index.html"), index);
mkdirSync(join(folder, "sub"));
symlinkSync("loop", join(folder, "loop"));  // unreadable: a failure no status names
const server = await serve(folder);
const port = new URL(server.url).port;
after(async () => {
  await server.stop();
  rmSync(folder, { recursive: true });
});

// One request, its target sent as written; resolves to { status, headers, body }.
function ask(method, path, headers = {}) {
  return new Promise((resolve, reject) => {
    request({ host: "127.0.0.1", port, method, path, headers, agent: false }, (response) => {
      const chunks = [];
      response.on("data", (c) => chunks.push(c)).on("end", () =>
        resolve({ status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks) }));
    }).on("error", reject).end();
  });
}

test("odd addresses and methods are answered, and the server goes on", async () => {
  const rows = {  // "target" for a GET, or "METHOD target"
    400: ["/100%", "/%", "/%E0%A4%A", "/a%00b", "/%0a", "*", "http://127.0.0.1/%zz"],
    403: ["/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/..%2f..%2fetc%2fpasswd"],
    404: ["/missing.js", "/sub", "/index.html/x"], 500: ["/loop"],
    405: ["POST /", "PUT /index.html", "DELETE /index.html", "OPTIONS *", "PATCH /"],
    200: ["//", "/index.html?v=%", "http://127.0.0.1/sub/../index.html"],
  };
  for (const [status, requests] of Object.entries(rows)) {
    for (const row of requests) {
      const answer = await ask(...(row.includes(" ") ? row.split(" ") : ["GET", row]));
      const { "x-content-type-options": sniff, "content-security-policy": policy, allow } = answer.headers;
      assert.deepEqual([answer.status, sniff, /script-src 'self' 'wasm-unsafe-eval'/.test(policy), allow],
        [Number(status), "nosniff", true, status === "405" ? "GET, HEAD" : undefined], row);
    }
  }
  assert.equal((await ask("BREW", "/")).status, 400);  // refused by node's parser
  const page = await ask("GET", "/");
  assert.deepEqual([page.status, page.body.toString()], [200, index]);
});

test("HEAD, revalidation and compression", async () => {
  const { etag, "last-modified": modified } = (await ask("GET", "/")).headers;
  const decode = { br: brotliDecompressSync, gzip: gunzipSync, undefined: (b) => b };
  const rows = [  // request headers, status, content coding
    [{}, 200], [{ "Accept-Encoding": "gzip, deflate" }, 200, "gzip"], [{ "Accept-Encoding": "gzip, br" }, 200, "br"],
    [{ "Accept-Encoding": "br;q=0, gzip;q=0.5" }, 200, "gzip"], [{ "Accept-Encoding": "*" }, 200, "br"],
    [{ "Accept-Encoding": "gzip;q=0, identity" }, 200],
    [{ "If-None-Match": etag }, 304], [{ "If-None-Match": `"x", W/${etag}` }, 304], [{ "If-None-Match": '"x"' }, 200],
    [{ "If-None-Match": etag, "Accept-Encoding": "gzip" }, 200, "gzip"],  // another body, another tag
    [{ "If-Modified-Since": modified }, 304], [{ "If-Modified-Since": new Date(0).toUTCString() }, 200],
    [{ "If-Modified-Since": modified, "If-None-Match": '"x"' }, 200],  // the tag decides
  ];
  for (const [headers, status, coding] of rows) {
    const row = JSON.stringify(headers);
    const [get, head] = [await ask("GET", "/", headers), await ask("HEAD", "/", headers)];
    const length = status === 304 ? undefined : String(get.body.length);
    assert.deepEqual([get.status, head.status, get.headers.vary, get.headers["content-encoding"], head.body.length],
      [status, status, "Accept-Encoding", coding, 0], row);
    assert.equal(decode[coding](get.body).toString(), status === 304 ? "" : index, row);
    assert.deepEqual([head.headers["content-length"], head.headers.etag], [length, get.headers.etag], row);
  }
  assert.ok((await ask("GET", "/", { "Accept-Encoding": "br" })).body.length < index.length / 10);
  writeFileSync(join(folder, "index.html"), "changed");  // a new version: new bytes, a new tag
  const changed = await ask("GET", "/", { "If-None-Match": etag });
  assert.deepEqual([changed.status, changed.body.toString(), changed.headers.etag === etag], [200, "changed", false]);
});
