// The page around the chain's C++ core (chain.js and chain.wasm): it builds
// the controls from the core's description of them, paints the core's drawing
// commands, passes keys, clicks and touches to the core's session and hands the
// session's words to assistive technology. Every number and word about the
// chain, the controls and what they do comes from the core.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  // What the page has done so far, for anyone measuring it.
  const page = { passes: 0, batches: 0, commands: 0, firstFrameMs: NaN, inputDelaysMs: [], ended: false, core: null };
  window.chainPage = page;

  // Held arrows and track: a first step, then repeats, as desktop scroll bars do.
  const REPEAT_DELAY_MS = 500, REPEAT_EVERY_MS = 50;
  // Passes run in batches of about this long, one batch a task: long enough
  // that the trip from one task to the next costs little in any browser, short
  // enough that a key or a click waits for it far less than a display frame.
  const BATCH_MS = 4;
  // A browser may put back-to-back tasks ahead of the display's frames (Firefox
  // then paints some 15 a second): once a frame is this late, the batches wait
  // for it.
  const FRAME_DUE_MS = 25;

  let core, desc, ctx;
  const cssColours = new Map();
  let commandCount = 0;
  let drawn = true;

  function cssColour(word) {
    let css = cssColours.get(word);
    if (css === undefined) {
      css = `rgb(${word & 255},${(word >>> 8) & 255},${(word >>> 16) & 255})`;
      if (cssColours.size > 512) cssColours.clear();
      cssColours.set(word, css);
    }
    return css;
  }

  const text = (pointer) => core.UTF8ToString(pointer);

  // --- The controls, as the core describes them ---------------------------
  // The surface first, then the other controls flowing below or beside it in
  // the description's order, which is the Tab key's; the desktop's places are
  // not used. A labelled control shares a field with its label.
  function element(tag, control, attributes = {}) {
    const e = document.createElement(tag);
    e.id = control.id;
    for (const [name, value] of Object.entries(attributes)) e.setAttribute(name, value);
    return e;
  }

  // A caption with its access key's letter underlined.
  function caption(e, control) {
    const at = control.accessKey ? control.caption.toLowerCase().indexOf(control.accessKey) : -1;
    if (at < 0) {
      e.textContent = control.caption;
      return;
    }
    const u = document.createElement("u");
    u.textContent = control.caption[at];
    e.append(control.caption.slice(0, at), u, control.caption.slice(at + 1));
    e.accessKey = control.accessKey;
    e.setAttribute("aria-keyshortcuts", `Alt+${control.accessKey.toUpperCase()}`);
  }

  function build() {
    const window_ = $("window"), controls = $("controls");
    const labelled = new Set(desc.controls.map((c) => c.labels).filter(Boolean));
    for (const control of desc.controls) {
      let e;
      if (control.kind === "surface") {
        e = element("canvas", control, { tabindex: 0, role: "img", "aria-label": control.name });
        e.style.background = desc.surface.background;
        window_.prepend(e);
        continue;
      } else if (control.kind === "button") {
        e = element("button", control, { type: "button" });
        caption(e, control);
      } else if (control.kind === "bar") {
        e = element("div", control, {
          class: "bar", role: "slider", tabindex: 0, "aria-label": control.name,
          "aria-orientation": "horizontal",
        });
        e.innerHTML = '<div class="arrow sub" aria-hidden="true"></div>' +
          '<div class="track" aria-hidden="true"><div class="thumb"></div></div>' +
          '<div class="arrow add" aria-hidden="true"></div>';
      } else {
        // The bar carries the caption's words as its name: to a screen
        // reader the caption itself would be text read twice, with its colon.
        e = element("span", control, { class: "label", "aria-hidden": "true" });
        caption(e, control);
        // The caption puts the focus on its control, as a label does.
        e.addEventListener("click", () => $(control.labels).focus());
        // Labels go just before what they name, so that they are read in turn.
        const named = $(control.labels);
        if (named) named.before(e);
        else controls.append(e);
        continue;
      }
      if (labelled.has(control.id)) {
        const field = document.createElement("div");
        field.className = "field";
        field.append(e);
        e = field;
      }
      controls.append(e);
    }
    // The surface keeps its shape at any size (page.css).
    window_.style.setProperty("--surface-aspect", desc.surface.width / desc.surface.height);
    $("title").textContent = desc.title;
  }

  // --- The surface -------------------------------------------------------
  // The canvas has a pixel for each device pixel of its box, which the layout
  // sizes (and a zoom changes); the commands, in the surface's logical pixels,
  // are scaled to it.
  function fitCanvas(canvas) {
    const ratio = window.devicePixelRatio || 1, box = canvas.getBoundingClientRect();
    const w = Math.round(box.width * ratio), h = Math.round(box.height * ratio);
    if (w > 0 && h > 0 && (canvas.width !== w || canvas.height !== h)) {
      canvas.width = w;
      canvas.height = h;
    }
    ctx.setTransform(canvas.width / desc.surface.width, 0, 0, canvas.height / desc.surface.height, 0, 0);
  }

  // Paints the last pass's commands: kind, colour, then four numbers each.
  function paint() {
    fitCanvas(ctx.canvas);
    ctx.fillStyle = desc.surface.background;
    ctx.fillRect(0, 0, desc.surface.width, desc.surface.height);
    // A line is a logical pixel wide, as on the desktop, and never thinner
    // than a pixel of the screen, so that a small screen still shows it.
    ctx.lineWidth = Math.max(1, desc.surface.width / ctx.canvas.width);
    const heap = core.HEAPF64;
    const { size, line } = desc.commands;
    let at = core._chain_commands() >>> 3;
    let colour = -1;
    ctx.beginPath();
    for (let i = 0; i < commandCount; ++i, at += size) {
      const word = heap[at + 1];
      if (word !== colour) {
        ctx.stroke();
        ctx.beginPath();
        ctx.strokeStyle = cssColour(word);
        colour = word;
      }
      const a = heap[at + 2], b = heap[at + 3], c = heap[at + 4];
      if (heap[at] === line) {
        ctx.moveTo(a, b);
        ctx.lineTo(c, heap[at + 5]);
      } else {
        ctx.moveTo(a + c, b);
        ctx.arc(a, b, c, 0, 2 * Math.PI);
      }
    }
    ctx.stroke();
  }

  // --- The loop: a batch of passes a task, the browser's events in between --
  // Passes stop while the page is hidden and go on from the same pass when it
  // shows again, so the sequence of passes is the same.
  const channel = new MessageChannel();
  let posted = false;  // a batch is on its way
  let waiting = false;  // the batches wait for a frame
  let lastFrame = 0;
  function run() {
    waiting = false;
    if (posted || page.ended || document.hidden) return;
    posted = true;
    channel.port2.postMessage(0);
  }
  channel.port1.onmessage = () => {
    posted = false;
    if (page.ended || document.hidden) return;
    try {
      const until = performance.now() + BATCH_MS;
      do {
        commandCount = core._chain_pass();
        page.passes++;
      } while (performance.now() < until);
      page.commands = commandCount;
      page.batches++;
      drawn = false;
      tell();
      waiting = performance.now() - lastFrame > FRAME_DUE_MS;
    } catch (error) {
      // A C++ exception reaches here as a bare number: the core failed.
      const why = error instanceof Error ? `${error}` : "its program failed";
      fail(`The simulation stopped: ${why}. Reload the page to start it again.`);
      return;
    }
    if (!waiting) run();
  };
  document.addEventListener("visibilitychange", run);

  function frame(now) {
    if (page.ended) return;
    lastFrame = now;
    if (!drawn) {
      paint();
      drawn = true;
      if (Number.isNaN(page.firstFrameMs)) page.firstFrameMs = performance.now();
    }
    if (waiting) run();
    requestAnimationFrame(frame);
  }

  // --- Words for assistive technology ------------------------------------
  // The session's words when they are due: the surface's description as an
  // attribute (a screen reader hears of each change), announcements through
  // the live region. An announcement is news: once screen readers have taken
  // it from the live region, it is cleared, so that reading the page later
  // does not meet it as if it were the present state.
  const NEWS_KEPT_MS = 2000;
  let newsTimer = 0;
  function tell() {
    const due = core._chain_words();
    if (due & 1) {
      $("announce").textContent = text(core._chain_announcement());
      clearTimeout(newsTimer);
      newsTimer = setTimeout(() => { $("announce").textContent = ""; }, NEWS_KEPT_MS);
    }
    if (due & 2) $("surface").setAttribute("aria-description", text(core._chain_surface_words()));
  }

  function noteInput(event) {
    page.inputDelaysMs.push(performance.now() - event.timeStamp);
    if (page.inputDelaysMs.length > 1000) page.inputDelaysMs.shift();
  }

  // --- The bars -----------------------------------------------------------
  // Mouse, pen and touch alike: an arrow or the track acts on press and again
  // while held; the thumb follows a drag and sets the value when let go.
  function makeBar(setting, index) {
    const element = $(setting.id);
    const track = element.querySelector(".track");
    const thumb = element.querySelector(".thumb");
    const span = setting.maximum - setting.minimum;
    const quantity = (value) => value / setting.perUnit;
    element.setAttribute("aria-valuemin", quantity(setting.minimum));
    element.setAttribute("aria-valuemax", quantity(setting.maximum));
    // The thumb's share of the track is a page's share of the range (page.css).
    thumb.style.setProperty("--page-share", setting.page / (span + setting.page));
    const place = (value) => thumb.style.setProperty("--at", (value - setting.minimum) / span);

    // The bar as the session has it: its place, and the quantity it sets.
    function show() {
      const value = core._chain_bar_value(index);
      element.setAttribute("aria-valuenow", quantity(value));
      element.setAttribute("aria-valuetext", text(core._chain_bar_words(index)));
      place(value);
    }
    function act(action) {
      if (page.ended) return;
      core._chain_bar_act(index, action);
      show();
    }

    element.addEventListener("keydown", (event) => {
      const action = desc.keys[event.key];
      if (action === undefined || event.altKey || event.ctrlKey || event.metaKey) return;
      event.preventDefault();
      noteInput(event);
      act(action);
    });

    // Arrows and the track: one step on press, repeated while held.
    const { arrowAdd, arrowSub, pageAdd, pageSub } = desc.actions;
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
    element.querySelector(".sub").addEventListener("pointerdown", (e) => hold(e, () => { act(arrowSub); return true; }));
    element.querySelector(".add").addEventListener("pointerdown", (e) => hold(e, () => { act(arrowAdd); return true; }));
    track.addEventListener("pointerdown", (event) => {
      if (event.target === thumb) return;
      const x = event.clientX;
      // Page steps towards the pointer until the thumb reaches it.
      hold(event, () => {
        const box = thumb.getBoundingClientRect();
        if (x < box.left) act(pageSub);
        else if (x > box.right) act(pageAdd);
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
      const room = track.clientWidth - thumb.offsetWidth;
      const x = drag.startLeft + event.clientX - drag.startX;
      const f = room > 0 ? Math.min(1, Math.max(0, x / room)) : 0;
      return setting.minimum + Math.round(f * span);
    }
    thumb.addEventListener("pointerdown", (event) => {
      event.preventDefault();
      element.focus();
      thumb.setPointerCapture(event.pointerId);
      drag = { startX: event.clientX, startLeft: thumb.offsetLeft };
    });
    thumb.addEventListener("pointermove", (event) => { if (drag) place(dragValue(event)); });
    thumb.addEventListener("pointerup", (event) => {
      if (!drag) return;
      noteInput(event);
      const value = dragValue(event);
      drag = null;
      if (!page.ended && value !== core._chain_bar_value(index)) core._chain_bar_set(index, value);
      show();
    });
    thumb.addEventListener("pointercancel", () => { drag = null; show(); });
    show();
  }

  // --- Ending -------------------------------------------------------------
  function end() {
    if (page.ended) return;
    page.ended = true;  // no pass and no drawing after this
    channel.port1.close();
    $("window").hidden = true;
    const ended = $("ended");
    ended.hidden = false;
    ended.focus();
  }

  // The page cannot go on: it says why, in place of the simulation.
  function fail(words) {
    page.ended = true;
    channel.port1.close();
    const failed = $("failed");
    failed.textContent = words;
    $("window").hidden = true;
    failed.hidden = false;
  }

  // --- Start-up -----------------------------------------------------------
  function click(id, handler) {
    $(id).addEventListener("click", (event) => {
      if (page.ended) return;
      noteInput(event);
      handler();
    });
  }

  function start(module) {
    core = page.core = module;
    desc = JSON.parse(text(core._chain_description()));
    build();
    const canvas = $("surface");
    ctx = canvas.getContext("2d", { alpha: false });

    core._chain_start();
    desc.bars.forEach(makeBar);
    click("nudge-left", () => core._chain_nudge_left());
    click("nudge-right", () => core._chain_nudge_right());
    const exit = desc.controls.find((c) => c.id === "exit");
    $("exit").addEventListener("click", end);
    // The access key, wherever the browser puts its own.
    document.addEventListener("keydown", (event) => {
      if (event.altKey && !event.ctrlKey && !event.metaKey && event.code === `Key${exit.accessKey.toUpperCase()}`) {
        event.preventDefault();
        end();
      }
    });
    // The focus stays where the browser puts it: a screen reader reads a page
    // that has loaded from its top, and a focus moved there by the page would
    // have the surface's words read twice, the second time no longer true.

    run();
    requestAnimationFrame(frame);
  }

  if (typeof WebAssembly !== "object") {
    fail("The simulation cannot run in this browser: it needs WebAssembly, which this browser " +
      "lacks or has turned off (as some security settings do). A current Chrome, Edge, Firefox " +
      "or Safari runs it.");
  } else if (location.protocol === "file:") {
    fail("The simulation could not start: browsers load its WebAssembly only from a web server, " +
      "not from a file on this computer.");
  } else if (typeof loadChain !== "function") {
    fail("The simulation could not start: its program (chain.js) did not load. Reload the page to try again.");
  } else {
    loadChain().then(start).catch((error) => fail(`The simulation could not start: ${error}`));
  }
})();
