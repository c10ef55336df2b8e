// Puts the page and dotlane.mjs together from the engine Emscripten made: node assemble.mjs
// OBJ OUT. The page opens from file://, where neither fetch nor a worker's own file is
// allowed, so the worker is one function in a plain script (the page makes it a blob) with
// the engine inside it, gzipped, as base64, and every sample is a script too.
import { copyFileSync, mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";
import { minify } from "terser";

const [obj, out] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, "..", "..");
const read = (path) => readFileSync(path, "utf8");
const web = (name) => read(join(here, name));
mkdirSync(out, { recursive: true });

const glue = read(join(obj, "engine.js"));
const wasm = readFileSync(join(obj, "engine.wasm"));
copyFileSync(join(obj, "engine.wasm"), join(out, "dotlane.wasm"));
writeFileSync(join(out, "dotlane.mjs"), glue + "\n" + web("api.js") + "\n" + web("node_tail.mjs"));

// Minified for size; the names the page calls stay as they are.
async function small(code) {
  const made = await minify(code, { ecma: 2020, compress: { passes: 2 }, mangle: true });
  return made.code;
}

const workerBody = [glue, web("api.js"), web("decode.js"), web("worker.js")].join("\n");
const worker = await small(`function dotlaneWorker(){${workerBody}}`);
const packed = gzipSync(wasm, { level: 9 }).toString("base64");
writeFileSync(join(out, "worker.js"), worker.replace(/^function dotlaneWorker\(\)\{/, `function dotlaneWorker(){const DOTLANE_WASM_GZIP="${packed}";`));

const pageScripts = ["state.js", "ui.js", "preview.js", "output.js", "reverse.js", "main.js"];
const page = await small(pageScripts.map(web).join("\n"));
writeFileSync(join(out, "page.js"), page);
copyFileSync(join(here, "page.css"), join(out, "page.css"));
copyFileSync(join(here, "index.html"), join(out, "index.html"));

// The samples the page offers by name (?sample=NAME), each a file's bytes in base64.
const samples = ["logo_128x64.bmp", "screen_240x128.bmp", "icon_17x13.bmp", "gradient_48x16.png", "badge_32x16.gif", "colours_24x16.png"];
const table = Object.fromEntries(
  samples.map((file) => [file.replace(/\.[a-z]+$/, ""), { file, data: readFileSync(join(root, "samples", file)).toString("base64") }]),
);
writeFileSync(join(out, "samples.js"), `self.DOTLANE_SAMPLES=${JSON.stringify(table)};\n`);
