// dotlane.mjs for Node: the engine's calls over pictures' bytes or pixels and arrays' text.
import { readFileSync } from "node:fs";

const dotlane = makeDotlane(new WebAssembly.Module(readFileSync(new URL("./dotlane.wasm", import.meta.url))));

// {bytes, text, bits, oled} or {status, error}; `picture` is {name, bytes} of a 1-bit BMP
// file, {name?, rgba, width, height, delays?, bytes?} of decoded pixels, or a list of them.
export const convert = (picture, options) => dotlane.convert(picture, options);
export const render = (array, options) => dotlane.render(array, options);
export const guess = (array, options) => dotlane.guess(array, options);
export const check = (picture, array, options) => dotlane.check(picture, array, options);
export const listing = (bmp, kind, options) => dotlane.listing(bmp, kind, options);
// The engine's targets, layouts and option words, as the page's pickers list them.
export const tables = () => dotlane.tables();
export const forget = (picture) => dotlane.forget(picture);
// A picture kept loaded between calls: its file and pixels are not copied in again.
export const keep = (picture) => dotlane.keep(picture);
