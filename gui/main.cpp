// The window frame, the bot bar, start-up, the bot selection flow, the new bot flow and
// shut-down.
#include "gui/main.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/errors.h"
#include "core/workspace_paths.h"
#include "gui/bot_speech.h"
#include "gui/layout.h"
#include "gui/microphone.h"
#include "gui/value_list_editor.h"

void TfrmTextToSpeech::Trace(const std::string& text) const {
    if (OnTrace) OnTrace(text);
}

TfrmTextToSpeech::TfrmTextToSpeech(std::function<void(const std::string&)> onTrace)
    : QWidget(nullptr), OnTrace(std::move(onTrace)) {
    createFrame();
    createBotBar();
    createPages();
    layout::tabOrder({PageControl1, ComboBoxBots, ButtonAdd});
    createSpeechComponents();

    runReported([this] { FormCreate(this); });
}

TfrmTextToSpeech::~TfrmTextToSpeech() {
    // Files of rows that moved since the last update still go to their rows.
    if (BotSpeech1->relinkPending) {
        try {
            relinkSpeechFiles();
        } catch (const std::exception&) {  // they are matched at the bot's next write
        }
    }
    FormDestroy(this);
    qDeleteAll(findChildren<QObject*>(kHandlerFilter));
    pbMic->OnPaint = nullptr;
    // The controls go after this object's own part: nothing they do while they go (an editor
    // that closes, a selection that changes) may reach a handler any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    ValueListEditor1->OnSetEditText = nullptr;
    ValueListEditor1->runAction = nullptr;
    ValueListEditor1->OnDeleteRow = nullptr;
    ValueListEditor1->OnBeforeChange = nullptr;
}

void TfrmTextToSpeech::createFrame() {
    setObjectName("frmTextToSpeech");
    setWindowTitle("Parlomat beta v1.0");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(layout::windowFont());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    // An outer size of 713 x 565 pixels; the frame takes 16 x 38 of it.
    resize(697, 527);
    move(190, 123);
}

void TfrmTextToSpeech::createBotBar() {
    using namespace layout;
    Label21 = label(this, "Label21", "1. Select the bot you want to edit or create a new bot.",
                    {16, 16, 0, 0}, kLarge | kNavy);
    Label3 = label(this, "Label3", "Edit bot:", {19, 39, 0, 0}, kLarge);

    ComboBoxBots = new QComboBox(this);
    ComboBoxBots->setObjectName("ComboBoxBots");
    ComboBoxBots->setFont(boldFont13());
    ComboBoxBots->setGeometry(123, 35, 145, 24);
    wire(ComboBoxBots, &QComboBox::activated, &TfrmTextToSpeech::ComboBoxBotsChange);

    Label3->setBuddy(ComboBoxBots);
    ButtonAdd = button(this, "ButtonAdd", "New bot...", {283, 35, 81, 25});
    ButtonAdd->setFont(boldFont13());
    wire(ButtonAdd, &QPushButton::clicked, &TfrmTextToSpeech::ButtonAddClick);
}

void TfrmTextToSpeech::createPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(16, 96, 673, 425);
    PageControl1->setAccessibleName("Wizard steps");
    const auto addPage = [this](const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(name);
        PageControl1->addTab(page, caption);
        return page;
    };
    TabSheet2 = addPage("TabSheet2", "2. Interface");
    TabSheet1 = addPage("TabSheet1", "3. Phrases");
    TabSheet3 = addPage("TabSheet3", "4. Speech");
    TabSheet4 = addPage("TabSheet4", "5. Publish");
    createInterfacePage();
    createPhrasesPage();
    createSpeechPage();
    createGenerationControls();
    createMicrophone();
    createPublishPage();
}

std::string TfrmTextToSpeech::botName() const {
    return ComboBoxBots->currentIndex() < 0 ? std::string()
                                            : ComboBoxBots->currentText().toStdString();
}

void TfrmTextToSpeech::FormCreate(QObject*) {
    PageControl1->setCurrentIndex(0);
    LoadMouthPictures();
    StartVoices();
    FillCharacterList();
    FillBackgroundList();
    FillMusicList();
    FillBotList();
    if (ComboBoxBots->count() > 0) ComboBoxBots->setCurrentIndex(0);
    ComboBoxBotsChange(this);
}

void TfrmTextToSpeech::FormDestroy(QObject*) {
    ReleaseVoices();
}

void TfrmTextToSpeech::ComboBoxBotsChange(QObject*) {
    // The files of the bot being left are matched to its list before the list goes; should
    // that fail, the error is told and the selection goes on (the files are matched at the
    // bot's next write).
    if (BotSpeech1->relinkPending) runReported([this] { relinkSpeechFiles(); });
    // One copy of the program edits a bot at a time.
    if (ComboBoxBots->currentIndex() >= 0 && !BotSpeech1->lock.take(botFolder(botName()))) {
        const std::string bot = botName();
        ComboBoxBots->setCurrentIndex(-1);
        queueMessage(Dialogs::Kind::Warning,
                     format("The bot \"%s\" is open in another copy of Parlomat. Close it there "
                            "first, or choose another bot.",
                            bot.c_str()));
    }
    if (ComboBoxBots->currentIndex() < 0) BotSpeech1->lock.release();
    LoadPhraseList();
    LoadBotSpeech();
    if (ComboBoxBots->currentIndex() >= 0) {
        ApplyBotSettings();
        RichEditHtml->setPlainText(QString::fromStdString(BuildEmbedCode(true)));
    }
    PageControl1->setVisible(ComboBoxBots->currentIndex() >= 0);
    updateSpeechState();
}

void TfrmTextToSpeech::ButtonAddClick(QObject*) {
    std::string answer = "test";
    if (!dialogs().inputQuery("Add new bot", "Bot name", answer, 255)) answer = "test";
    if (answer.empty()) {
        queueMessage(Dialogs::Kind::Information, "Invalid bot name");
        return;
    }
    // One level only, the name as typed; a name that would leave flash/bots is refused like one
    // the file system refuses.
    const std::string folder = botsFolder() + "/" + answer;
    if (!isSafeFolderName(answer) || ::mkdir(folder.c_str(), 0777) != 0) {
        queueMessage(Dialogs::Kind::Warning, "Invalid bot name - please choose another name");
        return;
    }
    FillBotList();
    const int index = catalogueIndexOf(ComboBoxBots, answer);
    if (index < 0) return;
    ComboBoxBots->setCurrentIndex(index);
    ComboBoxBotsChange(ButtonAdd);
}
