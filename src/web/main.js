// The page put together: settings from the link (else from the last visit), a sample when
// the link names one, and a new conversion whenever an option or a picture changes. Only the
// latest settings are converted: changes made while one runs coalesce into one more run.
"use strict";

let defaults = {};
let busy = false, again = false;
// For the benchmark: conversions finished, the last one's time, and when the first was shown.
const rendered = { count: 0, ms: 0, firstAt: 0 };

let saveTimer = 0;

// Each layout's group and each target's layout, from the engine's tables (fillSelects).
const layoutGroup = new Map(), targetLayout = new Map();
// Options of one kind of layout only. For the other kind they are greyed out and not sent,
// their values kept: a picture moved from an OLED to a TFT is not refused for its ink, and
// moved back it has it again.
const kOneBitOnly = ["ink", "threshold", "frames"], kLevelsOnly = ["reduce"];

function oneBit(s) {
  const group = layoutGroup.get(s.layout || targetLayout.get(s.target) || "");
  return group === undefined || group === "One bit" || group === "The window's listings";
}

function markApplicable(bits) {
  const on = document.getElementById("threshold-on");
  on.disabled = !bits;
  for (const id of kOneBitOnly) control(id).disabled = !bits || (id === "threshold" && !on.checked);
  for (const id of kLevelsOnly) control(id).disabled = bits;
}

async function convertNow() {
  const s = readControls();
  // The URL and storage are written once the options rest: replaceState is slow when
  // called at every step of a slider.
  clearTimeout(saveTimer);
  saveTimer = setTimeout(() => saveSettings(readControls(), defaults), 250);
  const canvas = document.getElementById("preview");
  if (!pictures.length) {
    canvas.width = canvas.height = 1;
    showText("");
    document.getElementById("result-info").textContent = "No picture yet.";
    return;
  }
  const bits = oneBit(s);
  markApplicable(bits);
  const options = convertOptions(s, pictures.length);
  for (const id of bits ? kLevelsOnly : kOneBitOnly) delete options[id];
  const r = await engine.ask("convert", { keys: pictures.map((p) => p.key), options });
  if (r.error) {
    say(r.error, "error");
    showResult(r, options);
    return;
  }
  say("");
  const named = s["preview-look"], zoom = Number(s.zoom) || 4, grid = s.grid === "1";
  const look = named || { oled: "oled-blue", epaper: "epaper" }[r.look] || "lcd";
  if (r.colours) {
    // A named look shades colours by their luminance, as dotlane-cli's --preview-look does.
    const asIs = r.tft && !named;
    drawColours(canvas, r.colours, look, zoom, grid, { asIs, shade: !asIs && (r.grey || !!named) });
  } else {
    drawBits(canvas, r.bits, look, zoom, grid);
  }
  canvas.setAttribute("aria-label", `Preview: ${r.bits.width} x ${r.bits.height} pixels`);
  showResult(r, options);
}

async function rerender() {
  if (busy) {
    again = true;
    return;
  }
  busy = true;
  const started = performance.now();
  do {
    again = false;
    await convertNow();
  } while (again);
  busy = false;
  rendered.ms = performance.now() - started;
  rendered.firstAt = rendered.firstAt || performance.now();
  document.body.dataset.rendered = ++rendered.count;
}

function onPicturesChanged() {
  showListing();
  rerender();
}

async function loadSample(name) {
  const sample = sampleBytes(name);
  if (!sample) return say(`No sample "${name}"; the samples are ${Object.keys(self.DOTLANE_SAMPLES || {}).join(", ")}.`, "error");
  if (await addPicture(sample.name, sample.bytes, true)) onPicturesChanged();
}

// `items` ({name, group, description or reader}) into `select` under a heading a group, the
// groups in the order the engine first lists them.
function fillGrouped(select, items, label) {
  const groups = new Map();
  for (const item of items) {
    if (!groups.has(item.group)) {
      const group = document.createElement("optgroup");
      group.label = item.group;
      groups.set(item.group, group);
      select.append(group);
    }
    const option = new Option(label ? label(item) : item.name, item.name);
    option.title = item.description || item.reader;
    groups.get(item.group).append(option);
  }
}

// The pickers list what the engine's own tables hold.
function fillSelects(tables) {
  fillGrouped(document.getElementById("opt-target"), tables.targets, (t) => `${t.name} (${t.layout})`);
  for (const t of tables.targets) {
    targetStyles[t.name] = t.style;
    targetLayout.set(t.name, t.layout);
  }
  for (const l of tables.layouts) layoutGroup.set(l.name, l.group);
  const layouts = new Map(tables.layouts.map((l) => [l.name, l]));
  fillGrouped(document.getElementById("opt-layout"), tables.layouts);
  fillGrouped(document.getElementById("render-layout"), tables.render.map((name) => layouts.get(name) || { name, group: "" }));
  document.getElementById("render-layout").value = "pages-lsb";
  const reduce = document.getElementById("opt-reduce");
  for (const word of tables.words.reduce || []) reduce.add(new Option(word, word));
  const sample = document.getElementById("opt-sample");
  for (const name of Object.keys(self.DOTLANE_SAMPLES || {})) sample.add(new Option(name, name));
}

function wireOptions() {
  const form = document.getElementById("option-form");
  const threshold = document.getElementById("opt-threshold"), on = document.getElementById("threshold-on");
  const shown = document.getElementById("threshold-value");
  form.addEventListener("submit", (e) => e.preventDefault());
  form.addEventListener("input", () => {
    threshold.disabled = !on.checked;
    shown.textContent = threshold.value;
    rerender();
  });
  for (const id of ["opt-preview-look", "opt-zoom", "opt-grid"]) document.getElementById(id).addEventListener("input", rerender);
  document.getElementById("opt-sample").addEventListener("change", (e) => e.target.value && loadSample(e.target.value));
  const file = document.getElementById("file");
  file.onchange = () => {
    document.getElementById("opt-sample").value = "";
    takeFiles([...file.files], document.getElementById("add-mode").checked);
  };
  const take = (files) => {
    document.getElementById("opt-sample").value = "";
    takeFiles(files, document.getElementById("add-mode").checked);
  };
  wireDrop(document.getElementById("drop"), take);
  wireDrop(document.body, take);
  document.getElementById("drop").addEventListener("keydown", (e) => {
    if (e.key === "Enter" || e.key === " ") file.click();
  });
  document.addEventListener("paste", (e) => {
    const files = [...e.clipboardData.files].filter((f) => f.type.startsWith("image/"));
    if (files.length) {
      e.preventDefault();
      take(files);
    }
  });
}

async function start() {
  engine.start();
  const tables = await engine.ask("tables");
  if (tables.error) return say(tables.error, "error");
  fillSelects(tables);
  defaults = readControls();
  const fromUrl = settingsFromUrl();
  const settings = Object.keys(fromUrl).length ? fromUrl : storedSettings();
  writeControls(settings);
  document.getElementById("threshold-value").textContent = document.getElementById("opt-threshold").value;
  wireOptions();
  wireOutput();
  wireReverse();
  if (settings.sample) loadSample(settings.sample);
  else rerender();
}

start();
