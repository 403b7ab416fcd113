// Serves a folder of static files on 127.0.0.1 and prints its address.
//
//   node web/serve.mjs FOLDER [PORT]   (PORT 8000 unless given; 0 picks a free one)
//
// Every request is answered and none stops the server: a malformed address is
// a 400, a method other than GET and HEAD a 405, a file outside the folder a
// 403, a missing one a 404, and any other failure a 500. Each file is read,
// fingerprinted and compressed once per version, so that a browser revalidates
// it cheaply (ETag, Last-Modified) and gets it as brotli or gzip if it takes them.
import { createHash } from "node:crypto";
import { constants as fsConstants } from "node:fs";
import { open } from "node:fs/promises";
import { STATUS_CODES, createServer } from "node:http";
import { extname, join, normalize, resolve, sep } from "node:path";
import { promisify } from "node:util";
import { brotliCompress, constants as zlibConstants, gzip } from "node:zlib";

const root = resolve(process.argv[2] ?? ".");
const inside = root.endsWith(sep) ? root : root + sep;
const port = Number(process.argv[3] ?? 8000);
const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm",
  ".webmanifest": "application/manifest+json",
  ".json": "application/json",
  ".svg": "image/svg+xml",
  ".png": "image/png",
};
// Images other than SVG are compressed already.
const compressible = new Set([".html", ".js", ".mjs", ".css", ".wasm", ".webmanifest", ".json", ".svg"]);
const compressors = [
  ["br", promisify(brotliCompress), { params: { [zlibConstants.BROTLI_PARAM_QUALITY]: 11 } }],
  ["gzip", promisify(gzip), { level: 9 }],
];

// Sent with every answer. The page runs its own files and WebAssembly, nothing
// else: no inline script or style sheet (styles set from script are allowed),
// nothing from another origin, no frames around it. Its empty icon is a data:
// address.
const guard = {
  "Content-Security-Policy": [
    "default-src 'none'", "script-src 'self' 'wasm-unsafe-eval'", "style-src 'self'",
    "img-src 'self' data:", "connect-src 'self'", "manifest-src 'self'", "worker-src 'self'",
    "base-uri 'none'", "form-action 'none'", "frame-ancestors 'none'",
  ].join("; "),
  "X-Content-Type-Options": "nosniff",
  "Referrer-Policy": "no-referrer",
  "Cross-Origin-Opener-Policy": "same-origin",
};

// The file a request's target names, or the status that answers it.
function fileOf(target) {
  let path = target;
  if (!path.startsWith("/")) {  // the absolute form, "http://host/path"
    try {
      const url = new URL(target);
      if (url.protocol !== "http:" && url.protocol !== "https:") return 400;
      path = url.pathname;
    } catch {
      return 400;
    }
  }
  const query = path.indexOf("?");
  if (query >= 0) path = path.slice(0, query);
  try {
    path = decodeURIComponent(path);
  } catch {
    return 400;  // a stray "%" or bytes that are not UTF-8
  }
  if (/[\0-\x1f\x7f]/.test(path)) return 400;
  const file = normalize(join(root, path.endsWith("/") ? `${path}index.html` : path));
  return file === root || file.startsWith(inside) ? file : 403;
}

// Each file as last read: its version, validators and bodies, the best first.
const files = new Map();

async function load(file) {
  // Non-blocking, so that a named pipe cannot hold the request.
  const handle = await open(file, fsConstants.O_RDONLY | fsConstants.O_NONBLOCK);
  try {
    const info = await handle.stat();
    if (!info.isFile()) return null;
    const version = `${info.ino}:${info.size}:${info.mtimeMs}:${info.ctimeMs}`;
    const known = files.get(file);
    if (known?.version === version) return known;
    const body = await handle.readFile();
    const tag = createHash("sha256").update(body).digest("base64url").slice(0, 22);
    const bodies = [];
    if (compressible.has(extname(file))) {
      for (const [encoding, compress, options] of compressors) {
        const packed = await compress(body, options);
        if (packed.length < body.length) bodies.push({ encoding, body: packed, etag: `"${tag}-${encoding}"` });
      }
    }
    bodies.push({ encoding: null, body, etag: `"${tag}"` });
    const entry = {
      version, bodies,
      type: types[extname(file)] ?? "application/octet-stream",
      modified: new Date(info.mtimeMs).toUTCString(),
    };
    files.set(file, entry);
    return entry;
  } finally {
    await handle.close();
  }
}

// Whether an Accept-Encoding header takes a content coding (q above 0).
function takes(header, coding) {
  let any = false;
  for (const part of header.split(",")) {
    const [name, ...params] = part.split(";").map((s) => s.trim().toLowerCase());
    const q = params.find((p) => p.startsWith("q="));
    const yes = q === undefined || Number(q.slice(2)) > 0;
    if (name === coding) return yes;
    if (name === "*") any = yes;
  }
  return any;
}

// Whether the browser's copy is current: If-None-Match, else If-Modified-Since.
function current(headers, etag, modified) {
  const tags = headers["if-none-match"];
  if (tags !== undefined) {
    return tags.split(",").some((t) => ["*", etag].includes(t.trim().replace(/^W\//, "")));
  }
  const since = Date.parse(headers["if-modified-since"] ?? "");
  return Date.parse(modified) <= since;
}

function plain(response, status, headers = {}) {
  const text = `${STATUS_CODES[status]}\n`;
  response.writeHead(status, {
    ...guard, ...headers,
    "Content-Type": "text/plain; charset=utf-8", "Content-Length": Buffer.byteLength(text),
  });
  response.end(text);  // node leaves the body out of an answer to HEAD
}

async function answer(request, response) {
  if (request.method !== "GET" && request.method !== "HEAD") {
    plain(response, 405, { Allow: "GET, HEAD" });
    return;
  }
  const file = fileOf(request.url);
  if (typeof file === "number") {
    plain(response, file);
    return;
  }
  let entry;
  try {
    entry = await load(file);
  } catch (error) {
    if (error.code === "EACCES") return plain(response, 403);
    if (!["ENOENT", "ENOTDIR", "ENAMETOOLONG"].includes(error.code)) throw error;
  }
  if (!entry) {
    plain(response, 404);
    return;
  }
  const accepted = request.headers["accept-encoding"] ?? "";
  const chosen = entry.bodies.find((b) => b.encoding === null || takes(accepted, b.encoding));
  const headers = {
    ...guard,
    "Cache-Control": "no-cache",
    ETag: chosen.etag,
    "Last-Modified": entry.modified,
    ...(entry.bodies.length > 1 && { Vary: "Accept-Encoding" }),
  };
  if (current(request.headers, chosen.etag, entry.modified)) {
    response.writeHead(304, headers).end();
    return;
  }
  response.writeHead(200, {
    ...headers,
    "Content-Type": entry.type,
    "Content-Length": chosen.body.length,
    ...(chosen.encoding && { "Content-Encoding": chosen.encoding }),
  });
  response.end(request.method === "HEAD" ? undefined : chosen.body);
}

const server = createServer((request, response) => {
  answer(request, response).catch((error) => {
    console.error(`${request.method} ${JSON.stringify(request.url)}: ${error}`);
    try {
      if (response.headersSent) response.destroy();
      else plain(response, 500);
    } catch {
      response.destroy();
    }
  });
});
server.on("error", (error) => {
  console.error(`serve.mjs: ${error.message}`);
  process.exit(1);
});
server.listen(port, "127.0.0.1", () => {
  console.log(`http://127.0.0.1:${server.address().port}/`);
});
