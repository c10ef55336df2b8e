// The worker that holds the engine, and the pictures the page has given it. The worker is
// made from a function of a plain script, as a blob: a page opened from file:// may not
// start one from its own file.
"use strict";

const kMaxPictureFile = 64 * 1024 * 1024;

function say(text, kind) {
  const status = document.getElementById("status");
  status.textContent = text || "";
  status.className = kind || "";
}

const engine = {
  worker: null,
  next: 0,
  waiting: new Map(),
  start() {
    const source = "(" + dotlaneWorker.toString() + ")()";
    this.worker = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })));
    this.worker.onmessage = (e) => {
      const done = this.waiting.get(e.data.id);
      this.waiting.delete(e.data.id);
      if (done) done(e.data);
    };
    // A worker that dies (the tab's memory ran out) is replaced, and its pictures sent again.
    this.worker.onerror = (e) => {
      e.preventDefault();
      for (const done of this.waiting.values()) done({ status: 1, error: "The engine stopped: " + (e.message || "out of memory") + "." });
      this.waiting.clear();
      this.worker.terminate();
      this.start();
      for (const p of pictures) this.ask("picture", { key: p.key, name: p.name, bytes: p.bytes.slice().buffer });
    };
  },
  ask(op, message, transfer) {
    return new Promise((resolve) => {
      const id = ++this.next;
      this.waiting.set(id, resolve);
      this.worker.postMessage(Object.assign({ id, op }, message), transfer || []);
    });
  },
};

// The pictures in the order they go into the output: {key, name, bytes, width, height,
// frames, engineReads}.
const pictures = [];
let pictureSerial = 0;

function sampleBytes(name) {
  const sample = (self.DOTLANE_SAMPLES || {})[name];
  if (!sample) return null;
  const raw = atob(sample.data), bytes = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
  return { name: sample.file, bytes };
}

// Gives the worker one picture file; false, with the message shown, when it is refused.
async function addPicture(name, bytes, replace) {
  const key = ++pictureSerial;
  const answer = await engine.ask("picture", { key, name, bytes: bytes.slice().buffer });
  if (answer.error) {
    say(answer.error, "error");
    return false;
  }
  if (replace) clearPictures();
  pictures.push(Object.assign({ key, name, bytes }, answer));
  showPictureList();
  return true;
}

function clearPictures() {
  for (const p of pictures.splice(0)) engine.ask("drop", { key: p.key });
}

function removePicture(key) {
  const at = pictures.findIndex((p) => p.key === key);
  if (at >= 0) engine.ask("drop", { key: pictures.splice(at, 1)[0].key });
  showPictureList();
  onPicturesChanged();
}

function showPictureList() {
  const body = document.querySelector("#picture-list tbody");
  body.textContent = "";
  for (const p of pictures) {
    const row = body.insertRow();
    row.insertCell().textContent = p.name;
    row.insertCell().textContent = p.engineReads ? "1-bit BMP" : p.width + " x " + p.height;
    row.insertCell().textContent = p.frames;
    const remove = document.createElement("button");
    remove.type = "button";
    remove.textContent = "Remove";
    remove.setAttribute("aria-label", "Remove " + p.name);
    remove.onclick = () => removePicture(p.key);
    row.insertCell().append(remove);
  }
}

// Files from the chooser, a drop or a paste; the first replaces what was there unless
// `add` (several pictures into one output).
async function takeFiles(files, add) {
  let first = !add;
  for (const file of files) {
    if (file.size > kMaxPictureFile) {
      say(`"${file.name}" holds ${file.size} bytes; dotlane-cli reads pictures of up to 64 MiB.`, "error");
      continue;
    }
    say("Reading " + file.name + "...");
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (await addPicture(file.name || "pasted.png", bytes, first)) {
      first = false;
      say("");
    }
  }
  onPicturesChanged();
}

function wireDrop(zone, take) {
  zone.addEventListener("dragover", (e) => {
    e.preventDefault();
    zone.classList.add("over");
  });
  zone.addEventListener("dragleave", () => zone.classList.remove("over"));
  zone.addEventListener("drop", (e) => {
    e.preventDefault();
    e.stopPropagation();
    zone.classList.remove("over");
    if (e.dataTransfer.files.length) take([...e.dataTransfer.files]);
  });
}
