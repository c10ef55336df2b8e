// What the display shows, drawn as the glass shows it, each pixel a zoomed square, with a
// grid between pixels when asked.
"use strict";

// [background, set pixel, grid] of each look, the colours of dotlane-cli's --preview-look,
// so the canvas and the command line's preview PNG agree.
const kLooks = {
  lcd: ["#a9bc7d", "#1f2b1a", "#9db071"],
  "oled-white": ["#0c0e12", "#f4f7fa", "#000000"],
  "oled-blue": ["#0c0e12", "#9be7ff", "#000000"],
  "oled-yellow": ["#0c0e12", "#ffd23c", "#000000"],
  epaper: ["#d8d8d4", "#1c1c1c", "#cbcbc7"],
};
const kMaxCanvasPixels = 16 * 1024 * 1024;

function hexColour(text) {
  const v = parseInt(text.slice(1), 16);
  return [v >> 16, (v >> 8) & 255, v & 255];
}

// A canvas pixel (RGBA in memory, little-endian) from R, G and B.
const pack = (r, g, b) => ((255 << 24) | (b << 16) | (g << 8) | r) >>> 0;

// Paints `w` x `h` pixels of `packed` colours on `canvas`, each `zoom` pixels square, the last
// row and column of each in `gridColour` when `grid`; returns the zoom used, lowered so that
// the canvas stays within what browsers draw.
function paint(canvas, w, h, packed, gridColour, zoom, grid) {
  zoom = Math.max(1, Math.min(zoom, Math.floor(Math.sqrt(kMaxCanvasPixels / Math.max(w * h, 1)))));
  const gap = grid && zoom >= 3 ? 1 : 0;
  // A canvas of the same size keeps its bitmap and pixel buffer: every pixel is painted anew.
  if (canvas.width !== w * zoom || canvas.height !== h * zoom) {
    canvas.width = w * zoom;
    canvas.height = h * zoom;
    canvas.picture = null;
  }
  const g = canvas.getContext("2d");
  const picture = (canvas.picture ||= g.createImageData(canvas.width, canvas.height));
  const out = new Uint32Array(picture.data.buffer), stride = canvas.width;
  // Each row of dots is painted once, then copied down its height: a large preview is then
  // a copy of memory more than a loop over every canvas pixel.
  for (let y = 0; y < h; ++y) {
    const top = y * zoom * stride;
    for (let x = 0, at = top; x < w; ++x) {
      const colour = packed[y * w + x];
      for (let dx = gap; dx < zoom; ++dx) out[at++] = colour;
      if (gap) out[at++] = gridColour;
    }
    for (let dy = 1; dy < zoom - gap; ++dy) out.copyWithin(top + dy * stride, top, top + stride);
    if (gap) out.fill(gridColour, top + (zoom - 1) * stride, top + zoom * stride);
  }
  g.putImageData(picture, 0, 0);
  return zoom;
}

// Draws `bits` ({width, height, data}) on `canvas` in `look`.
function drawBits(canvas, bits, look, zoom, grid) {
  const [back, ink, line] = (kLooks[look] || kLooks.lcd).map(hexColour);
  const colours = [pack(...back), pack(...ink)];
  const packed = new Uint32Array(bits.width * bits.height);
  for (let i = 0; i < packed.length; ++i) packed[i] = colours[bits.data[i]];
  return paint(canvas, bits.width, bits.height, packed, pack(...line), zoom, grid);
}

// Draws `colours` ({width, height, data: RGBA}), the colours the display shows, as
// dotlane-cli's preview does: as they are between black lines (`asIs`, a TFT's), or with
// `shade` each one's luminance from the look's dark to its light (an OLED's off to its lit
// colour, an LCD's or e-paper's ink to its glass), else as they are on the look's grid.
function drawColours(canvas, colours, look, zoom, grid, { asIs, shade }) {
  const rgb = (kLooks[look] || kLooks.lcd).map(hexColour);
  const lit = look.startsWith("oled");
  const dark = rgb[lit ? 0 : 1], light = rgb[lit ? 1 : 0];
  const d = colours.data;
  // Opaque RGBA read as little-endian words is already a canvas pixel.
  let packed = new Uint32Array(d.buffer, d.byteOffset, d.length >> 2);
  if (shade) {
    packed = new Uint32Array(packed.length);
    for (let i = 0; i < packed.length; ++i) {
      const r = d[4 * i], g = d[4 * i + 1], b = d[4 * i + 2];
      const level = Math.floor((299 * r + 587 * g + 114 * b + 500) / 1000);
      const [sr, sg, sb] = [0, 1, 2].map((k) => dark[k] + Math.trunc(((light[k] - dark[k]) * level + 127) / 255));
      packed[i] = pack(sr, sg, sb);
    }
  }
  return paint(canvas, colours.width, colours.height, packed, asIs ? pack(0, 0, 0) : pack(...rgb[2]), zoom, grid);
}
