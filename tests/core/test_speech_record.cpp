#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/speech_record.h"
#include "tests/support/files.h"

namespace {
SpeechSource said(const std::string& phrase, const std::string& voice = "V", int rate = 0,
                  int volume = 100) {
    return {phrase, voice, rate, volume};
}
SpeechRecord madeOf(std::vector<std::pair<int, SpeechSource>> rows) {
    SpeechRecord r;
    for (auto& [n, s] : rows) r.rows[n] = s;
    return r;
}
}  // namespace

TEST(SpeechRecord, ReadsBackWhatItWritesAndSkipsWhatItCannotRead) {
    SpeechRecord record =
        madeOf({{0, said("Hallo!")}, {12, said("Tab\tin it = too", "Für Ü", -3, 40)}});
    record.voice = "English (America)";
    record.rate = 2;
    record.volume = 80;
    const std::string text = speechRecordText(record);
    EXPECT_EQ(text,
              "voice=English (America)\nrate=2\nvolume=80\n0\tV\t0\t100\tHallo!\n"
              "12\tFür Ü\t-3\t40\tTab\tin it = too\n");
    EXPECT_EQ(parseSpeechRecord(text), record);
    EXPECT_EQ(parseSpeechRecord("x\t\t\t\ty\n-1\tV\t0\t0\tp\n3\tV\tfast\t0\tp\nrate=quick\n"),
              SpeechRecord{});
    EXPECT_EQ(parseSpeechRecord("4\tV\t0\t100\tp\r\n").rows.at(4).phrase, "p");
}

TEST(SpeechRecord, EachRowIsCurrentStaleOrMissingAsTheListStands) {
    const SpeechRecord record =
        madeOf({{0, said("a")}, {1, said("b")}, {2, said("c")}, {5, said("x")}});
    const auto states = [&](std::vector<SpeechSource> wanted) { return rowSpeech(record, wanted); };
    using R = RowSpeech;
    EXPECT_EQ(states({said("a"), said("b"), said("c")}),
              (std::vector<R>{R::kCurrent, R::kCurrent, R::kCurrent}));
    EXPECT_EQ(states({said("a"), said("B"), said("c"), said("d")}),
              (std::vector<R>{R::kCurrent, R::kStale, R::kCurrent, R::kMissing}));
    EXPECT_EQ(states({said("a", "W"), said("b", "V", 1), said("c", "V", 0, 99)}),
              (std::vector<R>{R::kStale, R::kStale, R::kStale}));
    EXPECT_EQ(countSpeech(states({said("a"), said("B"), said("c"), said("d")})).needed(), 2);
}

TEST(SpeechRecord, RowsThatOnlyMovedTakeTheirFilesAlong) {
    const SpeechRecord record =
        madeOf({{0, said("a")}, {1, said("b")}, {2, said("c")}, {3, said("d")}, {7, said("old")}});
    using M = std::vector<SpeechMove>;
    const auto moves = [&](std::vector<std::string> list, const std::string& voice = "V") {
        std::vector<SpeechSource> wanted;
        for (const auto& p : list) wanted.push_back(said(p, voice));
        return planSpeechMoves(record, wanted);
    };
    EXPECT_EQ(moves({"a", "b", "c", "d"}), M{});
    EXPECT_EQ(moves({"a", "c", "d"}), (M{{2, 1}, {3, 2}}));                      // "b" deleted
    EXPECT_EQ(moves({"a", "new", "b", "c", "d"}), (M{{1, 2}, {2, 3}, {3, 4}}));  // inserted
    EXPECT_EQ(moves({"b", "a", "c", "d"}), (M{{1, 0}, {0, 1}}));                 // swapped
    EXPECT_EQ(moves({"a", "b", "c", "d", "old"}), (M{{7, 4}}));                  // beyond the end
    EXPECT_EQ(moves({"a", "a", "c", "d"}), M{});  // row 0 still needs its files
    EXPECT_EQ(moves({"a", "c", "d"}, "W"), M{});  // another voice: nothing fits
}

TEST(SpeechRecord, MovedFilesLandUnderTheirNewRowsAndTheRecordFollows) {
    TempDir dir;
    SpeechRecord record = madeOf({{0, said("a")}, {1, said("b")}, {2, said("c")}});
    for (const char* n : {"0", "1", "2"})
        for (const char* kind : {".mp3", ".txt"})
            writeFile(dir.path() + n + kind, std::string(n) + kind);
    moveSpeechFiles(dir.path(), {{1, 0}, {0, 1}, {2, 5}}, record);
    EXPECT_EQ(readFile(dir.path() + "0.mp3"), "1.mp3");
    EXPECT_EQ(readFile(dir.path() + "1.txt"), "0.txt");
    EXPECT_EQ(readFile(dir.path() + "5.mp3"), "2.mp3");
    EXPECT_FALSE(exists(dir.path() + "2.mp3"));
    EXPECT_FALSE(exists(dir.path() + ".speech-moves"));
    const SpeechRecord moved = madeOf({{0, said("b")}, {1, said("a")}, {5, said("c")}});
    EXPECT_EQ(record, moved);
    EXPECT_EQ(parseSpeechRecord(readFile(dir.path() + "speech.txt")), moved);

    std::remove((dir.path() + "5.txt").c_str());
    dropRowsWithoutFiles(dir.path(), record);
    EXPECT_EQ(record, madeOf({{0, said("b")}, {1, said("a")}}));
}

// The program killed at every step of a move (a row deleted above six rows, or one inserted):
// at the next load the move is finished, every row's files are the ones its record names, and no
// temporary file stays.
TEST(SpeechRecord, AMoveCutShortAtAnyStepIsFinishedAtTheNextLoad) {
    const std::vector<std::pair<const char*, std::vector<SpeechMove>>> plans = {
        {"row 0 deleted", {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}}},
        {"a row inserted at 0", {{5, 6}, {4, 5}, {3, 4}, {2, 3}, {1, 2}, {0, 1}}},
    };
    for (const auto& [what, moves] : plans) {
        // The steps: the journal, the files to their temporary names, the journal again, the
        // files to their rows, the record. Killed after each of them, or not at all.
        const size_t steps = 1 + 2 * moves.size() + 1 + 2 * moves.size() + 1;
        for (size_t kill = 1; kill <= steps + 1; ++kill) {
            SCOPED_TRACE(std::string(what) + ", killed after step " + std::to_string(kill));
            TempDir dir;
            SpeechRecord record;
            for (int n = 0; n < 6; ++n) {
                record.rows[n] = said("phrase " + std::to_string(n));
                for (const char* kind : {".mp3", ".txt"})
                    writeFile(dir.path() + std::to_string(n) + kind, "phrase " + std::to_string(n));
            }
            writeFile(dir.path() + "speech.txt", speechRecordText(record));
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                size_t done = 0;
                SpeechRecord mine = record;
                moveSpeechFiles(dir.path(), moves, mine, [&] {
                    if (++done == kill) ::kill(::getpid(), SIGKILL);
                });
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            std::optional<SpeechRecord> finished = finishSpeechMoves(dir.path());
            EXPECT_EQ(finished.has_value(), kill <= steps);
            SpeechRecord now =
                finished ? *finished : parseSpeechRecord(readFile(dir.path() + "speech.txt"));
            dropRowsWithoutFiles(dir.path(), now);
            // Once its journal is written, the move is complete.
            SpeechRecord after = record;
            for (const SpeechMove& m : moves) after.rows.erase(m.from);
            for (const SpeechMove& m : moves) after.rows[m.to] = record.rows.at(m.from);
            EXPECT_EQ(now, after);
            EXPECT_EQ(parseSpeechRecord(readFile(dir.path() + "speech.txt")), after);
            for (const auto& [n, source] : now.rows)
                for (const char* kind : {".mp3", ".txt"})
                    EXPECT_EQ(readFile(dir.path() + std::to_string(n) + kind), source.phrase) << n;
            for (const std::string& name : listFolder(dir.path()))
                EXPECT_TRUE(name[0] != '.') << name;
        }
    }
}

TEST(SpeechRecord, TheWaveFilesOfAStoppedGenerationAreRemovedAndNothingElse) {
    TempDir dir;
    for (const char* name : {"0.wav", "12.wav", "3.mp3", "3.txt", "intro.wav", "0.wav.bak"})
        writeFile(dir.path() + name, "x");
    ::symlink("/etc/hostname", (dir.path() + "7.wav").c_str());
    removeLeftoverWaves(dir.path());
    EXPECT_EQ(listFolder(dir.path()),
              (std::vector<std::string>{"0.wav.bak", "3.mp3", "3.txt", "intro.wav"}));
}

TEST(SpeechRecord, TheCountSaysWhatNeedsToBeMade) {
    const std::pair<SpeechCount, std::string> cases[] = {
        {{0, 0}, "All 5 phrases have their speech."},
        {{1, 0}, "1 phrase of 5 needs its speech made: 1 has none."},
        {{2, 3}, "5 phrases of 5 need their speech made: 2 have none, 3 are out of date."},
        {{0, 1}, "1 phrase of 5 needs its speech made: 1 is out of date."},
    };
    for (const auto& [count, text] : cases) EXPECT_EQ(speechCountText(count, 5), text);
    EXPECT_EQ(speechCountText({}, 0), "The bot has no phrases yet.");
    EXPECT_EQ(speechCountText({}, 1), "The phrase has its speech.");
}
