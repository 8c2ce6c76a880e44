// A served copy of the built page open in headless Chromium (SwiftShader's WebGL2), through
// puppeteer-core: shared by the page's tests and its frame-rate benchmark.
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".data": "application/octet-stream" };

// Serves the page's folder; under /no-data/ the same page, with its data file missing.
function serve(webDir) {
  const server = http.createServer((req, res) => {
    let url = decodeURIComponent(new URL(req.url, "http://x").pathname);
    let hideData = false;
    if (url.startsWith("/no-data/")) {
      hideData = true;
      url = url.slice("/no-data".length);
    }
    const file = path.join(webDir, path.normalize(url).replace(/^(\.\.[/\\])+/, ""));
    if ((hideData && path.basename(file) === "velor.data") || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404, { "Content-Type": "text/plain" });
      res.end("not found");
      return;
    }
    res.writeHead(200, { "Content-Type": TYPES[path.extname(file)] || "application/octet-stream" });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

async function withPage(modules, webDir, chromium, fn) {
  const puppeteer = require(path.join(modules, "puppeteer-core"));
  const server = await serve(webDir);
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--autoplay-policy=no-user-gesture-required", "--window-size=1024,768"],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1024, height: 768, deviceScaleFactor: 1 });
    const log = { errors: [], lines: [] };
    page.on("console", (m) => {
      log.lines.push(`${m.type()}: ${m.text()}`);
      if (m.type() === "error") log.errors.push(m.text());
    });
    page.on("pageerror", (e) => log.errors.push(`page error: ${e.message}`));
    page.on("requestfailed", (r) => log.errors.push(`request failed: ${r.url()}`));
    const base = `http://127.0.0.1:${server.address().port}`;
    return await fn(page, base, log);
  } finally {
    await browser.close();
    server.close();
  }
}

module.exports = { withPage };
