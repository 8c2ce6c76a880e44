// Frames per second of the web page in headless Chromium (SwiftShader's WebGL2, on the CPU), one
// time in each scene window: `?from=T&fps=D&mute` plays D seconds from T and reports the rate.
//   node bench/web_fps.js [--seconds D] [--runs N] [--separate] [T ...]
// --separate draws each point sprite on its own (the page's `separate`), to show what merging saves.
// Environment as the page's tests: VELOR_WEB_DIR (build/web), VELOR_WEB_MODULES
// (build/web-test/node_modules), VELOR_CHROMIUM. Prints the median of N runs per time.
"use strict";
const fs = require("fs");
const path = require("path");
const { withPage } = require("../tests/web/page_session");

const root = path.join(__dirname, "..");
const webDir = process.env.VELOR_WEB_DIR || path.join(root, "build/web");
const modules = process.env.VELOR_WEB_MODULES || path.join(root, "build/web-test/node_modules");
const chromium = process.env.VELOR_CHROMIUM || "/usr/bin/chromium";

let seconds = 5, runs = 3, separate = false;
const times = [];
const args = process.argv.slice(2);
for (let i = 0; i < args.length; ++i) {
  if (args[i] === "--seconds") seconds = Number(args[++i]);
  else if (args[i] === "--runs") runs = Number(args[++i]);
  else if (args[i] === "--separate") separate = true;
  else times.push(Number(args[i]));
}
if (!times.length) times.push(5, 25, 45, 65, 85, 105);
if (!(seconds > 0) || !(runs >= 1) || times.some((t) => !(t >= 0))) {
  console.error("usage: node bench/web_fps.js [--seconds D] [--runs N] [--separate] [T ...]");
  process.exit(2);
}
for (const [what, where] of [["the page", path.join(webDir, "velor.html")], ["puppeteer-core", path.join(modules, "puppeteer-core")],
                             ["chromium", chromium]]) {
  if (!fs.existsSync(where)) {
    console.error(`web_fps: ${what} is not at ${where} (scripts/web --test builds and installs it)`);
    process.exit(1);
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

(async () => {
  console.log(`web page frames per second, ${seconds} s from each time, median of ${runs}` +
              (separate ? ", point sprites drawn separately" : ""));
  for (const t of times) {
    const rates = [];
    for (let r = 0; r < runs; ++r) {
      await withPage(modules, webDir, chromium, async (page, base) => {
        await page.goto(`${base}/velor.html?from=${t}&fps=${seconds}&mute${separate ? "&separate" : ""}`);
        await page.waitForFunction(() => /^velor:(fps=| failed)/.test(document.title),
                                   { timeout: (120 + 10 * seconds) * 1000, polling: 250 });
        const title = await page.title();
        if (!title.startsWith("velor:fps=")) throw new Error(`the page at ${t} s: ${title}`);
        rates.push(Number(title.slice("velor:fps=".length)));
      });
    }
    console.log(`t=${String(t).padStart(5)} s  ${median(rates).toFixed(2).padStart(7)} fps  (runs: ${rates.map((x) => x.toFixed(2)).join(", ")})`);
  }
})().catch((e) => {
  console.error(e && e.stack || e);
  process.exit(1);
});
