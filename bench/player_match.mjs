// How long the HTML5 player takes to choose the entry for a question, in headless Chromium, on a
// bot of 10,000 entries opened from disk. Prints min and median per kind of question, and how
// long the player took to prepare the bot's keywords once.
//
//   (cd tests/web && npm ci) && node bench/player_match.mjs [entries]
import { createRequire } from "node:module";
import { copyFileSync, mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = fileURLToPath(new URL(".", import.meta.url));
const { chromium } = createRequire(join(here, "../tests/web/package.json"))("playwright-core");
const ENTRIES = Number(process.argv[2] || 10000);

// Made-up words from syllables, some with umlauts, the same on every run.
let seed = 1;
const random = (n) => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; };
const SYLLABLES = ["ka", "ber", "lo", "mün", "sta", "rei", "tor", "fen", "gra", "ölu", "pre", "vin", "dus",
                   "sch", "ach", "ter", "wen", "zuk", "hä", "mo", "lip", "ran", "eck", "fü", "nor"];
const word = () => Array.from({ length: 2 + random(3) }, () => SYLLABLES[random(SYLLABLES.length)]).join("");
const keywords = Array.from({ length: ENTRIES }, () => Array.from({ length: 1 + random(3) }, word).join(" "));
const lines = ["=Hello!", ...keywords.map((k, i) => `${k}=Answer ${i}.`)];

const some = keywords[Math.floor(ENTRIES / 2)].split(" ")[0];
const questions = {
  exact: `what about ${some} please`,
  form: `what about ${some}en please`,
  typo: `what about ${some.slice(0, 2)}${some[3]}${some[2]}${some.slice(4)} please`,
  unrelated: "where is the nearest train station and when does it open",
  long: Array.from({ length: 30 }, word).join(" "),
};

const folder = mkdtempSync(join(tmpdir(), "parlomat-bench-"));
copyFileSync(join(here, "../web/tts.js"), join(folder, "tts.js"));
writeFileSync(join(folder, "tts-data.js"), "window.ParlomatData = " + JSON.stringify({
  "bots/Big/vars.txt": "hint=h&prompt=p&button=b",
  "bots/Big/phrases.txt": lines.join("\r\n") + "\r\n",
}) + ";\n");
writeFileSync(join(folder, "bench.html"), `<!DOCTYPE html><meta charset="utf-8"><script src="tts-data.js"></script>
<object data="tts.swf"><param name="movie" value="tts.swf"><param name="FlashVars" value="bot=Big"></object>
<script src="tts.js"></script>`);

const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
                                        args: ["--no-sandbox", "--disable-gpu"] });
try {
  const page = await (await browser.newContext()).newPage();
  const loadStart = Date.now();
  await page.goto(pathToFileURL(join(folder, "bench.html")).href);
  await page.waitForFunction(() => window.Parlomat?.players[0]?.element.dataset.state === "idle");
  const prepare = await page.evaluate(() => {
    const p = window.Parlomat.players[0];
    const start = performance.now();
    for (let i = 0; i < 5; i++) p.matcher = new p.matcher.constructor(p.entries);
    return (performance.now() - start) / 5;
  }).catch(() => null);
  console.log(`${ENTRIES} entries, page ready in ${Date.now() - loadStart} ms` +
              (prepare === null ? "" : `; keywords prepared in ${prepare.toFixed(1)} ms`));
  for (const [kind, question] of Object.entries(questions)) {
    // Each sample: the mean of 20 questions in a row (the browser's clock is coarse).
    const { samples, answer } = await page.evaluate((question) => {
      const samples = [];
      let answer;
      for (let s = 0; s < 50; s++) {
        const start = performance.now();
        for (let i = 0; i < 20; i++) answer = window.Parlomat.match(question);
        samples.push((performance.now() - start) / 20);
      }
      return { samples, answer };
    }, question);
    samples.sort((a, b) => a - b);
    console.log(`${kind.padEnd(10)} min ${samples[0].toFixed(3)} ms  median ${samples[25].toFixed(3)} ms  ` +
                `(entry ${answer.index}, ${answer.why})`);
  }
} finally {
  await browser.close();
  rmSync(folder, { recursive: true, force: true });
}
