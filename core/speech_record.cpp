#include "core/speech_record.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <unordered_map>

#include "core/catalogue.h"
#include "core/errors.h"
#include "core/fileio.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::optional<int> number(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    size_t used = 0;
    try {
        const int n = std::stoi(text, &used);
        if (used == text.size()) return n;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The fields of a row line: n, voice, rate, volume, phrase (the rest of the line).
bool parseRow(const std::string& line, int& n, SpeechSource& source) {
    std::vector<std::string> fields;
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t tab = line.find('\t', at);
        if (tab == std::string::npos) return false;
        fields.push_back(line.substr(at, tab - at));
        at = tab + 1;
    }
    const auto row = number(fields[0]), rate = number(fields[2]), volume = number(fields[3]);
    if (!row || *row < 0 || !rate || !volume) return false;
    n = *row;
    source = {line.substr(at), fields[1], *rate, *volume};
    return true;
}

std::string key(const SpeechSource& s) {
    return s.voice + '\t' + std::to_string(s.rate) + '\t' + std::to_string(s.volume) + '\t' +
           s.phrase;
}

}  // namespace

std::string speechRecordText(const SpeechRecord& record) {
    std::string text;
    if (record.voice) text += "voice=" + *record.voice + "\n";
    if (record.rate) text += "rate=" + std::to_string(*record.rate) + "\n";
    if (record.volume) text += "volume=" + std::to_string(*record.volume) + "\n";
    for (const auto& [n, s] : record.rows)
        text += std::to_string(n) + '\t' + s.voice + '\t' + std::to_string(s.rate) + '\t' +
                std::to_string(s.volume) + '\t' + s.phrase + '\n';
    return text;
}

SpeechRecord parseSpeechRecord(const std::string& text) {
    SpeechRecord record;
    for (std::string line : linesOf(text)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("voice=", 0) == 0) {
            record.voice = line.substr(6);
        } else if (line.rfind("rate=", 0) == 0) {
            record.rate = number(line.substr(5));
        } else if (line.rfind("volume=", 0) == 0) {
            record.volume = number(line.substr(7));
        } else {
            int n = 0;
            SpeechSource source;
            if (parseRow(line, n, source)) record.rows[n] = std::move(source);
        }
    }
    return record;
}

std::vector<RowSpeech> rowSpeech(const SpeechRecord& record,
                                 const std::vector<SpeechSource>& wanted) {
    std::vector<RowSpeech> rows(wanted.size(), RowSpeech::kMissing);
    for (const auto& [n, made] : record.rows) {
        if (n < 0 || static_cast<size_t>(n) >= wanted.size()) continue;
        rows[static_cast<size_t>(n)] =
            made == wanted[static_cast<size_t>(n)] ? RowSpeech::kCurrent : RowSpeech::kStale;
    }
    return rows;
}

SpeechCount countSpeech(const std::vector<RowSpeech>& rows) {
    SpeechCount count;
    for (const RowSpeech r : rows) {
        if (r == RowSpeech::kMissing) ++count.missing;
        if (r == RowSpeech::kStale) ++count.stale;
    }
    return count;
}

std::string speechCountText(const SpeechCount& count, int rows) {
    if (rows == 0) return "The bot has no phrases yet.";
    if (count.needed() == 0)
        return rows == 1 ? "The phrase has its speech."
                         : format("All %d phrases have their speech.", rows);
    const auto phrases = [](int n) { return format(n == 1 ? "%d phrase" : "%d phrases", n); };
    std::string text = format("%s of %d need%s speech made: ", phrases(count.needed()).c_str(),
                              rows, count.needed() == 1 ? "s its" : " their");
    if (count.missing > 0)
        text += format("%d %s none", count.missing, count.missing == 1 ? "has" : "have");
    if (count.missing > 0 && count.stale > 0) text += ", ";
    if (count.stale > 0)
        text += format("%d %s out of date", count.stale, count.stale == 1 ? "is" : "are");
    return text + ".";
}

std::vector<SpeechMove> planSpeechMoves(const SpeechRecord& record,
                                        const std::vector<SpeechSource>& wanted) {
    const std::vector<RowSpeech> state = rowSpeech(record, wanted);
    // The files that their own row does not need, by what they were made from.
    std::unordered_map<std::string, std::vector<int>> free;
    for (const auto& [n, made] : record.rows) {
        const bool needed = n >= 0 && static_cast<size_t>(n) < wanted.size() &&
                            state[static_cast<size_t>(n)] == RowSpeech::kCurrent;
        if (!needed) free[key(made)].push_back(n);
    }
    std::vector<SpeechMove> moves;
    if (free.empty()) return moves;
    for (size_t n = 0; n < wanted.size(); ++n) {
        if (state[n] == RowSpeech::kCurrent) continue;
        const auto it = free.find(key(wanted[n]));
        if (it == free.end() || it->second.empty()) continue;
        // The nearest source first: a row that moved by one takes the files beside it.
        auto& sources = it->second;
        size_t best = 0;
        for (size_t i = 1; i < sources.size(); ++i)
            if (std::abs(sources[i] - static_cast<int>(n)) <
                std::abs(sources[best] - static_cast<int>(n)))
                best = i;
        moves.push_back({sources[best], static_cast<int>(n)});
        sources.erase(sources.begin() + static_cast<ptrdiff_t>(best));
    }
    return moves;
}

namespace {

constexpr const char* kKinds[] = {".mp3", ".txt"};
constexpr const char* kJournal = ".speech-moves";
constexpr const char* kRecord = "speech.txt";

std::string rowFile(const std::string& folder, int n, const char* kind) {
    return folder + std::to_string(n) + kind;
}
std::string movingFile(const std::string& folder, int n, const char* kind) {
    return folder + ".moving-" + std::to_string(n) + kind;
}
bool entryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The record once every move has been made.
SpeechRecord recordAfter(const std::vector<SpeechMove>& moves, const SpeechRecord& record) {
    SpeechRecord after = record;
    for (const SpeechMove& m : moves) after.rows.erase(m.from);
    for (const SpeechMove& m : moves) after.rows[m.to] = record.rows.at(m.from);
    return after;
}

}  // namespace

std::string speechMovesText(int phase, const std::vector<SpeechMove>& moves,
                            const SpeechRecord& after) {
    std::string text = "phase=" + std::to_string(phase) + "\n";
    for (const SpeechMove& m : moves)
        text += "move=" + std::to_string(m.from) + "\t" + std::to_string(m.to) + "\n";
    return text + speechRecordText(after);
}

std::optional<SpeechMovesJournal> parseSpeechMoves(const std::string& text) {
    SpeechMovesJournal journal;
    std::string rest;
    bool phased = false;
    for (const std::string& line : linesOf(text)) {
        if (line.rfind("phase=", 0) == 0) {
            const auto phase = number(line.substr(6));
            if (!phase || (*phase != 1 && *phase != 2)) return std::nullopt;
            journal.phase = *phase;
            phased = true;
        } else if (line.rfind("move=", 0) == 0) {
            const size_t tab = line.find('\t');
            const auto from = number(line.substr(5, tab == std::string::npos ? 0 : tab - 5));
            const auto to = tab == std::string::npos ? std::nullopt : number(line.substr(tab + 1));
            if (!from || !to || *from < 0 || *to < 0) return std::nullopt;
            journal.moves.push_back({*from, *to});
        } else {
            rest += line + "\n";
        }
    }
    if (!phased) return std::nullopt;
    journal.after = parseSpeechRecord(rest);
    return journal;
}

void moveSpeechFiles(const std::string& folder, const std::vector<SpeechMove>& moves,
                     SpeechRecord& record, const std::function<void()>& afterStep) {
    if (moves.empty()) return;
    const auto step = [&] {
        if (afterStep) afterStep();
    };
    SpeechRecord after = recordAfter(moves, record);
    const std::string journal = folder + kJournal;
    WriteFileText(journal, speechMovesText(1, moves, after));
    step();
    std::set<int> failed;  // the moves whose files could not go to their temporary names
    for (const SpeechMove& m : moves)
        for (const char* kind : kKinds) {
            if (std::rename(rowFile(folder, m.from, kind).c_str(),
                            movingFile(folder, m.from, kind).c_str()) != 0)
                failed.insert(m.to);
            step();
        }
    for (const int to : failed) after.rows.erase(to);
    try {
        WriteFileText(journal, speechMovesText(2, moves, after));
    } catch (...) {
        // Nothing has reached a row yet: every file goes back to where it was.
        for (const SpeechMove& m : moves)
            for (const char* kind : kKinds)
                std::rename(movingFile(folder, m.from, kind).c_str(),
                            rowFile(folder, m.from, kind).c_str());
        ::unlink(journal.c_str());
        throw;
    }
    step();
    for (const SpeechMove& m : moves)
        for (const char* kind : kKinds) {
            if (std::rename(movingFile(folder, m.from, kind).c_str(),
                            rowFile(folder, m.to, kind).c_str()) != 0)
                after.rows.erase(m.to);
            step();
        }
    record = after;
    WriteFileText(folder + kRecord, speechRecordText(record));
    step();
    ::unlink(journal.c_str());
}

std::optional<SpeechRecord> finishSpeechMoves(const std::string& folder) {
    const std::string journal = folder + kJournal;
    if (!entryExists(journal)) return std::nullopt;
    std::optional<SpeechMovesJournal> j;
    try {
        j = parseSpeechMoves(ReadFileText(journal));
    } catch (const std::exception&) {
    }
    if (!j) {
        ::unlink(journal.c_str());  // no journal of ours: nothing can be finished from it
        return std::nullopt;
    }
    // Cut short in the first half: the sources that have not gone yet go now (no row has been
    // written over, so every source file still is what it was).
    if (j->phase == 1)
        for (const SpeechMove& m : j->moves)
            for (const char* kind : kKinds)
                if (!entryExists(movingFile(folder, m.from, kind)))
                    std::rename(rowFile(folder, m.from, kind).c_str(),
                                movingFile(folder, m.from, kind).c_str());
    // Then each file still under its temporary name goes to its row; a row that then lacks a
    // file is dropped from the record when it is loaded.
    for (const SpeechMove& m : j->moves)
        for (const char* kind : kKinds)
            if (entryExists(movingFile(folder, m.from, kind)) &&
                std::rename(movingFile(folder, m.from, kind).c_str(),
                            rowFile(folder, m.to, kind).c_str()) != 0)
                j->after.rows.erase(m.to);
    try {
        WriteFileText(folder + kRecord, speechRecordText(j->after));
        ::unlink(journal.c_str());
    } catch (const std::exception&) {
        // The record cannot be written now: the journal stays, and the next load tries again.
    }
    return j->after;
}

void removeLeftoverWaves(const std::string& folder) {
    for (const std::string& name : listCatalogue(folder, kFileMask | attr::kReparsePoint)) {
        const std::string digits = name.size() > 4 && name.ends_with(".wav")
                                       ? name.substr(0, name.size() - 4)
                                       : std::string();
        if (!digits.empty() && digits.size() <= 10 &&
            digits.find_first_not_of("0123456789") == std::string::npos)
            ::unlink((folder + name).c_str());
    }
}

void dropRowsWithoutFiles(const std::string& folder, SpeechRecord& record) {
    const std::vector<std::string> names = listCatalogue(folder, kFileMask);
    const std::set<std::string> present(names.begin(), names.end());
    for (auto it = record.rows.begin(); it != record.rows.end();) {
        const std::string n = std::to_string(it->first);
        if (present.count(n + ".mp3") && present.count(n + ".txt"))
            ++it;
        else
            it = record.rows.erase(it);
    }
}
