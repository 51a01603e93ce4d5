#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What each phrase row's speech (n.mp3 and n.txt) was made from, and the voice the bot speaks
// with, kept in the bot folder in speech.txt beside the files that the web player reads:
//   voice=<description>        the bot's voice, rate and volume, when the user chose them
//   rate=<-10..10>
//   volume=<0..100>
//   <n>\t<voice>\t<rate>\t<volume>\t<phrase>   one line per row whose speech was made
// Lines end with LF; the file is UTF-8 as the window's text is.

// What the speech of a row was made from: the phrase as it was spoken (trimmed) and the voice.
struct SpeechSource {
    std::string phrase;
    std::string voice;  // the voice's description
    int rate = 0;
    int volume = 100;
    bool operator==(const SpeechSource&) const = default;
};

struct SpeechRecord {
    std::optional<std::string> voice;
    std::optional<int> rate, volume;
    std::map<int, SpeechSource> rows;  // row index -> what its files were made from
    bool operator==(const SpeechRecord&) const = default;
};

std::string speechRecordText(const SpeechRecord& record);
// Lines that cannot be read are skipped.
SpeechRecord parseSpeechRecord(const std::string& text);

// The speech of a row, as the phrase list stands: made from what the row says now, made from
// something else (out of date), or not made at all.
enum class RowSpeech { kCurrent, kStale, kMissing };

// The state of each row of `wanted` (what each row would be made from now).
std::vector<RowSpeech> rowSpeech(const SpeechRecord& record,
                                 const std::vector<SpeechSource>& wanted);

// How many rows need their speech made: none yet, or out of date.
struct SpeechCount {
    int missing = 0, stale = 0;
    int needed() const { return missing + stale; }
};
SpeechCount countSpeech(const std::vector<RowSpeech>& rows);
// The line that says so: "All 5 phrases have their speech.", "2 of 5 phrases need their speech
// made: 1 has none, 1 is out of date." ...
std::string speechCountText(const SpeechCount& count, int rows);

// A row's files that stand under another row number: moved there instead of made anew.
struct SpeechMove {
    int from, to;
    bool operator==(const SpeechMove&) const = default;
};
// The moves that give rows of `wanted` whose speech is not current the files of another row that
// were made from just what they want, when that row does not need them itself (it says
// something else now, or lies beyond the end of the list). Each source serves one row.
std::vector<SpeechMove> planSpeechMoves(const SpeechRecord& record,
                                        const std::vector<SpeechSource>& wanted);

// Carries the moves out in the bot folder `folder` (ending with "/") and writes its record
// (speech.txt). Each source's n.mp3 and n.txt go first to a temporary name (.moving-n.mp3),
// then to their row, over what stood there; the record follows. A file that cannot be moved
// leaves its row without speech in the record. A journal (.speech-moves) with the moves and the
// record as it will stand is written before the first file moves and removed after the record:
// a move cut short (the program killed, the computer off) is finished from it by
// finishSpeechMoves. Raises the write errors of WriteFileText: when the journal cannot be
// written, nothing has moved; when the record cannot be, the journal stays for the next load.
// `afterStep` runs after each step that changes the folder (the tests end the process there).
void moveSpeechFiles(const std::string& folder, const std::vector<SpeechMove>& moves,
                     SpeechRecord& record, const std::function<void()>& afterStep = {});

// Finishes a move of the bot folder that was cut short, from its journal, and writes the record
// as the move leaves it. Returns that record, or nothing when there was no journal to finish.
std::optional<SpeechRecord> finishSpeechMoves(const std::string& folder);

// The journal's text: the phase (1: the files go to their temporary names, 2: to their rows),
// the moves, and the record once they are done.
std::string speechMovesText(int phase, const std::vector<SpeechMove>& moves,
                            const SpeechRecord& after);
// Nothing when the text is no journal.
struct SpeechMovesJournal {
    int phase = 1;
    std::vector<SpeechMove> moves;
    SpeechRecord after;
};
std::optional<SpeechMovesJournal> parseSpeechMoves(const std::string& text);

// Removes the WAV files of phrase rows (n.wav) that a generation stopped half-way left in the
// bot folder.
void removeLeftoverWaves(const std::string& folder);

// Drops from the record the rows whose n.mp3 or n.txt is not in the folder.
void dropRowsWithoutFiles(const std::string& folder, SpeechRecord& record);
