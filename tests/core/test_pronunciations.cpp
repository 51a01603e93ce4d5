#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/errors.h"
#include "core/pronunciations.h"
#include "tests/support/files.h"

namespace {

using namespace std::string_literals;
using List = PronunciationList;
using Problems = std::vector<std::string>;

const List kExample = {{"GmbH", "Gesellschaft mit beschränkter Haftung"},
                       {"Parlomat", "Parlo maht"},
                       {"km/h", "Kilometer pro Stunde"}};

}  // namespace

TEST(SpokenText, ReplacesWholeWordsByTheirRules) {
    struct Case {
        List list;
        std::string phrase, spoken;
    };
    const Case cases[] = {
        {kExample, "Die Parlomat GmbH hilft.",
         "Die Parlo maht Gesellschaft mit beschränkter Haftung hilft."},
        // Never inside a longer word, on either side.
        {kExample, "Parlomaten, GmbHs, XGmbH, 50km/h, km/hx",
         "Parlomaten, GmbHs, XGmbH, 50km/h, km/hx"},
        {kExample, "50 km/h.", "50 Kilometer pro Stunde."},
        // Punctuation and quotes around a word stay.
        {kExample, "(GmbH), „Parlomat“! Parlomat's",
         "(Gesellschaft mit beschränkter Haftung), "
         "„Parlo maht“! Parlo maht's"},
        // Case: ignored unless a capital follows the first letter.
        {kExample, "PARLOMAT parlomat GMBH gmbh", "Parlo maht Parlo maht GMBH gmbh"},
        {{{"US", "U S A"}}, "us, Us, US.", "us, Us, U S A."},
        {{{"iOS", "ei o es"}}, "iOS IOS ios", "ei o es IOS ios"},
        {{{"us", "uns"}, {"US", "U S A"}}, "us US", "uns U S A"},  // the exact case first
        // The longest written form first, wherever it stands in the list.
        {{{"New", "Nju"}, {"New York", "Nju Jork"}},
         "New York, New Jersey",
         "Nju Jork, Nju Jersey"},
        // One pass: a replacement is not searched again.
        {{{"a", "b"}, {"b", "c"}}, "a b", "b c"},
        // Written forms without letters at an end match beside a word.
        {{{"%", "Prozent"}, {"€", "Euro"}}, "5 %, 3€", "5 Prozent, 3Euro"},
        // Letters beyond ASCII: case, and what continues a word.
        {{{"Ärger", "Ärrger"}, {"Maß", "Mass"}},
         "ärger, Verärger, Maßband, MAß.",
         "Ärrger, Verärger, Maßband, Mass."},
        {{{"e", "E"}}, "e\xCC\x81 e", "e\xCC\x81 E"},  // a combining mark continues a word
        // Nothing to do, or nothing to match with.
        {kExample, "", ""},
        {{}, "GmbH", "GmbH"},
        {{{"", "x"}}, "GmbH", "GmbH"},
    };
    for (const Case& c : cases) EXPECT_EQ(spokenText(c.phrase, c.list), c.spoken) << c.phrase;
}

TEST(PronunciationsFile, WritesLinesWithCrLfAndReadsThemBack) {
    const List list = {{"GmbH", "Gesellschaft mit beschränkter Haftung"}, {"a", "b=c"}};
    const std::string bytes = encodePronunciations(list);
    EXPECT_EQ(bytes, "GmbH=Gesellschaft mit beschränkter Haftung\r\na=b=c\r\n");
    EXPECT_EQ(encodePronunciations({}), "");
    Problems problems = {"old"};
    EXPECT_EQ(decodePronunciations(bytes, &problems), list);
    EXPECT_EQ(problems, Problems{});
    // A byte-order mark, LF or CR breaks, blanks around the parts and empty lines are read.
    EXPECT_EQ(decodePronunciations("\xEF\xBB\xBF GmbH = Gesellschaft mit beschränkter Haftung\n"
                                   "\n  \r\na=b=c\r",
                                   &problems),
              list);
    EXPECT_EQ(problems, Problems{});
}

TEST(PronunciationsFile, EachBadLineIsLeftOutAndNamed) {
    Problems problems;
    const List list = decodePronunciations(
        "GmbH Gesellschaft\r\nok=fine\r\n =nothing\r\nFAQ=\r\nx=a\0b\r\nlast=one"s, &problems);
    EXPECT_EQ(list, (List{{"ok", "fine"}, {"last", "one"}}));
    EXPECT_EQ(problems,
              (Problems{"Line 1 was left out: it has no equals sign (\"=\") between a written and "
                        "a spoken form: \"GmbH Gesellschaft\"",
                        "Line 3 was left out: the written form is empty: \"=nothing\"",
                        "Line 4 was left out: the spoken form of \"FAQ\" is empty",
                        "Line 5 was left out: the spoken form of \"x\" may not contain a NUL "
                        "character"}));
}

TEST(PronunciationsFile, AnEntryThatWouldNotReadBackIsRefused) {
    const std::pair<Pronunciation, std::string> cases[] = {
        {{"GmbH", "Gesellschaft"}, ""},
        {{"a", "b=c"}, ""},
        {{"", "x"}, "The written form is empty"},
        {{" \t", "x"}, "The written form is empty"},
        {{"a=b", "x"}, "The written form \"a=b\" may not contain an equals sign (\"=\")"},
        {{"a\nb", "x"}, "The written form \"a b\" may not contain a line break"},
        {{"GmbH ", "x"}, "The written form \"GmbH \" may not begin or end with a blank"},
        {{"\xEF\xBB\xBFGmbH", "x"},
         "The written form \"\xEF\xBB\xBFGmbH\" may not begin or end with a blank"},
        {{"FAQ", ""}, "The spoken form of \"FAQ\" is empty"},
        {{"FAQ", "a\r\nb"}, "The spoken form of \"FAQ\" may not contain a line break"},
        {{"FAQ", " fak"}, "The spoken form of \"FAQ\" may not begin or end with a blank"},
    };
    for (const auto& [entry, problem] : cases) {
        EXPECT_EQ(pronunciationProblem(entry.written, entry.spoken), problem) << entry.written;
        const std::string error = problem.empty() ? "(no error)" : problem;
        EXPECT_EQ(errorMessageOf([&] { encodePronunciations({{"ok", "fine"}, entry}); }), error);
    }
    EXPECT_EQ(pronunciationProblem(std::string(100, 'x'), ""),
              "The spoken form of \"" + std::string(40, 'x') + "...\" is empty");
}

TEST(PronunciationsFile, ABotWithoutTheFileHasNoneAndAWrittenListStays) {
    TempDir bot;
    Problems problems = {"old"};
    EXPECT_EQ(readPronunciations(bot.path(), &problems), List{});
    EXPECT_EQ(problems, Problems{});
    EXPECT_EQ(writePronunciations(bot.path(), kExample), "");
    EXPECT_EQ(readFile(bot.path() + "pronunciations.txt"), encodePronunciations(kExample));
    EXPECT_EQ(readPronunciations(bot.path()), kExample);
    EXPECT_EQ(writePronunciations(bot.path(), {}), "");
    EXPECT_EQ(readFile(bot.path() + "pronunciations.txt"), "");
}

TEST(PronunciationsFile, WhatCannotBeReadIsAnErrorAndIsNeverWrittenOver) {
    TempDir bot;
    const std::string file = bot.path() + "pronunciations.txt";
    const auto readError = [&] { return errorMessageOf([&] { readPronunciations(bot.path()); }); };
    const auto writeError = [&] {
        return errorMessageOf([&] { writePronunciations(bot.path(), kExample); });
    };

    std::filesystem::create_directory(file);
    EXPECT_EQ(readError(), "Cannot open file \"" + file + "\". Is a directory");
    EXPECT_EQ(writeError(), "Cannot create file \"" + file + "\". Is a directory");
    std::filesystem::remove(file);

    writeFile(bot.path() + "elsewhere.txt", "a=b\r\n");
    ASSERT_EQ(::symlink("elsewhere.txt", file.c_str()), 0);
    EXPECT_EQ(readError(), "Cannot open file \"" + file +
                               "\". The file is a symbolic link, which is not followed");
    EXPECT_EQ(writeError(), "Cannot create file \"" + file +
                                "\". The file is a symbolic link, which is not written through");
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(readFile(bot.path() + "elsewhere.txt"), "a=b\r\n");
    std::filesystem::remove(file);

    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(readError(), "Cannot open file \"" + file + "\". The entry is not a regular file");
    EXPECT_EQ(writeError(), "Cannot create file \"" + file + "\". The entry is not a regular file");
    std::filesystem::remove(file);

    // A file that reads only in part, or not at all, goes to a backup before the first write.
    const std::string huge = std::string(kLargestPronunciationsFile - 4, 'x') + "=y\r\n" + "z";
    const std::string notUtf8 =
        "a=b\r\nc=d\nStra\xDF"
        "e=Strasse\r\n";
    const std::string leftOut = "ok=fine\r\nno equals sign\r\n";
    const std::pair<std::string, std::string> unreadable[] = {
        {huge, "Cannot open file \"" + file +
                   "\". The file holds 1048577 bytes, more than the "
                   "1 MiB that a list of pronunciations may hold"},
        {notUtf8, "Cannot open file \"" + file + "\". The file is not UTF-8 text (line 3)"},
        {leftOut, "(no error)"},
    };
    for (const auto& [bytes, error] : unreadable) {
        writeFile(file, bytes);
        EXPECT_EQ(readError(), error);
        EXPECT_EQ(writePronunciations(bot.path(), kExample), file + ".bak");
        EXPECT_EQ(readFile(file + ".bak"), bytes);
        EXPECT_EQ(readPronunciations(bot.path()), kExample);
        // A file that reads whole is simply replaced.
        EXPECT_EQ(writePronunciations(bot.path(), {{"a", "b"}}), "");
        std::filesystem::remove(file + ".bak");
    }
}
