// What the page must do in every browser engine, as one table that
// browser.test.mjs walks in each. A case is a name, whether it wants a freshly
// loaded page, and steps. A step may put the focus on an element (from the
// page's script), then press keys or click through the client's own input,
// then run a function in the page until its result equals `expect` (within
// `within` ms, 5000 when not given). The functions are sent to the browser as
// their source text, so each stands alone: no variable from outside it.
import { readFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const root = join(dirname(fileURLToPath(import.meta.url)), "../..");

// The page has started and painted its first frame.
export const ready = () => Boolean(window.chainPage) && !Number.isNaN(window.chainPage.firstFrameMs);

const focused = () => document.activeElement?.id ?? "";
const bar = (id) => document.getElementById(id).getAttribute("aria-valuenow");

// What is wrong with the surface's pixels: none but the background, the two
// blue fixed ends (one on each half) and the red free nodes are looked for.
const pixelsWrong = () => {
  const canvas = document.getElementById("surface");
  const { data, width } = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height);
  const c = { background: 0, blueLeft: 0, blueRight: 0, red: 0, all: data.length / 4 };
  for (let i = 0; i < data.length; i += 4) {
    const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
    if (r === 0x10 && g === 0x14 && b === 0x18) c.background++;
    else if (b > 150 && r < 100 && g < 100) ((i / 4) % width < width / 2 ? c.blueLeft++ : c.blueRight++);
    else if (r > 150 && g < 60 && b < 60) c.red++;
  }
  const ok = c.background > 0.9 * c.all && c.blueLeft > 0 && c.blueRight > 0 && c.red > 20;
  return ok ? "" : JSON.stringify(c);
};

// Once all 41 nodes are on the surface, follows the centre one (the 21st
// circle of a pass's commands) after every pass the page runs, however many it
// runs a task: which way it first moves by more than a pixel. And keeps every
// announcement from then on: the chain may be at rest again before a test looks.
const watchCentre = () => {
  const core = window.chainPage.core;
  const centreX = () => {
    const at = core._chain_commands() >>> 3, xs = [];
    for (let i = 0; i < window.chainPage.commands; ++i) {
      if (core.HEAPF64[at + 6 * i] === 2) xs.push(core.HEAPF64[at + 6 * i + 2]);
    }
    return xs.length === 41 ? xs[20] : NaN;
  };
  const watch = (window.centreWatch = { from: centreX(), moved: "", said: [] });
  if (Number.isNaN(watch.from)) return "not all 41 nodes on the surface";
  const pass = core._chain_pass;
  core._chain_pass = () => {
    const count = pass();
    const x = centreX();
    if (!watch.moved && Math.abs(x - watch.from) > 1) watch.moved = x > watch.from ? "right" : "left";
    return count;
  };
  const live = document.getElementById("announce");
  new MutationObserver(() => watch.said.push(live.textContent)).observe(live, { childList: true });
  return "watching";
};

// After the end: nothing more is computed or drawn, and the page says so.
const stillAfterEnd = async () => {
  const snapshot = () => `${window.chainPage.passes} ${document.getElementById("surface").toDataURL()}`;
  const before = snapshot();
  await new Promise((done) => setTimeout(done, 300));
  return { unchanged: snapshot() === before, focus: document.activeElement?.id,
    windowHidden: document.getElementById("window").hidden };
};

const ended = { run: stillAfterEnd, expect: { unchanged: true, focus: "ended", windowHidden: true } };

export const cases = [
  { name: "the surface shows the blue fixed ends and the red nodes on its background", fresh: true, steps: [
    { run: pixelsWrong, expect: "" },
  ] },
  { name: "Tab goes through the controls in the desktop's order, Shift+Tab back", steps: [
    { focus: "#surface", run: focused, expect: "surface" },
    ...["exit", "mass", "nudge-left", "nudge-right", "scale"].map((id) => ({ press: "Tab", run: focused, expect: id })),
    { press: "Shift+Tab", run: focused, expect: "nudge-right" },
  ] },
  { name: "a click on Nudge Right moves the centre node right, and the live region says so", steps: [
    { run: watchCentre, expect: "watching", within: 10000 },
    { click: "#nudge-right", run: () => window.centreWatch.moved, expect: "right" },
    { run: () => window.centreWatch.said.length > 0, expect: true },
  ] },
  { name: "the bars' keys step them, and their values are the quantities they set", steps: [
    { focus: "#mass", run: bar, arg: "mass", expect: "1" },
    ...[["ArrowRight", "51"], ["PageDown", "151"], ["ArrowLeft", "101"], ["Home", "1"], ["ArrowDown", "51"]]
      .map(([press, value]) => ({ press, run: bar, arg: "mass", expect: value })),
    { focus: "#scale", press: "End", run: bar, arg: "scale", expect: "40" },
    // The surface's words follow, once the keys are still.
    { run: () => document.getElementById("surface").getAttribute("aria-description").includes(" 51,"), expect: true },
  ] },
  { name: "a scripted session draws the desktop build's calls, bit for bit", steps: [
    { run: () => window.chainPage.core.UTF8ToString(window.chainPage.core._chain_test_draw_session()),
      expect: readFileSync(join(root, "tests/reference/draw_session_hash.txt"), "utf8").trim() },
  ] },
  { name: "Alt+X ends the simulation: no further pass and no further drawing", steps: [
    { focus: "#surface", press: "Alt+x", run: () => window.chainPage.ended, expect: true },
    ended,
  ] },
  { name: "a click on Exit ends it too", fresh: true, steps: [
    { click: "#exit", run: () => window.chainPage.ended, expect: true },
    ended,
  ] },
];
