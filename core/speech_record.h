#pragma once

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

// Carries the moves out in the bot folder `folder` (ending with "/"): each source's n.mp3 and
// n.txt go first to a temporary name, then to their row, over what stood there; the record
// follows. A file that cannot be moved leaves its row without speech in the record.
void applySpeechMoves(const std::string& folder, const std::vector<SpeechMove>& moves,
                      SpeechRecord& record);

// Drops from the record the rows whose n.mp3 or n.txt is not in the folder.
void dropRowsWithoutFiles(const std::string& folder, SpeechRecord& record);
