// The bits drawn as the glass shows them, each pixel a zoomed square, with a grid between
// pixels when asked.
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

// Draws `bits` ({width, height, data}) on `canvas` in `look`; returns the zoom used, lowered
// so that the canvas stays within what browsers draw.
function drawBits(canvas, bits, look, zoom, grid) {
  const [back, ink, line] = (kLooks[look] || kLooks.lcd).map(hexColour);
  const w = bits.width, h = bits.height;
  zoom = Math.max(1, Math.min(zoom, Math.floor(Math.sqrt(kMaxCanvasPixels / Math.max(w * h, 1)))));
  const gap = grid && zoom >= 3 ? 1 : 0;
  canvas.width = w * zoom;
  canvas.height = h * zoom;
  const g = canvas.getContext("2d");
  const picture = g.createImageData(canvas.width, canvas.height);
  const out = new Uint32Array(picture.data.buffer);
  const pack = (c) => (255 << 24) | (c[2] << 16) | (c[1] << 8) | c[0];
  const colours = [pack(back), pack(ink)], gridColour = pack(line);
  for (let y = 0; y < h; ++y) {
    for (let x = 0; x < w; ++x) {
      const colour = colours[bits.data[y * w + x]];
      for (let dy = 0; dy < zoom; ++dy) {
        const row = (y * zoom + dy) * canvas.width + x * zoom;
        const edge = gap && dy === zoom - 1;
        for (let dx = 0; dx < zoom; ++dx) out[row + dx] = edge || (gap && dx === zoom - 1) ? gridColour : colour;
      }
    }
  }
  g.putImageData(picture, 0, 0);
  return zoom;
}
