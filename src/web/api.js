// The engine's calls as JavaScript: dotlane-cli's commands run on files in the engine's
// memory, so text and bytes are the command line's to the byte. Shared by the page's worker
// and dotlane.mjs; a plain script, put together with the engine's loader at build time.
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
  engine.FS.mkdir("/in");
  engine.FS.mkdir("/out");
  // Files are named relative to /in, so messages name them as the user knows them.
  engine.FS.chdir("/in");
  return engine;
}

// Options as the command line names them without dashes: {target: "ssd1306", size: "128x64",
// invertColors: true, name: ["a", "b"]}. true is a flag; false, null and "" are absent.
function dotlaneArgs(options) {
  const args = [];
  for (const [key, value] of Object.entries(options || {})) {
    if (value === false || value === null || value === undefined || value === "") continue;
    const option = key === "o" ? "-o" : "--" + key.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase());
    if (value === true) args.push(option);
    else for (const one of [].concat(value)) args.push(option, String(one));
  }
  return args;
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
  const loaded = new Map(); // picture object -> its path in the engine
  const kept = new Set(); // pictures that stay loaded between calls: the page's
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  const text = (ptr, size) => decoder.decode(engine.HEAPU8.subarray(ptr, ptr + size));

  // Copies into the engine's memory for the length of `use`.
  function withBytes(bytes, use) {
    const ptr = engine._malloc(Math.max(bytes.length, 1));
    engine.HEAPU8.set(bytes, ptr);
    try {
      return use(ptr);
    } finally {
      engine._free(ptr);
    }
  }

  // A command line's arguments, NUL after each, for the call `fn`.
  function call(fn, args, ...more) {
    const bytes = encoder.encode(args.map((a) => a + "\0").join(""));
    return withBytes(bytes, (ptr) => engine[fn](ptr, bytes.length, ...more));
  }

  function outputs(status) {
    return {
      status,
      out: engine.HEAPU8.slice(engine._dl_out(), engine._dl_out() + engine._dl_out_size()),
      err: text(engine._dl_err(), engine._dl_err_size()),
    };
  }

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

  function mkdirs(path) {
    let at = path.startsWith("/") ? "" : "/in";
    for (const part of path.split("/").slice(path.startsWith("/") ? 1 : 0, -1)) {
      at += "/" + part;
      if (!engine.FS.analyzePath(at).exists) engine.FS.mkdir(at);
    }
  }

  function writeFile(path, bytes) {
    mkdirs(path);
    engine.FS.writeFile(path, bytes);
    return path;
  }

  // The picture's file in the engine; the browser's pixels go with it. Loaded once per
  // picture object, so a changed option re-reads nothing.
  function pathOf(p) {
    if (loaded.has(p)) return loaded.get(p);
    // A picture's own name, unless another file has it.
    const name = String(p.name || "image").split("/").pop() || "image";
    const taken = name.startsWith("array.") || [...loaded.values()].includes(name) || name.startsWith("listing");
    const path = writeFile(taken ? ++serial + "/" + name : name, p.bytes || new Uint8Array(0));
    if (p.rgba) {
      const delays = Int32Array.from(p.delays || [0]);
      const inode = engine.FS.stat(path).ino;
      withBytes(p.rgba, (rgba) =>
        withBytes(new Uint8Array(delays.buffer), (d) => engine._dl_picture(inode, p.width, p.height, delays.length, rgba, d)));
    }
    loaded.set(p, path);
    return path;
  }

  function forget(p) {
    kept.delete(p);
    const path = loaded.get(p);
    if (path === undefined) return;
    loaded.delete(p);
    try {
      engine._dl_forget(engine.FS.stat(path).ino);
      engine.FS.unlink(path);
    } catch (e) {
      // The engine that held it is gone already.
    }
  }

  // Width, height and a byte a pixel from the engine's answer at int `at`.
  function bitsAt(at) {
    const h32 = engine.HEAP32, base = engine._dl_result() >> 2;
    const width = h32[base + at], height = h32[base + at + 1], start = (base + at + 2) * 4;
    const data = engine.HEAPU8.slice(start, start + width * height);
    return { bits: { width, height, data }, next: at + 2 + Math.ceil((width * height) / 4) };
  }

  function arrayFile(array, options) {
    const bytes = typeof array === "string" ? encoder.encode(array) : array;
    const input = options && options.input;
    return writeFile(input === "bin" ? "array.bin" : "array.txt", bytes);
  }

  // The messages alone: the command line's prefix goes, and so does the pointer to a
  // command's --help that follows wrong usage, since the page's controls stand for it.
  function failed(r) {
    const message = r.err
      .split("\n")
      .filter((line) => !/^dotlane-cli: "dotlane-cli [a-z0-9]+ --help" shows/.test(line))
      .map((line) => line.replace(/^dotlane-cli: /, ""))
      .join("\n")
      .trim();
    return { status: r.status, error: message || "dotlane-cli stopped with status " + r.status };
  }

  // Pictures given for one call only are let go after it.
  function released(list, result) {
    for (const p of list) if (!kept.has(p)) forget(p);
    return result;
  }

  return {
    forget,
    keep(p) {
      kept.add(p);
    },
    // One picture or several into one output: the text dotlane-cli prints, the bytes of the
    // first picture (every frame with frames), and the bits a display reads from them.
    convert(pictures, options) {
      const list = [].concat(pictures);
      const problem = list.map(pictureProblem).find((p) => p);
      if (problem) return { status: 2, error: problem };
      return released(list, guarded(() => {
        const paths = list.map(pathOf);
        const o = Object.assign({}, options);
        const pair = o.header || o.source;
        const files = {};
        if (pair) {
          // The source includes the header by the name given.
          for (const k of ["header", "source"]) if (o[k]) files[k] = "/out/" + String(o[k]).split("/").pop();
          Object.assign(o, files);
        }
        const r = outputs(call("_dl_run", ["convert", ...dotlaneArgs(o), "--", ...paths]));
        if (r.status) return failed(r);
        const result = { status: 0, text: o.style === "bin" ? "" : decoder.decode(r.out) };
        if (pair) {
          result.header = engine.FS.readFile(files.header, { encoding: "utf8" });
          result.source = engine.FS.readFile(files.source, { encoding: "utf8" });
          result.text = result.header + "\n" + result.source;
        }
        const one = Object.assign({}, options, { name: null, table: null, header: null, source: null, compress: null });
        const shown = call("_dl_shown", [...dotlaneArgs(one), "--", paths[0]]);
        if (shown) return failed(outputs(shown));
        const h32 = engine.HEAP32, base = engine._dl_result() >> 2;
        result.oled = h32[base] === 1;
        const { bits, next } = bitsAt(1);
        result.bits = bits;
        const size = h32[base + next], start = (base + next + 1) * 4;
        result.bytes = engine.HEAPU8.slice(start, start + size);
        return result;
      }));
    },

    // The array painted back: its bits, the engine's remark on missing bytes, and with
    // {png: true} the PNG file render writes (in the ink asked for).
    render(array, options) {
      return guarded(() => {
        const path = arrayFile(array, options);
        const o = Object.assign({}, options, { ink: null, png: null });
        const r = outputs(call("_dl_run", ["render", ...dotlaneArgs(o), "-o", "/out/render.bmp", "--", path]));
        if (r.status) return failed(r);
        if (withBytes(encoder.encode("/out/render.bmp\0"), (p) => engine._dl_bmp_bits(p))) return failed(r);
        const result = { status: 0, warning: r.err.trim(), bits: bitsAt(0).bits };
        if (options && options.png) {
          const p = Object.assign({}, options, { png: null });
          call("_dl_run", ["render", ...dotlaneArgs(p), "-o", "/out/render.png", "--", path]);
          result.png = engine.FS.readFile("/out/render.png");
        }
        return result;
      });
    },

    // guess's list as it prints it, and its best readings, each with its bits.
    guess(array, options) {
      return guarded(() => {
        const path = arrayFile(array, options);
        const args = [...dotlaneArgs({ input: options && options.input, name: options && options.name }), "--", path];
        const r = outputs(call("_dl_run", ["guess", ...args]));
        if (r.status) return failed(r);
        call("_dl_guess", args, (options && options.most) || 6);
        const layouts = ["rows-msb", "rows-lsb", "pages-lsb", "pages-msb", "t6963c"];
        const readings = [];
        let at = 1;
        for (let i = engine.HEAP32[engine._dl_result() >> 2]; i > 0; --i) {
          const h32 = engine.HEAP32, base = engine._dl_result() >> 2;
          const layout = layouts[h32[base + at]], score = h32[base + at + 1] / 1e6;
          const { bits, next } = bitsAt(at + 2);
          readings.push({ layout, width: bits.width, height: bits.height, score, bits });
          at = next;
        }
        return { status: 0, text: decoder.decode(r.out), readings };
      });
    },

    // check's verdict on the array against what convert makes of the picture, and its
    // picture of the differences as a PNG file.
    check(picture, array, options) {
      const problem = pictureProblem(picture);
      if (problem) return { status: 2, error: problem };
      return released([picture], guarded(() => {
        const path = arrayFile(array, options);
        const r = outputs(call("_dl_run", ["check", ...dotlaneArgs(options), "--diff", "/out/diff.png", "--", pathOf(picture), path]));
        const result = { status: r.status, text: decoder.decode(r.out), error: r.err.trim() };
        if (r.status === 2) return failed(r);
        if (engine.FS.analyzePath("/out/diff.png").exists) {
          result.diff = engine.FS.readFile("/out/diff.png");
          engine.FS.unlink("/out/diff.png");
        }
        return result;
      }));
    },

    // The window's T6963C or SED1565 listing of a 1-bit BMP file.
    listing(bmp, kind, options) {
      return guarded(() => {
        const path = writeFile("listing/" + String((options && options.fileName) || "picture.bmp").split("/").pop(), bmp);
        const r = outputs(call("_dl_run", [kind, ...dotlaneArgs({ invertColors: options && options.invertColors }), "--", path]));
        engine.FS.unlink(path);
        return r.status ? failed(r) : { status: 0, text: decoder.decode(r.out) };
      });
    },
  };
}
