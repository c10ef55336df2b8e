// The page's settings: each a form control by id, kept in the URL (so a link repeats a
// conversion) and in localStorage (so the page opens as it was left). The pictures never
// leave the machine; a link names only a bundled sample.
"use strict";

// Convert's options as the command line names them, then the page's own.
const kConvertOptions = ["target", "layout", "style", "name", "size", "fit", "rotate", "flip", "background",
  "threshold", "dither", "reduce", "ink", "name-prefix", "frames", "table", "compress", "pair"];
// The look is --preview-look's: it changes the canvas, never the bytes or text.
const kPageOptions = ["preview-look", "zoom", "grid", "sample"];
const kStoreKey = "dotlane-page-settings";

function control(id) {
  return document.getElementById("opt-" + id);
}

function readControls() {
  const s = {};
  for (const id of [...kConvertOptions, ...kPageOptions]) {
    const c = control(id);
    if (!c) continue;
    if (c.type === "checkbox") s[id] = c.checked ? "1" : "";
    else s[id] = c.value;
  }
  if (!document.getElementById("threshold-on").checked) s.threshold = "";
  return s;
}

function writeControls(s) {
  for (const [id, value] of Object.entries(s)) {
    const c = control(id);
    if (!c) continue;
    if (c.type === "checkbox") c.checked = value === "1" || value === "true";
    else if (c.tagName === "SELECT" && ![...c.options].some((o) => o.value === value)) continue;
    else c.value = value;
  }
  const on = document.getElementById("threshold-on");
  on.checked = s.threshold !== undefined && s.threshold !== "";
  control("threshold").disabled = !on.checked;
}

// The settings that differ from the page's defaults.
function changedSettings(s, defaults) {
  const changed = {};
  for (const [k, v] of Object.entries(s)) if (v !== defaults[k] && v !== undefined) changed[k] = v;
  return changed;
}

function settingsFromUrl() {
  const params = new URLSearchParams(location.search);
  const s = {};
  for (const id of [...kConvertOptions, ...kPageOptions]) if (params.has(id)) s[id] = params.get(id);
  return s;
}

function saveSettings(s, defaults) {
  const changed = changedSettings(s, defaults);
  const query = new URLSearchParams(changed).toString();
  history.replaceState(null, "", location.pathname + (query ? "?" + query : "") + location.hash);
  try {
    localStorage.setItem(kStoreKey, JSON.stringify(changed));
  } catch (e) {
    // Storage may be off (a private window, or file:// in some browsers): the URL still holds it.
  }
}

function storedSettings() {
  try {
    return JSON.parse(localStorage.getItem(kStoreKey) || "{}") || {};
  } catch (e) {
    return {};
  }
}

// Convert's options for the engine, from the settings: {target: "ssd1306", ...}.
function convertOptions(s, pictureCount) {
  const o = {};
  for (const id of kConvertOptions) {
    const v = s[id];
    if (v === "" || v === undefined || id === "pair" || id === "frames" || id === "compress") continue;
    o[id] = v;
  }
  if (s.frames === "1") o.frames = true;
  if (s.compress === "1") o.compress = "rle";
  if (s.pair === "1") {
    o.header = "pictures.h";
    o.source = "pictures.c";
  }
  if (o.name !== undefined) {
    const names = o.name.split(",").map((n) => n.trim());
    o.name = names.length === pictureCount ? names : o.name;
  }
  return o;
}
