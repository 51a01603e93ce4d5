// What the selected bot's speech files were made from: kept in step with the phrase list, shown
// on the grid and counted on the Speech and Publish pages; the bot's own voice, rate and volume.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include "core/fileio.h"
#include "core/phrase_file.h"
#include "core/speech_record.h"
#include "core/text16.h"
#include "core/workspace_paths.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/bot_speech.h"
#include "gui/generation.h"
#include "gui/main.h"
#include "gui/value_list_editor.h"

namespace {
// The description of the voice that the engine speaks with now.
std::string voiceNow(const TSpVoice* voice) {
    const Ref<ISpeechObjectToken> token = voice->Voice();
    return token ? toUtf8(token->GetDescription(0)) : std::string();
}
}  // namespace

void TfrmTextToSpeech::LoadBotSpeech() {
    BotSpeech1->writtenPending = BotSpeech1->relinkPending = false;
    BotSpeech1->bot = botName();
    BotSpeech1->record = {};
    BotSpeech1->pronunciations = {};
    BotSpeech1->written = ValueListEditor1->Strings();
    // A generation's status belongs to the bot it was for.
    LabelStatus->clear();
    LabelStatusText->hide();
    if (ComboBoxBots->currentIndex() < 0) return;
    try {
        // A move of the files that was cut short is finished first; it writes the record.
        if (auto finished = finishSpeechMoves(botFolder(BotSpeech1->bot))) {
            BotSpeech1->record = std::move(*finished);
        } else {
            const std::string path = speechRecordPath(BotSpeech1->bot);
            if (filePresent(path)) BotSpeech1->record = parseSpeechRecord(ReadFileText(path));
        }
    } catch (const std::exception&) {
        // A record that cannot be read: the speech counts as not made, and is made anew.
    }
    dropRowsWithoutFiles(botFolder(BotSpeech1->bot), BotSpeech1->record);
    // A list of pronunciations that cannot be read is told; the phrases are spoken as written.
    runReported([this] { LoadPronunciations(); });

    // The bot speaks with its own voice, or with the one that start-up chose.
    const SpeechRecord& r = BotSpeech1->record;
    BotSpeech1->applying = true;
    struct Done {
        BotSpeech* speech;
        ~Done() { speech->applying = false; }
    } done{BotSpeech1};
    int row = BotSpeech1->startVoiceRow;
    if (r.voice)
        for (int i = 0; i < ListBoxVoices->count(); ++i)
            if (ListBoxVoices->item(i)->text().toStdString() == *r.voice) row = i;
    if (row >= 0 && row < ListBoxVoices->count() && row != ListBoxVoices->currentRow()) {
        {
            const QSignalBlocker blocker(ListBoxVoices);
            ListBoxVoices->setCurrentRow(row);
        }
        ListBoxVoicesClick(ListBoxVoices);
    }
    tbRate->setValue(r.rate.value_or(BotSpeech1->startRate));
    tbVolume->setValue(r.volume.value_or(BotSpeech1->startVolume));
}

void TfrmTextToSpeech::SaveBotSpeech() {
    if (BotSpeech1->bot.empty()) return;
    WriteFileText(speechRecordPath(BotSpeech1->bot), speechRecordText(BotSpeech1->record));
}

void TfrmTextToSpeech::rememberBotVoice() {
    if (BotSpeech1->applying || BotSpeech1->bot.empty() || BotSpeech1->bot != botName()) return;
    SpeechRecord& r = BotSpeech1->record;
    const QListWidgetItem* item = ListBoxVoices->currentItem();
    const std::optional<std::string> voice =
        item ? std::optional(item->text().toStdString()) : std::nullopt;
    if (r.voice == voice && r.rate == tbRate->value() && r.volume == tbVolume->value()) return;
    r.voice = voice;
    r.rate = tbRate->value();
    r.volume = tbVolume->value();
    // The marks and counts follow the new voice whether or not the record can be written.
    BotSpeech1->update.start();
    SaveBotSpeech();
}

void TfrmTextToSpeech::phraseListWritten(const std::vector<std::string>&) {
    if (BotSpeech1->bot != botName()) return;
    // The list is taken from the grid when the update runs, which is at once after this
    // keystroke: a keystroke costs no copy of a long list.
    BotSpeech1->writtenPending = true;
    BotSpeech1->relinkPending = true;
    BotSpeech1->update.start();
}

SpeechSource TfrmTextToSpeech::speechSourceFor(const std::string& phrase) const {
    return {phrase, voiceNow(SpVoice), SpVoice->Rate(), SpVoice->Volume()};
}

std::vector<SpeechSource> TfrmTextToSpeech::wantedSpeech() const {
    const SpeechSource now = speechSourceFor({});
    std::vector<SpeechSource> wanted(BotSpeech1->written.size(), now);
    for (size_t n = 0; n < wanted.size(); ++n)
        wanted[n].phrase = spokenPhrase(trimmed(phraseOf(BotSpeech1->written[n])));
    return wanted;
}

void TfrmTextToSpeech::relinkSpeechFiles() {
    takeWrittenList();
    BotSpeech1->relinkPending = false;
    if (BotSpeech1->bot.empty() || SpeechGeneration1->Running) return;
    const std::vector<SpeechMove> moves = planSpeechMoves(BotSpeech1->record, wantedSpeech());
    moveSpeechFiles(botFolder(BotSpeech1->bot), moves, BotSpeech1->record);
}

void TfrmTextToSpeech::takeWrittenList() {
    if (!BotSpeech1->writtenPending) return;
    BotSpeech1->written = ValueListEditor1->Strings();
    BotSpeech1->writtenPending = false;
}

void TfrmTextToSpeech::updateSpeechState() {
    if (ComboBoxBots->currentIndex() < 0 || BotSpeech1->bot != botName()) return;
    takeWrittenList();
    // The marks are shown whether or not the files could be moved (a full disk); the error
    // comes after them.
    std::exception_ptr failure;
    if (BotSpeech1->relinkPending && !SpeechGeneration1->Running) {
        try {
            relinkSpeechFiles();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // Each row of the grid as it stands, against the files of its row number: a row whose text
    // has not reached the phrase list file (a write that failed) is not shown as made from it.
    const std::vector<RowSpeech> rows = rowSpeech(BotSpeech1->record, gridSpeech());
    std::vector<RowMark> marks;
    marks.reserve(rows.size());
    for (const RowSpeech r : rows)
        marks.push_back(r == RowSpeech::kCurrent   ? RowMark::kNone
                        : r == RowSpeech::kMissing ? RowMark::kMissing
                                                   : RowMark::kStale);
    ValueListEditor1->setRowMarks(std::move(marks));
    const SpeechCount count = countSpeech(rows);
    const QString text =
        QString::fromStdString(speechCountText(count, static_cast<int>(rows.size())));
    LabelSpeechState->setText(text);
    LabelPublishSpeechState->setText(text);
    ButtonGenerateChanged->setEnabled(count.needed() > 0 && !SpeechGeneration1->Running);
    if (failure) std::rethrow_exception(failure);
}

std::vector<SpeechSource> TfrmTextToSpeech::gridSpeech() const {
    const std::vector<std::string>& entries = ValueListEditor1->Strings();
    std::vector<SpeechSource> wanted(entries.size(), speechSourceFor({}));
    for (size_t n = 0; n < wanted.size(); ++n)
        wanted[n].phrase = spokenPhrase(trimmed(phraseOf(entries[n])));
    return wanted;
}

std::vector<int> TfrmTextToSpeech::rowsNeedingSpeech() const {
    // The grid as it stands now is what a generation reads, row by row.
    const std::vector<RowSpeech> rows = rowSpeech(BotSpeech1->record, gridSpeech());
    std::vector<int> needed;
    for (size_t n = 0; n < rows.size(); ++n)
        if (rows[n] != RowSpeech::kCurrent) needed.push_back(static_cast<int>(n));
    return needed;
}

void TfrmTextToSpeech::recordRowSpeech(int n, const SpeechSource& source, bool made) {
    // The files are made in the folder of the bot named in the bot box; a record loaded for
    // another bot (none shown, or its phrase list could not be read) is not theirs.
    if (BotSpeech1->bot.empty() || BotSpeech1->bot != botName()) return;
    if (made)
        BotSpeech1->record.rows[n] = source;
    else
        BotSpeech1->record.rows.erase(n);
    // A record that cannot be written ends the generation with its error: what it says is
    // what the bot's files are taken for at the next start.
    SaveBotSpeech();
}

void TfrmTextToSpeech::forgetRowSpeech(int n) {
    // Before a row's files are made anew, the record no longer says what they were made from:
    // should the program be stopped half-way, the row counts as not made, and no cut-off file
    // is taken for its speech.
    if (BotSpeech1->bot.empty() || BotSpeech1->bot != botName()) return;
    if (BotSpeech1->record.rows.erase(n) > 0) SaveBotSpeech();
}
