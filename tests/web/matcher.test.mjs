// How the HTML5 player chooses the entry for a question, under Node.js: each kind of closeness
// and each guard against a false friend, on an English and a German bot; then the share of
// visitor questions to the sample bots that get the entry meant.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { seen, unseen } from "./questions.mjs";

const require = createRequire(import.meta.url);
const { matcher, parsePhrases } = require("../../web/tts.js");

const bot = (keywords) => matcher(parsePhrases(["=Hello", ...keywords.map((k, i) => `${k}=answer ${i + 1}`)].join("\r\n")));

const english = bot(["price cost", "hours open", "contact email", "weather forecast", "café", "house", "tea",
                     "12345", "price list", "contract"]);
const german = bot(["Preis Kosten", "Support Hilfe", "Öffnungszeiten", "München Filiale", "Kontakt E-Mail",
                    "Straße", "Gruesse", "Reise Urlaub", "Kasse", "Tasse", "Tür"]);

const cases = [
  // [bot, question, entry, why]
  ["exact words, any case, glued to punctuation", [
    [english, "What is the PRICE?", 1, "exact"],
    [english, "cost,cost!", 1, "exact"],
    [german, "Preis?", 1, "exact"],
    [german, "MÜNCHEN", 4, "exact"],
    [german, "E-Mail", 5, "exact"],
    [german, "email", 5, "exact"],     // a hyphenated word is also its parts joined
    [german, "Mail", 5, "exact"],      // ... and each of its parts
    [english, "e-mail", 3, "exact"],
    [english, "12345", 8, "exact"],
  ]],
  ["without accents, umlauts written out or left off", [
    [english, "cafe", 5, "accents"],
    [german, "Munchen", 4, "accents"],
    [german, "Muenchen", 4, "accents"],
    [german, "Oeffnungszeiten", 3, "accents"],
    [german, "Strasse", 6, "accents"],
    [german, "Grüße", 7, "accents"],   // the keyword written out, the question not
    [german, "Tuer", 11, "accents"],   // short words too
  ]],
  ["word forms: up to three letters more or fewer", [
    [english, "prices", 1, "form"],
    [english, "opening", 2, "form"],
    [english, "hour", 2, "form"],
    [english, "contacting", 3, "form"],
    [german, "Preise", 1, "form"],       // not "Reise" with a letter added: the first letter stays
    [german, "Kostenlos", 1, "form"],
    [german, "Öffnungszeit", 3, "form"],
    [german, "Offnungszeit", 3, "form"],
    [german, "Filialen", 4, "form"],
  ]],
  ["a keyword word of five letters or more that begins a longer word", [
    [german, "Preisliste", 1, "compound"],
    [german, "Kontaktdaten", 5, "compound"],
    [german, "Emailadresse", 5, "compound"],  // "E-Mail" joined
    [german, "Hilfestellung", 2, "compound"],
    [english, "weatherproof", 4, "compound"],
    [german, "Kostenloses", 1, "compound"],   // one letter more than a form
  ]],
  ["one typo in a word of five letters or more", [
    [english, "wether", 4, "typo"],      // dropped
    [english, "forecaast", 4, "typo"],   // added
    [english, "contakt", 3, "typo"],     // changed, in a word of six letters or more
    [english, "weahter", 4, "typo"],     // swapped
    [german, "hlife", 2, "typo"],
    [german, "Suport", 2, "typo"],
    [german, "Kontackt", 5, "typo"],
    [german, "Munchn", 4, "typo"],
    [german, "Kosen", 1, "typo"],
  ]],
  ["exact beats tolerant, then the most keyword words, then the first entry", [
    [english, "house prices", 6, "exact"],
    [german, "Preise Kontakt", 5, "exact"],
    [english, "email contact price", 3, "exact"],
    [english, "price contact", 1, "exact"],
    [english, "price list", 9, "exact"],
    [english, "prices", 1, "form"],      // the same word in two entries is no false friend
    [english, "hous", 6, "form"],        // a form of "house" before a typo of "hours"
  ]],
  ["no false friends", [
    [english, "contarct", -1, "none"],   // one letter more than "contact", two swapped in "contract"
    [english, "houre", -1, "none"],      // a letter changed in a word of five letters
    [german, "Hilde", -1, "none"],
    [english, "yours", -1, "none"],      // the first letter changed, dropped, added or swapped
    [english, "ours", -1, "none"],
    [english, "shours", -1, "none"],
    [english, "ohurs", -1, "none"],
    [german, "Gasse", -1, "none"],
    [english, "costumes", -1, "none"],   // a keyword word of four letters begins no compound
    [english, "cos", -1, "none"],        // fewer than four letters: exact only
    [english, "teas", -1, "none"],
    [english, "coast", -1, "none"],      // a typo only in words of five letters or more
    [english, "opne", -1, "none"],       // nor two neighbours swapped ("from" is not "form")
    [english, "12346", -1, "none"],      // numbers: exact only
    [english, "123456", -1, "none"],
    [german, "Versandkosten", -1, "none"],  // a word that ends with a keyword word ("Preise", "Reise")
    [english, "Where is the train station?", -1, "none"],
    [german, "", -1, "none"],
  ]],
];

for (const [kind, table] of cases) {
  test(kind, () => {
    for (const [matcherOf, question, index, why] of table)
      assert.deepEqual(matcherOf.match(question), { index, why }, question);
  });
}

// The aim is 90 % of the questions and 95 % of the unrelated ones, with the sample bots' keywords
// as they stand; the floors below keep what is reached. The questions missed ask in words that no
// keyword has ("How much is it?") or with a typo the rule leaves out ("opne", "prise").
for (const [name, questions, floor] of [["seen", seen, 96], ["unseen", unseen, 97]]) {
  test(`the share of visitor questions to the sample bots that get the entry meant (${name})`, () => {
    const figures = { topics: [0, 0], unrelated: [0, 0] };
    for (const [bot, set] of Object.entries(questions)) {
      const phrases = readFileSync(new URL(`../../tools/sample/bots/${bot}/phrases.txt`, import.meta.url), "utf8");
      const m = matcher(parsePhrases(phrases));
      const topics = set.topics.filter(([q, entry]) => m.match(q).index === entry).length;
      const unrelated = set.unrelated.filter((q) => m.match(q).index === -1).length;
      console.log(`${name}, ${bot}: ${topics} of ${set.topics.length} questions get their entry, ` +
                  `${unrelated} of ${set.unrelated.length} unrelated ones the answer for anything else`);
      figures.topics[0] += topics;
      figures.topics[1] += set.topics.length;
      figures.unrelated[0] += unrelated;
      figures.unrelated[1] += set.unrelated.length;
    }
    const share = ([n, of]) => (100 * n) / of;
    console.log(`${name}: ${share(figures.topics).toFixed(1)} % get their entry, ` +
                `${share(figures.unrelated).toFixed(1)} % of the unrelated ones the answer for anything else`);
    assert.ok(share(figures.unrelated) >= 95);
    assert.ok(share(figures.topics) >= floor);
  });
}
