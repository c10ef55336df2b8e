// The output beside the preview: the text dotlane-cli prints, copied or downloaded under the
// name its style calls for; and the window's own listings of a 1-bit BMP file.
"use strict";

const kExtensions = { hex: ".txt", c: ".h", arduino: ".h", u8g2: ".h", python: ".py", asm: ".s", bin: ".bin" };
// Each target's style, as the command line gives it when no style is named: the engine's
// table, read when the page starts.
const targetStyles = {};

let lastResult = null;
// A long output shows its beginning (the worker cuts it) until asked for the rest: filling
// the box with the megabyte of text a large colour array makes takes longer than making it.
// The whole text stays UTF-8 bytes until shown or copied; a download takes the bytes.
const shownText = { shown: "", utf8: null, whole: null };

// Shows `shown`, the beginning of the text whose UTF-8 bytes are `utf8` (null: all of it).
function showText(shown, utf8) {
  Object.assign(shownText, { shown, utf8, whole: utf8 ? null : shown });
  const more = document.getElementById("show-all");
  document.getElementById("output").value = shown;
  more.hidden = !utf8;
  if (utf8) more.textContent = `Show all ${Math.ceil(utf8.length / 1024)} KB`;
}

function wholeText() {
  return (shownText.whole ??= new TextDecoder().decode(shownText.utf8));
}

function styleOf(options, pictureCount) {
  if (options.style) return options.style;
  if (options.target) return targetStyles[options.target] || "c";
  return pictureCount > 1 || options.table || options.header || options.compress ? "c" : "hex";
}

function baseName(options) {
  const first = pictures[0] ? pictures[0].name.replace(/\.[^.]*$/, "") : "image";
  const given = [].concat(options.name || [])[0];
  return (options.table || given || first).replace(/[^A-Za-z0-9_-]+/g, "_") || "image";
}

function download(bytes, name, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type: type || "application/octet-stream" }));
  const a = document.createElement("a");
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

async function copyText(text) {
  try {
    await navigator.clipboard.writeText(text);
    say("Copied.");
  } catch (e) {
    say("The browser refused the clipboard; select the text and copy it.", "error");
  }
}

function showResult(r, options) {
  lastResult = Object.assign({ options, style: styleOf(options, pictures.length) }, r);
  const sourceButton = document.getElementById("download-source");
  sourceButton.hidden = !r.source;
  if (r.error) return showText("");
  if (lastResult.style === "bin") showText(`(${r.bytes.length} raw bytes: download them)`);
  else showText(r.shown, r.shownAll ? null : r.text);
  document.getElementById("result-info").textContent =
    `${r.bits.width} x ${r.bits.height} pixels, ${r.bytes.length} bytes` + (r.ms !== undefined ? `, made in ${r.ms.toFixed(1)} ms` : "");
}

function wireOutput() {
  document.getElementById("copy").onclick = () => lastResult && copyText(wholeText());
  document.getElementById("show-all").onclick = () => {
    document.getElementById("output").value = wholeText();
    document.getElementById("show-all").hidden = true;
  };
  document.getElementById("download").onclick = () => {
    const r = lastResult;
    if (!r || r.error) return;
    const base = baseName(r.options);
    if (r.header) download(r.header, r.options.header, "text/x-c");
    else if (r.style === "bin") download(r.bytes, base + ".bin");
    else download(r.text, base + kExtensions[r.style], "text/plain");
  };
  document.getElementById("download-source").onclick = () => lastResult && lastResult.source && download(lastResult.source, lastResult.options.source, "text/x-c");
  const listing = document.getElementById("listing-text");
  const kind = document.getElementById("listing-kind"), invert = document.getElementById("listing-invert");
  kind.onchange = invert.onchange = showListing;
  document.getElementById("listing-copy").onclick = () => copyText(listing.value);
  document.getElementById("listing-download").onclick = () =>
    download(listing.value, baseName({}) + "." + kind.value + ".txt", "text/plain");
}

// The window's listing of the first picture, when it is a 1-bit BMP file.
async function showListing() {
  const section = document.getElementById("listings");
  const p = pictures[0];
  section.hidden = !(p && p.engineReads);
  if (section.hidden) return;
  const kind = document.getElementById("listing-kind").value;
  const r = await engine.ask("listing", { key: p.key, kind, invert: document.getElementById("listing-invert").checked });
  document.getElementById("listing-text").value = r.error ? r.error : r.text;
}
