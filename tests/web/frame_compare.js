// Compares two renderings of one frame by different rasterisers: how far apart they are on average,
// and whether their bright pixels sit in the same places. Pixel-for-pixel equality is not expected
// (rasterisation rules, filtering and blending precision differ between SwiftShader and llvmpipe).
"use strict";

// Bright pixels: the native frame's brightest fifth (frames range from dim blurs to white flashes),
// the same luminance threshold applied to both frames.
const BRIGHT_SHARE = 0.2;
const MIN_BRIGHT = 16;      // the threshold's floor: a black frame has no bright pixels
const GRID_X = 8, GRID_Y = 6;  // coarse cells, 128 x 128 pixels on a 1024 x 768 frame

// Thresholds. Matching frames measured here (SwiftShader against llvmpipe, one time in each window):
// mean difference 0.08 to 0.64, grid 0.0001 to 0.0022, centroids 0.0000 to 0.0012 apart. A frame
// against the next window's: mean difference 30 to 121, grid 0.19 to 0.65. The limits sit several
// times above the first and far below the second.
const LIMITS = {
  meanDiff: 6,         // mean absolute difference per channel, 0..255
  gridDiff: 0.03,      // mean over cells of the difference in bright coverage, 0..1
  centroid: 0.02,      // distance between the bright pixels' centroids, in frame widths
  minCoverage: 0.05,   // the native frame must show something: a black pair proves nothing
};

function luminance(rgba, p) {
  return 0.299 * rgba[p] + 0.587 * rgba[p + 1] + 0.114 * rgba[p + 2];
}

// The luminance above which the brightest `share` of the image lies.
function brightThreshold(image, share) {
  const histogram = new Uint32Array(256);
  for (let p = 0; p < image.rgba.length; p += 4) histogram[Math.round(luminance(image.rgba, p))]++;
  let above = 0;
  const wanted = share * image.width * image.height;
  for (let v = 255; v > 0; v--) {
    above += histogram[v];
    if (above >= wanted) return Math.max(v, MIN_BRIGHT);
  }
  return MIN_BRIGHT;
}

function brightness(image, threshold) {
  const { width, height, rgba } = image;
  const cells = new Float64Array(GRID_X * GRID_Y);
  let count = 0, sx = 0, sy = 0;
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      if (luminance(rgba, (y * width + x) * 4) < threshold) continue;
      count++;
      sx += x;
      sy += y;
      cells[Math.floor(y * GRID_Y / height) * GRID_X + Math.floor(x * GRID_X / width)]++;
    }
  }
  const perCell = (width / GRID_X) * (height / GRID_Y);
  return {
    coverage: count / (width * height),
    centroid: count ? [sx / count / width, sy / count / width] : [0.5, 0.5 * height / width],
    cells: Array.from(cells, (n) => n / perCell),
  };
}

// `a` is the reference (the native frame), `b` the frame under test.
function measure(a, b) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`frame sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  let sum = 0;
  for (let p = 0; p < a.rgba.length; p += 4)
    for (let c = 0; c < 3; c++) sum += Math.abs(a.rgba[p + c] - b.rgba[p + c]);
  const threshold = brightThreshold(a, BRIGHT_SHARE);
  const ba = brightness(a, threshold), bb = brightness(b, threshold);
  let grid = 0;
  for (let i = 0; i < ba.cells.length; i++) grid += Math.abs(ba.cells[i] - bb.cells[i]);
  return {
    meanDiff: sum / (a.width * a.height * 3),
    gridDiff: grid / ba.cells.length,
    centroid: Math.hypot(ba.centroid[0] - bb.centroid[0], ba.centroid[1] - bb.centroid[1]),
    coverage: [ba.coverage, bb.coverage],
    threshold,
  };
}

function describe(m) {
  return `mean difference ${m.meanDiff.toFixed(2)}, grid ${m.gridDiff.toFixed(4)}, centroid ${m.centroid.toFixed(4)}, ` +
         `bright (luminance >= ${m.threshold}) native ${(100 * m.coverage[0]).toFixed(2)} % / page ${(100 * m.coverage[1]).toFixed(2)} %`;
}

function verdicts(m) {
  return [
    [m.coverage[0] >= LIMITS.minCoverage, `the native frame is not dark (bright coverage ${(100 * m.coverage[0]).toFixed(2)} %)`],
    [m.meanDiff <= LIMITS.meanDiff, `mean difference ${m.meanDiff.toFixed(2)} <= ${LIMITS.meanDiff}`],
    [m.gridDiff <= LIMITS.gridDiff, `bright coverage per cell differs by ${m.gridDiff.toFixed(4)} <= ${LIMITS.gridDiff}`],
    [m.centroid <= LIMITS.centroid, `bright centroids ${m.centroid.toFixed(4)} apart <= ${LIMITS.centroid}`],
  ];
}

module.exports = { measure, describe, verdicts, LIMITS };
