// Bytes back into pictures: guess's readings as small pictures to pick from, a reading set
// by hand and painted, its PNG file, and check's differences against the artwork.
"use strict";

function arrayOptions() {
  return {
    input: document.getElementById("array-input").value,
    name: document.getElementById("array-name").value.trim(),
  };
}

function arrayText() {
  return document.getElementById("array-text").value;
}

function renderOptions(png) {
  const layout = document.getElementById("render-layout").value;
  const o = Object.assign(arrayOptions(), { layout, ink: document.getElementById("render-ink").value, png });
  // A T6963C listing's first line gives the size; the others take it as set.
  if (layout !== "t6963c") {
    o.width = document.getElementById("render-width").value;
    o.height = document.getElementById("render-height").value;
  }
  o.allowExtra = true;
  return o;
}

async function guessShape() {
  const list = document.getElementById("readings");
  list.textContent = "";
  say("Guessing...");
  const r = await engine.ask("guess", { array: arrayText(), options: arrayOptions() });
  if (r.error) return say(r.error, "error");
  say("");
  r.readings.forEach((reading, i) => {
    const item = document.createElement("li");
    const pick = document.createElement("button");
    pick.type = "button";
    pick.className = "reading";
    const label = `${reading.layout} ${reading.width} x ${reading.height}, score ${reading.score.toFixed(3)}`;
    pick.setAttribute("aria-label", "Use " + label);
    const canvas = document.createElement("canvas");
    // Each reading fits a box of 160 x 120 pixels (a large one drawn at its own size).
    drawBits(canvas, reading.bits, "epaper", Math.max(1, Math.floor(Math.min(160 / reading.width, 120 / reading.height))), false);
    const caption = document.createElement("span");
    caption.textContent = `${i + 1}. ${label}`;
    pick.append(canvas, caption);
    pick.onclick = () => useReading(reading);
    item.append(pick);
    list.append(item);
  });
  if (r.readings.length) useReading(r.readings[0]);
}

function useReading(reading) {
  document.getElementById("render-layout").value = reading.layout;
  document.getElementById("render-width").value = reading.width;
  document.getElementById("render-height").value = reading.height;
  renderArray();
}

async function renderArray() {
  const r = await engine.ask("render", { array: arrayText(), options: renderOptions(false) });
  if (r.error) return say(r.error, "error");
  say(r.warning || "");
  const canvas = document.getElementById("render-canvas");
  // Colours as render's PNG file holds them; bits as ink on paper.
  if (r.colours) drawColours(canvas, r.colours, "lcd", 4, false, { asIs: true, shade: false });
  else drawBits(canvas, r.bits, "epaper", 4, false);
}

async function renderPng() {
  const r = await engine.ask("render", { array: arrayText(), options: renderOptions(true) });
  if (r.error) return say(r.error, "error");
  download(r.png, (arrayOptions().name || "array") + ".png", "image/png");
}

// check of the array against `key`'s picture, with the page's convert options.
async function checkAgainst(key) {
  const options = convertOptions(readControls(), 1);
  for (const k of ["style", "name", "table", "compress", "header", "source", "frames"]) delete options[k];
  const r = await engine.ask("check", { key, array: arrayText(), options: Object.assign(options, arrayOptions()) });
  const text = document.getElementById("check-text"), img = document.getElementById("check-diff");
  text.textContent = r.status === 2 || (!r.text && r.error) ? r.error : r.text;
  img.hidden = !r.diff;
  if (r.diff) img.src = URL.createObjectURL(new Blob([r.diff], { type: "image/png" }));
}

async function checkFile(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  const key = ++pictureSerial;
  const answer = await engine.ask("picture", { key, name: file.name, bytes: bytes.buffer });
  if (answer.error) return say(answer.error, "error");
  await checkAgainst(key);
  engine.ask("drop", { key });
}

function wireReverse() {
  document.getElementById("guess").onclick = guessShape;
  document.getElementById("render").onclick = renderArray;
  document.getElementById("render-png").onclick = renderPng;
  document.getElementById("check-first").onclick = () => pictures[0] ? checkAgainst(pictures[0].key) : say("Load a picture first.", "error");
  document.getElementById("check-file").onchange = (e) => e.target.files[0] && checkFile(e.target.files[0]);
  wireDrop(document.getElementById("check-zone"), (files) => checkFile(files[0]));
}
