// The library's calls as JavaScript over the engine's memory: text and bytes are what
// dotlane-cli gives for the same input, since both call the one library. Shared by the page's
// worker and dotlane.mjs; a plain script, put together with the engine's loader at build time.
"use strict";

// The engine of `wasmModule`, instantiated at once: a fresh one replaces one that failed.
function newDotlaneEngine(wasmModule) {
  const engine = {
    print() {},
    printErr() {},
    instantiateWasm(imports, receive) {
      receive(new WebAssembly.Instance(wasmModule, imports));
      return {};
    },
  };
  createDotlaneEngine(engine);
  return engine;
}

// Options as the command line names them without dashes: {target: "ssd1306", size: "128x64",
// invertColors: true, name: ["a", "b"]}. true is a flag; false, null and "" are absent. The
// library takes them as name and value pairs, a flag's value empty.
function dotlaneOptions(options) {
  const pairs = [];
  for (const [key, value] of Object.entries(options || {})) {
    if (value === false || value === null || value === undefined || value === "") continue;
    const name = key.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase());
    for (const one of [].concat(value)) pairs.push(name, one === true ? "" : String(one));
  }
  return pairs;
}

// Why a picture or array object is unusable, or "".
function pictureProblem(p) {
  if (!p || (!p.bytes && !p.rgba)) return "a picture is a file's bytes or RGBA pixels";
  if (p.rgba) {
    const frames = p.delays ? p.delays.length : 1;
    if (!(p.width > 0 && p.height > 0) || p.rgba.length !== p.width * p.height * 4 * frames)
      return "RGBA pixels need a width and height that match their length";
  }
  return "";
}

function makeDotlane(wasmModule) {
  let engine = newDotlaneEngine(wasmModule);
  let serial = 0;
  const loaded = new Map(); // picture object -> its name in the engine
  const kept = new Set(); // pictures that stay loaded between calls: the page's
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  const textIn = (which) => {
    const at = engine._dl_text(which);
    return engine.HEAPU8.subarray(at, at + engine._dl_text_size(which));
  };
  const text = (which) => decoder.decode(textIn(which));
  const blob = () => engine.HEAPU8.slice(engine._dl_blob(), engine._dl_blob() + engine._dl_blob_size());
  const ints = () => engine.HEAP32.subarray(engine._dl_result() >> 2);

  // Copies each of `items` (bytes, or strings as UTF-8) into the engine's memory for the
  // length of `use`, which gets a pointer and a length for each.
  function withBytes(items, use) {
    const all = items.map((b) => (typeof b === "string" ? encoder.encode(b) : b));
    const ptrs = all.map((b) => {
      const ptr = engine._malloc(Math.max(b.length, 1));
      engine.HEAPU8.set(b, ptr);
      return ptr;
    });
    try {
      return use(...all.flatMap((b, i) => [ptrs[i], b.length]));
    } finally {
      for (const ptr of ptrs) engine._free(ptr);
    }
  }

  // The header's bytes, a line break and the source's.
  function joined(header, source) {
    const all = new Uint8Array(header.length + 1 + source.length);
    all.set(header);
    all[header.length] = 10;
    all.set(source, header.length + 1);
    return all;
  }

  // Strings with a NUL after each, as the engine takes lists.
  const list = (items) => items.map((s) => s + "\0").join("");

  const failed = (status) => ({ status, error: text(2) || "the engine stopped with status " + status });

  // The engine stops at the first exception (memory it cannot have): the input is refused
  // and a fresh engine takes its place.
  function guarded(work) {
    try {
      return work();
    } catch (e) {
      engine = newDotlaneEngine(wasmModule);
      loaded.clear();
      return { status: 1, error: "The engine could not finish with this input: it needs more memory than the page has (" + (e && e.message ? e.message : e) + ")." };
    }
  }

  // The picture's name in the engine, its bytes or pixels handed over once per picture
  // object, so a changed option re-reads nothing.
  function nameOf(p) {
    if (loaded.has(p)) return loaded.get(p);
    // A picture's own name, unless another picture has it.
    const own = String(p.name || "image").split("/").pop() || "image";
    const name = [...loaded.values()].includes(own) ? ++serial + "/" + own : own;
    const fileSize = p.bytes ? p.bytes.length : 0;
    if (p.rgba) {
      const delays = Int32Array.from(p.delays || [0]);
      withBytes([name, p.rgba, new Uint8Array(delays.buffer)], (n, nl, rgba, length, d) =>
        engine._dl_picture(n, nl, rgba, length, p.width, p.height, delays.length, d, fileSize));
    } else {
      withBytes([name, p.bytes], (n, nl, bytes, length) => engine._dl_picture(n, nl, bytes, length, 0, 0, 0, 0, fileSize));
    }
    loaded.set(p, name);
    return name;
  }

  function forget(p) {
    kept.delete(p);
    const name = loaded.get(p);
    if (name === undefined) return;
    loaded.delete(p);
    withBytes([name], (n, nl) => engine._dl_forget(n, nl));
  }

  // Width, height and a byte a pixel from the engine's ints at `at`.
  function bitsAt(at) {
    const h32 = ints();
    const width = h32[at], height = h32[at + 1], start = engine._dl_result() + (at + 2) * 4;
    const data = engine.HEAPU8.slice(start, start + width * height);
    return { bits: { width, height, data }, next: at + 2 + Math.ceil((width * height) / 4) };
  }

  // Width, height and the colours as RGBA, opaque, from the engine's ints at `at`.
  function coloursAt(at) {
    const h32 = ints();
    const width = h32[at], height = h32[at + 1], start = engine._dl_result() + (at + 2) * 4;
    const data = engine.HEAPU8.slice(start, start + width * height * 4);
    for (let i = 3; i < data.length; i += 4) data[i] = 255;
    return { width, height, data };
  }

  // The bits at `at`, and the colours after them when the flag before them is set.
  function shownAt(at) {
    const { bits, next } = bitsAt(at + 1);
    return ints()[at] ? { bits, colours: coloursAt(next) } : { bits };
  }

  const arrayBytes = (array) => (typeof array === "string" ? encoder.encode(array) : array);

  // Pictures given for one call only are let go after it.
  function released(pictures, result) {
    for (const p of pictures) if (!kept.has(p)) forget(p);
    return result;
  }

  return {
    forget,
    keep(p) {
      kept.add(p);
    },
    // One picture or several into one output: the text dotlane-cli prints, the bytes (every
    // picture's, every frame's), and the bits a display reads from the first. With `utf8` the
    // texts are UTF-8 bytes: a worker hands those over without a copy, where a string of a
    // colour array's megabyte would be decoded, copied and copied again.
    convert(pictures, options, utf8) {
      const all = [].concat(pictures);
      const problem = all.map(pictureProblem).find((p) => p);
      if (problem) return { status: 2, error: problem };
      return released(all, guarded(() => {
        const names = all.map(nameOf);
        const o = Object.assign({}, options);
        // The source includes the header by the name given, without its folders.
        for (const k of ["header", "source"]) if (o[k]) o[k] = String(o[k]).split("/").pop();
        const status = withBytes([list(dotlaneOptions(o)), list(names)], (...a) => engine._dl_convert(...a));
        if (status) return failed(status);
        const take = utf8 ? (which) => textIn(which).slice() : text;
        const result = { status: 0, text: o.style !== "bin" ? take(0) : utf8 ? new Uint8Array(0) : "", bytes: blob() };
        if (o.header) {
          result.header = take(1);
          result.source = result.text;
          result.text = utf8 ? joined(result.header, result.source) : result.header + "\n" + result.source;
        }
        result.look = ["lcd", "oled", "epaper"][ints()[0]];
        result.oled = result.look === "oled";
        result.tft = ints()[1] === 1;
        result.grey = ints()[2] === 1;
        return Object.assign(result, shownAt(3));
      }));
    },

    // The array painted back: its bits (and a layout of more than one bit's colours), the
    // engine's remark on missing bytes, and with {png: true} a PNG file of it in the ink asked
    // for, or in its colours.
    render(array, options) {
      return guarded(() => {
        const o = dotlaneOptions(Object.assign({}, options, { png: null }));
        const png = options && options.png ? 1 : 0;
        const status = withBytes([list(o), arrayBytes(array)], (...a) => engine._dl_render(...a, png));
        if (status) return failed(status);
        const result = Object.assign({ status: 0, warning: text(2) }, shownAt(0));
        if (png) result.png = blob();
        return result;
      });
    },

    // guess's list as it prints it, and its best readings, each with its bits.
    guess(array, options) {
      return guarded(() => {
        const o = dotlaneOptions({ input: options && options.input, name: options && options.name });
        const most = (options && options.most) || 6;
        const status = withBytes([list(o), arrayBytes(array)], (...a) => engine._dl_guess(...a, most));
        if (status) return failed(status);
        const layouts = text(1).split("\n");
        const readings = [];
        for (let i = 0, at = 1, count = ints()[0]; i < count; ++i) {
          const score = ints()[at] / 1e6;
          const { bits, next } = bitsAt(at + 1);
          readings.push({ layout: layouts[i], width: bits.width, height: bits.height, score, bits });
          at = next;
        }
        return { status: 0, text: text(0), readings };
      });
    },

    // check's verdict on the array against what convert makes of the picture, and its
    // picture of the differences as a PNG file.
    check(picture, array, options) {
      const problem = pictureProblem(picture);
      if (problem) return { status: 2, error: problem };
      return released([picture], guarded(() => {
        const o = list(dotlaneOptions(options));
        const status = withBytes([o, nameOf(picture), arrayBytes(array)], (...a) => engine._dl_check(...a));
        if (status === 2 || (status && !engine._dl_blob_size())) return failed(status);
        return { status, text: text(0), error: text(2), diff: blob() };
      }));
    },

    // The engine's targets (each with its layout, group, style and reader), layouts (group and
    // description), the words of convert's word options and the layouts render takes.
    tables() {
      return guarded(() => {
        engine._dl_tables();
        const t = { targets: [], layouts: [], words: {}, render: [] };
        for (const line of text(0).split("\n")) {
          const [kind, ...f] = line.split("\t");
          if (kind === "target") t.targets.push({ name: f[0], layout: f[1], group: f[2], style: f[3], reader: f[4] });
          else if (kind === "layout") t.layouts.push({ name: f[0], group: f[1], description: f[2] });
          else if (kind === "words") t.words[f[0]] = f[1].split(",");
          else if (kind === "render") t.render = f[0].split(",");
        }
        return t;
      });
    },

    // The window's T6963C or SED1565 listing of a 1-bit BMP file.
    listing(bmp, kind, options) {
      return guarded(() => {
        const invert = options && options.invertColors ? 1 : 0;
        const status = withBytes([bmp], (b, n) => engine._dl_listing(b, n, kind === "sed1565" ? 1 : 0, invert));
        return status ? failed(status) : { status: 0, text: text(0) };
      });
    },
  };
}
