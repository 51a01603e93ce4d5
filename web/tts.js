/*
 * Parlomat HTML5 player.
 *
 * Replaces every embed of the Flash player "tts.swf" on the page (an <object> whose movie
 * parameter is tts.swf, or an <embed> whose src is), also those added later, by a talking bot
 * that fills the width of its container up to 400 x 450 pixels. It reads the bot's files from
 * bots/{bot}/ beside this script:
 *   vars.txt     hint=...&prompt=...&button=...&char=...&back=...[&music=...]
 *   phrases.txt  keyword=phrase lines (UTF-8, CR LF)
 *   {n}.mp3      the speech of phrase n;  {n}.txt  its visemes, "id duration" lines
 * and the character's pictures from chars/{char}/: preview.jpg, and mouth/0.png to mouth/12.png
 * when chars/mouths.js (window.ParlomatMouths) lists them all for the character.
 *
 * Until the reader first touches a player, it fetches only the bot's texts, the character's
 * preview and the background; mouth pictures, music and speech follow the first touch.
 *
 * Opened from disk, where a page may not read other files, the texts come from the data script
 * that Parlomat writes beside the test page (tts-data.js, window.ParlomatData).
 *
 * For the page: window.Parlomat.players lists the players; each has ask(text), stop() and its
 * element, on which "parlomat:speechstart" and "parlomat:speechend" are dispatched;
 * window.Parlomat.match(text) tells which entry a question gets, without answering it.
 * Under Node.js the script exports its matcher (for the tests) and does nothing else.
 *
 * Plain JavaScript, no request to any other site. Details of problems go to the console.
 */
(function () {
  "use strict";

  // ------------------------------------------------------------------ matching questions

  // How close a question word is to a keyword word, from the closest: the same word; the same
  // without accents, umlauts written out or left off; another form of it; a longer word that
  // begins with it; one typo away.
  var EXACT = 5;
  var ACCENTS = 4;
  var FORM = 3;
  var COMPOUND = 2;
  var TYPO = 1;
  var KINDS = ["none", "typo", "compound", "form", "accents", "exact"];
  var WORD = /[\p{L}\p{M}\p{N}]+(?:[-\u2010\u2011][\p{L}\p{M}\p{N}]+)*/gu;
  var UMLAUT = { "\u00e4": "ae", "\u00f6": "oe", "\u00fc": "ue" };

  function words(text) {
    return String(text).toLowerCase().match(/[\p{L}\p{N}]+/gu) || [];
  }

  // The words of a text, each as the lower-case spellings it may be matched by: a word written
  // with hyphens is one word, spelt joined and as each of its parts ("e-mail": email, e, mail).
  function spelledWords(text) {
    var found = String(text).normalize("NFC").toLowerCase().match(WORD) || [];
    return found.map(function (word) {
      var parts = word.split(/[-\u2010\u2011]/);
      return parts.length > 1 ? unique([parts.join("")].concat(parts)) : parts;
    });
  }

  function unique(list) {
    return list.filter(function (item, i) { return list.indexOf(item) === i; });
  }

  // A spelling without accents: umlauts left off and written out (für: fur, fuer), ß as ss.
  function foldings(spelling) {
    var plain = spelling.replace(/\u00df/g, "ss").replace(/\u00e6/g, "ae").replace(/\u0153/g, "oe");
    var strip = function (s) { return s.normalize("NFD").replace(/\p{M}/gu, ""); };
    var written = plain.replace(/[\u00e4\u00f6\u00fc]/g, function (c) { return UMLAUT[c]; });
    return unique([strip(plain), strip(written)]);
  }

  var DIGIT = /\p{N}/u;

  function dropped(s, i) {
    return s.slice(0, i) + s.slice(i + 1);
  }

  // Whether the keyword word k and the question word q, of one length, differ in two neighbours
  // swapped, or in one letter changed when k has six letters or more; the first letter is never
  // the one changed or swapped.
  function oneChangeApart(k, q) {
    var first = -1;
    var differ = 0;
    for (var i = 0; i < k.length; i++) {
      if (k[i] === q[i]) continue;
      if (++differ > 2) return false;
      if (first < 0) first = i;
    }
    if (first < 1) return false;
    if (differ === 1) return k.length >= 6;
    return differ === 2 && k[first] === q[first + 1] && k[first + 1] === q[first];
  }

  function addTo(index, key, n) {
    var list = index.get(key);
    if (!list) index.set(key, [n]);
    else if (list[list.length - 1] !== n) list.push(n);
  }

  // The keyword words of a bot's entries, looked up by their spellings and folded spellings, by
  // the beginnings a word form may have (four letters and more, one to three letters short),
  // and by the spellings with one letter but the first dropped (of words of five letters and
  // more).
  function Matcher(entries) {
    var self = this;
    this.entryOf = [];
    this.identity = [];  // one spelling per keyword word, to tell different words apart
    this.spelt = [];     // the folded spellings of each keyword word
    this.exact = new Map();
    this.folded = new Map();
    this.beginnings = new Map();
    this.shortened = new Map();
    entries.forEach(function (entry, index) {
      spelledWords(entry.keyword).forEach(function (spellings) {
        var n = self.entryOf.length;
        var folded = [];
        self.entryOf.push(index);
        self.identity.push(foldings(spellings[0]).pop());
        spellings.forEach(function (spelling) {
          addTo(self.exact, spelling, n);
          if (DIGIT.test(spelling)) return;
          foldings(spelling).forEach(function (f) {
            folded.push(f);
            addTo(self.folded, f, n);
            for (var k = Math.max(4, f.length - 3); k < f.length; k++) addTo(self.beginnings, f.slice(0, k), n);
            if (f.length >= 5) for (var i = 1; i < f.length; i++) addTo(self.shortened, dropped(f, i), n);
          });
        });
        self.spelt.push(folded);
      });
    });
  }

  // The keyword words that the question word `q` (one spelling) comes close to: number -> how.
  Matcher.prototype.closeTo = function (q) {
    var self = this;
    var found = new Map();
    var note = function (list, kind, check) {
      if (!list) return;
      for (var i = 0; i < list.length; i++) {
        var n = list[i];
        if ((found.get(n) || 0) >= kind || (check && !check(n))) continue;
        found.set(n, kind);
      }
    };
    note(this.exact.get(q), EXACT);
    if (DIGIT.test(q)) return found;
    foldings(q).forEach(function (f) {
      var length = f.length;
      note(self.folded.get(f), ACCENTS);
      if (length < 4) return;
      // A keyword word that begins with the question word, or the other way round.
      note(self.beginnings.get(f), FORM);
      for (var k = Math.max(4, length - 3); k < length; k++) note(self.folded.get(f.slice(0, k)), FORM);
      // A keyword word of five letters or more that begins a longer word ("Preisliste").
      for (k = 5; k < length - 3; k++) note(self.folded.get(f.slice(0, k)), COMPOUND);
      // A keyword word of five letters or more typed with one letter dropped or added, with two
      // neighbours swapped, or, in words of six letters or more, with one letter changed; the
      // first letter stays.
      note(self.shortened.get(f), TYPO);
      if (length < 5) return;
      var sameLength = function (n) {
        return self.spelt[n].some(function (s) { return s.length === length && oneChangeApart(s, f); });
      };
      for (var i = 1; i < length; i++) {
        var shorter = dropped(f, i);
        if (length > 5) note(self.folded.get(shorter), TYPO);
        note(self.shortened.get(shorter), TYPO, sameLength);
      }
    });
    return found;
  };

  // The entry for a question: {index, why}, why being how close its closest keyword word came
  // ("exact", "accents", "form", "compound" or "typo"); {index: -1, why: "none"} when no keyword
  // matches.
  // Each question word counts for the keyword words it is closest to; when that is not the same
  // word exactly, it counts only if no other entry has a different word as close to it. The
  // entry with the most words matched exactly wins, then the most without accents, and so on;
  // the first of equals.
  Matcher.prototype.match = function (question) {
    var self = this;
    var matched = new Map();
    spelledWords(question).forEach(function (spellings) {
      spellings.forEach(function (q) {
        var found = self.closeTo(q);
        var closest = 0;
        found.forEach(function (kind) { if (kind > closest) closest = kind; });
        if (!closest) return;
        var chosen = [];
        found.forEach(function (kind, n) { if (kind === closest) chosen.push(n); });
        if (closest < EXACT && self.ambiguous(chosen)) return;
        chosen.forEach(function (n) { if ((matched.get(n) || 0) < closest) matched.set(n, closest); });
      });
    });
    var scores = new Map();
    matched.forEach(function (kind, n) {
      var entry = self.entryOf[n];
      if (!scores.has(entry)) scores.set(entry, KINDS.map(function () { return 0; }));
      scores.get(entry)[kind]++;
    });
    var best = -1;
    var bestScore = null;
    scores.forEach(function (score, entry) {
      var order = bestScore ? compareScores(score, bestScore) : 1;
      if (order > 0 || (order === 0 && entry < best)) {
        best = entry;
        bestScore = score;
      }
    });
    if (best < 0) return { index: -1, why: "none" };
    var why = EXACT;
    while (!bestScore[why]) why--;
    return { index: best, why: KINDS[why] };
  };

  // Keyword words of more than one entry, and not all the same word.
  Matcher.prototype.ambiguous = function (numbers) {
    var self = this;
    var entry = this.entryOf[numbers[0]];
    var word = this.identity[numbers[0]];
    var otherEntry = false;
    var otherWord = false;
    numbers.forEach(function (n) {
      otherEntry = otherEntry || self.entryOf[n] !== entry;
      otherWord = otherWord || self.identity[n] !== word;
    });
    return otherEntry && otherWord;
  };

  function compareScores(a, b) {
    for (var kind = EXACT; kind >= TYPO; kind--) if (a[kind] !== b[kind]) return a[kind] - b[kind];
    return 0;
  }

  function matcher(entries) {
    return new Matcher(entries);
  }

  // The number of the entry for a question; -1 when no keyword matches.
  function bestEntry(entries, question) {
    return matcher(entries).match(question).index;
  }

  // Under Node.js (the tests and the benchmark) the script offers its matcher and nothing else.
  if (typeof window === "undefined") {
    if (typeof module === "object" && module.exports) {
      module.exports = { matcher: matcher, bestEntry: bestEntry, parsePhrases: parsePhrases };
    }
    return;
  }

  // The embed code of every bot on a page loads this script: the first one does the work.
  if (window.Parlomat && window.Parlomat.players) return;

  var SCRIPT = document.currentScript;
  var BASE = SCRIPT && SCRIPT.src ? SCRIPT.src.replace(/[^\/]*$/, "") : "";
  var DEFAULTS = {
    hint: "Enter your question for this topic and press 'Ask'",
    prompt: "Your Question:",
    button: "Ask"
  };
  var SAY = {
    loading: "Loading the bot\u2026",
    notFound: "This bot cannot be found.",
    missing: "Some of this bot\u2019s files are missing.",
    unplayable: "Some of this bot\u2019s sounds cannot be played in this browser."
  };
  // Mouth shape (0 at rest, 1 to 12) of each viseme id 0 to 21.
  var SHAPE_OF_VISEME = [0, 11, 11, 11, 10, 11, 9, 2, 12, 9, 12, 11, 9, 3, 6, 7, 8, 5, 4, 7, 9, 1];
  var SHAPES = 13;
  // The MP3 encoder's start delay that the browser does not remove itself, in milliseconds.
  var START_DELAY_MS = 0;
  var MUSIC_VOLUME = 0.25;
  var MUSIC_DUCKED = 0.06;
  var AudioContextType = window.AudioContext || window.webkitAudioContext;
  var sharedContext = null;  // one for all players: browsers allow only a few
  // Whether a script may set a sound's volume (on iPhones it stays 1).
  var volumeWorks = (function () {
    try {
      var probe = new Audio();
      probe.volume = 0.5;
      return probe.volume === 0.5;
    } catch (e) {
      return false;
    }
  })();

  function warn(message) {
    if (window.console && console.warn) console.warn("Parlomat: " + message);
  }

  // ------------------------------------------------------------------ the bot's files

  // The bot name from player variables such as "bot=My%20Bot".
  function botFromVariables(variables) {
    var pairs = String(variables || "").split("&");
    for (var i = 0; i < pairs.length; i++) {
      var eq = pairs[i].indexOf("=");
      if (eq < 0 || pairs[i].slice(0, eq) !== "bot") continue;
      try {
        return decodeURIComponent(pairs[i].slice(eq + 1));
      } catch (e) {
        return pairs[i].slice(eq + 1);
      }
    }
    return null;
  }

  // Whether a sound at `url` may pass through Web Audio and still be heard: it comes from the
  // page's own site. A file's sound on a page opened from disk comes out silent in Chromium.
  function audibleThroughWebAudio(url) {
    if (location.protocol === "file:") return false;
    try {
      return new URL(url, location.href).origin === location.origin;
    } catch (e) {
      return false;
    }
  }

  // Whether the sound file at `url`, which did not play, is there: fulfilled with true when the
  // server has it, false when it has not or cannot be reached, null when the page cannot ask
  // (opened from disk).
  function fileIsThere(url) {
    if (location.protocol === "file:" || !window.fetch) return Promise.resolve(null);
    return fetch(url, { method: "HEAD", cache: "no-store" }).then(function (response) {
      // A server that answers no HEAD is asked for the first byte.
      if (response.status === 405 || response.status === 501) {
        return fetch(url, { headers: { Range: "bytes=0-0" }, cache: "no-store" });
      }
      return response;
    }).then(function (response) {
      return response.ok;
    }, function () {
      return false;
    });
  }

  // Web Audio runs once the reader's action has started it (on iPhones, only during the action).
  function startAudioContext() {
    if (!AudioContextType || location.protocol === "file:") return;
    try {
      if (!sharedContext) sharedContext = new AudioContextType();
      if (sharedContext.state === "suspended") sharedContext.resume();
    } catch (e) {
      warn("Web Audio cannot start: " + e.message);
    }
  }

  function pathOf(parts) {
    return parts.map(function (part) { return encodeURIComponent(part); }).join("/");
  }

  function urlOf(relative) {
    return BASE + pathOf(relative.split("/"));
  }

  // A text file of the bot: from the data script when the page has one, else over HTTP.
  function loadText(relative) {
    var data = window.ParlomatData;
    if (data && Object.prototype.hasOwnProperty.call(data, relative)) {
      return Promise.resolve(data[relative]);
    }
    if (location.protocol === "file:" && !data) {
      return Promise.reject(new Error("no data script beside the page for " + relative));
    }
    if (location.protocol === "file:") {
      return Promise.reject(new Error(relative + " is not in the data script"));
    }
    return fetch(urlOf(relative)).then(function (response) {
      if (!response.ok) throw new Error(relative + ": " + response.status);
      return response.text();
    });
  }

  // The settings file: pieces between "&", trimmed, key before the first "=".
  function parseSettings(text) {
    var settings = {};
    String(text).split("&").forEach(function (piece) {
      piece = piece.replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, "");
      var eq = piece.indexOf("=");
      if (!piece || eq < 0) return;
      settings[piece.slice(0, eq)] = piece.slice(eq + 1);
    });
    return settings;
  }

  // The phrase list: lines end at CR LF, LF or CR; the text ends at a NUL.
  function parsePhrases(text) {
    text = String(text);
    var nul = text.indexOf("\u0000");
    if (nul >= 0) text = text.slice(0, nul);
    if (/(\r\n|\n|\r)$/.test(text)) text = text.replace(/(\r\n|\n|\r)$/, "");
    if (!text) return [];
    return text.split(/\r\n|\n|\r/).map(function (line) {
      var eq = line.indexOf("=");
      return eq < 0 ? { keyword: "", phrase: line } : { keyword: line.slice(0, eq), phrase: line.slice(eq + 1) };
    });
  }

  // The viseme log: one "id duration" a line; each viseme starts where the one before ended.
  function parseVisemes(text) {
    var visemes = [];
    var start = 0;
    var lines = String(text).split(/\r\n|\n|\r/);
    for (var i = 0; i < lines.length; i++) {
      if (!lines[i]) continue;
      var m = /^(\d+) (-?\d+)$/.exec(lines[i]);
      if (!m) {
        warn("line " + (i + 1) + " of a viseme log is damaged: " + JSON.stringify(lines[i]));
        continue;
      }
      var duration = Math.max(0, parseInt(m[2], 10));
      visemes.push({ id: parseInt(m[1], 10), start: start, end: start + duration });
      start += duration;
    }
    return visemes;
  }

  // The list of mouth pictures of every character (chars/mouths.js), loaded once for the page:
  // {name: [shape numbers]}; empty when the list is missing.
  var mouthsList = null;
  function loadMouthsList() {
    if (!mouthsList) {
      mouthsList = new Promise(function (resolve) {
        if (window.ParlomatMouths) {
          resolve(window.ParlomatMouths);
          return;
        }
        var script = document.createElement("script");
        script.src = urlOf("chars/mouths.js");
        script.onload = function () { resolve(window.ParlomatMouths || {}); };
        script.onerror = function () {
          warn("chars/mouths.js, the list of mouth pictures, is missing: the characters get a drawn mouth");
          resolve({});
        };
        (document.head || document.documentElement).appendChild(script);
      });
    }
    return mouthsList;
  }

  // ------------------------------------------------------------------ the reader's choices

  // Whether all sound and whether the music is muted, remembered for the site.
  var muted = { sound: recall("mute"), music: recall("muteMusic") };

  function recall(name) {
    try {
      return window.localStorage.getItem("parlomat." + name) === "1";
    } catch (e) {
      return false;
    }
  }

  function remember(name, on) {
    try {
      window.localStorage.setItem("parlomat." + name, on ? "1" : "0");
    } catch (e) {
      // Storage is off: the choice lasts as long as the page.
    }
  }

  function setMuted(which, on) {
    muted[which] = on;
    remember(which === "sound" ? "mute" : "muteMusic", on);
    players.forEach(function (player) { player.applyMuted(); });
  }

  // ------------------------------------------------------------------ the drawn mouth

  // For characters without mouth pictures, one look per mouth shape 1 to 12: half width and
  // half opening, lip thickness, round lips, teeth (1 upper, 2 both, 3 upper on the lower lip)
  // and tongue (1 low, 2 raised, 3 between the teeth).
  var DRAWN = [
    null,
    { w: 14, h: 0, lip: 4 },                              // 1 lips closed (p b m)
    { w: 6, h: 6, lip: 3.5, round: true },                // 2 small round (w, oo)
    { w: 9, h: 7, lip: 3, round: true, teeth: 1 },        // 3 rounded (r)
    { w: 13, h: 4, lip: 3, teeth: 3 },                    // 4 upper teeth on the lip (f v)
    { w: 13, h: 5, lip: 2.5, teeth: 2, tongue: 3 },       // 5 tongue between the teeth (th)
    { w: 13, h: 9, lip: 2.5, teeth: 1, tongue: 2 },       // 6 open, tongue up (l)
    { w: 15, h: 4, lip: 2.5, teeth: 2 },                  // 7 teeth together (s z t d n)
    { w: 9, h: 8, lip: 5, round: true, teeth: 2 },        // 8 pushed-out lips (sh ch)
    { w: 17, h: 6, lip: 2.5, teeth: 1 },                  // 9 wide, half open (ee, k g, h)
    { w: 14, h: 9, lip: 2.5, teeth: 1, tongue: 1 },       // 10 half open (e)
    { w: 15, h: 15, lip: 2.5, teeth: 1, tongue: 1 },      // 11 wide open (a)
    { w: 11, h: 13, lip: 3.5, round: true, tongue: 1 }    // 12 round and open (o, oy)
  ];
  var LIPS = "#b3404e";
  var INSIDE = "#4a0f1a";
  var TONGUE = "#de7a86";

  // Draws mouth `shape` centred at (x, y) in a 200 x 200 picture.
  function drawMouth(g, shape, x, y) {
    var m = DRAWN[shape];
    if (!m) return;
    g.save();
    g.lineJoin = "round";
    if (!m.h) {
      g.fillStyle = LIPS;
      g.beginPath();
      g.ellipse(x, y, m.w, m.lip, 0, 0, 2 * Math.PI);
      g.fill();
      g.strokeStyle = INSIDE;
      g.lineWidth = 1.5;
      g.beginPath();
      g.moveTo(x - m.w + 2, y);
      g.quadraticCurveTo(x, y + 1.5, x + m.w - 2, y);
      g.stroke();
      g.restore();
      return;
    }
    var top = y - m.h * 0.8;
    var bottom = y + m.h;
    var opening = new Path2D();
    if (m.round) {
      opening.ellipse(x, (top + bottom) / 2, m.w, (bottom - top) / 2, 0, 0, 2 * Math.PI);
    } else {
      opening.moveTo(x - m.w, y);
      opening.quadraticCurveTo(x, y - m.h * 1.6, x + m.w, y);
      opening.quadraticCurveTo(x, y + m.h * 2, x - m.w, y);
      opening.closePath();
    }
    g.fillStyle = INSIDE;
    g.fill(opening);
    g.save();
    g.clip(opening);
    var height = bottom - top;
    g.fillStyle = "#fff";
    if (m.teeth === 1 || m.teeth === 3) g.fillRect(x - m.w, top - 1, 2 * m.w, height * (m.teeth === 3 ? 0.75 : 0.3) + 1);
    if (m.teeth === 2) {
      g.fillRect(x - m.w, top - 1, 2 * m.w, height * 0.5 + 1);
      g.fillRect(x - m.w, y + height * 0.05, 2 * m.w, height);
    }
    g.fillStyle = TONGUE;
    if (m.tongue === 1) {
      g.beginPath();
      g.ellipse(x, bottom, m.w * 0.7, height * 0.35, 0, 0, 2 * Math.PI);
      g.fill();
    }
    if (m.tongue === 2) {
      g.beginPath();
      g.ellipse(x, top + height * 0.45, m.w * 0.45, height * 0.3, 0, 0, 2 * Math.PI);
      g.fill();
    }
    g.restore();
    g.strokeStyle = LIPS;
    g.lineWidth = m.lip;
    g.stroke(opening);
    if (m.teeth === 3) {
      // The lower lip drawn up under the upper teeth.
      g.lineWidth = m.lip + 2;
      g.beginPath();
      g.moveTo(x - m.w * 0.8, y + m.h * 0.6);
      g.quadraticCurveTo(x, y + m.h * 1.3, x + m.w * 0.8, y + m.h * 0.6);
      g.stroke();
    }
    if (m.tongue === 3) {
      g.fillStyle = TONGUE;
      g.beginPath();
      g.ellipse(x, y + 1, m.w * 0.55, 3.5, 0, 0, 2 * Math.PI);
      g.fill();
    }
    g.restore();
  }

  // ------------------------------------------------------------------ the player

  var STYLE =
    ".parlomat-player{position:relative;display:inline-block;box-sizing:border-box;" +
    "width:100%;max-width:400px;aspect-ratio:400/450;overflow:hidden;vertical-align:middle;" +
    "font:14px/1.35 Arial,'Liberation Sans',sans-serif;color:#1f1f1f;text-align:left;" +
    "background:#fff center/cover no-repeat;border:1px solid #b8b8b8}" +
    ".parlomat-player *{box-sizing:border-box}" +
    ".parlomat-player .pm-frame{position:absolute;inset:0;display:flex;flex-direction:column;padding:4% 4% 3.5%}" +
    ".parlomat-player .pm-stage{position:relative;flex:none;width:54.35%;aspect-ratio:1/1;margin:0 auto}" +
    ".parlomat-player .pm-stage img,.parlomat-player .pm-stage canvas{position:absolute;left:0;top:0;" +
    "width:100%;height:100%;border-radius:8px}" +
    ".parlomat-player .pm-bubble{flex:0 1 auto;min-height:0;overflow-y:auto;margin:2.5% 0;padding:8px 10px;" +
    "background:rgba(255,255,255,.94);border-radius:8px;box-shadow:0 1px 3px rgba(0,0,0,.25)}" +
    ".parlomat-player .pm-bubble.pm-empty{visibility:hidden}" +
    ".parlomat-player .pm-bubble p{margin:0}" +
    ".parlomat-player .pm-status{font-style:italic}" +
    ".parlomat-player .pm-status:empty,.parlomat-player .pm-caption:empty{display:none}" +
    ".parlomat-player .pm-panel{flex:none;margin-top:auto;padding:8px 10px;background:rgba(255,255,255,.94);border-radius:8px;" +
    "box-shadow:0 1px 3px rgba(0,0,0,.25)}" +
    ".parlomat-player .pm-hint{margin:0 0 5px;font-size:13px;color:#3b3b3b}" +
    ".parlomat-player label{display:block;font-weight:bold;margin-bottom:3px}" +
    ".parlomat-player .pm-row{display:flex;gap:6px}" +
    ".parlomat-player input{flex:1;min-width:0;margin:0;padding:6px 8px;font:16px/1.25 Arial,'Liberation Sans',sans-serif;" +
    "color:#1f1f1f;background:#fff;border:1px solid #6b6b6b;border-radius:4px}" +
    ".parlomat-player button{margin:0;font:inherit;cursor:pointer}" +
    ".parlomat-player .pm-ask{flex:none;padding:6px 14px;font-weight:bold;border:1px solid #1d4c94;border-radius:4px;" +
    "background:#2a5db0;color:#fff}" +
    ".parlomat-player .pm-tools{position:absolute;top:4%;right:4%;display:flex;flex-direction:column;gap:6px}" +
    ".parlomat-player .pm-tools button{display:flex;align-items:center;justify-content:center;width:36px;height:36px;" +
    "padding:0;border:1px solid #6b6b6b;border-radius:50%;background:rgba(255,255,255,.94);color:#1f1f1f;" +
    "box-shadow:0 1px 3px rgba(0,0,0,.25)}" +
    ".parlomat-player .pm-tools button[hidden]{display:none}" +
    ".parlomat-player .pm-tools button[aria-pressed=true]{background:#1f1f1f;color:#fff}" +
    ".parlomat-player .pm-tools svg{width:20px;height:20px;fill:currentColor}" +
    ".parlomat-player .pm-tools [aria-pressed=false] .pm-slash{display:none}" +
    ".parlomat-player button:focus-visible,.parlomat-player input:focus-visible{outline:3px solid #1a56c4;outline-offset:2px}";

  // The buttons' pictures (24 x 24).
  var ICONS = {
    stop: '<rect x="6" y="6" width="12" height="12" rx="1.5"/>',
    sound: '<path d="M4 9h4l5-4v14l-5-4H4z"/><path d="M16 8.5a5 5 0 0 1 0 7l-1.4-1.4a3 3 0 0 0 0-4.2z"/>',
    music: '<path d="M9 4v10.3A3.5 3.5 0 1 0 11 17.5V8h7V4z"/>',
    slash: '<path class="pm-slash" d="M3.3 4.7l1.4-1.4 16 16-1.4 1.4z"/>'
  };

  function addStyle() {
    if (document.getElementById("parlomat-player-style")) return;
    var style = document.createElement("style");
    style.id = "parlomat-player-style";
    style.textContent = STYLE;
    (document.head || document.documentElement).appendChild(style);
  }

  function element(tag, className, parent) {
    var e = document.createElement(tag);
    if (className) e.className = className;
    if (parent) parent.appendChild(e);
    return e;
  }

  function toolButton(parent, className, name, icon) {
    var b = element("button", className, parent);
    b.type = "button";
    b.setAttribute("aria-label", name);
    b.title = name;
    b.innerHTML = '<svg viewBox="0 0 24 24" aria-hidden="true" focusable="false">' + icon + "</svg>";
    return b;
  }

  var players = [];
  var active = null;  // the player that was touched last: only its music plays
  var count = 0;

  function Player(target, bot) {
    this.bot = bot;
    this.folder = "bots/" + bot + "/";
    this.entries = [];
    this.matcher = matcher([]);
    this.settings = {};
    this.misses = 0;
    this.greeted = false;
    this.prepared = false;
    this.woken = false;
    this.speaking = null;
    this.problem = "";
    this.mouths = null;
    this.logs = {};
    this.music = null;
    this.musicGain = null;
    this.musicLowered = "";  // "gain", "volume" or "pause"
    this.failedSounds = {};
    this.audioUrl = "";
    this.shownShape = -1;
    this.pictured = false;  // the character has mouth pictures
    this.musicAsked = false;

    var id = "parlomat-" + ++count;
    var root = element("div", "parlomat-player");
    root.setAttribute("role", "region");
    root.setAttribute("aria-label", bot);
    root.setAttribute("aria-busy", "true");
    root.setAttribute("data-bot", bot);
    root.setAttribute("data-state", "loading");
    root.setAttribute("data-viseme", "0");
    root.setAttribute("data-shape", "0");
    this.root = root;
    this.element = root;

    var frame = element("div", "pm-frame", root);
    var stage = element("div", "pm-stage", frame);
    this.face = element("img", null, stage);
    this.face.alt = "";
    this.face.style.visibility = "hidden";
    this.canvas = element("canvas", null, stage);
    this.canvas.width = 400;
    this.canvas.height = 400;
    this.canvas.setAttribute("aria-hidden", "true");

    this.bubble = element("div", "pm-bubble", frame);
    this.status = element("p", "pm-status", this.bubble);
    this.status.setAttribute("role", "status");
    this.caption = element("p", "pm-caption", this.bubble);
    this.caption.setAttribute("aria-live", "polite");

    var panel = element("div", "pm-panel", frame);
    this.hint = element("p", "pm-hint", panel);
    this.hint.id = id + "-hint";
    this.prompt = element("label", null, panel);
    this.prompt.htmlFor = id + "-question";
    var row = element("div", "pm-row", panel);
    this.input = element("input", null, row);
    this.input.id = id + "-question";
    this.input.type = "text";
    this.input.autocomplete = "off";
    this.input.setAttribute("aria-describedby", this.hint.id);
    this.button = element("button", "pm-ask", row);
    this.button.type = "button";

    var tools = element("div", "pm-tools", root);
    this.stopButton = toolButton(tools, "pm-stop", "Stop", ICONS.stop);
    this.muteButton = toolButton(tools, "pm-mute", "Mute", ICONS.sound + ICONS.slash);
    this.musicButton = toolButton(tools, "pm-music", "Mute music", ICONS.music + ICONS.slash);
    this.musicButton.hidden = true;

    this.hint.textContent = DEFAULTS.hint;
    this.prompt.textContent = DEFAULTS.prompt;
    this.button.textContent = DEFAULTS.button;

    this.audio = new Audio();
    this.audio.preload = "auto";
    this.applyMuted();
    this.listen(tools);
    this.showStatus();

    target.parentNode.replaceChild(root, target);
    this.ready = this.load();
  }

  Player.prototype.listen = function (tools) {
    var self = this;
    var onTool = function (event) { return tools.contains(event.target); };
    // The first touch of the player (a click or tap, a key in its field) gives the greeting and
    // the music; browsers allow sound only after such an action. Pressing already starts the
    // loading of what they need. Moving the focus into the player is not a touch.
    this.root.addEventListener("pointerdown", function (event) {
      if (!onTool(event)) self.prepare();
    });
    this.root.addEventListener("click", function (event) {
      if (!onTool(event) && event.target !== self.button) self.touch();
    });
    this.input.addEventListener("keydown", function (event) {
      if (event.key === "Enter") {
        event.preventDefault();
        self.ask();
      } else if (event.key.length === 1 || event.key === "Backspace" || event.key === "Delete") {
        self.touch();
      }
    });
    this.button.addEventListener("click", function () { self.ask(); });
    this.stopButton.addEventListener("click", function () { self.stop(); });
    this.muteButton.addEventListener("click", function () { setMuted("sound", !muted.sound); });
    this.musicButton.addEventListener("click", function () { setMuted("music", !muted.music); });
    // The player speaks once its audio really plays, not when the answer is chosen.
    this.audio.addEventListener("playing", function () {
      var speaking = self.speaking;
      if (!speaking || speaking.started) return;
      speaking.started = true;
      self.root.setAttribute("data-state", "speaking");
      self.emit("speechstart", speaking);
    });
    this.audio.addEventListener("ended", function () { self.stopSpeaking(false); });
    this.audio.addEventListener("error", function () {
      if (!self.speaking) return;
      self.soundFailed(self.audioUrl, "the speech of phrase " + self.speaking.index, self.speaking.index);
      self.stopSpeaking(false);
    });
  };

  Player.prototype.url = function (relative) {
    return urlOf(relative);
  };

  Player.prototype.load = function () {
    var self = this;
    var failed = 0;
    var read = function (name, parse) {
      return loadText(self.folder + name).then(parse, function (error) {
        warn("the file " + name + " of the bot \"" + self.bot + "\" cannot be read (" + error.message + ")");
        failed++;
        return null;
      });
    };
    return Promise.all([read("vars.txt", parseSettings), read("phrases.txt", parsePhrases)]).then(function (loaded) {
      self.root.removeAttribute("aria-busy");
      if (failed === 2) {
        self.problem = SAY.notFound;
        self.root.setAttribute("data-state", "missing");
        self.showStatus();
        return;
      }
      if (failed) self.problem = SAY.missing;
      self.apply(loaded[0] || {});
      self.entries = loaded[1] || [];
      self.matcher = matcher(self.entries);
      if (loaded[1] && !self.entries.length) warn("the bot \"" + self.bot + "\" has no phrases");
      self.root.setAttribute("data-state", "idle");
      self.showStatus();
    });
  };

  Player.prototype.apply = function (settings) {
    var self = this;
    this.settings = settings;
    if ("hint" in settings) this.hint.textContent = settings.hint;
    if ("prompt" in settings) this.prompt.textContent = settings.prompt;
    if ("button" in settings) this.button.textContent = settings.button;
    if (settings.back) {
      var back = new Image();
      back.onload = function () { self.root.style.backgroundImage = "url(\"" + back.src + "\")"; };
      back.onerror = function () { self.missing("the background " + settings.back + " cannot be shown"); };
      back.src = this.url("backs/" + settings.back);
    }
    if (settings["char"]) {
      this.face.onload = function () { if (!self.mouths) self.face.style.visibility = ""; };
      this.face.onerror = function () { self.missing("the character " + settings["char"] + " has no preview.jpg"); };
      this.face.src = this.url("chars/" + settings["char"] + "/preview.jpg");
    }
    this.musicButton.hidden = !this.hasMusic();
  };

  Player.prototype.hasMusic = function () {
    return !!this.settings.music && this.settings.music !== "Silence";
  };

  // A file is missing: the player says so, the console says which.
  Player.prototype.missing = function (details) {
    warn(details);
    if (!this.problem || this.problem === SAY.unplayable) this.problem = SAY.missing;
    this.showStatus();
  };

  // A sound did not play: either its file is missing or this browser cannot play it. Over HTTP
  // the server tells which; on a page opened from disk the speech of a phrase whose viseme log
  // is there was made with it, and a decoding error needs a file too.
  Player.prototype.soundFailed = function (url, what, phrase) {
    var self = this;
    if (this.failedSounds[url]) return;
    this.failedSounds[url] = true;
    var element = phrase === undefined ? this.music : this.audio;
    var code = element && element.error ? element.error.code : 0;
    var detail = element && element.error && element.error.message ? " (" + element.error.message + ")" : "";
    fileIsThere(url).then(function (there) {
      if (there === null) {
        var data = window.ParlomatData;
        there = code === 3 || (phrase !== undefined && !!data &&
                               Object.prototype.hasOwnProperty.call(data, self.folder + phrase + ".txt"));
      }
      if (!there) {
        self.missing(what + " (" + url + ") is missing" + detail);
        return;
      }
      warn(what + " (" + url + ") cannot be played in this browser" + detail);
      if (!self.problem) self.problem = SAY.unplayable;
      self.showStatus();
    });
  };

  Player.prototype.showStatus = function () {
    var loading = this.root.getAttribute("data-state") === "loading";
    var text = loading ? SAY.loading : this.problem;
    if (this.status.textContent !== text) this.status.textContent = text;
    this.bubble.classList.toggle("pm-empty", !text && !this.caption.textContent);
  };

  Player.prototype.showCaption = function (text) {
    this.caption.textContent = text;
    this.showStatus();
  };

  // What the first touch needs, loaded when the reader presses on the player: the greeting,
  // and the mouth pictures.
  Player.prototype.prepare = function () {
    if (this.prepared) return;
    this.prepared = true;
    var self = this;
    this.ready.then(function () {
      var greeting = self.greeting();
      if (!self.greeted && greeting >= 0) {
        self.visemesOf(greeting);
        self.setAudio(greeting);
      }
      self.loadMouths();
    });
  };

  // Runs `then` once the speech that is loading can play (`event` "canplay") or plays
  // ("playing"), has failed, or after a while: the browser fetches only a few files at a time
  // from a site, and the speech comes first.
  Player.prototype.afterSpeech = function (event, then) {
    var audio = this.audio;
    var waiting = event === "playing" ? this.speaking && !this.speaking.started : audio.readyState < 3;
    if (!this.audioUrl || audio.error || !waiting) {
      then();
      return;
    }
    var done = false;
    var go = function () {
      if (done) return;
      done = true;
      audio.removeEventListener(event, go);
      audio.removeEventListener("error", go);
      then();
    };
    audio.addEventListener(event, go);
    audio.addEventListener("error", go);
    setTimeout(go, 400);
  };

  // The character's mouth pictures, when the list of mouth pictures has all of them for it;
  // otherwise the mouth is drawn.
  Player.prototype.loadMouths = function () {
    var self = this;
    var name = this.settings["char"];
    if (!name) return;
    loadMouthsList().then(function (list) {
      var shapes = Object.prototype.hasOwnProperty.call(list, name) && Array.isArray(list[name]) ? list[name] : [];
      var complete = true;
      for (var shape = 0; shape < SHAPES; shape++) complete = complete && shapes.indexOf(shape) >= 0;
      if (!complete) {
        if (shapes.length) warn("the character " + name + " has only some of the 13 mouth pictures: its mouth is drawn");
        return;
      }
      self.pictured = true;
      self.afterSpeech("canplay", function () { self.loadMouthPictures(name); });
    });
  };

  Player.prototype.loadMouthPictures = function (name) {
    var self = this;
    var pictures = [];
    var waiting = SHAPES;
    var failed = false;
    for (var shape = 0; shape < SHAPES; shape++) {
      var picture = new Image();
      picture.onload = picture.onerror = function (event) {
        if (event.type === "error") failed = true;
        if (--waiting > 0) return;
        if (failed) {
          self.pictured = false;
          self.missing("the mouth pictures of the character " + name + " cannot all be shown");
          return;
        }
        self.mouths = pictures;
        self.face.style.visibility = "hidden";
        self.shownShape = -1;
        self.showViseme(Number(self.root.getAttribute("data-viseme")));
      };
      picture.src = self.url("chars/" + name + "/mouth/" + shape + ".png");
      pictures.push(picture);
    }
  };

  Player.prototype.visemesOf = function (index) {
    var self = this;
    if (!this.logs[index]) {
      this.logs[index] = loadText(this.folder + index + ".txt").then(parseVisemes, function (error) {
        self.missing("phrase " + index + " has no viseme log (" + error.message + ")");
        return [];
      });
    }
    return this.logs[index];
  };

  Player.prototype.setAudio = function (index) {
    var url = this.url(this.folder + index + ".mp3");
    if (url !== this.audioUrl || this.audio.error) {
      this.audioUrl = url;
      this.audio.src = url;
    } else if (this.audio.currentTime) {
      this.audio.currentTime = 0;
    }
  };

  // The first touch: the greeting, once, and the music.
  Player.prototype.touch = function () {
    var self = this;
    this.prepare();
    if (this.hasMusic()) startAudioContext();
    this.ready.then(function () {
      self.wake();
      if (!self.greeted) {
        self.greeted = true;
        var greeting = self.greeting();
        if (greeting >= 0) self.speak(greeting);
      }
      self.playMusic();
    });
  };

  // This player becomes the one whose music may play.
  Player.prototype.wake = function () {
    this.woken = true;
    var self = this;
    players.forEach(function (other) { if (other !== self) other.pauseMusic(); });
    active = this;
  };

  Player.prototype.playMusic = function () {
    if (!this.woken || active !== this || !this.hasMusic() || muted.sound || muted.music) return;
    var self = this;
    if (!this.music) {
      if (!this.musicAsked) {
        this.musicAsked = true;
        this.afterSpeech("playing", function () { self.playMusic(); });
        return;
      }
      this.createMusic();
    }
    if (this.musicLowered === "pause" && this.speaking) return;  // it plays again after the speech
    this.levelMusic();
    if (sharedContext && sharedContext.state === "suspended" && this.musicGain) sharedContext.resume();
    if (this.music.paused) {
      var playing = this.music.play();
      if (playing && playing.catch) playing.catch(function () {});
    }
  };

  // The music is lowered under speech through a Web Audio gain where it may pass through one,
  // else by its volume; where a script can set neither (iPhones from disk, old browsers), it
  // pauses while the bot speaks.
  Player.prototype.createMusic = function () {
    var self = this;
    var url = this.url("music/" + this.settings.music);
    this.music = new Audio(url);
    this.music.loop = true;
    this.music.addEventListener("error", function () { self.soundFailed(url, "the music " + self.settings.music); });
    this.musicGain = null;
    this.musicLowered = volumeWorks ? "volume" : "pause";
    if (!AudioContextType || !audibleThroughWebAudio(url)) return;
    startAudioContext();
    if (!sharedContext) return;
    try {
      var gain = sharedContext.createGain();
      sharedContext.createMediaElementSource(this.music).connect(gain);
      gain.connect(sharedContext.destination);
      this.musicGain = gain;
      this.musicLowered = "gain";
    } catch (e) {
      warn("the music is lowered by its volume: " + e.message);
    }
  };

  Player.prototype.levelMusic = function () {
    if (!this.music) return;
    var level = this.speaking ? MUSIC_DUCKED : MUSIC_VOLUME;
    if (this.musicLowered === "gain") this.musicGain.gain.value = level;
    else if (this.musicLowered === "volume") this.music.volume = level;
    else if (this.speaking) this.pauseMusic();
  };

  Player.prototype.pauseMusic = function () {
    if (this.music && !this.music.paused) this.music.pause();
  };

  Player.prototype.applyMuted = function () {
    this.audio.muted = muted.sound;
    this.muteButton.setAttribute("aria-pressed", String(muted.sound));
    this.musicButton.setAttribute("aria-pressed", String(muted.music));
    if (muted.sound || muted.music) this.pauseMusic();
    else this.playMusic();
  };

  // The first entry without keyword.
  Player.prototype.greeting = function () {
    var found = this.silentKeywordEntries();
    return found.length ? found[0] : -1;
  };

  Player.prototype.silentKeywordEntries = function () {
    var found = [];
    this.entries.forEach(function (entry, index) {
      if (!words(entry.keyword).length) found.push(index);
    });
    return found;
  };

  // Answers the question (by default the text in the player's field).
  Player.prototype.ask = function (text) {
    var self = this;
    var question = text === undefined ? this.input.value : String(text);
    this.greeted = true;  // a question comes before the greeting
    this.prepare();
    if (this.hasMusic()) startAudioContext();
    return this.ready.then(function () {
      self.wake();
      self.answer(question);
      self.playMusic();
    });
  };

  Player.prototype.answer = function (question) {
    if (!this.entries.length) {
      this.showCaption(this.problem ? "" : this.hint.textContent);
      return;
    }
    var index = this.matcher.match(question).index;
    if (index < 0) {
      // No keyword matches: the entries without keyword answer in turn (the first is the
      // greeting, so it answers only when it is the only one); without any, the hint again.
      var others = this.silentKeywordEntries();
      if (others.length > 1) others = others.slice(1);
      if (!others.length) {
        this.stopSpeaking(true);
        this.showCaption(this.hint.textContent);
        return;
      }
      index = others[this.misses++ % others.length];
    }
    this.speak(index);
  };

  Player.prototype.speak = function (index) {
    var self = this;
    var entry = this.entries[index];
    players.forEach(function (other) { if (other !== self) other.stopSpeaking(true); });
    this.stopSpeaking(true, true);
    this.showCaption(entry.phrase);
    this.root.setAttribute("data-entry", String(index));
    var speaking = { index: index, text: entry.phrase, visemes: [], started: false };
    this.speaking = speaking;
    this.levelMusic();
    this.setAudio(index);
    // The mouth follows the log, so the speech starts once the log is there.
    this.visemesOf(index).then(function (visemes) {
      if (self.speaking !== speaking) return;
      speaking.visemes = visemes;
      var played = self.audio.play();
      if (played && played.catch) {
        played.catch(function (error) {
          if (self.speaking !== speaking) return;
          if (error.name === "NotAllowedError") warn("the browser lets the bot speak only after the reader has touched the page");
          else self.soundFailed(self.audioUrl, "the speech of phrase " + index, index);
          self.stopSpeaking(false);
        });
      }
      var frame = function () {
        if (self.speaking !== speaking) return;
        self.showViseme(self.visemeAt(speaking.visemes, self.audio.currentTime * 1000 - START_DELAY_MS));
        requestAnimationFrame(frame);
      };
      requestAnimationFrame(frame);
    });
  };

  Player.prototype.visemeAt = function (visemes, ms) {
    for (var i = 0; i < visemes.length; i++) {
      if (ms >= visemes[i].start && ms < visemes[i].end) return visemes[i].id;
    }
    return 0;
  };

  // The entry a question would get, without answering it: {index, why} (see Matcher.match).
  Player.prototype.match = function (text) {
    return this.matcher.match(String(text));
  };

  // Stops the speech; the answer's text stays.
  Player.prototype.stop = function () {
    this.stopSpeaking(true);
  };

  // Stops the speech; `next` when another answer follows at once (the music stays lowered).
  Player.prototype.stopSpeaking = function (stopped, next) {
    var speaking = this.speaking;
    if (!speaking) return;
    this.speaking = null;
    if (!this.audio.paused) this.audio.pause();
    this.levelMusic();
    if (this.musicLowered === "pause" && !next) this.playMusic();
    this.root.setAttribute("data-state", "idle");
    this.showViseme(0);
    if (speaking.started) this.emit("speechend", speaking, { stopped: !!stopped });
  };

  Player.prototype.emit = function (name, speaking, more) {
    var detail = { bot: this.bot, index: speaking.index, text: speaking.text };
    for (var key in more || {}) detail[key] = more[key];
    this.root.dispatchEvent(new CustomEvent("parlomat:" + name, { bubbles: true, detail: detail }));
  };

  Player.prototype.showViseme = function (id) {
    var shape = id >= 0 && id < SHAPE_OF_VISEME.length ? SHAPE_OF_VISEME[id] : 0;
    this.root.setAttribute("data-viseme", String(id));
    this.root.setAttribute("data-shape", String(shape));
    if (!this.speaking && !this.mouths) shape = 0;
    if (shape !== this.shownShape) this.drawShape(shape);
  };

  // Shows mouth shape 0 to 12: the character's picture of it, or a drawn mouth over its preview.
  Player.prototype.drawShape = function (shape) {
    this.shownShape = shape;
    var g = this.canvas.getContext("2d");
    g.setTransform(this.canvas.width / 200, 0, 0, this.canvas.height / 200, 0, 0);
    g.clearRect(0, 0, 200, 200);
    if (this.mouths) g.drawImage(this.mouths[shape], 0, 0, 200, 200);
    else if (!this.pictured) drawMouth(g, shape, 100, 108);
  };

  // ------------------------------------------------------------------ finding the embeds

  function movieOf(object) {
    var params = object.getElementsByTagName("param");
    var movie = object.getAttribute("data") || "";
    var variables = "";
    for (var i = 0; i < params.length; i++) {
      var name = (params[i].getAttribute("name") || "").toLowerCase();
      if (name === "movie" || name === "src") movie = params[i].getAttribute("value") || movie;
      if (name === "flashvars") variables = params[i].getAttribute("value") || "";
    }
    return { movie: movie, variables: variables };
  }

  function isPlayerMovie(url) {
    return /(^|\/)tts\.swf([?#].*)?$/i.test(String(url || ""));
  }

  var passedOver = typeof WeakSet === "function" ? new WeakSet() : null;

  function replaceEmbeds() {
    addStyle();
    var found = [];
    Array.prototype.forEach.call(document.getElementsByTagName("object"), function (object) {
      var info = movieOf(object);
      if (!isPlayerMovie(info.movie)) return;
      var embed = object.getElementsByTagName("embed")[0];
      var variables = info.variables || (embed && embed.getAttribute("flashvars")) || "";
      found.push({ element: object, variables: variables });
    });
    Array.prototype.forEach.call(document.getElementsByTagName("embed"), function (embed) {
      if (!isPlayerMovie(embed.getAttribute("src"))) return;
      for (var i = 0; i < found.length; i++) if (found[i].element.contains(embed)) return;
      found.push({ element: embed, variables: embed.getAttribute("flashvars") || "" });
    });
    found.forEach(function (item) {
      if (passedOver && passedOver.has(item.element)) return;
      var bot = botFromVariables(item.variables);
      if (bot === null || bot === "") {
        warn("a player on the page names no bot (its FlashVars lack \"bot=\")");
        if (passedOver) passedOver.add(item.element);
        return;
      }
      players.push(new Player(item.element, bot));
    });
  }

  // Players that the page adds later are found too.
  function watch() {
    if (!window.MutationObserver) return;
    new MutationObserver(function (records) {
      for (var i = 0; i < records.length; i++) {
        var added = records[i].addedNodes;
        for (var j = 0; j < added.length; j++) {
          var node = added[j];
          if (node.nodeType !== 1) continue;
          if (/^(object|embed)$/i.test(node.nodeName) || node.querySelector("object,embed")) {
            replaceEmbeds();
            return;
          }
        }
      }
    }).observe(document.documentElement, { childList: true, subtree: true });
  }

  function start() {
    replaceEmbeds();
    watch();
  }

  // Escape stops the bot that is speaking.
  document.addEventListener("keydown", function (event) {
    if (event.key !== "Escape") return;
    players.forEach(function (player) { player.stop(); });
  });

  window.Parlomat = {
    players: players,
    botFromVariables: botFromVariables,
    parseSettings: parseSettings,
    parsePhrases: parsePhrases,
    parseVisemes: parseVisemes,
    bestEntry: bestEntry,
    // The entry a question would get from the player of `bot` (by default the first player).
    match: function (text, bot) {
      for (var i = 0; i < players.length; i++) {
        if (bot === undefined || players[i].bot === bot) return players[i].match(text);
      }
      return { index: -1, why: "none" };
    }
  };

  if (document.readyState === "loading") {
    document.addEventListener("DOMContentLoaded", start);
  } else {
    start();
  }
})();
