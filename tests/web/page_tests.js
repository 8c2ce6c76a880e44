// The web page in a browser driven through puppeteer-core: headless Chromium (SwiftShader's WebGL2),
// or Firefox in a window under Xvfb (llvmpipe's WebGL2; see page_session.js).
//   node page_tests.js loads|frames|missing-data|subfolder|scale|keys [chromium|firefox]
// Environment: VELOR_WEB_DIR (build/web), VELOR_WEB_MODULES (the node_modules scripts/web installs),
// VELOR_CAPTURE (the native velor-capture, for `frames`), VELOR_MUSIC_RENDER (the native module
// renderer, for `loads`), VELOR_WEB_REQUIRED=1 to fail rather than
// skip when the page has not been built. Exit 0 passes, 1 fails, 77 skips.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const { execFileSync } = require("child_process");
const png = require("./png");
const compare = require("./frame_compare");

const SKIP = 77;
const webDir = process.env.VELOR_WEB_DIR;
const modules = process.env.VELOR_WEB_MODULES;
const browser = process.argv[3] || "chromium";

function skipOrFail(why) {
  console.log(`web: ${why}`);
  process.exit(process.env.VELOR_WEB_REQUIRED === "1" ? 1 : SKIP);
}

if (!webDir || !fs.existsSync(path.join(webDir, "velor.html"))) skipOrFail("the page is not built (scripts/web)");
if (!modules || !fs.existsSync(path.join(modules, "puppeteer-core"))) skipOrFail("puppeteer-core is not installed (scripts/web)");
const { withPage, BROWSERS } = require("./page_session");
if (!BROWSERS[browser]) {
  console.error(`unknown browser ${browser}: ${Object.keys(BROWSERS).join(" or ")}`);
  process.exit(2);
}
if (!fs.existsSync(BROWSERS[browser].executable)) skipOrFail(`no ${browser} at ${BROWSERS[browser].executable}`);

async function waitForTitle(page, pattern, seconds) {
  await page.waitForFunction((p) => new RegExp(p).test(document.title) || document.title === "velor: failed",
                             { timeout: seconds * 1000, polling: 250 }, pattern.source);
  const title = await page.title();
  if (title === "velor: failed") {
    const text = await page.$eval("#message", (e) => e.textContent);
    throw new Error(`the page failed: ${text}`);
  }
  return title;
}

async function messageShown(page) {
  return page.$eval("#message", (e) => {
    const s = getComputedStyle(e);
    const r = e.getBoundingClientRect();
    return { text: e.textContent, className: e.className, visible: s.display !== "none" && s.visibility !== "hidden" && r.height > 0 && e.textContent.trim() !== "" };
  });
}

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) failures++;
}

// Listens to what the page sends to the speakers: every Web Audio script-processor block the page
// fills is measured after its own handler has written it (peak and RMS over all channels).
function listenToAudio() {
  const listened = window.__velorAudio = { blocks: 0, soundingBlocks: 0, peak: 0, sumSquares: 0, samples: 0, seconds: 0 };
  const attribute = Object.getOwnPropertyDescriptor(ScriptProcessorNode.prototype, "onaudioprocess");
  const create = BaseAudioContext.prototype.createScriptProcessor;
  BaseAudioContext.prototype.createScriptProcessor = function (...args) {
    const node = create.apply(this, args);
    Object.defineProperty(node, "onaudioprocess", {
      configurable: true,
      get() { return attribute.get.call(node); },
      set(handler) {
        attribute.set.call(node, handler && function (event) {
          handler.call(this, event);
          const out = event.outputBuffer;
          let blockPeak = 0;
          for (let c = 0; c < out.numberOfChannels; ++c) {
            const data = out.getChannelData(c);
            for (let i = 0; i < data.length; ++i) {
              const v = Math.abs(data[i]);
              if (v > blockPeak) blockPeak = v;
              listened.sumSquares += data[i] * data[i];
            }
            listened.samples += data.length;
          }
          listened.blocks++;
          listened.seconds += out.length / out.sampleRate;
          if (blockPeak > 1e-3) listened.soundingBlocks++;
          listened.peak = Math.max(listened.peak, blockPeak);
        });
      },
    });
    return node;
  };
}

// Peak and RMS of the first `seconds` of the demo's module as the native renderer plays it (the
// contentgen tool writes it as a 16-bit WAV), or null when the tool is not built.
function nativeMusicLevel(seconds) {
  const tool = process.env.VELOR_MUSIC_RENDER;
  if (!tool || !fs.existsSync(tool)) return null;
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "velor-music-"));
  try {
    execFileSync(tool, [dir], { stdio: "ignore" });
    const wav = fs.readFileSync(path.join(dir, fs.readdirSync(dir).find((f) => f.endsWith(".wav"))));
    const channels = wav.readUInt16LE(22), rate = wav.readUInt32LE(24);
    let at = 12;
    while (wav.toString("latin1", at, at + 4) !== "data") at += 8 + wav.readUInt32LE(at + 4);
    const start = at + 8;
    const count = Math.min(Math.round(seconds * rate) * channels, wav.readUInt32LE(at + 4) / 2);
    let peak = 0, sumSquares = 0;
    for (let i = 0; i < count; ++i) {
      const v = wav.readInt16LE(start + 2 * i) / 32768;
      peak = Math.max(peak, Math.abs(v));
      sumSquares += v * v;
    }
    return { peak, rms: Math.sqrt(sumSquares / count) };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// A real visit: loads, waits for the click, plays a few seconds with its music, which reaches the
// speakers as sound (not silence, not a saturated block); nothing reaches the console as an error.
// Escape ends it and the page says so.
async function testLoads() {
  await withPage(modules, webDir, browser, async (page, base, log) => {
    await page.evaluateOnNewDocument(listenToAudio);
    await page.goto(`${base}/velor.html`);
    await page.waitForFunction(() => /Click to start/.test(document.getElementById("message").textContent),
                               { timeout: 120000, polling: 250 });
    await page.mouse.click(512, 384);
    await new Promise((r) => setTimeout(r, 8000));
    const playing = await messageShown(page);
    check(!playing.visible, `no message over the canvas while playing (saw "${playing.text}")`);
    const audio = await page.evaluate(() => window.__velorAudio);
    const rms = audio.samples ? Math.sqrt(audio.sumSquares / audio.samples) : 0;
    console.log(`audio: ${audio.blocks} blocks, ${audio.soundingBlocks} sounding, peak ${audio.peak.toFixed(3)}, ` +
                `RMS ${rms.toFixed(4)}`);
    check(audio.blocks >= 10 && audio.soundingBlocks >= audio.blocks / 2,
          `the music plays: most blocks sent to the speakers carry sound (${audio.soundingBlocks} of ${audio.blocks})`);
    check(rms > 0.01 && rms < 0.5 && audio.peak <= 1.5, `the music is at a sane level (RMS ${rms.toFixed(4)}, peak ${audio.peak.toFixed(3)})`);
    const native = nativeMusicLevel(audio.seconds);
    if (native) {
      console.log(`native module, first ${audio.seconds.toFixed(2)} s: peak ${native.peak.toFixed(3)}, RMS ${native.rms.toFixed(4)}`);
      check(Math.abs(rms / native.rms - 1) < 0.15 && Math.abs(audio.peak / native.peak - 1) < 0.1,
            "the page plays the module the native build renders, at its level (RMS within 15 %, peak within 10 %)");
    }
    await page.keyboard.press("Escape");
    await page.waitForFunction(() => /end/i.test(document.getElementById("message").textContent),
                               { timeout: 20000, polling: 250 }).catch(() => {});
    const ended = await messageShown(page);
    check(ended.visible && /end/i.test(ended.text), `Escape ends the demo and the page says so (saw "${ended.text}")`);
    check(log.errors.length === 0, `no console error (${log.errors.length}: ${log.errors.slice(0, 5).join(" | ")})`);
    if (log.errors.length) console.log(log.lines.join("\n"));
  });
}

// Without its data file the page says why instead of leaving a blank canvas.
async function testMissingData() {
  await withPage(modules, webDir, browser, async (page, base) => {
    await page.goto(`${base}/no-data/velor.html?at=5`);
    await page.waitForFunction(() => document.getElementById("message").className === "error",
                               { timeout: 60000, polling: 250 }).catch(() => {});
    const shown = await messageShown(page);
    check(shown.visible && shown.className === "error" && /velor\.data/.test(shown.text),
          `a visible message names the missing data file (saw "${shown.text}")`);
  });
}

// One time in each scene window, at the capture's default step; the page's frame (the wide framing,
// its default) against the native 16:9 capture. Two different rasterisers (SwiftShader, llvmpipe) draw them: they are compared by mean
// difference and by where the bright pixels are, not pixel for pixel.
const FRAME_TIMES = [5, 25, 45, 65, 85, 105];
const STEP = 1 / 60;

async function testFrames() {
  const capture = process.env.VELOR_CAPTURE;
  if (!capture || !fs.existsSync(capture)) skipOrFail("velor-capture is not built");
  const out = fs.mkdtempSync(path.join(os.tmpdir(), "velor-web-"));
  const keep = process.env.VELOR_WEB_KEEP_FRAMES;
  try {
    execFileSync(capture, ["--at", FRAME_TIMES.join(","), "--step", String(STEP), "--size", "1024x576", "--out", out],
                 { cwd: path.dirname(capture), stdio: "inherit" });
    await withPage(modules, webDir, browser, async (page, base) => {
      for (const t of FRAME_TIMES) {
        const started = Date.now();
        await page.goto(`${base}/velor.html?at=${t}&step=${STEP}`);
        await waitForTitle(page, /^velor:ready$/, 600);
        const size = await page.$eval("#canvas", (c) => [c.width, c.height]);
        check(size[0] === 1024 && size[1] === 576, `t=${t}: the page frames wide by default, 1024 x 576 (saw ${size.join(" x ")})`);
        const canvas = await page.$("#canvas");
        const shot = await canvas.screenshot({ type: "png" });
        const seconds = (Date.now() - started) / 1000;
        const web = png.decode(shot);
        const native = png.decode(fs.readFileSync(path.join(out, `t${t.toFixed(3)}.png`)));
        if (keep) {
          fs.mkdirSync(keep, { recursive: true });
          fs.writeFileSync(path.join(keep, `web-t${t}.png`), shot);
          fs.copyFileSync(path.join(out, `t${t.toFixed(3)}.png`), path.join(keep, `native-t${t}.png`));
        }
        const m = compare.measure(native, web);
        console.log(`t=${t}: ${compare.describe(m)} (page ready in ${seconds.toFixed(1)} s)`);
        for (const [ok, what] of compare.verdicts(m)) check(ok, `t=${t}: ${what}`);
        // The comparison must tell windows apart: against the next window's native frame it fails.
        const other = FRAME_TIMES[(FRAME_TIMES.indexOf(t) + 1) % FRAME_TIMES.length];
        const wrong = compare.measure(png.decode(fs.readFileSync(path.join(out, `t${other.toFixed(3)}.png`))), web);
        console.log(`t=${t} against t=${other}: ${compare.describe(wrong)}`);
        check(compare.verdicts(wrong).slice(1).some(([ok]) => !ok), `t=${t}: the frame does not pass for t=${other}'s`);
      }
    });
  } finally {
    fs.rmSync(out, { recursive: true, force: true });
  }
}

// Served from a sub-folder of the host (nothing outside it exists): the page finds its script, wasm
// and data beside it, through the folder's own address (a host's index.html) and by its name, and
// draws a lit frame.
async function testSubfolder() {
  await withPage(modules, webDir, browser, async (page, base, log) => {
    for (const address of [`${base}/?at=25`, `${base}/velor.html?at=25`]) {
      await page.goto(address);
      await waitForTitle(page, /^velor:ready$/, 600);
      const shot = png.decode(await (await page.$("#canvas")).screenshot({ type: "png" }));
      let sum = 0;
      for (let p = 0; p < shot.rgba.length; p += 4) sum += shot.rgba[p] + shot.rgba[p + 1] + shot.rgba[p + 2];
      const mean = sum / (shot.rgba.length / 4 * 3);
      check(mean > 5, `${address}: the frame at 25 s is lit (mean ${mean.toFixed(1)} of 255)`);
    }
    check(log.errors.length === 0, `every file is found under the sub-folder (${log.errors.slice(0, 5).join(" | ")})`);
  }, { folder: "/demos/velor/" });
}

// A 2w-wide image averaged 2 x 2 into a w-wide one; any other width is returned as it is.
function halve(image, width) {
  if (image.width !== 2 * width) return image;
  const w = image.width / 2, h = Math.floor(image.height / 2);
  const rgba = new Uint8Array(w * h * 4);
  for (let y = 0; y < h; y++)
    for (let x = 0; x < w; x++)
      for (let c = 0; c < 4; c++) {
        let sum = 0;
        for (let dy = 0; dy < 2; dy++)
          for (let dx = 0; dx < 2; dx++) sum += image.rgba[((2 * y + dy) * image.width + 2 * x + dx) * 4 + c];
        rgba[(y * w + x) * 4 + c] = Math.round(sum / 4);
      }
  return { width: w, height: h, rgba };
}

// ?scale=2 with ?frame=4:3: the page renders twice the pixels each way of the whole back buffer (the
// canvas's drawing buffer is 2048 x 1536) and the picture is still the frame at that time, as the
// native 1x 4:3 frame has it.
async function testScale() {
  const capture = process.env.VELOR_CAPTURE;
  if (!capture || !fs.existsSync(capture)) skipOrFail("velor-capture is not built");
  const out = fs.mkdtempSync(path.join(os.tmpdir(), "velor-web-"));
  const t = 25;
  try {
    execFileSync(capture, ["--at", String(t), "--step", String(STEP), "--out", out],
                 { cwd: path.dirname(capture), stdio: "inherit" });
    await withPage(modules, webDir, browser, async (page, base) => {
      await page.goto(`${base}/velor.html?at=${t}&step=${STEP}&scale=2&frame=4:3`);
      await waitForTitle(page, /^velor:ready$/, 600);
      const size = await page.evaluate(() => {
        const canvas = document.getElementById("canvas");
        return [canvas.width, canvas.height];
      });
      check(size[0] === 2048 && size[1] === 1536, `?scale=2 draws 2048 x 1536 pixels (saw ${size[0]} x ${size[1]})`);
      const native = png.decode(fs.readFileSync(path.join(out, `t${t.toFixed(3)}.png`)));
      // The shot is at the canvas's laid-out size: 1x, or the real pixels, averaged down 2 x 2 here.
      const web = halve(png.decode(await (await page.$("#canvas")).screenshot({ type: "png" })), native.width);
      const m = compare.measure(native, web);
      console.log(`scale 2, t=${t}: ${compare.describe(m)}`);
      for (const [ok, what] of compare.verdicts(m)) check(ok, `scale 2, t=${t}: ${what}`);
    });
  } finally {
    fs.rmSync(out, { recursive: true, force: true });
  }
}

// The shot of the canvas, decoded, and its mean brightness (0 to 255).
async function canvasShot(page) {
  const bytes = await (await page.$("#canvas")).screenshot({ type: "png" });
  if (process.env.VELOR_WEB_KEEP_FRAMES) fs.writeFileSync(path.join(process.env.VELOR_WEB_KEEP_FRAMES, `keys-${Date.now()}.png`), bytes);
  const shot = png.decode(bytes);
  let sum = 0;
  for (let p = 0; p < shot.rgba.length; p += 4) sum += shot.rgba[p] + shot.rgba[p + 1] + shot.rgba[p + 2];
  return { image: shot, mean: sum / (shot.rgba.length / 4 * 3) };
}

function sameImage(a, b) {
  return a.width === b.width && a.height === b.height && Buffer.compare(Buffer.from(a.rgba), Buffer.from(b.rgba)) === 0;
}

// The player prints a line per key it handles and one when a seek lands (demo/shell/viewer_keys.h):
// this waits for the next line of `key` in `state` after the log's first `from` lines.
async function keyLine(log, key, state, from, seconds = 60) {
  return (await keyStatus(log, key, state, from, seconds)).time;
}

// The same line's figures: { time, clock, music } (music NaN without music).
async function keyStatus(log, key, state, from, seconds = 60) {
  const pattern = new RegExp(`key=${key} state=${state} time=([0-9.]+) clock=([0-9.]+) music=(\\S+)`);
  const until = Date.now() + seconds * 1000;
  for (;;) {
    for (const line of log.lines.slice(from)) {
      const m = pattern.exec(line);
      if (m) return { time: parseFloat(m[1]), clock: parseFloat(m[2]), music: parseFloat(m[3]) };
    }
    if (Date.now() > until) throw new Error(`no "key=${key} state=${state}" line from the player`);
    await new Promise((r) => setTimeout(r, 100));
  }
}

// A real run's keys: Space holds the picture and lets it go on, Left and Right land 5 s away and
// Home at the start (each within a frame), and the full-screen button, which shows only while the
// mouse moves, lays the canvas out across the screen's width. Before them the tab is hidden a few
// seconds and shown again: the pause's line then tells how far the music is from the picture's clock.
async function testKeys() {
  await withPage(modules, webDir, browser, async (page, base, log) => {
    await page.goto(`${base}/velor.html?from=14`);
    await page.waitForFunction(() => /Click to start/.test(document.getElementById("message").textContent),
                               { timeout: 120000, polling: 250 });
    await page.mouse.click(512, 384);
    await page.waitForFunction(() => !document.getElementById("message").textContent,
                               { timeout: 120000, polling: 250 });
    await new Promise((r) => setTimeout(r, 3000));
    const buttonShown = () => page.$eval("#fullscreen", (e) => getComputedStyle(e).opacity !== "0" && !e.classList.contains("idle"));
    await new Promise((r) => setTimeout(r, 2500));  // past the click's mouse movement
    check(!(await buttonShown()), "the full-screen button stays hidden while the mouse is still (out of captures)");

    const other = await page.browser().newPage();
    await other.bringToFront();
    await new Promise((r) => setTimeout(r, 4000));
    const hidden = await page.evaluate(() => document.visibilityState);
    await page.bringToFront();
    await other.close();
    await new Promise((r) => setTimeout(r, 2000));
    let mark = log.lines.length;
    await page.keyboard.press(" ");  // the Space bar (Firefox's driver knows it by its character)
    const paused = await keyStatus(log, "space", "\\w+", mark);
    console.log(`after the tab was ${hidden} 4 s and shown 2 s: clock ${paused.clock.toFixed(3)} s, ` +
                `music ${paused.music.toFixed(3)} s, music - clock ${(paused.music - paused.clock).toFixed(3)} s`);
    check(Number.isFinite(paused.music), "the music plays (its position is known)");
    await new Promise((r) => setTimeout(r, 500));
    const held = await canvasShot(page);
    await new Promise((r) => setTimeout(r, 1500));
    const later = await canvasShot(page);
    check(held.mean > 0.2, `the paused frame is lit (mean ${held.mean.toFixed(1)})`);
    check(sameImage(held.image, later.image), "Space holds the picture: the same frame 1.5 s later");

    const frame = 1 / 60 + 1e-6;
    for (const [key, name, expected] of [["ArrowRight", "right", (t) => t + 5], ["ArrowLeft", "left", (t) => t - 5],
                                         ["Home", "home", () => 0]]) {
      mark = log.lines.length;
      await page.keyboard.press(key);
      const before = await keyLine(log, name, "seeking", mark);
      const landed = await keyLine(log, name, "landed", mark);
      const target = expected(before);
      check(Math.abs(landed - target) <= frame,
            `${key} from ${before.toFixed(3)} s lands at ${landed.toFixed(3)} s (target ${target.toFixed(3)}, within a frame)`);
    }

    mark = log.lines.length;
    await page.keyboard.press(" ");  // the Space bar (Firefox's driver knows it by its character)
    await keyLine(log, "space", "\\w+", mark);
    const resumedAt = await canvasShot(page);
    await new Promise((r) => setTimeout(r, 1500));
    const resumed = await canvasShot(page);
    check(!sameImage(resumedAt.image, resumed.image), "Space again: the picture moves on");

    // The window's own size from here on, which full screen changes (not a fixed emulated viewport).
    await page.setViewport(null);
    await page.mouse.move(100, 100);
    await page.mouse.move(200, 150);
    await page.waitForFunction(() => !document.getElementById("fullscreen").classList.contains("idle") &&
                                     getComputedStyle(document.getElementById("fullscreen")).opacity === "1",
                               { timeout: 1500, polling: 50 }).catch(() => {});
    check(await buttonShown(), "the full-screen button shows when the mouse moves");
    await page.click("#fullscreen");
    await page.waitForFunction(() => !!document.fullscreenElement, { timeout: 10000, polling: 100 }).catch(() => {});
    // The layout follows once the window has its new size.
    await page.waitForFunction(() => Math.abs(document.getElementById("canvas").getBoundingClientRect().width -
                                              Math.min(window.innerWidth, window.innerHeight * 16 / 9)) <= 1,
                               { timeout: 5000, polling: 100 }).catch(() => {});
    const laid = await page.evaluate(() => {
      const r = document.getElementById("canvas").getBoundingClientRect();
      return { full: !!document.fullscreenElement, width: r.width, height: r.height,
               innerWidth: window.innerWidth, innerHeight: window.innerHeight, screenWidth: screen.width };
    });
    console.log(`full screen: ${JSON.stringify(laid)}`);
    check(laid.full, "the button puts the page in full screen");
    // Firefox under Xvfb has no window manager to grow its window to the screen: there the layout
    // is held to the window's width it gets.
    const wide = browser === "firefox" ? laid.innerWidth : laid.screenWidth;
    check((browser === "firefox" || laid.innerWidth === laid.screenWidth) && Math.abs(laid.width - wide) <= 1 &&
          Math.abs(laid.width / laid.height - 16 / 9) < 0.01,
          `the canvas fills the screen's width at 16:9 (${laid.width} x ${laid.height} on ${laid.screenWidth} wide)`);
  });
}

const tests = { loads: testLoads, frames: testFrames, "missing-data": testMissingData, subfolder: testSubfolder,
                scale: testScale, keys: testKeys };
const name = process.argv[2];
if (!tests[name]) {
  console.error(`usage: node page_tests.js ${Object.keys(tests).join("|")}`);
  process.exit(2);
}
tests[name]().then(
  () => process.exit(failures ? 1 : 0),
  (e) => { console.error(e && e.stack || e); process.exit(1); });
