// The page's worker: holds the engine and the pictures, answers one request at a time. A
// request arriving while another is decoded waits its turn, so the answers keep their order.
"use strict";

const pictures = new Map(); // the page's key -> the picture as the engine takes it
let dotlane = null;
let queue = Promise.resolve();

// The engine's wasm travels gzipped in base64 inside this script.
async function engineModule() {
  const raw = atob(DOTLANE_WASM_GZIP), bytes = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
  return WebAssembly.compile(await new Response(stream).arrayBuffer());
}

// What the output box shows at first of a long text: its first 16 KB to the end of a line,
// a few hundred lines; the browser lays out all a text box holds, and 64 KB of it took as
// long as the conversion. The whole text goes to the page as UTF-8 bytes, moved rather than
// copied, and read as a string only when shown, copied or saved: a colour array's megabyte
// of text would otherwise be decoded and cloned at every change of an option.
const kShownAtFirst = 16 * 1024;
function shownOf(utf8) {
  let cut = utf8.length;
  if (cut > kShownAtFirst) {
    cut = utf8.lastIndexOf(10, kShownAtFirst) + 1 || kShownAtFirst;
    while ((utf8[cut] & 0xc0) === 0x80) --cut; // not inside a character
  }
  return { shown: new TextDecoder().decode(utf8.subarray(0, cut)), shownAll: cut === utf8.length };
}

function pictureOf(key) {
  const p = pictures.get(key);
  if (!p) throw new Error("The picture is gone; load it again.");
  return p;
}

// Every request by its `op`; the answer is posted with the request's id.
const handlers = {
  async picture(m) {
    const old = pictures.get(m.key);
    if (old) dotlane.forget(old);
    pictures.delete(m.key);
    const p = await decodePicture(m.name, new Uint8Array(m.bytes));
    pictures.set(m.key, p);
    dotlane.keep(p);
    return { width: p.width || 0, height: p.height || 0, frames: p.delays ? p.delays.length : 1, engineReads: !p.rgba };
  },
  drop(m) {
    const p = pictures.get(m.key);
    if (p) dotlane.forget(p);
    pictures.delete(m.key);
    return {};
  },
  // The picture as the engine takes it, decoded pixels included.
  pixels: (m) => Object.assign({}, pictureOf(m.key)),
  // The texts as UTF-8 bytes and the beginning to show as a string.
  convert(m) {
    const r = dotlane.convert(m.keys.map(pictureOf), m.options, true);
    return r.text ? Object.assign(r, shownOf(r.text)) : r;
  },
  render: (m) => dotlane.render(m.array, m.options),
  guess: (m) => dotlane.guess(m.array, m.options),
  check: (m) => dotlane.check(pictureOf(m.key), m.array, m.options),
  tables: () => dotlane.tables(),
  listing: (m) => dotlane.listing(pictureOf(m.key).bytes, m.kind, { invertColors: m.invert }),
};

// The buffers of an answer move to the page rather than being copied.
function transferables(result) {
  const list = [];
  for (const value of Object.values(result || {})) {
    if (value instanceof Uint8Array) list.push(value.buffer);
    else if (value && value.data instanceof Uint8Array) list.push(value.data.buffer);
    else if (Array.isArray(value)) for (const r of value) if (r.bits) list.push(r.bits.data.buffer);
  }
  return list;
}

self.onmessage = (event) => {
  const m = event.data;
  queue = queue.then(async () => {
    const started = performance.now();
    let result;
    try {
      if (!dotlane) dotlane = makeDotlane(await engineModule());
      result = await handlers[m.op](m);
    } catch (e) {
      result = { status: 1, error: String(e && e.message ? e.message : e) };
    }
    result.id = m.id;
    result.ms = performance.now() - started;
    self.postMessage(result, transferables(result));
  });
};
