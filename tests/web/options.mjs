// The option sets both the page's and dotlane.mjs's tests convert every picture with.
// Each row: convert's options; the window's layouts take only 1-bit BMP files, unprepared; the
// layouts of more than one bit refuse the options of black and white.
export const kOptionSets = [
  { target: "ssd1306" },
  { layout: "rows-msb", size: "64x32", dither: "atkinson" },
  { target: "u8g2", threshold: 100, rotate: 90, flip: "h" },
  { layout: "pages-msb", size: "40x40", fit: "cover", background: "black", ink: "light", style: "python" },
  { target: "adafruit-gfx", frames: true },
  { target: "ssd1306", compress: "rle", table: "pics", dither: "bayer4", namePrefix: "ui" },
  { layout: "t6963c" },
  { layout: "sed1565", invertColors: true },
  { target: "st7789" },
  { target: "adafruit-gfx-rgb565", size: "20x12", fit: "cover" },
  { target: "ssd1322", dither: "floyd-steinberg" },
  { target: "lvgl9-argb8888", background: "black" },
  { target: "gxepd2-bwr", dither: "atkinson" },
  { layout: "rgb332", reduce: "round", rotate: 90 },
  { layout: "rgb565", threshold: 100 },
];
