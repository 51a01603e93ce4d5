#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class MediaPlayer;
class QSlider;
class QPushButton;
class QTabWidget;
class QVariant;
class BotSpeech;
class ImageList;
class PaintBox;
struct EncoderOutcome;
struct SpeechSource;
class TSpFileStream;
class TSpVoice;
class SpeechGeneration;
class ValueListEditor;

// The main window: the five-step wizard. Its members are the controls of the layout under their
// names, the event handlers (control name plus event) and the private operations of each
// subsystem, which define them in their own source files (main.cpp, one file per page, and the
// files of the speech, generation and microphone components). Besides its controls it owns two
// components that hold what no control shows: the selected bot's speech files (BotSpeech1) and
// the generation of phrase audio (SpeechGeneration1).
class TfrmTextToSpeech : public QWidget {
public:
    // Builds the layout, then runs FormCreate; an error inside FormCreate is reported and the
    // window opens all the same. An error while building the layout escapes. `onTrace` is
    // handed every text of the diagnostic trace (the tests follow the program's steps by it).
    explicit TfrmTextToSpeech(std::function<void(const std::string&)> onTrace = {});
    ~TfrmTextToSpeech() override;

    // Bot bar (step 1).
    QLabel* Label21;
    QLabel* Label3;
    QComboBox* ComboBoxBots;
    QPushButton* ButtonAdd;

    // Page control with the wizard's steps 2 to 5.
    QTabWidget* PageControl1;
    QWidget* TabSheet2;  // "2. Interface"
    QWidget* TabSheet1;  // "3. Phrases"
    QWidget* TabSheet3;  // "4. Speech"
    QWidget* TabSheet4;  // "5. Publish"

    // Interface page.
    QLabel* Label14;
    QGroupBox* GroupBox1;
    QLabel* Label6;
    QLabel* Label10;
    QLabel* Label11;
    QLineEdit* Edithint;
    QLineEdit* Editprompt;
    QLineEdit* Editbutton;
    QGroupBox* GroupBox2;
    QLabel* Label9;
    QComboBox* ComboBoxChars;
    QLabel* ImageChar;
    QLabel* Label7;
    QComboBox* ComboBoxBacks;
    QLabel* ImageBack;
    QLabel* Label8;
    QComboBox* ComboBoxMusic;
    MediaPlayer* MediaPlayer1;
    QLabel* Label22;
    QLabel* Label23;
    QPushButton* ButtonAddCustomFiles;

    // Phrases page.
    QLabel* Label1;
    ValueListEditor* ValueListEditor1;
    QPushButton* ButtonAddPhrase;
    QPushButton* ButtonDeletePhrase;
    QPushButton* ButtonPlay;
    QLabel* Label12;

    // Speech page: voices, rate and volume.
    QLabel* Label13;
    QLabel* Label2;
    QListWidget* ListBoxVoices;
    QLabel* Label18;
    QListWidget* lstEngineInfo;
    QGroupBox* gbAttrs;
    QLabel* Label4;
    QSlider* tbRate;
    QLabel* lblMinSpeed;
    QLabel* lblMaxSpeed;
    QLabel* lblRate;
    QLabel* Label5;
    QSlider* tbVolume;
    QLabel* lblMinVolume;
    QLabel* lblMaxVolume;
    QLabel* lblVolume;
    QLabel* Label24;
    QLabel* Label25;
    QPushButton* ButtonAddVoices;
    // How the bot says its words: opens the editor of its pronunciations.
    QPushButton* ButtonPronunciations;

    // Speech page: generation.
    QLabel* Label15;
    QPushButton* ButtonGenerateSpeech;
    QLabel* LabelStatusText;
    QLabel* LabelStatus;
    // Beside them: speaking each phrase aloud or not, the rows that need speech, "Generate
    // changed", and the progress of a generation with its "Stop".
    QCheckBox* CheckBoxSpeakAloud;
    QLabel* LabelSpeechState;
    QPushButton* ButtonGenerateChanged;
    QProgressBar* ProgressGeneration;
    QLabel* LabelProgress;
    QPushButton* ButtonStop;
    // What the selected bot's speech files were made from (speech.txt of the bot folder).
    BotSpeech* BotSpeech1;
    // What a generation is doing, and whether one runs.
    SpeechGeneration* SpeechGeneration1;

    // The talking microphone and its pictures.
    PaintBox* pbMic;
    ImageList* imgsMic;

    // Publish page.
    QLabel* Label17;
    QLabel* Label16;
    QPushButton* ButtonTest;
    QCheckBox* CheckBoxHtml5Player;
    QLabel* Label19;
    QPushButton* ButtonPublish;
    QLabel* Label20;
    QPlainTextEdit* RichEditHtml;
    QPushButton* ButtonCopyClipboard;
    QLabel* LabelPublishSpeechState;  // how many rows have no speech or speech out of date

    // Speech engine components.
    TSpVoice* SpVoice;
    TSpFileStream* SpFileStream1;

    // Handlers.
    void FormCreate(QObject* Sender);
    void FormDestroy(QObject* Sender);
    void ComboBoxBotsChange(QObject* Sender);
    void ButtonAddClick(QObject* Sender);
    void ComboBoxCharsChange(QObject* Sender);
    void ComboBoxBacksChange(QObject* Sender);
    void ComboBoxMusicChange(QObject* Sender);
    void EditTextChange(QObject* Sender);
    void EdithintExit(QObject* Sender);
    void EditpromptExit(QObject* Sender);
    void EditbuttonExit(QObject* Sender);
    void ButtonAddCustomFilesClick(QObject* Sender);
    void ValueListEditor1SetEditText(QObject* Sender, int ACol, int ARow, const std::string& Value);
    void ButtonAddPhraseClick(QObject* Sender);
    void ButtonDeletePhraseClick(QObject* Sender);
    void ListBoxVoicesClick(QObject* Sender);
    void tbRateChange(QObject* Sender);
    void tbVolumeChange(QObject* Sender);
    void ButtonAddVoicesClick(QObject* Sender);
    void ButtonPronunciationsClick(QObject* Sender);
    void ButtonGenerateSpeechClick(QObject* Sender);
    void ButtonPlayClick(QObject* Sender);
    void SpVoiceEndStream(QObject* Sender, int StreamNumber, const QVariant& StreamPosition);
    void SpVoiceViseme(QObject* ASender, int StreamNumber, const QVariant& StreamPosition,
                       int Duration, uint32_t NextVisemeId, uint32_t Feature,
                       uint32_t CurrentVisemeId);
    void pbMicPaint(QObject* Sender);
    void ButtonTestClick(QObject* Sender);
    void ButtonCopyClipboardClick(QObject* Sender);
    void ButtonPublishClick(QObject* Sender);
    void CheckBoxHtml5PlayerClick(QObject* Sender);
    void ButtonGenerateChangedClick(QObject* Sender);
    void ButtonStopClick(QObject* Sender);
    void CheckBoxSpeakAloudClick(QObject* Sender);

    // The bot name: the text of the bot box (empty when no bot is selected).
    std::string botName() const;
    // The diagnostic trace: takes a text and does nothing with it but hand it to the window's
    // `onTrace`, when it was given one.
    void Trace(const std::string& text) const;

private:
    const std::function<void(const std::string&)> OnTrace;
    using Handler = void (TfrmTextToSpeech::*)(QObject*);
    // Connects a signal of a control to a handler, which then runs as the message loop runs it:
    // an error that escapes it reaches the default error report.
    template <class Control, class Signal>
    void wire(Control* control, Signal signal, Handler handler);

    void createFrame();
    void createBotBar();
    void createPages();
    void createInterfacePage();
    void createPhrasesPage();
    void createSpeechPage();
    void createGenerationControls();
    void createMicrophone();
    void createPublishPage();
    void createSpeechComponents();

    // The voice steps of start-up, and the release of the voice list's references.
    void StartVoices();
    void ReleaseVoices();

    void LoadMouthPictures();
    // Renders phrase row n into n.mp3 and n.txt; tells how the encoder did.
    EncoderOutcome GeneratePhraseAudio(int32_t n, const std::string& text);
    EncoderOutcome EncodeMp3(const std::string& wavPath, const std::string& mp3Path);
    // The steps of a phrase: the file pass into its WAV file, and the audible pass with the wait
    // for its end.
    void renderPhraseWav(const std::string& wav, const std::string& text);
    void speakPhraseAloud(const std::string& text);
    // Generates the rows given, each as "Generate Speech" does, or without the audible pass
    // (the encoders then run side by side); the six controls are held meanwhile.
    void generateRows(bool changedOnly);
    std::vector<EncoderOutcome> generateSilently(const std::vector<int>& rows);
    // Shows `done` of `total` phrases made and the time left, with the phrase being made (the
    // `making`th, from 0) or, once a stop was asked for, that the generation is stopping.
    void showProgress(int done, int total, int making, const std::string& phrase);

    // The selected bot's speech: read at every bot selection, brought in step with the phrase
    // list at every write of it (rows that only moved take their files along), shown on the
    // grid and counted on the Speech and Publish pages.
    void LoadBotSpeech();
    void SaveBotSpeech();
    void phraseListWritten(const std::vector<std::string>& entries);
    void updateSpeechState();
    void relinkSpeechFiles();
    void takeWrittenList();
    void recordRowSpeech(int n, const SpeechSource& source, bool made);
    void forgetRowSpeech(int n);
    // What each row of the grid as it stands would be made from now.
    std::vector<SpeechSource> gridSpeech() const;
    // What a row saying `phrase` would be made from now: the voice, rate and volume of the engine.
    SpeechSource speechSourceFor(const std::string& phrase) const;
    // What each row of the list as written would be made from now.
    std::vector<SpeechSource> wantedSpeech() const;
    std::vector<int> rowsNeedingSpeech() const;
    // The text the engine is given for `phrase`: the bot's pronunciations applied.
    std::string spokenPhrase(const std::string& phrase) const;
    // Reads the selected bot's pronunciations; an error leaves the list empty and is raised.
    // Lines that were left out are told when `tellLeftOut`.
    void LoadPronunciations(bool tellLeftOut = true);
    // The voice, rate and volume of the page are the bot's from now on.
    void rememberBotVoice();

    // The embed code of the selected bot: the fragment, or the whole test page.
    std::string BuildEmbedCode(bool fragment) const;

    // The settings file of the selected bot.
    void SaveBotSettings();
    void ApplyBotSettings();

    // The phrase list of the selected bot.
    void LoadPhraseList();
    void SavePhraseList();

    // Catalogues.
    void FillBotList();
    void FillCharacterList();
    void FillBackgroundList();
    void FillMusicList();
};

// The object name of the event filters that run handlers; they go first when the window goes.
inline constexpr const char* kHandlerFilter = "handlerFilter";

// The catalogue name lookup on the entries of a box: the first entry, from the top, that equals
// `name` as a whole without regard to letter case; -1 when there is none.
int catalogueIndexOf(const QComboBox* box, const std::string& name);

#include "gui/errorreport.h"

template <class Control, class Signal>
void TfrmTextToSpeech::wire(Control* control, Signal signal, Handler handler) {
    QObject::connect(control, signal, this,
                     [this, control, handler] { runReported([&] { (this->*handler)(control); }); });
}
