// "Generate Speech", "Play preview" and the MP3 encoder call of the main window.
#include "generation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "SpeechLib_TLB.h"
#include "dialogs.h"
#include "encoder.h"
#include "errors.h"
#include "layout.h"
#include "main.h"
#include "paths.h"
#include "phrase_file.h"
#include "text16.h"
#include "value_list_editor.h"
#include "workspace_paths.h"

int32_t PendingStreams = 0;
std::string VisemeLogPath;
std::exception_ptr VisemeLogError;

void createEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw inOutError(errno);
    if (::close(fd) != 0) throw inOutError(errno);
}

namespace {

constexpr const char* kCloseRequested = "closeRequested";

// While a generation runs, closing the window waits for its end.
class CloseGuard : public QObject {
public:
    explicit CloseGuard(QWidget* window, const QPushButton* generate)
        : QObject(window), window_(window), generate_(generate) {
        setObjectName(kHandlerFilter);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == window_ && event->type() == QEvent::Close && !generate_->isEnabled()) {
            window_->setProperty(kCloseRequested, true);
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget* window_;
    const QPushButton* generate_;
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
    new CloseGuard(this, ButtonGenerateSpeech);
}

bool TfrmTextToSpeech::isGenerating() const {
    return !ButtonGenerateSpeech->isEnabled();
}

void TfrmTextToSpeech::ButtonGenerateSpeechClick(QObject*) {
    LabelStatusText->show();
    LabelStatus->setText("Please wait!");
    VisemeLogError = nullptr;
    // "Play preview" is held too: a preview spoken meanwhile would end the logging of the
    // phrase being made, whose log would then be short.
    QWidget* const controls[] = {ButtonGenerateSpeech, ComboBoxBots, ButtonAdd, ButtonAddPhrase,
                                 ButtonDeletePhrase,   ButtonTest,   ButtonPlay};
    for (QWidget* c : controls) c->setEnabled(false);

    // Whatever happens, the controls come back; a failure is said on the status line and then
    // reported as any error is. A close asked for meanwhile is carried out at the end.
    const auto finish = [&](const char* status) {
        for (QWidget* c : controls) c->setEnabled(true);
        LabelStatus->setText(status);
        if (property(kCloseRequested).toBool())
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
    const int count = ValueListEditor1->count();
    std::vector<EncoderOutcome> outcomes;
    try {
        for (int n = 0; n < count; ++n) {
            const std::string phrase = trimmed(phraseOf(ValueListEditor1->entry(n)));
            Trace("Generate: " + phrase);
            outcomes.push_back(GeneratePhraseAudio(n, phrase));
        }
    } catch (...) {
        finish("Generation failed!");
        throw;
    }
    if (std::all_of(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.made(); })) {
        finish("Completed!");
        return;
    }
    finish("Completed with errors!");
    queueMessage(Dialogs::Kind::Warning, encoderFailureMessage(outcomes, count));
}

EncoderOutcome TfrmTextToSpeech::GeneratePhraseAudio(int32_t n, const std::string& text) {
    PendingStreams = 0;
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
    VisemeLogPath = phraseFilePath(botName(), n, ".txt");
    createEmptyFile(VisemeLogPath);
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
    SpVoice->Speak(toUtf16(text), SVSFlagsAsync);
    ++PendingStreams;
    // Events (the visemes, the end of the stream) are delivered while the window's messages are
    // processed; between them the thread sleeps.
    // A viseme log that cannot be written ends the generation as any failure does.
    const auto raiseLogError = [] {
        if (VisemeLogError) std::rethrow_exception(std::exchange(VisemeLogError, nullptr));
    };
    while (PendingStreams > 0) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        raiseLogError();
    }
    raiseLogError();
}

void TfrmTextToSpeech::SpVoiceEndStream(QObject*, int, const QVariant&) {
    --PendingStreams;
}

void TfrmTextToSpeech::ButtonPlayClick(QObject*) {
    VisemeLogPath.clear();
    const std::string phrase = phraseOf(ValueListEditor1->entry(ValueListEditor1->Row() - 1));
    SpVoice->Speak(toUtf16(phrase), SVSFlagsAsync);
}

EncoderOutcome TfrmTextToSpeech::EncodeMp3(const std::string& wav, const std::string& mp3) {
    Trace("Generate MP3");
    EncoderOutcome outcome;
    try {
        outcome = encodeMp3File("./lame.exe", encoderArguments(programFolder(), wav, mp3), mp3,
                                kEncoderTimeoutMs);
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
