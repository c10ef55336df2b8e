// What bench/web.sh prints; see there.
import { statSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { built, launch, openPage, rendered } from "../tests/web/harness.mjs";

const median = (list) => list.sort((a, b) => a - b)[Math.floor(list.length / 2)];
const browser = await launch();
const url = "file://" + built + "/index.html";

const ready = [];
for (let i = 0; i < 7; ++i) {
  const { page } = await openPage(browser, url + "?sample=logo_128x64&target=ssd1306");
  await rendered(page);
  ready.push(await page.evaluate(() => rendered.firstAt));
  await page.close();
}

// A 1024 x 1024 picture drawn in the page, loaded as a dropped PNG file would be.
const { page } = await openPage(browser, url + "?target=ssd1306&size=128x64&dither=atkinson");
await rendered(page);
await page.evaluate(async () => {
  const canvas = new OffscreenCanvas(1024, 1024), g = canvas.getContext("2d");
  const fill = g.createRadialGradient(400, 500, 10, 512, 512, 700);
  fill.addColorStop(0, "#fff");
  fill.addColorStop(1, "#123");
  g.fillStyle = fill;
  g.fillRect(0, 0, 1024, 1024);
  g.font = "bold 260px sans-serif";
  g.fillStyle = "#000";
  g.fillText("Dot", 120, 600);
  const bytes = new Uint8Array(await (await canvas.convertToBlob({ type: "image/png" })).arrayBuffer());
  await addPicture("big.png", bytes, true);
  onPicturesChanged();
});
await rendered(page, 2);
// Medians of 21 changes of the dither, each timed from the change to the preview drawn and the
// text in place, as the page times it; the browser paints that frame next.
async function rerenders() {
  const times = [];
  for (let i = 0; i < 21; ++i) {
    times.push(
      await page.evaluate(async (n) => {
        const dither = document.getElementById("opt-dither");
        dither.value = n % 2 ? "atkinson" : "floyd-steinberg";
        dither.dispatchEvent(new Event("input", { bubbles: true }));
        const count = rendered.count;
        while (rendered.count === count) await new Promise((r) => setTimeout(r, 0));
        return rendered.ms;
      }, i),
    );
  }
  return median(times);
}
const rerender = await rerenders();
// The same picture for a 240 x 240 ST7789 in RGB565.
await page.evaluate(() => {
  document.getElementById("opt-target").value = "st7789";
  document.getElementById("opt-size").value = "240x240";
});
const colour = await rerenders();
await browser.close();

const base64 = readFileSync(join(built, "worker.js"), "utf8").match(/DOTLANE_WASM_GZIP="([^"]*)"/)[1].length;
const bytes = ["dotlane.wasm", "worker.js", "page.js"].reduce((sum, f) => sum + statSync(join(built, f)).size, 0) - base64;
console.log(`web rerender-1024 ${rerender.toFixed(1)} ms`);
console.log(`web rerender-1024-colour ${colour.toFixed(1)} ms`);
console.log(`web ready ${median(ready).toFixed(0)} ms`);
console.log(`web size ${(bytes / 1024).toFixed(0)} KB`);
