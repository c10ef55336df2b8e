// The page in Chromium: its bytes and text equal dotlane-cli's for every sample it takes and
// a table of option sets; a link shows its conversion at once, at desktop and phone width;
// bad input gets a message; nothing is asked of any other host.
import assert from "node:assert/strict";
import { mkdtempSync, readdirSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { after, before, test } from "node:test";
import { deflateSync } from "node:zlib";
import { cli, cliArgs, launch, openPage, rendered, root, serve, built } from "./harness.mjs";
import { kOptionSets } from "./options.mjs";

const dotlane = await import(built + "/dotlane.mjs");
const scratch = mkdtempSync(tmpdir() + "/dotlane-page-");
const samples = readdirSync(join("samples")).filter((f) => /\.(png|gif|bmp)$/.test(f));
function join(dir) {
  return root + "/" + dir;
}


let browser, server, page, foreign;
before(async () => {
  server = await serve();
  browser = await launch();
  ({ page, foreign } = await openPage(browser, server.url + "index.html"));
  await page.waitForFunction(() => typeof engine !== "undefined" && engine.worker);
});
after(async () => {
  await browser.close();
  server.close();
});

// The page's worker, asked as the page asks it.
async function pageConvert(file, options) {
  const bytes = [...readFileSync(file.includes("/") ? file : join("samples/" + file))];
  return page.evaluate(
    async (path, data, o) => {
      const name = path.split("/").pop();
      const key = "t" + Math.random();
      const loaded = await engine.ask("picture", { key, name, bytes: new Uint8Array(data).buffer });
      if (loaded.error) return { status: 1, error: loaded.error };
      const r = await engine.ask("convert", { keys: [key], options: o });
      const p = await engine.ask("pixels", { key });
      await engine.ask("drop", { key });
      const decoded = p.rgba && { rgba: [...p.rgba], width: p.width, height: p.height, delays: p.delays };
      const text = r.text && new TextDecoder().decode(r.text);
      return { status: r.status, error: r.error, text, bytes: r.bytes && [...r.bytes], decoded };
    },
    file, bytes, options,
  );
}

test("the page's text and bytes are dotlane-cli's for every sample and option set", async () => {
  let compared = 0;
  for (const file of samples) {
    for (const options of kOptionSets) {
      const want = cli(["convert", ...cliArgs(options), join("samples/" + file)]);
      const binOptions = Object.assign({}, options, { style: "bin", table: undefined, compress: undefined });
      const bin = cli(["convert", ...cliArgs(binOptions), join("samples/" + file)]);
      const got = await pageConvert(file, options);
      const what = `${file} ${JSON.stringify(options)}: ${got.error || ""}`;
      assert.equal(got.status === 0, want.status === 0, what + " / " + want.err);
      if (want.status !== 0) continue;
      assert.equal(got.text, Buffer.from(want.out).toString(), what);
      if (bin.status === 0) assert.deepEqual(got.bytes, [...bin.out], what);
      // dotlane.mjs, given the file and the pixels the page decoded.
      const picture = Object.assign({ name: file, bytes: readFileSync(join("samples/" + file)) }, got.decoded);
      if (got.decoded) picture.rgba = Uint8Array.from(got.decoded.rgba);
      const module = dotlane.convert(picture, options);
      assert.equal(module.text, got.text, what);
      assert.deepEqual([...module.bytes], got.bytes, what);
      ++compared;
    }
  }
  assert.ok(compared > samples.length * 4, `only ${compared} conversions compared`);
});

// An RGBA PNG of every alpha with colours no premultiplied canvas holds, which a
// premultiplying decoder would change; and JPEG and WebP files (lossy and lossless) the
// browser writes.
function translucentPng() {
  const crc = (bytes) => {
    let c = ~0;
    for (const v of bytes) for (let k = 0, x = (c ^ v) & 255; k < 8; ++k, x = x & 1 ? 0xedb88320 ^ (x >>> 1) : x >>> 1) c = k === 7 ? (c >>> 8) ^ (x & 1 ? 0xedb88320 ^ (x >>> 1) : x >>> 1) : c;
    return ~c >>> 0;
  };
  const chunk = (type, data) => {
    const body = Buffer.concat([Buffer.from(type), data]), out = Buffer.alloc(body.length + 8);
    out.writeUInt32BE(data.length);
    body.copy(out, 4);
    out.writeUInt32BE(crc(body), body.length + 4);
    return out;
  };
  const rows = [];
  for (let y = 0, seed = 7; y < 64; ++y) {
    const row = [0];
    for (let x = 0; x < 64; ++x) for (let k = 0; k < 4; ++k) row.push((seed = (seed * 1103515245 + 12345) >>> 0) >>> 24);
    rows.push(...row);
  }
  const head = Buffer.from([0, 0, 0, 64, 0, 0, 0, 64, 8, 6, 0, 0, 0]);
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk("IHDR", head),
    chunk("IDAT", deflateSync(Buffer.from(rows))), chunk("IEND", Buffer.alloc(0))]);
}

test("JPEG, WebP and translucent PNG files convert as dotlane-cli converts them", async () => {
  const made = await page.evaluate(async () => {
    const canvas = new OffscreenCanvas(256, 40), g = canvas.getContext("2d");
    for (let x = 0; x < 256; ++x) {
      g.fillStyle = `rgba(${x}, ${(x * 7) & 255}, ${255 - x}, ${x < 200 ? 1 : (x - 190) / 66})`;
      g.fillRect(x, 0, 1, 40 - (x % 9));
    }
    const files = [];
    for (const [name, type, quality] of [["made.jpg", "image/jpeg", 0.8], ["made.webp", "image/webp", 0.7], ["lossless.webp", "image/webp", 1]]) {
      const blob = await canvas.convertToBlob({ type, quality });
      files.push([name, blob.type, [...new Uint8Array(await blob.arrayBuffer())]]);
    }
    return files;
  });
  const pictures = made.map(([name, type, bytes]) => {
    assert.equal(type, name.endsWith(".jpg") ? "image/jpeg" : "image/webp", name);
    return [name, Buffer.from(bytes)];
  });
  for (const [name, bytes] of [...pictures, ["translucent.png", translucentPng()]]) {
    const file = scratch + "/" + name;
    writeFileSync(file, bytes);
    for (const options of [{ layout: "rows-msb", dither: "floyd-steinberg" }, { layout: "pages-lsb", background: "black", threshold: 90 }]) {
      const want = cli(["convert", ...cliArgs(options), file]);
      assert.equal(want.status, 0, want.err);
      assert.equal((await pageConvert(file, options)).text, Buffer.from(want.out).toString(), name);
    }
  }
});

// A PNG header of 20000 x 20000 pixels; a GIF whose frames hold more pixels than the limit;
// bytes that are no picture; an animated WebP, which dotlane-cli refuses. Each gets its
// message, and the page still converts after.
const kBadInput = [
  ["huge.png", () => [0x89, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 73, 72, 68, 82, 0, 0, 0x4e, 0x20, 0, 0, 0x4e, 0x20, 8, 6, 0, 0, 0, 0, 0, 0, 0], /20000 x 20000 pixels/],
  ["broken.png", () => [0x89, 80, 78, 71, 13, 10, 26, 10, 1, 2, 3], /cannot|can read|decode/],
  ["many.gif", () => gif(200, Array(3000).fill(1)), /MiB of pixels/],
  ["moving.webp", () => [..."RIFF\x1e\0\0\0WEBPVP8X\x0a\0\0\0\x02\0\0\0\x0f\0\0\x0f\0\0"].map((c) => c.charCodeAt(0)), /animated WebP/],
];

// A GIF of `side` x `side` pixels whose frames are one black pixel each, with the delays
// given in hundredths (null: no graphic control extension).
function gif(side, delays) {
  const b = [..."GIF89a"].map((c) => c.charCodeAt(0));
  b.push(side, 0, side, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255);
  for (const d of delays) {
    if (d !== null) b.push(0x21, 0xf9, 4, 0, d & 255, d >> 8, 0, 0);
    b.push(0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0);
  }
  b.push(0x3b);
  return b;
}

// The frames' delays as the command line lists them: a 0 and a missing extension.
test("a GIF's frame delays are dotlane-cli's", async () => {
  for (const delays of [[0], [7], [30, 0, 0], [null, 5, null], [0, 20, 0]]) {
    const file = scratch + "/delays.gif";
    writeFileSync(file, Buffer.from(gif(1, delays)));
    const want = cli(["convert", "--target", "ssd1306", "--frames", file]);
    const got = await pageConvert(file, { target: "ssd1306", frames: true });
    assert.equal(got.text, Buffer.from(want.out).toString(), JSON.stringify(delays));
  }
});

test("bad input gets a message in the page, which goes on working", async () => {
  for (const [name, make, message] of kBadInput) {
    const answer = await page.evaluate(
      (n, data) => engine.ask("picture", { key: n, name: n, bytes: new Uint8Array(data).buffer }),
      name, make(),
    );
    assert.match(answer.error || "", message, name);
  }
  const paste = await page.evaluate(() => engine.ask("guess", { array: "0x41,".repeat(10_000_000), options: {} }));
  assert.match(paste.error, /more than 2097152 bytes/);
  assert.equal((await pageConvert("logo_128x64.bmp", { target: "ssd1306" })).status, 0);
});

// The bits of logo_128x64 as the CLI's rows-msb bytes give them, for the canvas.
function logoBits() {
  const out = cli(["convert", "--layout", "rows-msb", "--style", "bin", join("samples/logo_128x64.bmp")]).out;
  return (x, y) => (out[y * 16 + (x >> 3)] >> (7 - (x & 7))) & 1;
}

for (const [width, how] of [[1280, "server"], [360, "server"], [1280, "file"]]) {
  test(`a link shows its conversion at once (${width} px, ${how})`, async () => {
    const base = how === "file" ? "file://" + built + "/" : server.url;
    const opened = await openPage(browser, base + "index.html?sample=logo_128x64&target=ssd1306&zoom=3", width);
    await rendered(opened.page);
    const want = Buffer.from(cli(["convert", "--target", "ssd1306", join("samples/logo_128x64.bmp")]).out).toString();
    assert.equal(await opened.page.$eval("#output", (t) => t.value), want);
    // Every pixel of the preview is the lit colour where the bit is set.
    const lit = await opened.page.$eval("#preview", (c) => {
      const g = c.getContext("2d"), out = [];
      for (let y = 0; y < c.height / 3; ++y)
        for (let x = 0; x < c.width / 3; ++x) out.push(g.getImageData(x * 3 + 1, y * 3 + 1, 1, 1).data[0] > 100 ? 1 : 0);
      return out;
    });
    const bit = logoBits();
    assert.equal(lit.length, 128 * 64);
    lit.forEach((v, i) => assert.equal(v, bit(i % 128, Math.floor(i / 128)), `pixel ${i % 128},${Math.floor(i / 128)}`));
    const unlabelled = await opened.page.$$eval("input, select, textarea, button", (all) =>
      all.filter((c) => !c.labels?.length && !c.getAttribute("aria-label") && !c.textContent.trim()).map((c) => c.id));
    assert.deepEqual(unlabelled, []);
    const overflow = await opened.page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(overflow <= 0, `the page is ${overflow} px wider than the window`);
    const sideways = await opened.page.$eval(".preview-wrap", (w) => w.scrollWidth - w.clientWidth);
    assert.ok(width > 600 || sideways <= 0, `the preview scrolls ${sideways} px sideways`);
    if (how === "server") await opened.page.screenshot({ path: `${built}/screenshot-${width}.png`, fullPage: true });
    assert.deepEqual(opened.foreign, []);
    assert.deepEqual(opened.errors, []);
    await opened.page.close();
  });
}

// The names dotlane-cli lists when it refuses an unknown one.
function cliNames(option) {
  const { err } = cli(["convert", "--" + option, "none", join("samples/logo_128x64.bmp")]);
  return err.split("\n")[0].replace(/.* are /, "").split(/, and of more than one bit |, | or /).sort();
}

test("the pickers list every target and layout dotlane-cli takes, under headings", async () => {
  const listed = (id) => page.$$eval(`#${id} optgroup option`, (all) => all.map((o) => o.value).sort());
  assert.deepEqual(await listed("opt-target"), cliNames("target"));
  assert.deepEqual(await listed("opt-layout"), cliNames("layout"));
  assert.deepEqual(await listed("render-layout"), cliNames("layout"));
  const groups = await page.$$eval("#opt-target optgroup", (all) => all.map((g) => g.label));
  for (const wanted of [/colour TFT/i, /grey OLED/i, /e-paper/i, /LVGL/]) assert.ok(groups.some((g) => wanted.test(g)), `${wanted} in ${groups}`);
});

// The colour preview is dotlane-cli's --preview PNG file at scale 4 dot for dot: a TFT's
// colours as they are, grey levels shaded on the OLED, e-paper's inks, a named look's shades.
// Each row: the link's options, dotlane-cli's, the window's width, red dots that must show.
const kColourPreviews = [
  ["target=st7789", ["--target", "st7789"], 1280, true],
  ["target=st7789", ["--target", "st7789"], 360, true],
  ["target=ssd1322&dither=floyd-steinberg", ["--target", "ssd1322", "--dither", "floyd-steinberg"], 1280, false],
  ["target=gxepd2-bwr", ["--target", "gxepd2-bwr"], 1280, true],
  // The one-bit options left set are greyed out and not sent: no refusal.
  ["target=st7789&ink=light&threshold=100", ["--target", "st7789"], 1280, true],
  ["layout=rgb565&preview-look=oled-yellow", ["--layout", "rgb565", "--preview-look", "oled-yellow"], 1280, false],
  // 700 KB of text: the box shows its beginning, "Show all", copy and download the whole.
  ["target=st7789&size=240x240", ["--target", "st7789", "--size", "240x240"], 1280, false],
];

// The text the page's Show all, Copy and Download give, the clipboard and downloads caught.
async function wholeOutput(page) {
  return page.evaluate(async () => {
    let copied = "", saved = null;
    Object.defineProperty(navigator, "clipboard", { value: { writeText: async (t) => (copied = t) } });
    const made = URL.createObjectURL;
    URL.createObjectURL = (blob) => ((saved = blob), made(blob));
    document.getElementById("copy").click();
    document.getElementById("download").click();
    document.getElementById("show-all").click();
    await new Promise((r) => setTimeout(r, 0));
    return { copied, saved: await saved.text(), shown: document.getElementById("output").value };
  });
}

for (const [query, args, width, red] of kColourPreviews) {
  test(`the colour preview is dotlane-cli's (${query}, ${width} px)`, async () => {
    const png = scratch + "/preview.png";
    const made = cli(["convert", ...args, "--preview", png, "--preview-scale", "4", join("samples/colours_24x16.png")]);
    assert.equal(made.status, 0, made.err);
    const opened = await openPage(browser, server.url + `index.html?sample=colours_24x16&zoom=4&${query}`, width);
    await rendered(opened.page);
    // Each dot's middle: the page's at 4 pixels a dot, the PNG file's inside its one-pixel gaps.
    const dots = await opened.page.evaluate(async (data) => {
      const middles = (g, at) => {
        const out = [];
        for (let y = 0; y < 16; ++y) for (let x = 0; x < 24; ++x) out.push([...g.getImageData(at(x), at(y), 1, 1).data.slice(0, 3)].join());
        return out;
      };
      const file = await createImageBitmap(new Blob([new Uint8Array(data)], { type: "image/png" }), { colorSpaceConversion: "none" });
      const c = new OffscreenCanvas(file.width, file.height), g = c.getContext("2d");
      g.drawImage(file, 0, 0);
      const page = document.getElementById("preview").getContext("2d");
      return { cli: middles(g, (v) => v * 4 + 2), page: middles(page, (v) => v * 4 + 1) };
    }, [...readFileSync(png)]);
    assert.deepEqual(dots.page, dots.cli);
    assert.equal(dots.page.includes("255,0,0"), red, "red dots");
    const text = Buffer.from(made.out).toString();
    assert.deepEqual(await wholeOutput(opened.page), { copied: text, saved: text, shown: text });
    await opened.page.screenshot({ path: `${built}/screenshot-${query.replace(/[^a-z0-9]+/g, "-")}-${width}.png`, fullPage: true });
    const overflow = await opened.page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(overflow <= 0, `the page is ${overflow} px wider than the window`);
    assert.deepEqual(opened.errors, []);
    await opened.page.close();
  });
}

// An array of a colour layout comes back in its colours: the sample's red dot top left.
test("render paints a colour array in its colours", async () => {
  const array = Buffer.from(cli(["convert", "--target", "st7789", join("samples/colours_24x16.png")]).out).toString();
  await page.$eval("#array-text", (t, v) => (t.value = v), array);
  await page.select("#array-input", "c");
  await page.select("#render-layout", "rgb565");
  await page.$eval("#render-width", (t) => (t.value = 24));
  await page.$eval("#render-height", (t) => (t.value = 16));
  await page.click("#render");
  await page.waitForFunction(() => document.getElementById("render-canvas").width > 1, { timeout: 5000 });
  const first = await page.$eval("#render-canvas", (c) => [...c.getContext("2d").getImageData(1, 1, 1, 1).data]);
  assert.deepEqual(first, [255, 0, 0, 255]);
});

// A changed option goes into the link and is remembered: a page opened without settings
// comes back with it, and the link alone reproduces the conversion.
test("settings live in the URL and in the browser's storage", async () => {
  const first = await openPage(browser, server.url + "index.html?sample=logo_128x64&target=ssd1306");
  await rendered(first.page);
  await first.page.select("#opt-target", "sh1106");
  await first.page.select("#opt-dither", "atkinson");
  await first.page.waitForFunction(() => location.search.includes("dither=atkinson"), { timeout: 5000 });
  const link = first.page.url();
  assert.match(link, /target=sh1106/);
  const text = await first.page.$eval("#output", (t) => t.value);
  for (const url of [server.url + "index.html", link]) {
    const again = await openPage(browser, url);
    await rendered(again.page);
    assert.equal(await again.page.$eval("#opt-target", (s) => s.value), "sh1106", url);
    if (url === link) assert.equal(await again.page.$eval("#output", (t) => t.value), text);
    await again.page.close();
  }
  await first.page.close();
});

test("no request leaves the page's own origin", () => assert.deepEqual(foreign, []));
