// The live view's page. The script polls /screen.png (answered with 304 while
// the screen is unchanged) and /hw, turns clicks and drags on the screen into
// pen events (/pen), keys and buttons into /key, and switches into /hw.
#include "sim/view_page.h"

namespace sim {

const char kViewPage[] = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Tallowin phone</title>
<style>
  body { font-family: sans-serif; background: #e8ebf0; margin: 0; padding: 24px; display: flex; gap: 32px;
         align-items: flex-start; }
  #phone { background: #23262b; border-radius: 28px; padding: 28px 18px 18px 18px; box-shadow: 0 6px 24px #0006; }
  #screen { display: block; background: #000; image-rendering: pixelated; cursor: crosshair; user-select: none;
            -webkit-user-drag: none; border: 2px solid #000; }
  #keys { display: grid; grid-template-columns: repeat(5, 1fr); gap: 6px; margin-top: 14px; }
  #keys button { background: #3b3f46; color: #fff; border: 0; border-radius: 8px; padding: 9px 0; font-size: 13px;
                 cursor: pointer; }
  #keys button:active { background: #5b6070; }
  #keys .talk { background: #2d7a3a; } #keys .end { background: #a33232; }
  #side { min-width: 300px; }
  #side h2 { font-size: 15px; margin: 0 0 8px 0; }
  #facts { background: #fff; border: 1px solid #c8ccd4; padding: 8px; font-size: 12px; max-height: 420px;
           overflow: auto; margin: 0; }
  .switch { margin: 6px 0; font-size: 13px; }
  .switch label { display: inline-block; width: 70px; }
  #status { font-size: 12px; color: #555; margin-top: 8px; min-height: 1.2em; }
</style>
</head>
<body>
<div id="phone">
  <img id="screen" alt="the phone's screen" draggable="false">
  <div id="keys">
    <button data-key="softkey1">Soft 1</button><button data-key="up">&#9650;</button>
    <button data-key="softkey2">Soft 2</button><button class="talk" data-key="talk">Talk</button>
    <button class="end" data-key="end">End</button>
    <button data-key="left">&#9664;</button><button data-key="action">OK</button>
    <button data-key="right">&#9654;</button><button data-key="back">Back</button>
    <button data-key="space">Space</button>
    <span></span><button data-key="down">&#9660;</button>
  </div>
</div>
<div id="side">
  <h2>Hardware</h2>
  <div class="switch"><label>power</label>
    <select data-fact="power"><option>on</option><option>idle</option><option>suspend</option></select></div>
  <div class="switch"><label>cradle</label>
    <select data-fact="cradle"><option>off</option><option>on</option></select></div>
  <div class="switch"><label>headset</label>
    <select data-fact="headset"><option>off</option><option>on</option></select></div>
  <div class="switch"><label>call</label>
    <select data-fact="call"><option>none</option><option>offered</option><option>active</option></select></div>
  <div class="switch"><label>cell</label>
    <input data-fact="cell" size="12" placeholder="LAC:CID or none"><button id="setcell">set</button></div>
  <div id="status"></div>
  <pre id="facts"></pre>
</div>
<script>
"use strict";
const screen = document.getElementById("screen");
const statusLine = document.getElementById("status");
let etag = "";
let penDown = false;
let lastMove = 0;

function say(text) { statusLine.textContent = text; }

async function post(path) {
  try {
    const r = await fetch(path, { method: "POST" });
    const t = await r.text();
    if (!r.ok) say(t.trim()); else say("");
    refreshScreen();
  } catch (e) { say("the phone does not answer"); }
}

async function refreshScreen() {
  try {
    const r = await fetch("/screen.png", { headers: etag ? { "If-None-Match": etag } : {}, cache: "no-store" });
    if (r.status === 200) {
      etag = r.headers.get("ETag") || "";
      const blob = await r.blob();
      const url = URL.createObjectURL(blob);
      const old = screen.src;
      screen.src = url;
      screen.dataset.etag = etag;
      if (old.startsWith("blob:")) URL.revokeObjectURL(old);
    }
  } catch (e) { say("the phone does not answer"); }
}

function point(ev) {
  const rect = screen.getBoundingClientRect();
  const sx = screen.naturalWidth / rect.width, sy = screen.naturalHeight / rect.height;
  return { x: Math.floor((ev.clientX - rect.left) * sx), y: Math.floor((ev.clientY - rect.top) * sy) };
}

screen.addEventListener("mousedown", ev => {
  ev.preventDefault();
  penDown = true;
  const p = point(ev);
  post(`/pen?kind=down&x=${p.x}&y=${p.y}`);
});
screen.addEventListener("mousemove", ev => {
  if (!penDown) return;
  const now = Date.now();
  if (now - lastMove < 60) return;
  lastMove = now;
  const p = point(ev);
  post(`/pen?kind=move&x=${p.x}&y=${p.y}`);
});
window.addEventListener("mouseup", ev => {
  if (!penDown) return;
  penDown = false;
  const p = point(ev);
  post(`/pen?kind=up&x=${p.x}&y=${p.y}`);
});

for (const b of document.querySelectorAll("#keys button"))
  b.addEventListener("click", () => post(`/key?name=${b.dataset.key}`));

const keyNames = { ArrowUp: "up", ArrowDown: "down", ArrowLeft: "left", ArrowRight: "right", Enter: "action",
                   F1: "softkey1", F2: "softkey2", F3: "talk", F4: "end", Backspace: "back", Escape: "escape",
                   " ": "space" };
document.addEventListener("keydown", ev => {
  if (ev.target.tagName === "INPUT" || ev.target.tagName === "SELECT") return;
  let name = keyNames[ev.key];
  if (!name && ev.key.length === 1) {
    post(`/type?text=${encodeURIComponent(ev.key)}`);
    ev.preventDefault();
    return;
  }
  if (name) { ev.preventDefault(); post(`/key?name=${name}`); }
});

for (const s of document.querySelectorAll("select[data-fact]"))
  s.addEventListener("change", () => post(`/hw?${s.dataset.fact}=${encodeURIComponent(s.value)}`));
document.getElementById("setcell").addEventListener("click", () => {
  const v = document.querySelector("input[data-fact=cell]").value.trim();
  if (v) post(`/hw?cell=${encodeURIComponent(v)}`);
});

async function refreshFacts() {
  try {
    const r = await fetch("/hw", { cache: "no-store" });
    const text = await r.text();
    document.getElementById("facts").textContent = text;
    for (const line of text.split("\n")) {
      const eq = line.indexOf("=");
      if (eq < 0) continue;
      const key = line.slice(0, eq), value = line.slice(eq + 1);
      const sel = document.querySelector(`select[data-fact=${key}]`);
      if (sel && document.activeElement !== sel) sel.value = value;
    }
  } catch (e) {}
}

refreshScreen();
refreshFacts();
setInterval(refreshScreen, 400);
setInterval(refreshFacts, 2000);
</script>
</body>
</html>
)html";

}  // namespace sim
