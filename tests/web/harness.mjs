// Debian's Chromium, headless, driven by puppeteer-core, and a static server of build-web/
// on localhost: what the page's tests and the benchmark share.
import { spawnSync } from "node:child_process";
import { createServer } from "node:http";
import { mkdtempSync, readFileSync, rmSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { extname, join, resolve } from "node:path";
import puppeteer from "puppeteer-core";

export const root = resolve(new URL("../..", import.meta.url).pathname);
export const built = process.env.DOTLANE_WEB_DIR || join(root, "build-web");

const kTypes = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".mjs": "text/javascript", ".wasm": "application/wasm" };

// Serves `dir` on a free port of 127.0.0.1; resolves to {url, close}.
export function serve(dir = built) {
  const server = createServer((req, res) => {
    const path = join(dir, decodeURIComponent(new URL(req.url, "http://x").pathname));
    try {
      if (!path.startsWith(dir) || !statSync(path).isFile()) throw new Error("missing");
      res.writeHead(200, { "content-type": kTypes[extname(path)] || "application/octet-stream" });
      res.end(readFileSync(path));
    } catch {
      res.writeHead(404).end();
    }
  });
  return new Promise((done) =>
    server.listen(0, "127.0.0.1", () => done({ url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() })),
  );
}

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), "dotlane-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      `--user-data-dir=${profile}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A page that records every request whose origin is not `origin` (file:, blob: and data:
// URLs of the page itself excepted), and every error the page throws.
export async function openPage(browser, url, width = 1280) {
  const page = await browser.newPage();
  await page.setViewport({ width, height: 900 });
  const foreign = [], errors = [];
  const origin = new URL(url).origin;
  page.on("request", (r) => {
    const u = new URL(r.url());
    if (!["file:", "blob:", "data:"].includes(u.protocol) && u.origin !== origin) foreign.push(r.url());
  });
  page.on("pageerror", (e) => errors.push(String(e)));
  await page.goto(url);
  return { page, foreign, errors };
}

// Waits until the page has finished its `n`th conversion.
export async function rendered(page, n = 1) {
  await page.waitForFunction((k) => Number(document.body.dataset.rendered || 0) >= k, { timeout: 20000 }, n);
}

export const cliPath = process.env.DOTLANE_CLI || join(root, "build", "src", "dotlane-cli");

// dotlane-cli's answer: {status, out (bytes), err}.
export function cli(args) {
  const r = spawnSync(cliPath, args, { maxBuffer: 1 << 28 });
  return { status: r.status, out: new Uint8Array(r.stdout), err: String(r.stderr) };
}

// Convert's options as command-line arguments, as the page and dotlane.mjs name them.
export function cliArgs(options) {
  const args = [];
  for (const [k, v] of Object.entries(options)) {
    if (v === undefined) continue;
    const option = "--" + k.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase());
    if (v === true) args.push(option);
    else for (const one of [].concat(v)) args.push(option, String(one));
  }
  return args;
}
