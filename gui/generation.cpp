// "Generate Speech", "Play preview" and the MP3 encoder call of the main window.
#include "gui/generation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <map>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "core/dialogs.h"
#include "core/encoder.h"
#include "core/encoder_pool.h"
#include "core/errors.h"
#include "core/fileio.h"
#include "core/options_file.h"
#include "core/paths.h"
#include "core/phrase_file.h"
#include "core/progress.h"
#include "core/speech_record.h"
#include "core/text16.h"
#include "core/viseme_log.h"
#include "core/workspace_paths.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/bot_speech.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "gui/value_list_editor.h"

void createEmptyFile(const std::string& path) {
    clearForNewFile(path);
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) throw inOutError(errno);
    if (::close(fd) != 0) throw inOutError(errno);
}

namespace {

// Wakes the event loop from an encoder's thread, so that a wait for events sees that it ended.
void wakeEventLoop() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
}

// Whether each phrase is spoken aloud while it is made is remembered in the workspace.
constexpr const char* kSpeakAloudOption = "speakaloud";
constexpr const char* kStopping = "Stopping after this phrase...";

// While a generation runs, closing the window stops it after the phrase being made, and the
// window closes once it has ended.
class CloseGuard : public QObject {
public:
    CloseGuard(QWidget* window, SpeechGeneration* generation, std::function<void()> stop)
        : QObject(window), window_(window), generation_(generation), stop_(std::move(stop)) {
        setObjectName(kHandlerFilter);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == window_ && event->type() == QEvent::Close && generation_->Running) {
            generation_->CloseRequested = true;
            stop_();
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget* window_;
    SpeechGeneration* generation_;
    std::function<void()> stop_;
};

}  // namespace

void TfrmTextToSpeech::createGenerationControls() {
    using namespace layout;
    Label15 = label(TabSheet3, "Label15", "Click on the button to generate the bot's speech!",
                    {19, 280, 225, 25}, kWordWrap);
    ButtonGenerateSpeech =
        button(TabSheet3, "ButtonGenerateSpeech", "Generate Speech", {51, 312, 105, 25});
    wire(ButtonGenerateSpeech, &QPushButton::clicked, &TfrmTextToSpeech::ButtonGenerateSpeechClick);
    LabelStatusText =
        label(TabSheet3, "LabelStatusText", "Status:", {11, 360, 48, 16}, kLarge | kRed);
    LabelStatusText->hide();
    LabelStatus = label(TabSheet3, "LabelStatus", "", {75, 360, 185, 20}, kLarge | kRed | kFixed);
    wire(ButtonPlay, &QPushButton::clicked, &TfrmTextToSpeech::ButtonPlayClick);
    SpeechGeneration1 = new SpeechGeneration(this);
    SpeechGeneration1->setObjectName("SpeechGeneration1");
    new CloseGuard(this, SpeechGeneration1, [this] { ButtonStopClick(ButtonStop); });

    CheckBoxSpeakAloud = new QCheckBox("Speak each phrase aloud while generating", TabSheet3);
    CheckBoxSpeakAloud->setObjectName("CheckBoxSpeakAloud");
    CheckBoxSpeakAloud->move(11, 250);
    CheckBoxSpeakAloud->adjustSize();
    CheckBoxSpeakAloud->setChecked(readOption(kSpeakAloudOption) != "0");
    wire(CheckBoxSpeakAloud, &QCheckBox::clicked, &TfrmTextToSpeech::CheckBoxSpeakAloudClick);

    LabelSpeechState = label(TabSheet3, "LabelSpeechState", "", {440, 252, 215, 30}, kWordWrap);
    ButtonGenerateChanged =
        button(TabSheet3, "ButtonGenerateChanged", "Generate changed", {440, 284, 120, 25});
    ButtonGenerateChanged->setEnabled(false);
    wire(ButtonGenerateChanged, &QPushButton::clicked,
         &TfrmTextToSpeech::ButtonGenerateChangedClick);
    ProgressGeneration = new QProgressBar(TabSheet3);
    ProgressGeneration->setObjectName("ProgressGeneration");
    ProgressGeneration->setGeometry(440, 318, 215, 18);
    ProgressGeneration->setAccessibleName("Progress of the generation");
    ProgressGeneration->setFormat("%v of %m");
    ProgressGeneration->setRange(0, 1);
    ProgressGeneration->setValue(0);
    ProgressGeneration->setTextVisible(false);
    LabelProgress = label(TabSheet3, "LabelProgress", "", {440, 339, 215, 28}, kFixed);
    ButtonStop = button(TabSheet3, "ButtonStop", "Stop", {440, 369, 75, 25});
    ButtonStop->setEnabled(false);
    wire(ButtonStop, &QPushButton::clicked, &TfrmTextToSpeech::ButtonStopClick);

    BotSpeech1 = new BotSpeech(this);
    BotSpeech1->setObjectName("BotSpeech1");
    connect(&BotSpeech1->update, &QTimer::timeout, this,
            [this] { runReported([this] { updateSpeechState(); }); });
}

void TfrmTextToSpeech::ButtonGenerateSpeechClick(QObject*) {
    generateRows(false);
}

void TfrmTextToSpeech::ButtonGenerateChangedClick(QObject*) {
    generateRows(true);
}

void TfrmTextToSpeech::ButtonStopClick(QObject*) {
    SpeechGeneration1->StopRequested = true;  // after the phrase it is making
    ButtonStop->setEnabled(false);
    LabelProgress->setText(kStopping);
}

void TfrmTextToSpeech::CheckBoxSpeakAloudClick(QObject*) {
    writeOption(kSpeakAloudOption, CheckBoxSpeakAloud->isChecked() ? "1" : "0");
}

void TfrmTextToSpeech::showProgress(int done, int total, int making, const std::string& phrase) {
    ProgressGeneration->setRange(0, std::max(total, 1));
    ProgressGeneration->setValue(done);
    ProgressGeneration->setTextVisible(true);
    const int left = static_cast<int>(std::lround(
        estimatedSecondsLeft(SpeechGeneration1->Started, steadySeconds(), done, total)));
    QString line;
    if (done >= total) {
        line = QString::fromStdString(format("%d of %d phrases made", done, total));
    } else if (SpeechGeneration1->Running && SpeechGeneration1->StopRequested) {
        line = kStopping;
    } else {
        // The phrase takes what room the line leaves, cut with "..." when it needs more.
        const QFontMetrics metrics = LabelProgress->fontMetrics();
        line = QString::fromStdString(format("Phrase %d of %d: ", making + 1, total));
        const int room = LabelProgress->width() - metrics.horizontalAdvance(line);
        line += metrics.elidedText("\"" + QString::fromStdString(phrase) + "\"", Qt::ElideMiddle,
                                   std::max(room, 20));
    }
    LabelProgress->setText(line + "\n" + QString::fromStdString(timeLeftText(done, left)));
}

void TfrmTextToSpeech::generateRows(bool changedOnly) {
    LabelStatusText->show();
    LabelStatus->setText("Please wait!");
    if (BotSpeech1->relinkPending) relinkSpeechFiles();  // the files match the list first
    // A generation that was killed may have left its WAV files.
    removeLeftoverWaves(botFolder(botName()));
    // "Play preview" is held too: a preview spoken meanwhile would end the logging of the
    // phrase being made, whose log would then be short. So is the choice of speaking aloud.
    QWidget* const controls[] = {ButtonGenerateSpeech, ComboBoxBots,          ButtonAdd,
                                 ButtonAddPhrase,      ButtonDeletePhrase,    ButtonTest,
                                 ButtonPlay,           ButtonGenerateChanged, CheckBoxSpeakAloud,
                                 ButtonPronunciations};
    const int count = ValueListEditor1->count();
    std::vector<int> rows;
    if (changedOnly) {
        rows = rowsNeedingSpeech();
    } else {
        for (int n = 0; n < count; ++n) rows.push_back(n);
    }
    SpeechGeneration& g = *SpeechGeneration1;
    g.Running = true;
    g.StopRequested = g.CloseRequested = false;
    g.VisemeLogError = nullptr;
    g.Started = steadySeconds();
    for (QWidget* c : controls) c->setEnabled(false);
    ButtonStop->setEnabled(true);
    // Rows are neither inserted nor deleted meanwhile: each phrase is read when its turn comes,
    // and its files are named by its row.
    ValueListEditor1->setRowsHeld(true);
    showProgress(
        0, static_cast<int>(rows.size()), 0,
        rows.empty() ? std::string() : trimmed(phraseOf(ValueListEditor1->entry(rows[0]))));

    // Whatever happens, the controls come back; a failure is said on the status line and then
    // reported as any error is. A close asked for meanwhile is carried out at the end.
    const auto finish = [&](const char* status) {
        g.Running = false;
        ValueListEditor1->setRowsHeld(false);
        for (QWidget* c : controls) c->setEnabled(true);
        ButtonStop->setEnabled(false);
        ProgressGeneration->setRange(0, 1);
        ProgressGeneration->setValue(0);
        ProgressGeneration->setTextVisible(false);
        LabelProgress->clear();
        LabelStatus->setText(status);
        BotSpeech1->update.start();
        if (g.CloseRequested)
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
    std::vector<EncoderOutcome> outcomes;
    try {
        if (CheckBoxSpeakAloud->isChecked()) {
            for (size_t i = 0; i < rows.size() && !SpeechGeneration1->StopRequested; ++i) {
                const int n = rows[i];
                const std::string phrase = trimmed(phraseOf(ValueListEditor1->entry(n)));
                showProgress(static_cast<int>(i), static_cast<int>(rows.size()),
                             static_cast<int>(i), phrase);
                Trace("Generate: " + phrase);
                const std::string spoken = spokenPhrase(phrase);
                const SpeechSource source = speechSourceFor(spoken);
                forgetRowSpeech(n);
                outcomes.push_back(GeneratePhraseAudio(n, spoken));
                recordRowSpeech(n, source, outcomes.back().made());
            }
        } else {
            outcomes = generateSilently(rows);
        }
    } catch (const std::exception& error) {
        finish("Generation failed!");
        // A window that is closing shows no box: it is gone before the box would come.
        if (!g.CloseRequested) throw;
        Trace(error.what());
        return;
    }
    const bool stopped = outcomes.size() < rows.size();
    if (std::all_of(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.made(); })) {
        finish(stopped ? "Stopped!" : "Completed!");
        return;
    }
    finish(stopped ? "Stopped with errors!" : "Completed with errors!");
    if (!g.CloseRequested)
        queueMessage(Dialogs::Kind::Warning,
                     encoderFailureMessage(outcomes, static_cast<int>(outcomes.size())));
}

std::vector<EncoderOutcome> TfrmTextToSpeech::generateSilently(const std::vector<int>& rows) {
    // The file passes are made here, one after another (the synthesiser keeps to this thread),
    // while the encoders of the phrases before run side by side, one a core.
    struct Made {
        SpeechSource source;
        std::vector<SpeechViseme> visemes;
    };
    std::map<int, Made> encoding;
    std::vector<EncoderOutcome> outcomes;
    EncoderPool pool(EncoderPool::coreCount(), wakeEventLoop);
    const int total = static_cast<int>(rows.size());
    // The phrase whose file pass is made, or the last one, and its place among the rows.
    std::string making;
    int makingIndex = 0;
    // Every phrase whose encoder has ended is finished, even after one of them failed (its log
    // could not be written): the first failure is raised once they all are.
    const auto collect = [&] {
        std::exception_ptr failure;
        for (const EncoderPool::Done& done : pool.takeFinished()) {
            const Made made = std::move(encoding.at(done.row));
            encoding.erase(done.row);
            Trace(done.outcome.started ? format("exit code=%d", done.outcome.exitCode)
                                       : std::string("Error calling encoder"));
            ::unlink(phraseFilePath(botName(), done.row, ".wav").c_str());
            try {
                Trace("Visemes");
                writeVisemeLog(phraseFilePath(botName(), done.row, ".txt"), made.visemes);
                Trace("Done");
                outcomes.push_back(done.outcome);
                recordRowSpeech(done.row, made.source, done.outcome.made());
            } catch (...) {
                if (!failure) failure = std::current_exception();
            }
        }
        showProgress(static_cast<int>(outcomes.size()), total, makingIndex, making);
        if (failure) std::rethrow_exception(failure);
    };
    const auto waitWhile = [&](const auto& busy) {
        while (busy()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            collect();
        }
    };
    try {
        for (size_t i = 0; i < rows.size(); ++i) {
            const int n = rows[i];
            // One phrase waits for a free core while another is made.
            waitWhile([&] { return pool.pending() > pool.workers(); });
            if (SpeechGeneration1->StopRequested) break;
            const std::string phrase = trimmed(phraseOf(ValueListEditor1->entry(n)));
            making = phrase;
            makingIndex = static_cast<int>(i);
            showProgress(static_cast<int>(outcomes.size()), total, makingIndex, making);
            Trace("Generate: " + phrase);
            Trace("Speech");
            const std::string wav = phraseFilePath(botName(), n, ".wav");
            const std::string mp3 = phraseFilePath(botName(), n, ".mp3");
            const std::string spoken = spokenPhrase(phrase);
            const SpeechSource source = speechSourceFor(spoken);
            forgetRowSpeech(n);
            ISpeechBaseStream* const saved = SpVoice->AudioOutputStream();
            try {
                renderPhraseWav(wav, spoken);
            } catch (...) {
                SpVoice->setAudioOutputStream(saved);
                throw;
            }
            SpVoice->setAudioOutputStream(saved);
            encoding[n] = {source, SpVoice->FileStreamVisemes()};
            Trace("Generate MP3");
            EncoderPool::Job job{n,
                                 encoderProgram(programFolder()),
                                 encoderArguments(programFolder(), wav, mp3),
                                 mp3,
                                 {kEncoderTimeoutMs, &SpeechGeneration1->StopRequested}};
            pool.submit(std::move(job));
            QApplication::processEvents();
            collect();
        }
        waitWhile([&] { return pool.pending() > 0; });
    } catch (...) {
        // The phrases being encoded are finished all the same: each keeps what it made.
        while (pool.pending() > 0) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            try {
                collect();
            } catch (...) {
            }
        }
        throw;
    }
    return outcomes;
}

EncoderOutcome TfrmTextToSpeech::GeneratePhraseAudio(int32_t n, const std::string& text) {
    SpeechGeneration1->PendingStreams = 0;
    ISpeechBaseStream* const savedOutput = SpVoice->AudioOutputStream();
    Trace("Speech");
    const std::string wav = phraseFilePath(botName(), n, ".wav");
    const std::string mp3 = phraseFilePath(botName(), n, ".mp3");

    // Should anything fail on the way, the stream is closed and the voice speaks aloud again.
    struct Restore {
        TfrmTextToSpeech* frm;
        ISpeechBaseStream* output;
        bool active = true;
        ~Restore() {
            if (!active) return;
            frm->SpVoice->setAudioOutputStream(output);
            try {
                frm->SpFileStream1->Close();
            } catch (...) {  // the failure that got us here is the one the user sees
            }
        }
    } restore{this, savedOutput};

    renderPhraseWav(wav, text);
    const EncoderOutcome outcome = EncodeMp3(wav, mp3);
    ::unlink(wav.c_str());  // a failure to delete it is ignored
    Trace("Visemes");
    SpeechGeneration1->VisemeLogPath = phraseFilePath(botName(), n, ".txt");
    createEmptyFile(SpeechGeneration1->VisemeLogPath);
    SpVoice->setAudioOutputStream(savedOutput);
    restore.active = false;
    speakPhraseAloud(text);
    Trace("Done");
    return outcome;
}

void TfrmTextToSpeech::renderPhraseWav(const std::string& wav, const std::string& text) {
    try {
        SpFileStream1->Open(toUtf16(wav), SSFMCreateForWrite, true);
        SpVoice->setAllowAudioOutputFormatChangesOnNextSet(false);
        SpVoice->setAudioOutputStream(SpFileStream1);
        SpVoice->Speak(toUtf16(text), SVSFlagsAsync);
        SpVoice->WaitUntilDone(-1);
        SpFileStream1->Close();
    } catch (...) {
        // What the failed pass wrote (a WAV file cut short by a full disk) goes with it.
        try {
            SpFileStream1->Close();
        } catch (...) {
        }
        ::unlink(wav.c_str());
        throw;
    }
}

void TfrmTextToSpeech::speakPhraseAloud(const std::string& text) {
    SpeechGeneration& g = *SpeechGeneration1;
    g.AloudStream = SpVoice->Speak(toUtf16(text), SVSFlagsAsync);
    ++g.PendingStreams;
    // However the wait ends, what is still heard of this pass is logged nowhere.
    struct Ended {
        SpeechGeneration& g;
        ~Ended() { g.AloudStream = 0; }
    } ended{g};
    // Events (the visemes, the end of the stream) are delivered while the window's messages are
    // processed; between them the thread sleeps.
    // A viseme log that cannot be written ends the generation as any failure does.
    const auto raiseLogError = [&g] {
        if (g.VisemeLogError) std::rethrow_exception(std::exchange(g.VisemeLogError, nullptr));
    };
    while (g.PendingStreams > 0) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        raiseLogError();
    }
    raiseLogError();
}

void TfrmTextToSpeech::SpVoiceEndStream(QObject*, int StreamNumber, const QVariant&) {
    if (StreamNumber == SpeechGeneration1->AloudStream) --SpeechGeneration1->PendingStreams;
}

void TfrmTextToSpeech::ButtonPlayClick(QObject*) {
    SpeechGeneration1->VisemeLogPath.clear();
    const std::string phrase = phraseOf(ValueListEditor1->entry(ValueListEditor1->Row() - 1));
    SpVoice->Speak(toUtf16(spokenPhrase(phrase)), SVSFlagsAsync);
}

EncoderOutcome TfrmTextToSpeech::EncodeMp3(const std::string& wav, const std::string& mp3) {
    Trace("Generate MP3");
    EncoderOutcome outcome;
    try {
        // The encoder runs on a thread of its own while the window keeps answering, so that a
        // Stop (or closing the window) can give an encoder that does not end a few seconds
        // more, and then end it.
        EncoderPool pool(1, wakeEventLoop);
        EncoderPool::Job job{0,
                             encoderProgram(programFolder()),
                             encoderArguments(programFolder(), wav, mp3),
                             mp3,
                             {kEncoderTimeoutMs, &SpeechGeneration1->StopRequested}};
        pool.submit(std::move(job));
        std::vector<EncoderPool::Done> done;
        while ((done = pool.takeFinished()).empty())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        outcome = done.front().outcome;
        if (outcome.started)
            Trace(format("exit code=%d", outcome.exitCode));
        else
            Trace("Error calling encoder");
    } catch (...) {
        Trace("Error encoding!");
        outcome.started = false;
    }
    return outcome;
}
