// Pictures into RGBA in the worker, as the command line would see them: no colour management
// and no premultiplication, every frame of an animation composed. Sizes are read from the
// file's header first, so a huge picture is refused before the browser allocates it.
"use strict";

const kMaxSide = 4096;
const kMaxFileBytes = 64 * 1024 * 1024;
const kMaxFramePixels = 64 * 1024 * 1024;
const kDecodeMs = 5000;

// A file the engine reads itself: a BMP file that says it has one bit a pixel.
function declaresOneBit(b) {
  if (b.length < 30 || b[0] !== 0x42 || b[1] !== 0x4d) return false;
  const at = (b[14] | (b[15] << 8)) === 12 ? 24 : 28;
  return (b[at] | (b[at + 1] << 8)) === 1;
}

// [width, height] from the header of a PNG, GIF, JPEG, BMP or WebP file, or null.
function declaredSize(b) {
  const be16 = (i) => (b[i] << 8) | b[i + 1], le16 = (i) => b[i] | (b[i + 1] << 8);
  const le32 = (i) => (b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (b[i + 3] << 24)) >>> 0;
  const ascii = (i, n) => String.fromCharCode(...b.subarray(i, i + n));
  if (b.length >= 24 && b[0] === 0x89 && ascii(12, 4) === "IHDR")
    return [(be16(16) << 16) + be16(18), (be16(20) << 16) + be16(22)];
  if (b.length >= 10 && ascii(0, 3) === "GIF") return [le16(6), le16(8)];
  if (b.length >= 26 && ascii(0, 2) === "BM") {
    if (le32(14) === 12) return [le16(18), le16(20)];
    return [Math.abs(le32(18) | 0), Math.abs(le32(22) | 0)];
  }
  if (b.length >= 30 && ascii(0, 4) === "RIFF" && ascii(8, 4) === "WEBP") {
    const kind = ascii(12, 4);
    if (kind === "VP8 ") return [le16(26) & 0x3fff, le16(28) & 0x3fff];
    if (kind === "VP8L") {
      const v = le32(21);
      return [(v & 0x3fff) + 1, ((v >>> 14) & 0x3fff) + 1];
    }
    if (kind === "VP8X") return [1 + (le32(24) & 0xffffff), 1 + (le32(27) & 0xffffff)];
  }
  if (b.length >= 4 && b[0] === 0xff && b[1] === 0xd8) {
    for (let i = 2; i + 9 < b.length; ) {
      if (b[i] !== 0xff) return null;
      const m = b[i + 1];
      if (m >= 0xc0 && m <= 0xcf && m !== 0xc4 && m !== 0xc8 && m !== 0xcc) return [be16(i + 7), be16(i + 5)];
      i += 2 + be16(i + 2);
    }
  }
  return null;
}

// The delay of each image of a GIF file in ms as the command line lists it: the graphic
// control extension's delay before the image, its 0 kept, and 0 for an image without one.
// The browser's decoder reports none for a still GIF, and its own default for a 0.
function gifDelays(b) {
  const delays = [];
  let delay = 0;
  let at = 13 + (b[10] & 0x80 ? 3 << ((b[10] & 7) + 1) : 0);
  const skipBlocks = () => {
    while (at < b.length && b[at]) at += b[at] + 1;
    ++at;
  };
  while (at < b.length) {
    if (b[at] === 0x21) {
      if (b[at + 1] === 0xf9) delay = (b[at + 4] | (b[at + 5] << 8)) * 10;
      at += 2;
      skipBlocks();
    } else if (b[at] === 0x2c) {
      delays.push(delay);
      delay = 0;
      const flags = b[at + 9];
      at += 10 + (flags & 0x80 ? 3 << ((flags & 7) + 1) : 0) + 1;
      skipBlocks();
    } else break;
  }
  return delays;
}

function tooLarge(name, w, h) {
  return `"${name}" is a picture of ${w} x ${h} pixels; dotlane-cli converts pictures up to ${kMaxSide} x ${kMaxSide} pixels.`;
}

function refusal(name, why) {
  return `"${name}" is neither a 1-bit BMP file nor a picture the browser can decode (${why}).`;
}

// RGBA of a frame the way the decoder holds it; a frame in another form goes through a canvas.
async function frameRgba(frame, out, at) {
  const w = frame.displayWidth || frame.width, h = frame.displayHeight || frame.height;
  const format = frame.format || "";
  if (format === "RGBA" || format === "RGBX" || format === "BGRA" || format === "BGRX") {
    const raw = new Uint8Array(w * h * 4);
    await frame.copyTo(raw, { rect: { x: 0, y: 0, width: w, height: h }, layout: [{ offset: 0, stride: w * 4 }] });
    const swap = format[0] === "B", opaque = format[3] === "X";
    for (let i = 0; i < raw.length; i += 4) {
      out[at + i] = raw[i + (swap ? 2 : 0)];
      out[at + i + 1] = raw[i + 1];
      out[at + i + 2] = raw[i + (swap ? 0 : 2)];
      out[at + i + 3] = opaque ? 255 : raw[i + 3];
    }
    return;
  }
  const canvas = new OffscreenCanvas(w, h);
  const g = canvas.getContext("2d", { willReadFrequently: true });
  g.drawImage(frame, 0, 0);
  out.set(g.getImageData(0, 0, w, h).data, at);
}

// Every frame through ImageDecoder, which hands over the stored colours unpremultiplied; a
// JPEG through createImageBitmap, whose RGB is the JPEG decoder's own (ImageDecoder gives its
// YUV, which a canvas would convert otherwise).
async function decodeFrames(bytes, type, name) {
  const started = Date.now();
  if (type !== "image/jpeg" && typeof ImageDecoder !== "undefined" && (await ImageDecoder.isTypeSupported(type))) {
    const decoder = new ImageDecoder({ data: bytes, type, premultiplyAlpha: "none", colorSpaceConversion: "none" });
    try {
      await decoder.tracks.ready;
      await decoder.completed;
      const count = decoder.tracks.selectedTrack.frameCount;
      const first = (await decoder.decode({ frameIndex: 0 })).image;
      const w = first.displayWidth, h = first.displayHeight;
      if (w > kMaxSide || h > kMaxSide) throw new Error(tooLarge(name, w, h));
      if (count * w * h > kMaxFramePixels)
        throw new Error(refusal(name, `its frames hold more than ${kMaxFramePixels >> 20} MiB of pixels`));
      const rgba = new Uint8Array(count * w * h * 4), delays = [];
      const fileDelays = type === "image/gif" ? gifDelays(bytes) : [];
      for (let i = 0; i < count; ++i) {
        if (Date.now() - started > kDecodeMs) throw new Error(refusal(name, `its decoding took longer than ${kDecodeMs / 1000} s`));
        const frame = i ? (await decoder.decode({ frameIndex: i })).image : first;
        await frameRgba(frame, rgba, i * w * h * 4);
        delays.push(type === "image/gif" && fileDelays.length === count ? fileDelays[i] : Math.round((frame.duration || 0) / 1000));
        frame.close();
      }
      return { width: w, height: h, rgba, delays };
    } finally {
      decoder.close();
    }
  }
  const bitmap = await createImageBitmap(new Blob([bytes], { type }), { colorSpaceConversion: "none", premultiplyAlpha: "none" });
  const w = bitmap.width, h = bitmap.height;
  if (w > kMaxSide || h > kMaxSide) throw new Error(tooLarge(name, w, h));
  const rgba = new Uint8Array(w * h * 4);
  await frameRgba(bitmap, rgba, 0);
  bitmap.close();
  return { width: w, height: h, rgba, delays: [0] };
}

const kTypes = { 0x89: "image/png", 0x47: "image/gif", 0xff: "image/jpeg", 0x42: "image/bmp", 0x52: "image/webp" };

// A picture as the engine takes it: {name, bytes} for the engine's own reading, with
// {rgba, width, height, delays} for every other picture. Throws with the message to show.
async function decodePicture(name, bytes) {
  if (bytes.length > kMaxFileBytes)
    throw new Error(`"${name}" holds ${bytes.length} bytes; dotlane-cli reads pictures of up to ${kMaxFileBytes >> 20} MiB.`);
  if (declaresOneBit(bytes)) return { name, bytes };
  const size = declaredSize(bytes);
  if (size && (size[0] > kMaxSide || size[1] > kMaxSide)) throw new Error(tooLarge(name, size[0], size[1]));
  const type = kTypes[bytes[0]] || "application/octet-stream";
  // dotlane-cli reads a WebP file's one picture only; an animation's flag is in its VP8X chunk.
  if (type === "image/webp" && bytes.length > 20 && String.fromCharCode(...bytes.subarray(12, 16)) === "VP8X" && bytes[20] & 2)
    throw new Error(refusal(name, "animated WebP files are not read"));
  try {
    return Object.assign({ name, bytes }, await decodeFrames(bytes, type, name));
  } catch (e) {
    if (e && /^"/.test(e.message)) throw e;
    throw new Error(refusal(name, "the file is damaged or of a kind it does not read"));
  }
}
