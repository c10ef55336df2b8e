// dotlane.mjs under Node: each call answers as dotlane-cli does for the same input, from 1-bit
// BMP files' bytes and from RGBA pixels (written for the command line as a PPM file here).
import assert from "node:assert/strict";
import { mkdtempSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { built, cli, cliArgs, root } from "./harness.mjs";
import { kOptionSets } from "./options.mjs";

const dotlane = await import(join(built, "dotlane.mjs"));
const bmps = ["logo_128x64.bmp", "screen_240x128.bmp", "icon_17x13.bmp", "example_3x9.bmp", "white_first_64x24.bmp"];
const sample = (f) => join(root, "samples", f);
const scratch = mkdtempSync(join(tmpdir(), "dotlane-web-"));

// A 90 x 50 test picture: rings of grey over a diagonal, as RGBA and as the PPM file of it.
function testPicture() {
  const width = 90, height = 50, rgba = new Uint8Array(width * height * 4);
  const header = Buffer.from(`P6\n${width} ${height}\n255\n`), ppm = Buffer.alloc(header.length + width * height * 3);
  header.copy(ppm);
  for (let i = 0; i < width * height; ++i) {
    const x = i % width, y = Math.floor(i / width);
    const rgb = [(x * 3 + y) & 255, (Math.hypot(x - 45, y - 25) * 20) & 255, x > y ? 230 : 20];
    rgba.set([...rgb, 255], i * 4);
    ppm.set(rgb, header.length + i * 3);
  }
  writeFileSync(join(scratch, "rings.ppm"), ppm);
  return { name: "rings.ppm", bytes: new Uint8Array(ppm), rgba, width, height };
}

function bytesOf(file, options) {
  const o = Object.assign({}, options, { style: "bin", table: undefined, compress: undefined });
  return cli(["convert", ...cliArgs(o), file]);
}

test("convert's text and bytes are dotlane-cli's", () => {
  const pictures = bmps.map((f) => [sample(f), { name: f, bytes: new Uint8Array(readFileSync(sample(f))) }]);
  pictures.push([join(scratch, "rings.ppm"), testPicture()]);
  for (const [file, picture] of pictures) {
    for (const options of kOptionSets) {
      const want = cli(["convert", ...cliArgs(options), file]), got = dotlane.convert(picture, options);
      const what = `${file} ${JSON.stringify(options)} ${got.error || ""}`;
      assert.equal(got.status, want.status, what);
      if (want.status) continue;
      assert.equal(got.text, Buffer.from(want.out).toString(), what);
      const bin = bytesOf(file, options);
      if (bin.status === 0) assert.deepEqual(got.bytes, bin.out, what);
    }
  }
});

// A picture kept between calls, as the page keeps it, converted with one option changed at a
// time: the canvas placed for one conversion serves the next only when it is the same.
const kChanges = [
  { target: "st7789", size: "40x30" },
  { target: "st7789", size: "40x30", dither: "atkinson" },
  { target: "st7789", size: "40x30", fit: "cover" },
  { target: "st7789", size: "40x30", fit: "cover", background: "black" },
  { target: "st7789", size: "40x30", fit: "cover", background: "black", rotate: 180 },
  { target: "st7789", size: "40x30", fit: "cover", background: "black", rotate: 180, flip: "v" },
  { target: "ssd1322", size: "40x30", fit: "cover", background: "black", rotate: 180, flip: "v" },
  { target: "ssd1322", size: "40x30", fit: "cover", background: "black", rotate: 180, flip: "v", dither: "atkinson" },
  { layout: "rgb332", size: "40x30", fit: "cover", background: "black", rotate: 180, flip: "v" },
  { layout: "rgb332", size: "40x31", fit: "cover", background: "black", rotate: 180, flip: "v" },
  { layout: "rgb332", size: "40x31", fit: "stretch", background: "black", rotate: 180, flip: "v" },
];

test("a kept picture converts as dotlane-cli at every change", () => {
  const rings = testPicture();
  dotlane.keep(rings);
  for (const options of kChanges) {
    const want = cli(["convert", ...cliArgs(options), join(scratch, "rings.ppm")]);
    assert.equal(dotlane.convert(rings, options).text, Buffer.from(want.out).toString(), JSON.stringify(options));
  }
  // Another picture under the same name replaces what the first left.
  dotlane.forget(rings);
  const other = testPicture();
  other.rgba = other.rgba.map((v, i) => (i % 4 === 3 ? v : 255 - v));
  const ppm = Buffer.from(other.bytes);
  for (let i = ppm.length - 90 * 50 * 3; i < ppm.length; ++i) ppm[i] = 255 - ppm[i];
  writeFileSync(join(scratch, "negative.ppm"), ppm);
  const want = cli(["convert", ...cliArgs(kChanges.at(-1)), join(scratch, "negative.ppm")]);
  const got = dotlane.convert(other, kChanges.at(-1)).text;
  assert.equal(got.replaceAll("negative", "rings"), Buffer.from(want.out).toString().replaceAll("negative", "rings"));
});

test("several pictures make one output, and a header and source pair", () => {
  const files = ["logo_128x64.bmp", "icon_17x13.bmp"];
  const pictures = files.map((f) => ({ name: f, bytes: new Uint8Array(readFileSync(sample(f))) }));
  const options = { target: "ssd1306", table: "icons", name: ["logo", "icon"], compress: "rle" };
  const want = cli(["convert", ...cliArgs(options), ...files.map(sample)]);
  assert.equal(dotlane.convert(pictures, options).text, Buffer.from(want.out).toString());
  const pair = dotlane.convert(pictures, { target: "ssd1306", header: "icons.h", source: "icons.c" });
  cli(["convert", "--target", "ssd1306", "--header", join(scratch, "icons.h"), "--source", join(scratch, "icons.c"), ...files.map(sample)]);
  assert.equal(pair.header, readFileSync(join(scratch, "icons.h"), "utf8"));
  assert.equal(pair.source, readFileSync(join(scratch, "icons.c"), "utf8"));
});

test("render, guess, check and the window's listings answer as dotlane-cli", () => {
  const logo = new Uint8Array(readFileSync(sample("logo_128x64.bmp")));
  // Plain and as convert --compress rle writes it, which render and guess read decompressed.
  const arrayOf = (more) => Buffer.from(cli(["convert", "--target", "ssd1306", ...more, sample("logo_128x64.bmp")]).out).toString();
  const array = arrayOf([]);
  for (const text of [array, arrayOf(["--compress", "rle"])]) {
    writeFileSync(join(scratch, "array.txt"), text);
    const rendered = dotlane.render(text, { layout: "pages-lsb", width: 128, height: 64, input: "c", png: true });
    cli(["render", "--layout", "pages-lsb", "--width", "128", "--height", "64", "--input", "c", "-o", join(scratch, "r.bmp"), join(scratch, "array.txt")]);
    const cliRendered = dotlane.convert({ name: "r.bmp", bytes: readFileSync(join(scratch, "r.bmp")) }, { layout: "rows-msb" });
    assert.deepEqual(rendered.bits, cliRendered.bits);
    assert.equal(rendered.png[1], 0x50); // "PNG"

    const guessed = dotlane.guess(text, { input: "c" });
    assert.equal(guessed.text, Buffer.from(cli(["guess", "--input", "c", join(scratch, "array.txt")]).out).toString());
    assert.deepEqual([guessed.readings[0].layout, guessed.readings[0].width, guessed.readings[0].height], ["pages-lsb", 128, 64]);
  }

  // The layouts of more than one bit: check agrees with dotlane-cli's array of a colour
  // picture, and render paints the colours convert shows.
  const rings = testPicture();
  for (const [target, layout] of [["st7789", "rgb565"], ["gxepd2-bwr", "planes-bwr"], ["ssd1322", "grey4-msb"]]) {
    const text = Buffer.from(cli(["convert", "--target", target, join(scratch, "rings.ppm")]).out).toString();
    assert.equal(dotlane.check(rings, text, { target, input: "c" }).status, 0, target);
    const painted = dotlane.render(text, { layout, width: 90, height: 50, input: "c", png: true });
    assert.deepEqual(painted.colours, dotlane.convert(rings, { target }).colours, target);
    assert.equal(painted.png[25], 2, target); // an RGB PNG file
  }

  const changed = array.replace("0x05", "0x07");
  writeFileSync(join(scratch, "array.txt"), changed);
  const checked = dotlane.check({ name: "logo_128x64.bmp", bytes: logo }, changed, { target: "ssd1306", input: "c" });
  const want = cli(["check", "--target", "ssd1306", "--input", "c", sample("logo_128x64.bmp"), join(scratch, "array.txt")]);
  assert.equal(checked.status, 1);
  assert.equal(checked.text.replace(/"[^"]*"/g, "F"), Buffer.from(want.out).toString().replace(/"[^"]*"/g, "F"));
  assert.ok(checked.diff.length > 100);

  for (const kind of ["t6963c", "sed1565"])
    for (const invertColors of [false, true]) {
      const want = cli([kind, ...(invertColors ? ["--invert-colors"] : []), sample("screen_240x128.bmp")]);
      assert.equal(dotlane.listing(readFileSync(sample("screen_240x128.bmp")), kind, { invertColors }).text, Buffer.from(want.out).toString());
    }
});

// Wrong input gets the command line's refusal, and the module goes on working.
test("bad input is refused with a message", () => {
  const logo = { name: "logo.bmp", bytes: new Uint8Array(readFileSync(sample("logo_128x64.bmp"))) };
  const rows = [
    [logo, { target: "nokia" }, /unknown target/],
    [logo, { layout: "rows-msb", threshold: 10, dither: "atkinson" }, /exclude each other/],
    [{ name: "x.bmp", bytes: new Uint8Array([66, 77, 1, 2]) }, { target: "ssd1306" }, /BMP|picture/],
    [{ rgba: new Uint8Array(12), width: 2, height: 2 }, { target: "ssd1306" }, /RGBA pixels need/],
    [{ rgba: new Uint8Array(5000 * 4), width: 5000, height: 1 }, { target: "ssd1306" }, /4096 x 4096/],
  ];
  for (const [picture, options, message] of rows) {
    const { error } = dotlane.convert(picture, options);
    assert.match(error, message);
    assert.doesNotMatch(error, /dotlane-cli:|--help/);
  }
  assert.match(dotlane.render("0x01, 0xZZ", { layout: "rows-msb", width: 8, height: 2 }).error, /ZZ/);
  assert.equal(dotlane.convert(logo, { target: "ssd1306" }).status, 0);
});
