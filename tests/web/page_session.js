// A served copy of the built page open in a browser through puppeteer-core: shared by the page's
// tests and its frame-rate benchmark. Two browsers:
//   chromium  headless, WebGL2 on SwiftShader
//   firefox   Debian's ESR through WebDriver BiDi, in a window on the X display in DISPLAY (headless
//             Firefox has no WebGL2 without a GPU; a window under Xvfb has it on llvmpipe), its sound
//             through the PulseAudio server in PULSE_SERVER (firefox_session.sh starts both)
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".data": "application/octet-stream" };

const BROWSERS = {
  chromium: { executable: process.env.VELOR_CHROMIUM || "/usr/bin/chromium" },
  firefox: { executable: process.env.VELOR_FIREFOX || "/usr/bin/firefox-esr" },
};

// Serves the page's folder at `folder` (the host's root by default, or a sub-folder such as
// "/demos/velor/", outside which nothing is found); a folder's own address gets velor.html, as a
// static host gives its index.html. Under <folder>no-data/ the same page, with its data file missing.
function serve(webDir, folder) {
  const server = http.createServer((req, res) => {
    let url = decodeURIComponent(new URL(req.url, "http://x").pathname);
    const notFound = () => {
      res.writeHead(404, { "Content-Type": "text/plain" });
      res.end("not found");
    };
    if (!url.startsWith(folder)) return notFound();
    url = "/" + url.slice(folder.length);
    let hideData = false;
    if (url.startsWith("/no-data/")) {
      hideData = true;
      url = url.slice("/no-data".length);
    }
    if (url.endsWith("/")) url += "velor.html";
    const file = path.join(webDir, path.normalize(url).replace(/^(\.\.[/\\])+/, ""));
    if ((hideData && path.basename(file) === "velor.data") || !fs.existsSync(file) || !fs.statSync(file).isFile())
      return notFound();
    res.writeHead(200, { "Content-Type": TYPES[path.extname(file)] || "application/octet-stream" });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

function launchOptions(name, executable) {
  if (name === "firefox") {
    if (!process.env.DISPLAY) throw new Error("Firefox needs an X display (run it through firefox_session.sh)");
    return {
      browser: "firefox",
      executablePath: executable,
      headless: false,
      // The window is sized so that the page's viewport can take 1024 x 768 whole.
      args: ["--width=1100", "--height=900"],
    };
  }
  return {
    executablePath: executable,
    headless: true,
    args: ["--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--autoplay-policy=no-user-gesture-required", "--window-size=1024,768"],
  };
}

// Runs fn(page, base, log) on a fresh page. `browser` is "chromium" or "firefox", or the path of a
// chromium executable; `options.folder` serves the page from a sub-folder of the host.
async function withPage(modules, webDir, browser, fn, options = {}) {
  const name = BROWSERS[browser] ? browser : "chromium";
  const executable = BROWSERS[browser] ? BROWSERS[browser].executable : browser;
  const folder = options.folder || "/";
  const puppeteer = require(path.join(modules, "puppeteer-core"));
  const server = await serve(webDir, folder);
  const instance = await puppeteer.launch(launchOptions(name, executable));
  try {
    const page = await instance.newPage();
    await page.setViewport({ width: 1024, height: 768, deviceScaleFactor: 1 });
    const log = { errors: [], lines: [] };
    page.on("console", (m) => {
      log.lines.push(`${m.type()}: ${m.text()}`);
      if (m.type() === "error") log.errors.push(m.text());
    });
    page.on("pageerror", (e) => log.errors.push(`page error: ${e.message}`));
    page.on("requestfailed", (r) => log.errors.push(`request failed: ${r.url()}`));
    page.on("response", (r) => { if (r.status() >= 400) log.errors.push(`HTTP ${r.status()}: ${r.url()}`); });
    const base = `http://127.0.0.1:${server.address().port}${folder.replace(/\/$/, "")}`;
    return await fn(page, base, log);
  } finally {
    await instance.close();
    server.close();
  }
}

module.exports = { withPage, BROWSERS };
