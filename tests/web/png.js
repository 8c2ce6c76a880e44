// Reads 8-bit PNGs (grey, grey+alpha, RGB, RGBA; not interlaced), the kinds the browser's
// screenshots and the native capture write, into { width, height, rgba } with four bytes a pixel.
"use strict";
const zlib = require("zlib");

const CHANNELS = { 0: 1, 2: 3, 4: 2, 6: 4 };

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

function decode(buffer) {
  if (buffer.readUInt32BE(0) !== 0x89504e47) throw new Error("not a PNG");
  let offset = 8, width = 0, height = 0, depth = 0, type = 0, interlace = 0;
  const data = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const kind = buffer.toString("latin1", offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + length);
    if (kind === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      depth = body[8];
      type = body[9];
      interlace = body[12];
    } else if (kind === "IDAT") {
      data.push(body);
    } else if (kind === "IEND") {
      break;
    }
    offset += 12 + length;
  }
  const channels = CHANNELS[type];
  if (depth !== 8 || !channels || interlace) throw new Error(`unsupported PNG (depth ${depth}, type ${type}, interlace ${interlace})`);
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const src = y * (stride + 1) + 1, dst = y * stride, up = dst - stride;
    for (let i = 0; i < stride; i++) {
      const x = raw[src + i];
      const a = i >= channels ? rows[dst + i - channels] : 0;
      const b = y > 0 ? rows[up + i] : 0;
      const c = y > 0 && i >= channels ? rows[up + i - channels] : 0;
      let v;
      switch (filter) {
        case 0: v = x; break;
        case 1: v = x + a; break;
        case 2: v = x + b; break;
        case 3: v = x + ((a + b) >> 1); break;
        case 4: v = x + paeth(a, b, c); break;
        default: throw new Error(`bad PNG filter ${filter}`);
      }
      rows[dst + i] = v & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let p = 0; p < width * height; p++) {
    const s = p * channels;
    const grey = channels <= 2;
    rgba[p * 4] = rows[s];
    rgba[p * 4 + 1] = grey ? rows[s] : rows[s + 1];
    rgba[p * 4 + 2] = grey ? rows[s] : rows[s + 2];
    rgba[p * 4 + 3] = channels === 2 ? rows[s + 1] : channels === 4 ? rows[s + 3] : 255;
  }
  return { width, height, rgba };
}

module.exports = { decode };
