// A look at the HTML5 player in the three engines, run by hand: Firefox ESR over WebDriver BiDi,
// WebKitGTK (a small WebKit window under Xvfb, see webkit_host.py), and Chromium as the browser
// tests drive it. It opens the test page from disk and a site page over HTTP, checks that each
// is read as HTML and that the bot loads and matches, gives the player a click, and prints what
// it saw: the speech events, the player's state and status, how the music is lowered, and the
// player's warnings.
//
//   MAKE_WEB_BOT=build/test/tests/make_web_bot STAGED_WORKSPACE=build/test/workspace \
//     node --experimental-websocket tests/web/engines.mjs firefox|webkit|chromium
import { spawn, execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { extname, join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const engine = process.argv[2];
const BOT = "Büro & Co";
const here = fileURLToPath(new URL(".", import.meta.url));

// What every page records from its start: the player's warnings and the speech events.
const RECORDER = `() => {
  window.seen = { warnings: [], events: [], errors: [] };
  window.addEventListener("error", (e) => window.seen.errors.push(String(e.message || e.target?.src)), true);
  const warn = console.warn;
  console.warn = (...args) => { window.seen.warnings.push(args.join(" ")); warn.apply(console, args); };
  for (const type of ["parlomat:speechstart", "parlomat:speechend"])
    document.addEventListener(type, (e) => window.seen.events.push(type.slice(9) + " " + e.detail.index));
}`;

// ---------------------------------------------------------------- Firefox over WebDriver BiDi
async function firefox() {
  const profile = mkdtempSync(join(tmpdir(), "parlomat-firefox-"));
  writeFileSync(join(profile, "user.js"), [
    'user_pref("browser.shell.checkDefaultBrowser", false);',
    'user_pref("datareporting.policy.dataSubmissionEnabled", false);',
    'user_pref("app.update.disabledForTesting", true);',
  ].join("\n"));
  const child = spawn("firefox-esr", ["--headless", "--no-remote", "--profile", profile, "--remote-debugging-port=0"],
                      { stdio: ["ignore", "ignore", "pipe"] });
  const address = await new Promise((resolve, reject) => {
    let text = "";
    child.stderr.on("data", (d) => {
      text += d;
      const m = /WebDriver BiDi listening on (ws:\/\/\S+)/.exec(text);
      if (m) resolve(m[1]);
    });
    child.on("exit", () => reject(new Error("Firefox ended: " + text)));
  });
  const socket = new WebSocket(address + "/session");
  await new Promise((resolve, reject) => { socket.onopen = resolve; socket.onerror = reject; });
  let id = 0;
  const waiting = new Map();
  socket.onmessage = (message) => {
    const answer = JSON.parse(message.data);
    if (!waiting.has(answer.id)) return;
    const { resolve, reject } = waiting.get(answer.id);
    waiting.delete(answer.id);
    if (answer.type === "error") reject(new Error(`${answer.error}: ${answer.message}`));
    else resolve(answer.result);
  };
  const send = (method, params) => new Promise((resolve, reject) => {
    waiting.set(++id, { resolve, reject });
    socket.send(JSON.stringify({ id, method, params }));
  });
  await send("session.new", { capabilities: {} });
  await send("script.addPreloadScript", { functionDeclaration: RECORDER });
  const context = (await send("browsingContext.getTree", {})).contexts[0].context;
  return {
    name: `Firefox ${execFileSync("firefox-esr", ["--version"]).toString().trim()}`,
    open: (url) => send("browsingContext.navigate", { context, url, wait: "complete" }),
    evaluate: async (expression) => {
      const r = await send("script.evaluate", { expression: `JSON.stringify(${expression})`, target: { context },
                                                awaitPromise: true });
      if (r.type !== "success") throw new Error(JSON.stringify(r.exceptionDetails));
      return JSON.parse(r.result.value);
    },
    click: (x, y) => send("input.performActions", { context, actions: [{
      type: "pointer", id: "mouse", parameters: { pointerType: "mouse" },
      actions: [{ type: "pointerMove", x, y }, { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }] }] }),
    close: async () => {
      await send("browser.close", {}).catch(() => {});
      await new Promise((resolve) => child.exitCode !== null ? resolve() : child.on("exit", resolve));
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// ---------------------------------------------------------------- WebKitGTK under WebKitWebDriver
async function webkit() {
  const port = 4444 + Math.floor(Math.random() * 1000);
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, path, body) => {
    for (let attempt = 0; ; attempt++) {
      try {
        const r = await fetch(base + path, { method, headers: { "Content-Type": "application/json" },
                                             body: body && JSON.stringify(body) });
        const answer = await r.json();
        if (answer.value?.error) throw new Error(`${answer.value.error}: ${answer.value.message}`);
        return answer.value;
      } catch (e) {
        // The driver needs a moment to listen.
        if (attempt > 50 || !/fetch failed/.test(e.message)) throw e;
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
    }
  };
  const { sessionId } = await call("POST", "/session", { capabilities: { alwaysMatch: {
    "webkitgtk:browserOptions": { binary: "/usr/bin/python3", args: [join(here, "webkit_host.py")] } } } });
  const session = `/session/${sessionId}`;
  return {
    name: "WebKitGTK",
    open: async (url) => {
      await call("POST", session + "/url", { url });
      await call("POST", session + "/execute/sync", { script: `(${RECORDER})()`, args: [] });
    },
    evaluate: (expression) => call("POST", session + "/execute/async",
      { script: `Promise.resolve(${expression}).then((v) => arguments[0](v))`, args: [] }),
    click: (x, y) => call("POST", session + "/actions", { actions: [{
      type: "pointer", id: "mouse", parameters: { pointerType: "mouse" },
      actions: [{ type: "pointerMove", x, y }, { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }] }] }),
    close: async () => {
      await call("DELETE", session).catch(() => {});
      driver.kill();
    },
  };
}

// ---------------------------------------------------------------- Chromium over playwright-core
async function chromium() {
  const { chromium } = createRequire(import.meta.url)("playwright-core");
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking"],
  });
  const page = await browser.newPage();
  await page.addInitScript(`(${RECORDER})()`);
  return {
    name: `Chromium ${browser.version()}`,
    open: (url) => page.goto(url),
    evaluate: (expression) => page.evaluate(expression),
    click: (x, y) => page.mouse.click(x, y),
    close: () => browser.close(),
  };
}

// ---------------------------------------------------------------- what each engine needs
const onPath = (program) => (process.env.PATH || "").split(":").some((dir) => dir && existsSync(join(dir, program)));
const runs = (program, args) => { try { execFileSync(program, args, { stdio: "ignore" }); return true; } catch { return false; } };
const NEEDS = {
  firefox: () => !onPath("firefox-esr") ? "Firefox ESR is not installed (Debian package firefox-esr)"
    : typeof WebSocket === "undefined" ? "this Node.js has no WebSocket: run it with --experimental-websocket" : null,
  webkit: () => !onPath("WebKitWebDriver") ? "WebKitWebDriver is not installed (Debian package webkit2gtk-driver)"
    : !runs("/usr/bin/python3", ["-c", "import gi; gi.require_version('WebKit2', '4.1')"])
      ? "WebKitGTK for Python is not installed (Debian packages python3-gi and gir1.2-webkit2-4.1)"
    : !process.env.DISPLAY && !process.env.WAYLAND_DISPLAY ? "WebKitGTK needs a display: run it under xvfb-run -a" : null,
  chromium: () => !existsSync(process.env.CHROMIUM || "/usr/bin/chromium") ? "Chromium is not installed (Debian package chromium)"
    : !existsSync(join(here, "node_modules", "playwright-core")) ? "playwright-core is missing: run npm ci in tests/web" : null,
};
if (!NEEDS[engine]) {
  console.error("usage: node --experimental-websocket tests/web/engines.mjs firefox|webkit|chromium");
  process.exit(2);
}
for (const name of ["MAKE_WEB_BOT", "STAGED_WORKSPACE"]) {
  if (!process.env[name] || !existsSync(process.env[name])) {
    console.error(`${name} must name the test build's ${name === "MAKE_WEB_BOT" ? "tests/make_web_bot" : "workspace"}`);
    process.exit(2);
  }
}
const lacking = NEEDS[engine]();
if (lacking) {
  console.log(`${engine}: skipped, ${lacking}`);
  process.exit(0);
}

// ---------------------------------------------------------------- the checks
const folder = mkdtempSync(join(tmpdir(), "parlomat-engines-"));
// The bot is made as the browser tests make it: no window, no sound device.
execFileSync(process.env.MAKE_WEB_BOT, [process.env.STAGED_WORKSPACE, join(folder, "workspace")], {
  stdio: ["ignore", "ignore", "inherit"],
  env: { LSAN_OPTIONS: `suppressions=${join(here, "../support/lsan.supp")}:print_suppressions=0`, ...process.env,
         QT_QPA_PLATFORM: "offscreen", SDL_AUDIODRIVER: "dummy" },
});
const flash = join(folder, "workspace", "flash");
const embed = readFileSync(join(flash, "embed-code.txt"), "utf8");
writeFileSync(join(flash, "site.html"), `<!DOCTYPE html><html lang="de"><meta charset="utf-8"><title>Site</title>\n${embed}`);
const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".txt": "text/plain; charset=utf-8",
                ".mp3": "audio/mpeg", ".jpg": "image/jpeg", ".png": "image/png" };
const server = createServer((request, response) => {
  const file = join(flash, decodeURIComponent(new URL(request.url, "http://x").pathname));
  if (!file.startsWith(flash) || !existsSync(file) || !statSync(file).isFile()) return response.writeHead(404).end();
  response.writeHead(200, { "Content-Type": types[extname(file)] || "application/octet-stream" }).end(readFileSync(file));
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));

// Asks `expression` until it is true (or `deadline` ms have passed) and gives its last value.
async function until(browser, expression, deadline = 10000) {
  const end = Date.now() + deadline;
  for (;;) {
    const value = await browser.evaluate(expression);
    if (value || Date.now() > end) return value;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

const browser = await { firefox, webkit, chromium }[engine]();
let failed = false;
try {
  console.log(browser.name);
  for (const [address, how] of [[pathToFileURL(join(flash, "tts.html")).href, "test page from disk"],
                                [`http://127.0.0.1:${server.address().port}/site.html`, "site page over HTTP"]]) {
    await browser.open(address);
    const type = await browser.evaluate("document.contentType + ', ' + document.compatMode");
    const loaded = await until(browser, `(window.Parlomat?.players[0]?.element.dataset.state || "loading") !== "loading" &&
      window.Parlomat.players[0].element.dataset.state`);
    if (!loaded) {
      console.log(`${how}: read as ${type}; the player did not load`, await browser.evaluate(`({ ready: document.readyState,
        title: document.title, href: location.href, html: document.documentElement.outerHTML.slice(-300), scripts: [...document.scripts].map((s) => s.src), data: typeof window.ParlomatData,
        errors: window.seen?.errors })`));
      failed = true;
      continue;
    }
    const matches = await browser.evaluate(`["hlife", "Preise", "Wetter"].map((q) => {
      const m = window.Parlomat.match(q); return q + ": " + m.index + " " + m.why; })`);
    const box = await browser.evaluate(`(() => { const r = document.querySelector(".parlomat-player input")
      .getBoundingClientRect(); return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2)]; })()`);
    await browser.click(box[0], box[1]);
    const after = await until(browser, `window.seen.events.includes("speechend 0") ||
      (document.querySelector(".pm-status").textContent && window.seen.warnings.length)`);
    const seen = await browser.evaluate(`(() => { const p = window.Parlomat.players[0]; return {
      state: p.element.dataset.state, status: document.querySelector(".pm-status").textContent,
      events: window.seen.events, music: p.music ? (p.musicLowered + (p.music.paused ? ", paused" : ", playing")) : "none",
      warnings: window.seen.warnings }; })()`);
    console.log(`${how}: read as ${type}; loaded ${loaded}; ${matches.join(", ")}; after a click ${after ? "" : "(nothing within 10 s) "}` +
                JSON.stringify(seen, null, 1));
    failed ||= !type.startsWith("text/html") || loaded !== "idle" || matches[0] !== "hlife: 2 typo" || /missing/.test(seen.status);
  }
} finally {
  await browser.close();
  server.close();
  rmSync(folder, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
