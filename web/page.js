// The page around the chain's C++ core (chain.js and chain.wasm): it paints
// the core's drawing commands, turns keys and clicks into the core's handler
// calls and hands the core's words to assistive technology. Every number about
// the chain, the bars and the words comes from the core.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  // What the page has done so far, for anyone measuring it.
  const page = { passes: 0, commands: 0, firstFrameMs: NaN, inputDelaysMs: [], ended: false, core: null };
  window.chainPage = page;

  // Bar actions, as the core numbers them (web/BarStep.h).
  const ARROW_ADD = 0, ARROW_SUB = 1, PAGE_ADD = 2, PAGE_SUB = 3, TO_MIN = 4, TO_MAX = 5;
  const BAR_KEYS = {
    ArrowRight: ARROW_ADD, ArrowDown: ARROW_ADD, ArrowLeft: ARROW_SUB, ArrowUp: ARROW_SUB,
    PageDown: PAGE_ADD, PageUp: PAGE_SUB, Home: TO_MIN, End: TO_MAX,
  };
  // Held arrows and track: a first step, then repeats, as desktop scroll bars do.
  const REPEAT_DELAY_MS = 500, REPEAT_EVERY_MS = 50;

  let core, ctx, width, height, background;
  const cssColours = new Map();
  let commandCount = 0;
  let drawn = true;
  let describeTimer = 0;

  function cssColour(word) {
    let css = cssColours.get(word);
    if (css === undefined) {
      css = `rgb(${word & 255},${(word >>> 8) & 255},${(word >>> 16) & 255})`;
      if (cssColours.size > 512) cssColours.clear();
      cssColours.set(word, css);
    }
    return css;
  }

  function words(pointer) { return core.UTF8ToString(pointer); }

  // --- The surface -------------------------------------------------------
  function fitCanvas(canvas) {
    const ratio = window.devicePixelRatio || 1;
    const w = Math.round(width * ratio), h = Math.round(height * ratio);
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
  }

  // Paints the last pass's commands: kind, colour, then four numbers each.
  function paint() {
    fitCanvas(ctx.canvas);
    ctx.fillStyle = background;
    ctx.fillRect(0, 0, width, height);
    ctx.lineWidth = 1;
    const heap = core.HEAPF64;
    let at = core._chain_commands() >>> 3;
    let colour = -1;
    ctx.beginPath();
    for (let i = 0; i < commandCount; ++i, at += 6) {
      const word = heap[at + 1];
      if (word !== colour) {
        ctx.stroke();
        ctx.beginPath();
        ctx.strokeStyle = cssColour(word);
        colour = word;
      }
      const a = heap[at + 2], b = heap[at + 3], c = heap[at + 4];
      if (heap[at] === 1) {
        ctx.moveTo(a, b);
        ctx.lineTo(c, heap[at + 5]);
      } else {
        ctx.moveTo(a + c, b);
        ctx.arc(a, b, c, 0, 2 * Math.PI);
      }
    }
    ctx.stroke();
  }

  // --- The loop: one pass a task, the browser's events in between ---------
  const channel = new MessageChannel();
  channel.port1.onmessage = () => {
    if (page.ended) return;
    commandCount = page.commands = core._chain_pass();
    page.passes++;
    drawn = false;
    channel.port2.postMessage(0);
  };

  function frame() {
    if (page.ended) return;
    if (!drawn) {
      paint();
      drawn = true;
      if (Number.isNaN(page.firstFrameMs)) page.firstFrameMs = performance.now();
    }
    requestAnimationFrame(frame);
  }

  // --- Words for assistive technology ------------------------------------
  // An attribute, not text referred to: a screen reader hears of each change.
  function describeSurface() {
    const text = words(core._chain_surface_words());
    const surface = $("surface");
    if (surface.getAttribute("aria-description") !== text) surface.setAttribute("aria-description", text);
  }

  function announce() {
    if (page.ended) return;
    const text = words(core._chain_announcement());
    if (text !== "") $("announce").textContent = text;
    describeSurface();
  }

  function noteInput(event) {
    page.inputDelaysMs.push(performance.now() - event.timeStamp);
    if (page.inputDelaysMs.length > 1000) page.inputDelaysMs.shift();
  }

  // --- The bars -----------------------------------------------------------
  function makeBar(element, index, handler) {
    const setting = (field) => core._chain_bar(index, field);
    const bar = {
      min: setting(0), max: setting(1), arrow: setting(2), page: setting(3), value: setting(4),
    };
    const track = element.querySelector(".track");
    const thumb = element.querySelector(".thumb");
    element.setAttribute("aria-valuemin", bar.min);
    element.setAttribute("aria-valuemax", bar.max);

    function thumbWidth() {
      const span = bar.max - bar.min + bar.page;
      return Math.max(12, (track.clientWidth * bar.page) / span);
    }
    function place(value) {
      const room = track.clientWidth - thumbWidth();
      thumb.style.width = `${thumbWidth()}px`;
      thumb.style.left = `${(room * (value - bar.min)) / (bar.max - bar.min)}px`;
    }
    function show() {
      element.setAttribute("aria-valuenow", bar.value);
      element.setAttribute("aria-valuetext", words(core._chain_bar_words(index, bar.value)));
      place(bar.value);
    }
    // A new value acts at once: the handler, then the words.
    function set(value) {
      if (page.ended || value === bar.value) return;
      bar.value = value;
      show();
      handler(value);
      announce();
    }
    function act(action) { set(core._chain_bar_step(index, bar.value, action)); }

    element.addEventListener("keydown", (event) => {
      const action = BAR_KEYS[event.key];
      if (action === undefined || event.altKey || event.ctrlKey || event.metaKey) return;
      event.preventDefault();
      noteInput(event);
      act(action);
    });

    // Arrows and the track: one step on press, repeated while held.
    let repeat = 0;
    const stopRepeat = () => { clearTimeout(repeat); repeat = 0; };
    function hold(event, step) {
      event.preventDefault();
      element.focus();
      noteInput(event);
      if (!step()) return;
      const again = (delay) => { repeat = setTimeout(() => { if (step()) again(REPEAT_EVERY_MS); }, delay); };
      again(REPEAT_DELAY_MS);
      event.target.setPointerCapture(event.pointerId);
    }
    element.querySelector(".sub").addEventListener("pointerdown", (e) => hold(e, () => { act(ARROW_SUB); return true; }));
    element.querySelector(".add").addEventListener("pointerdown", (e) => hold(e, () => { act(ARROW_ADD); return true; }));
    track.addEventListener("pointerdown", (event) => {
      if (event.target === thumb) return;
      const x = event.clientX;
      // Page steps towards the pointer until the thumb reaches it.
      hold(event, () => {
        const box = thumb.getBoundingClientRect();
        if (x < box.left) act(PAGE_SUB);
        else if (x > box.right) act(PAGE_ADD);
        else return false;
        return true;
      });
    });
    for (const type of ["pointerup", "pointercancel", "lostpointercapture"]) {
      element.addEventListener(type, stopRepeat);
    }

    // The thumb follows a drag; the value changes only when it is let go.
    let drag = null;
    function dragValue(event) {
      const room = track.clientWidth - thumbWidth();
      const x = drag.startValueX + event.clientX - drag.startX;
      const f = room > 0 ? Math.min(1, Math.max(0, x / room)) : 0;
      return bar.min + Math.round(f * (bar.max - bar.min));
    }
    thumb.addEventListener("pointerdown", (event) => {
      event.preventDefault();
      element.focus();
      thumb.setPointerCapture(event.pointerId);
      drag = { startX: event.clientX, startValueX: thumb.offsetLeft };
    });
    thumb.addEventListener("pointermove", (event) => { if (drag) place(dragValue(event)); });
    thumb.addEventListener("pointerup", (event) => {
      if (!drag) return;
      noteInput(event);
      const value = dragValue(event);
      drag = null;
      place(bar.value);
      set(value);
    });
    thumb.addEventListener("pointercancel", () => { drag = null; place(bar.value); });

    // The caption puts the focus on its bar, as a label does.
    $(`${element.id}-label`).addEventListener("click", () => element.focus());
    show();
    return bar;
  }

  // --- Ending -------------------------------------------------------------
  function end() {
    if (page.ended) return;
    page.ended = true;  // no pass and no drawing after this
    channel.port1.close();
    clearInterval(describeTimer);
    $("window").hidden = true;
    const ended = $("ended");
    ended.hidden = false;
    ended.focus();
  }

  // --- Start-up -----------------------------------------------------------
  function click(id, handler) {
    $(id).addEventListener("click", (event) => {
      if (page.ended) return;
      noteInput(event);
      handler();
      announce();
    });
  }

  function start(module) {
    core = page.core = module;
    width = core._chain_surface_width();
    height = core._chain_surface_height();
    background = `#${core._chain_background().toString(16).padStart(6, "0")}`;
    const canvas = $("surface");
    canvas.style.width = `${width}px`;
    canvas.style.height = `${height}px`;
    ctx = canvas.getContext("2d", { alpha: false });

    core._chain_start();
    makeBar($("mass"), 0, (value) => core._chain_mass_bar(value));
    makeBar($("scale"), 1, (value) => core._chain_scale_bar(value));
    click("nudge-left", () => core._chain_nudge_left());
    click("nudge-right", () => core._chain_nudge_right());
    $("exit").addEventListener("click", end);
    // Alt+X, the desktop's access key, wherever the browser puts its own.
    document.addEventListener("keydown", (event) => {
      if (event.altKey && !event.ctrlKey && !event.metaKey && event.code === "KeyX") {
        event.preventDefault();
        end();
      }
    });
    // Four times a second, as the desktop's timer; the first words follow the first pass.
    describeTimer = setInterval(announce, 250);
    canvas.focus();

    channel.port2.postMessage(0);
    requestAnimationFrame(frame);
  }

  loadChain().then(start, (error) => {
    const failed = $("failed");
    failed.textContent = location.protocol === "file:"
      ? "The simulation could not start: browsers load its WebAssembly only from a web server, " +
        "not from a file on this computer."
      : `The simulation could not start: ${error}`;
    $("window").hidden = true;
    failed.hidden = false;
  });
})();
