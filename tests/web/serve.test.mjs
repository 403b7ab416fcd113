// web/serve.mjs over raw sockets: every odd request gets its answer and the
// server goes on; HEAD, validators and compression as a browser meets them.
//
//   node --test tests/web/serve.test.mjs
import assert from "node:assert/strict";
import { mkdirSync, mkdtempSync, rmSync, symlinkSync, writeFileSync } from "node:fs";
import { connect } from "node:net";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { brotliDecompressSync, gunzipSync } from "node:zlib";
import { serve } from "./lib.mjs";

const folder = mkdtempSync(join(tmpdir(), "serve-test-"));
const index = `<!DOCTYPE html><title>t</title>${"<p>a chain of masses</p>".repeat(100)}`;
let server, port;

before(async () => {
  writeFileSync(join(folder, "index.html"), index);
  mkdirSync(join(folder, "sub"));
  symlinkSync("loop", join(folder, "loop"));  // unreadable: a failure no status names
  server = await serve(folder);
  port = new URL(server.url).port;
});
after(async () => {
  await server?.stop();
  rmSync(folder, { recursive: true });
});

// One request as written, on a connection of its own; resolves to { status, headers, body }.
function ask(method, target, headers = {}) {
  const lines = [`${method} ${target} HTTP/1.1`, "Host: 127.0.0.1", "Connection: close",
    ...Object.entries(headers).map(([name, value]) => `${name}: ${value}`), "", ""];
  return new Promise((resolve, reject) => {
    const chunks = [];
    connect(port, "127.0.0.1").on("error", reject).on("data", (c) => chunks.push(c)).on("end", () => {
      const all = Buffer.concat(chunks), split = all.indexOf("\r\n\r\n");
      const [start, ...fields] = all.subarray(0, split).toString("latin1").split("\r\n");
      resolve({
        status: Number(start.split(" ")[1]),
        headers: Object.fromEntries(fields.map((f) => [f.slice(0, f.indexOf(":")).toLowerCase(),
          f.slice(f.indexOf(":") + 1).trim()])),
        body: all.subarray(split + 4),
      });
    }).write(lines.join("\r\n"));
  });
}

test("odd addresses and methods are answered, and the server goes on", async () => {
  const rows = [
    ["GET", "/100%", 400], ["GET", "/%", 400], ["GET", "/%E0%A4%A", 400], ["GET", "/%ff", 400],
    ["GET", "/a%00b", 400], ["GET", "/%0a", 400], ["GET", "*", 400], ["GET", "http://127.0.0.1/%zz", 400],
    ["GET", "/../../etc/passwd", 403], ["GET", "/%2e%2e/%2e%2e/etc/passwd", 403], ["GET", "/..%2f..%2fetc%2fpasswd", 403],
    ["GET", "/missing.js", 404], ["GET", "/sub", 404], ["GET", "/loop", 500],
    ["GET", "//", 200], ["GET", "/index.html?v=%", 200], ["GET", "http://127.0.0.1/sub/../index.html", 200],
    ["POST", "/", 405], ["PUT", "/index.html", 405], ["DELETE", "/index.html", 405], ["OPTIONS", "*", 405],
    ["PATCH", "/", 405],
    // Refused by node's own parser, before the server sees them.
    ["GET", "/a\0b", 400, "node"], ["BREW", "/", 400, "node"], ["GET", "/a b", 400, "node"],
  ];
  for (const [method, target, status, byNode] of rows) {
    const answer = await ask(method, target);
    const row = `${method} ${JSON.stringify(target)}`;
    assert.equal(answer.status, status, row);
    if (byNode) continue;
    assert.equal(answer.headers["x-content-type-options"], "nosniff", row);
    assert.match(answer.headers["content-security-policy"], /script-src 'self' 'wasm-unsafe-eval'/, row);
    assert.equal(answer.headers.allow, status === 405 ? "GET, HEAD" : undefined, row);
  }
  const page = await ask("GET", "/");
  assert.equal(page.status, 200);
  assert.equal(page.body.toString(), index);
});

test("HEAD, revalidation and compression", async () => {
  const first = await ask("GET", "/");
  const { etag, "last-modified": modified } = first.headers;
  const decode = { br: brotliDecompressSync, gzip: gunzipSync, undefined: (b) => b };
  const rows = [
    // request headers, status, content coding
    [{}, 200, undefined],
    [{ "Accept-Encoding": "gzip, deflate" }, 200, "gzip"],
    [{ "Accept-Encoding": "gzip, deflate, br" }, 200, "br"],
    [{ "Accept-Encoding": "br;q=0, gzip;q=0.5" }, 200, "gzip"],
    [{ "Accept-Encoding": "*" }, 200, "br"],
    [{ "Accept-Encoding": "gzip;q=0, identity" }, 200, undefined],
    [{ "If-None-Match": etag }, 304],
    [{ "If-None-Match": `"x", W/${etag}` }, 304],
    [{ "If-None-Match": '"x"' }, 200, undefined],
    [{ "If-None-Match": etag, "Accept-Encoding": "gzip" }, 200, "gzip"],  // another body, another tag
    [{ "If-Modified-Since": modified }, 304],
    [{ "If-Modified-Since": "Thu, 01 Jan 1970 00:00:00 GMT" }, 200, undefined],
    [{ "If-Modified-Since": modified, "If-None-Match": '"x"' }, 200, undefined],  // the tag decides
  ];
  for (const [headers, status, coding] of rows) {
    const row = JSON.stringify(headers);
    const [get, head] = [await ask("GET", "/", headers), await ask("HEAD", "/", headers)];
    assert.equal(get.status, status, row);
    assert.equal(head.status, status, row);
    assert.equal(head.body.length, 0, row);
    assert.equal(get.headers.vary, "Accept-Encoding", row);
    if (status === 304) {
      assert.equal(get.body.length, 0, row);
      continue;
    }
    assert.equal(get.headers["content-encoding"], coding, row);
    assert.equal(decode[coding](get.body).toString(), index, row);
    assert.equal(head.headers["content-length"], String(get.body.length), row);
    assert.equal(head.headers.etag, get.headers.etag, row);
  }
  assert.ok((await ask("GET", "/", { "Accept-Encoding": "br" })).body.length < index.length / 10);

  // A new version of the file: new bytes, a new tag, and the old tag no longer matches.
  writeFileSync(join(folder, "index.html"), "changed");
  const changed = await ask("GET", "/", { "If-None-Match": etag });
  assert.deepEqual([changed.status, changed.body.toString()], [200, "changed"]);
  assert.notEqual(changed.headers.etag, etag);
});
