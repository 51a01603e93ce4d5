#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/phrase_file.h"

namespace {
std::string hex(const std::string& bytes) {
    std::string out;
    char b[4];
    for (const unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    if (!out.empty()) out.pop_back();
    return out;
}
using Entries = std::vector<std::string>;
}  // namespace

TEST(PhraseFile, WritesTheExamplesByteForByte) {
    EXPECT_EQ(hex(encodePhraseList({"Hallo=Guten Tag!", "Preis=Für 5 €"})),
              "48 61 6C 6C 6F 3D 47 75 74 65 6E 20 54 61 67 21 0D 0A 50 72 65 69 73 3D 46 C3 BC "
              "72 20 35 20 E2 82 AC 0D 0A");
    EXPECT_EQ(hex(encodePhraseList({"=x"})), "3D 78 0D 0A");
    EXPECT_EQ(encodePhraseList({}), "");
    EXPECT_EQ(encodePhraseList({"", "="}), "\r\n=\r\n");
}

TEST(PhraseFile, TextInsideTheBasicPlaneIsWrittenAsItsOwnUtf8) {
    const std::string text = "aÄß€ΩЖ中ॐ\u0800\u07FF\uFFFD\uFEFF";
    EXPECT_EQ(encodeFileText(text), text);
}

TEST(PhraseFile, CharactersBeyondTheBasicPlaneUseFourBytesAndTheOldFormStillReads) {
    EXPECT_EQ(hex(encodeFileText("😀")), "F0 9F 98 80");
    const DecodedText standard = decodeFileText("\xF0\x9F\x98\x80");
    EXPECT_EQ(standard.text, "😀");
    EXPECT_TRUE(standard.complete);
    const DecodedText old = decodeFileText("\xED\xA0\xBD\xED\xB8\x80");  // a surrogate pair
    EXPECT_EQ(old.text, "😀");
    EXPECT_TRUE(old.complete);
    // A lone surrogate cannot be shown: a substitute, and the text is incomplete.
    const DecodedText lone = decodeFileText("a\xED\xA0\x80z");
    EXPECT_EQ(lone.text, "a?z");
    EXPECT_FALSE(lone.complete);
}

TEST(PhraseFile, ReadsTheDecodingRule) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"F\xC3\xBCr", "Für"},
        {"\xE2\x82\xAC", "€"},
        {"\xC0\x80", std::string(1, '\0')},  // lead bytes are not tested otherwise
        {"\x80\x80", std::string(1, '\0')},
        {"\xEF\xBB\xBFx", "\xEF\xBB\xBFx"},  // a byte-order mark is a character
    };
    for (const auto& [bytes, text] : cases) {
        const DecodedText d = decodeFileText(bytes);
        EXPECT_EQ(d.text, text) << hex(bytes);
        EXPECT_TRUE(d.complete) << hex(bytes);
    }
}

TEST(PhraseFile, AnInvalidSequenceAnywhereEmptiesTheWholeText) {
    const std::string valid = "Preis=F\xC3\xBCr 5 \xE2\x82\xAC\r\nx\xDF\xBF\xEF\xBF\xBD.";
    int checked = 0;
    for (size_t i = 0; i < valid.size(); ++i) {
        if ((static_cast<unsigned char>(valid[i]) & 0xC0) != 0x80) continue;
        // A sequence cut off by the end, or with a following byte out of range.
        EXPECT_EQ(decodeFileText(valid.substr(0, i)).text, "") << i;
        EXPECT_FALSE(decodeFileText(valid.substr(0, i)).complete) << i;
        std::string broken = valid;
        broken[i] = 'x';
        EXPECT_EQ(decodeFileText(broken).text, "") << i;
        ++checked;
    }
    EXPECT_EQ(checked, 6);
    EXPECT_EQ(decodeFileText(valid).text, valid);
    EXPECT_EQ(decodePhraseList("\xFC"), Entries{});
    bool complete = true;
    EXPECT_EQ(decodePhraseList("a=b\r\n\xFC", &complete), Entries{});
    EXPECT_FALSE(complete);
    // A four-byte lead without three following bytes reads by the three-byte rule.
    EXPECT_EQ(decodeFileText("\xF0\x9F\x98").text, "\xDF\x98");  // U+07D8
    EXPECT_EQ(decodeFileText("\xF0\x9F").text, "");
}

TEST(PhraseFile, SplitsLinesAtCrLfLfAndCrAndEndsAtNul) {
    const std::pair<std::string, Entries> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\r\n\r\n=\r\n", {"", "", "="}},
        {"a=1\r\nb=2\nc=3\rd=4", {"a=1", "b=2", "c=3", "d=4"}},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(splitLines(text), lines) << hex(text);

    bool cut = false;
    EXPECT_EQ(splitLines(std::string("a=1\r\nb=2\0rest\r\nc=3", 19), &cut),
              (Entries{"a=1", "b=2"}));
    EXPECT_TRUE(cut);
    EXPECT_EQ(splitLines(std::string("a=1\r\n\0b", 7), &cut), (Entries{"a=1"}));
    EXPECT_TRUE(cut);
    bool complete = true;
    EXPECT_EQ(decodePhraseList(std::string("x\0", 2), &complete), Entries{"x"});
    EXPECT_FALSE(complete);
    EXPECT_EQ(decodePhraseList("x\r\ny", &complete), (Entries{"x", "y"}));
    EXPECT_TRUE(complete);
}

TEST(PhraseFile, RoundTripsTextInManyScripts) {
    const Entries entries = {
        "Hallo=Grüß Gott, schön dass Sie da sind!",
        "Καλημέρα=Γεια σας",
        "Привет=Здравствуйте",
        "你好=欢迎光临",
        "مرحبا=أهلا وسهلا",
        "नमस्ते=स्वागत है",
        "emoji 😀=🎉 🙂 𝄞",
        "a=b=c",
        "",
        "=",
        "ohne Gleichheitszeichen",
    };
    bool complete = false;
    EXPECT_EQ(decodePhraseList(encodePhraseList(entries), &complete), entries);
    EXPECT_TRUE(complete);
}

TEST(PhraseFile, LargeListsAndLongLinesRoundTrip) {
    Entries entries;
    for (int i = 0; i < 100000; ++i) entries.push_back(format("k%d=Phrase %d", i, i));
    entries.push_back(std::string("long=").append(64 * 1024, 'x'));
    EXPECT_EQ(decodePhraseList(encodePhraseList(entries)), entries);
}

TEST(Entries, KeywordAndPhraseSplitAtTheFirstEqualsSign) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"a=b", "a", "b"}, {"a=b=c", "a", "b=c"}, {"Hallo", "", "Hallo"},
        {"=x", "", "x"},   {"x=", "x", ""},       {"", "", ""},
    };
    for (const auto& [entry, keyword, phrase] : cases) {
        EXPECT_EQ(keywordOf(entry), keyword) << entry;
        EXPECT_EQ(phraseOf(entry), phrase) << entry;
    }
    EXPECT_TRUE(isEmptyEntry(""));
    EXPECT_TRUE(isEmptyEntry("="));
    EXPECT_FALSE(isEmptyEntry("=="));
    EXPECT_FALSE(isEmptyEntry(" "));
}

TEST(Entries, ACellTextReplacesItsPartAndAKeywordRefusesEqualsSigns) {
    EXPECT_EQ(withCellText("Hallo", 1, "Hi"), "=Hi");
    EXPECT_EQ(withCellText("Hallo", 0, "x"), "x=Hallo");
    EXPECT_EQ(withCellText("a=b=c", 1, "d"), "a=d");
    EXPECT_EQ(withCellText("a=b=c", 0, "k"), "k=b=c");
    EXPECT_EQ(withCellText("a=b", 1, "x=y"), "a=x=y");
    try {
        withCellText("a=b", 0, "a=");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "Key may not contain equals sign (\"=\")");
    }
    EXPECT_EQ(withoutLineBreaks("a\r\nb\nc\rd\n\re"), "a b c d  e");
}
