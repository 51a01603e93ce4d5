/*
 * Parlomat HTML5 player.
 *
 * Replaces every embed of the Flash player "tts.swf" on the page (an <object> whose movie
 * parameter is tts.swf, or an <embed> whose src is) by a talking bot of 400 x 450 pixels that
 * reads the bot's files from bots/{bot}/ beside this script:
 *   vars.txt     hint=...&prompt=...&button=...&char=...&back=...[&music=...]
 *   phrases.txt  keyword=phrase lines (UTF-8, CR LF)
 *   {n}.mp3      the speech of phrase n;  {n}.txt  its visemes, "id duration" lines
 * and the character's pictures from chars/{char}/ (preview.jpg, and mouth/0.png to mouth/12.png
 * when the character has them).
 *
 * Opened from disk, where a page may not read other files, the texts come from the data script
 * that Parlomat writes beside the test page (tts-data.js, window.ParlomatData).
 *
 * Plain JavaScript, no request to any other site. Problems are reported in the console.
 */
(function () {
  "use strict";

  var SCRIPT = document.currentScript;
  var BASE = SCRIPT && SCRIPT.src ? SCRIPT.src.replace(/[^\/]*$/, "") : "";
  var DEFAULTS = {
    hint: "Enter your question for this topic and press 'Ask'",
    prompt: "Your Question:",
    button: "Ask"
  };
  // Mouth shape (0 at rest, 1 to 12) of each viseme id 0 to 21.
  var SHAPE_OF_VISEME = [0, 11, 11, 11, 10, 11, 9, 2, 12, 9, 12, 11, 9, 3, 6, 7, 8, 5, 4, 7, 9, 1];
  // How far a drawn mouth opens for each shape (for characters without mouth pictures).
  var OPENING = [0, 0.05, 0.45, 0.5, 0.25, 0.35, 0.4, 0.2, 0.45, 0.35, 0.6, 1.0, 0.7];
  // The MP3 encoder's start delay that the browser does not remove itself, in milliseconds.
  var START_DELAY_MS = 0;
  var MUSIC_VOLUME = 0.25;
  var MUSIC_DUCKED = 0.06;

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

  function pathOf(parts) {
    return parts.map(function (part) { return encodeURIComponent(part); }).join("/");
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
    return fetch(BASE + pathOf(relative.split("/"))).then(function (response) {
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

  function words(text) {
    return String(text).toLowerCase().match(/[\p{L}\p{N}]+/gu) || [];
  }

  // The entry whose keyword shares the most words with the question (each word of a keyword is
  // an alternative); the first of equals. -1 when no keyword matches.
  function bestEntry(entries, question) {
    var asked = words(question);
    var best = -1;
    var bestScore = 0;
    entries.forEach(function (entry, index) {
      var keys = words(entry.keyword);
      var score = 0;
      keys.forEach(function (key) {
        if (asked.indexOf(key) >= 0) score += 1;
      });
      if (score > bestScore) {
        best = index;
        bestScore = score;
      }
    });
    return best;
  }

  // ------------------------------------------------------------------ the player

  var STYLE =
    ".parlomat-player{position:relative;width:400px;height:450px;overflow:hidden;display:inline-block;" +
    "vertical-align:middle;font:14px/1.35 Arial,'Liberation Sans',sans-serif;color:#222;background:#fff center/cover no-repeat;" +
    "box-sizing:border-box;border:1px solid #ccc;text-align:left}" +
    ".parlomat-player .pm-character{position:absolute;left:100px;top:16px;width:200px;height:200px}" +
    ".parlomat-player .pm-character img,.parlomat-player .pm-character canvas{position:absolute;left:0;top:0;width:200px;height:200px;border-radius:8px}" +
    ".parlomat-player .pm-caption{position:absolute;left:16px;right:16px;top:226px;min-height:44px;padding:6px 10px;" +
    "background:rgba(255,255,255,.88);border-radius:8px;box-shadow:0 1px 3px rgba(0,0,0,.25)}" +
    ".parlomat-player .pm-caption:empty{visibility:hidden}" +
    ".parlomat-player .pm-panel{position:absolute;left:16px;right:16px;bottom:14px;padding:8px 10px;" +
    "background:rgba(255,255,255,.92);border-radius:8px;box-shadow:0 1px 3px rgba(0,0,0,.25)}" +
    ".parlomat-player .pm-hint{margin:0 0 6px;font-size:13px;color:#444}" +
    ".parlomat-player label{display:block;font-weight:bold;margin-bottom:3px}" +
    ".parlomat-player .pm-row{display:flex;gap:6px}" +
    ".parlomat-player input{flex:1;min-width:0;padding:5px 6px;font:inherit;border:1px solid #999;border-radius:4px}" +
    ".parlomat-player button{padding:5px 14px;font:inherit;font-weight:bold;border:1px solid #2b5fad;border-radius:4px;background:#3b73c7;color:#fff;cursor:pointer}";

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

  function Player(target, bot) {
    this.bot = bot;
    this.folder = "bots/" + bot + "/";
    this.entries = [];
    this.misses = 0;
    this.greeted = false;
    this.speaking = null;
    this.mouthPictures = null;

    var root = element("div", "parlomat-player");
    root.setAttribute("data-bot", bot);
    root.setAttribute("data-state", "loading");
    root.setAttribute("data-viseme", "0");
    this.root = root;
    this.character = element("div", "pm-character", root);
    this.face = element("img", null, this.character);
    this.face.alt = "";
    this.canvas = element("canvas", null, this.character);
    this.canvas.width = 200;
    this.canvas.height = 200;
    this.caption = element("div", "pm-caption", root);
    this.caption.setAttribute("aria-live", "polite");
    var panel = element("div", "pm-panel", root);
    this.hint = element("p", "pm-hint", panel);
    var id = "pm-question-" + Math.random().toString(36).slice(2);
    this.prompt = element("label", null, panel);
    this.prompt.htmlFor = id;
    var row = element("div", "pm-row", panel);
    this.input = element("input", null, row);
    this.input.id = id;
    this.input.type = "text";
    this.input.autocomplete = "off";
    this.button = element("button", null, row);
    this.button.type = "button";
    this.audio = new Audio();
    this.audio.preload = "auto";
    this.music = null;

    this.hint.textContent = DEFAULTS.hint;
    this.prompt.textContent = DEFAULTS.prompt;
    this.button.textContent = DEFAULTS.button;

    var self = this;
    this.button.addEventListener("click", function () { self.ask(); });
    this.input.addEventListener("keydown", function (event) {
      if (event.key === "Enter") {
        event.preventDefault();
        self.ask();
      }
    });
    // The first touch of the player: the greeting, and the music (browsers allow sound only
    // after the reader has done something on the page).
    var first = function (event) {
      if (event.target === self.button || (event.type === "keydown" && event.key === "Enter")) return;
      self.start(true);
    };
    root.addEventListener("pointerdown", first);
    this.input.addEventListener("focus", first);
    this.audio.addEventListener("ended", function () { self.stopSpeaking(); });
    this.audio.addEventListener("error", function () {
      if (self.speaking) warn("the speech " + self.audio.src + " cannot be played");
      self.stopSpeaking();
    });

    target.parentNode.replaceChild(root, target);
    this.load();
  }

  Player.prototype.url = function (relative) {
    return BASE + pathOf(relative.split("/"));
  };

  Player.prototype.load = function () {
    var self = this;
    var settings = loadText(this.folder + "vars.txt").then(parseSettings, function (error) {
      warn("the settings of the bot \"" + self.bot + "\" cannot be read (" + error.message + ")");
      return {};
    });
    var phrases = loadText(this.folder + "phrases.txt").then(parsePhrases, function (error) {
      warn("the phrases of the bot \"" + self.bot + "\" cannot be read (" + error.message + ")");
      return [];
    });
    Promise.all([settings, phrases]).then(function (loaded) {
      self.apply(loaded[0]);
      self.entries = loaded[1];
      if (!self.entries.length) warn("the bot \"" + self.bot + "\" has no phrases");
      self.root.setAttribute("data-state", "idle");
    });
  };

  Player.prototype.apply = function (settings) {
    if ("hint" in settings) this.hint.textContent = settings.hint;
    if ("prompt" in settings) this.prompt.textContent = settings.prompt;
    if ("button" in settings) this.button.textContent = settings.button;
    var self = this;
    if (settings.back) {
      var back = new Image();
      back.onload = function () { self.root.style.backgroundImage = "url(\"" + back.src + "\")"; };
      back.onerror = function () { warn("the background " + settings.back + " cannot be shown"); };
      back.src = this.url("backs/" + settings.back);
    }
    if (settings["char"]) {
      var folder = "chars/" + settings["char"] + "/";
      this.face.onerror = function () {
        warn("the character " + settings["char"] + " has no preview.jpg");
        self.face.style.visibility = "hidden";
      };
      this.face.src = this.url(folder + "preview.jpg");
      this.loadMouths(folder);
    } else {
      this.face.style.visibility = "hidden";
    }
    if (settings.music && settings.music !== "Silence") {
      this.music = new Audio(this.url("music/" + settings.music));
      this.music.loop = true;
      this.music.volume = MUSIC_VOLUME;
      this.music.addEventListener("error", function () {
        warn("the music " + settings.music + " cannot be played");
      });
    }
  };

  // The character's mouth pictures, when it has all of them; otherwise a mouth is drawn.
  Player.prototype.loadMouths = function (folder) {
    var self = this;
    var pictures = [];
    var waiting = 13;
    var complete = true;
    for (var shape = 0; shape <= 12; shape++) {
      var picture = new Image();
      picture.onload = picture.onerror = function (event) {
        if (event.type === "error") complete = false;
        if (--waiting === 0 && complete) self.mouthPictures = pictures;
      };
      picture.src = this.url(folder + "mouth/" + shape + ".png");
      pictures.push(picture);
    }
  };

  Player.prototype.start = function (greet) {
    if (this.music && this.music.paused) {
      var playing = this.music.play();
      if (playing && playing.catch) playing.catch(function () {});
    }
    if (greet && !this.greeted) {
      this.greeted = true;
      var greeting = this.silentKeywordEntries()[0];
      if (greeting !== undefined) this.speak(greeting);
    }
  };

  Player.prototype.silentKeywordEntries = function () {
    var found = [];
    this.entries.forEach(function (entry, index) {
      if (!words(entry.keyword).length) found.push(index);
    });
    return found;
  };

  Player.prototype.ask = function () {
    this.greeted = true;  // a question comes before the greeting
    this.start(false);
    var question = this.input.value;
    var index = bestEntry(this.entries, question);
    if (index < 0) {
      // No keyword matches: the entries without keyword answer in turn (the first is the
      // greeting, so it answers only when it is the only one); without any, the hint again.
      var others = this.silentKeywordEntries();
      if (others.length > 1) others = others.slice(1);
      if (!others.length) {
        this.stopSpeaking();
        this.caption.textContent = this.hint.textContent;
        return;
      }
      index = others[this.misses++ % others.length];
    }
    this.speak(index);
  };

  Player.prototype.speak = function (index) {
    var self = this;
    var entry = this.entries[index];
    this.stopSpeaking();
    this.caption.textContent = entry.phrase;
    this.root.setAttribute("data-entry", String(index));
    this.root.setAttribute("data-state", "speaking");
    var speaking = { index: index, visemes: [] };
    this.speaking = speaking;
    if (this.music) this.music.volume = MUSIC_DUCKED;
    loadText(this.folder + index + ".txt").then(parseVisemes, function (error) {
      warn("phrase " + index + " has no viseme log (" + error.message + ")");
      return [];
    }).then(function (visemes) {
      speaking.visemes = visemes;
    });
    this.audio.src = this.url(this.folder + index + ".mp3");
    var played = this.audio.play();
    if (played && played.catch) {
      played.catch(function (error) {
        if (self.speaking !== speaking) return;
        warn("phrase " + index + " cannot be played (" + error.message + ")");
        self.stopSpeaking(true);
      });
    }
    var frame = function () {
      if (self.speaking !== speaking) return;
      self.showViseme(self.visemeAt(speaking.visemes, self.audio.currentTime * 1000 - START_DELAY_MS));
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  };

  Player.prototype.visemeAt = function (visemes, ms) {
    for (var i = 0; i < visemes.length; i++) {
      if (ms >= visemes[i].start && ms < visemes[i].end) return visemes[i].id;
    }
    return 0;
  };

  Player.prototype.stopSpeaking = function (keepCaption) {
    if (!this.speaking) return;
    this.speaking = null;
    if (!this.audio.paused) this.audio.pause();
    if (this.music) this.music.volume = MUSIC_VOLUME;
    this.root.setAttribute("data-state", "idle");
    this.showViseme(0);
    if (keepCaption === false) this.caption.textContent = "";
  };

  Player.prototype.showViseme = function (id) {
    var shape = id >= 0 && id < SHAPE_OF_VISEME.length ? SHAPE_OF_VISEME[id] : 0;
    this.root.setAttribute("data-viseme", String(id));
    this.root.setAttribute("data-shape", String(shape));
    if (this.mouthPictures) {
      var src = this.mouthPictures[shape].src;
      if (this.face.src !== src) this.face.src = src;
      return;
    }
    // A character without mouth pictures: a simple mouth over its preview.
    var g = this.canvas.getContext("2d");
    g.clearRect(0, 0, 200, 200);
    if (!this.speaking || shape === 0) return;
    var open = OPENING[shape];
    g.fillStyle = "#6b1a24";
    g.strokeStyle = "#a33a48";
    g.lineWidth = 2;
    g.beginPath();
    g.ellipse(100, 108, 12 + 4 * (1 - open), 2 + 9 * open, 0, 0, 2 * Math.PI);
    g.fill();
    g.stroke();
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
      var bot = botFromVariables(item.variables);
      if (bot === null || bot === "") {
        warn("a player on the page names no bot (its FlashVars lack \"bot=\")");
        return;
      }
      players.push(new Player(item.element, bot));
    });
  }

  var players = [];
  window.Parlomat = {
    players: players,
    botFromVariables: botFromVariables,
    parseSettings: parseSettings,
    parsePhrases: parsePhrases,
    parseVisemes: parseVisemes,
    bestEntry: bestEntry
  };

  if (document.readyState === "loading") {
    document.addEventListener("DOMContentLoaded", replaceEmbeds);
  } else {
    replaceEmbeds();
  }
})();
