// The Interface page ("2. Interface") and the bot settings file of the selected bot.
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "core/errors.h"
#include "core/fileio.h"
#include "core/paths.h"
#include "core/phrase_file.h"
#include "core/settings_file.h"
#include "core/shell.h"
#include "core/workspace_paths.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "gui/media_player.h"
#include "gui/picture.h"

namespace {

constexpr int kPreviewBox = 105;

// Runs an action when the focus leaves a control: for another control, another program or the
// window's closing. A box of this program that comes to the front (a report of the control's own
// handler among them), and a menu or pick list that opens, take no focus from it.
class FocusOut : public QObject {
public:
    FocusOut(QWidget* control, std::function<void()> action)
        : QObject(control), action_(std::move(action)) {
        setObjectName(kHandlerFilter);
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusOut || !action_) return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason) return false;
        if (reason == Qt::ActiveWindowFocusReason &&
            (QApplication::activeModalWidget() || QApplication::activePopupWidget()))
            return false;
        action_();
        return false;
    }

private:
    std::function<void()> action_;
};

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}
std::string valueOf(const QComboBox* box) {
    return box->currentIndex() < 0 ? std::string() : box->currentText().toStdString();
}

QLabel* imageBox(QWidget* parent, const char* name, QRect place) {
    auto* box = new QLabel(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

void showPicture(QLabel* box, const std::string& path) {
    // Decoded first: when it fails, the box keeps what it showed.
    box->setPixmap(QPixmap::fromImage(loadPreviewPicture(path, kPreviewBox)));
}

}  // namespace

void TfrmTextToSpeech::createInterfacePage() {
    using namespace layout;
    Label14 = label(TabSheet2, "Label14",
                    "2. Define how your bot's interface should look like. If you like, select a "
                    "different background image or change the text of the prompt.",
                    {11, 23, 616, 33}, kHeading);

    GroupBox1 = new QGroupBox("Bot interface text", TabSheet2);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(363, 65, 273, 121);
    Label6 = label(GroupBox1, "Label6", "Hint:", {8, 32, 0, 0});
    Label10 = label(GroupBox1, "Label10", "Prompt:", {8, 56, 0, 0});
    Label11 = label(GroupBox1, "Label11", "Button:", {8, 80, 0, 0});
    const auto edit = [this](const char* name, const char* text, int top, Handler exit) {
        auto* e = new QLineEdit(QString::fromUtf8(text), GroupBox1);
        e->setObjectName(name);
        e->setGeometry(48, top, 217, 21);
        e->setCursorPosition(0);
        connect(e, &QLineEdit::textEdited, this,
                [this, e] { runReported([&] { EditTextChange(e); }); });
        new FocusOut(e, [this, e, exit] { runReported([&] { (this->*exit)(e); }); });
        return e;
    };
    Edithint = edit("Edithint", "Enter your question for this topic and press 'Ask'", 28,
                    &TfrmTextToSpeech::EdithintExit);
    Editprompt = edit("Editprompt", "Your Question:", 52, &TfrmTextToSpeech::EditpromptExit);
    Editbutton = edit("Editbutton", "Ask", 76, &TfrmTextToSpeech::EditbuttonExit);
    Label6->setBuddy(Edithint);
    Label10->setBuddy(Editprompt);
    Label11->setBuddy(Editbutton);

    GroupBox2 = new QGroupBox("Bot attributes", TabSheet2);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setGeometry(11, 64, 321, 329);
    const auto list = [this](const char* name, QRect place, Handler reaction) {
        auto* combo = new QComboBox(GroupBox2);
        combo->setObjectName(name);
        combo->setGeometry(place);
        wire(combo, &QComboBox::activated, reaction);
        return combo;
    };
    Label9 = label(GroupBox2, "Label9", "Character:", {13, 49, 0, 0});
    ComboBoxChars =
        list("ComboBoxChars", {16, 68, 121, 21}, &TfrmTextToSpeech::ComboBoxCharsChange);
    ImageChar = imageBox(GroupBox2, "ImageChar", {168, 21, kPreviewBox, kPreviewBox});
    Label7 = label(GroupBox2, "Label7", "Background image:", {13, 196, 0, 0});
    ComboBoxBacks =
        list("ComboBoxBacks", {16, 216, 121, 21}, &TfrmTextToSpeech::ComboBoxBacksChange);
    ImageBack = imageBox(GroupBox2, "ImageBack", {168, 164, kPreviewBox, kPreviewBox});
    Label8 = label(GroupBox2, "Label8", "Background music:", {14, 302, 0, 0});
    ComboBoxMusic =
        list("ComboBoxMusic", {120, 300, 129, 21}, &TfrmTextToSpeech::ComboBoxMusicChange);
    Label9->setBuddy(ComboBoxChars);
    Label7->setBuddy(ComboBoxBacks);
    Label8->setBuddy(ComboBoxMusic);
    ImageChar->setAccessibleName("Character preview");
    ImageBack->setAccessibleName("Background preview");
    MediaPlayer1 = new MediaPlayer(GroupBox2);
    MediaPlayer1->setObjectName("MediaPlayer1");
    MediaPlayer1->setGeometry(258, 295, 57, 30);

    Label22 = label(TabSheet2, "Label22", "Want to add your own background images or music?",
                    {363, 248, 0, 0}, kBold);
    Label23 = label(TabSheet2, "Label23",
                    "Clicking the button will open the resources folder. Add your JPEG image to "
                    "the 'back' folder and any MP3 files to the 'music' folder. Then restart this "
                    "software.",
                    {363, 272, 289, 45}, kWordWrap);
    ButtonAddCustomFiles =
        button(TabSheet2, "ButtonAddCustomFiles", "Add custom files", {443, 328, 113, 25});
    wire(ButtonAddCustomFiles, &QPushButton::clicked, &TfrmTextToSpeech::ButtonAddCustomFilesClick);

    tabOrder({Edithint, Editprompt, Editbutton, ComboBoxChars, ComboBoxBacks, ComboBoxMusic,
              MediaPlayer1->playButton(), MediaPlayer1->stopButton(), ButtonAddCustomFiles});
}

void TfrmTextToSpeech::SaveBotSettings() {
    const BotSettings settings{textOf(Edithint),       textOf(Editprompt),
                               textOf(Editbutton),     valueOf(ComboBoxChars),
                               valueOf(ComboBoxBacks), valueOf(ComboBoxMusic)};
    WriteFileText(settingsPath(botName()), encodeFileText(settingsText(settings)));
    Trace("vars saved");
}

void TfrmTextToSpeech::ApplyBotSettings() {
    const std::string path = settingsPath(botName());
    if (!filePresent(path)) return;
    ComboBoxMusic->setCurrentIndex(catalogueIndexOf(ComboBoxMusic, kSilence));
    MediaPlayer1->Close();

    const std::vector<std::string> pieces = settingsPieces(decodeFileText(ReadFileText(path)).text);
    for (const std::string& piece : pieces) Trace(piece);
    for (const std::string& piece : pieces) {
        std::string key, value;
        if (!splitSettingsPiece(piece, key, value)) continue;
        const QString text = QString::fromStdString(value);
        const auto pick = [&](QComboBox* box, Handler reaction) {
            const int index = catalogueIndexOf(box, value);
            if (index >= 0) box->setCurrentIndex(index);
            (this->*reaction)(box);
        };
        const auto show = [&text](QLineEdit* edit) {
            edit->setText(text);
            edit->setCursorPosition(0);  // the start of a long text is what shows
        };
        if (key == "hint")
            show(Edithint);
        else if (key == "prompt")
            show(Editprompt);
        else if (key == "button")
            show(Editbutton);
        else if (key == "char")
            pick(ComboBoxChars, &TfrmTextToSpeech::ComboBoxCharsChange);
        else if (key == "back")
            pick(ComboBoxBacks, &TfrmTextToSpeech::ComboBoxBacksChange);
        else if (key == "music")
            pick(ComboBoxMusic, &TfrmTextToSpeech::ComboBoxMusicChange);
    }
}

void TfrmTextToSpeech::ComboBoxCharsChange(QObject*) {
    showPicture(ImageChar, characterPreviewPath(valueOf(ComboBoxChars)));
    SaveBotSettings();
}

void TfrmTextToSpeech::ComboBoxBacksChange(QObject*) {
    showPicture(ImageBack, backgroundPath(valueOf(ComboBoxBacks)));
    SaveBotSettings();
}

void TfrmTextToSpeech::ComboBoxMusicChange(QObject*) {
    const std::string value = valueOf(ComboBoxMusic);
    if (value == kSilence)
        MediaPlayer1->Close();
    else
        MediaPlayer1->Open(musicPath(value));
    SaveBotSettings();
}

void TfrmTextToSpeech::EditTextChange(QObject* Sender) {
    auto* edit = static_cast<QLineEdit*>(Sender);
    if (isValidInterfaceText(textOf(edit))) return;
    const int cursor = edit->cursorPosition();
    const QString before = edit->text().left(cursor);
    edit->setText(QString(edit->text()).remove('&'));
    edit->setCursorPosition(cursor - static_cast<int>(before.count('&')));
    throw AppError(errkind::kEdit, kAmpersandRefused);
}

void TfrmTextToSpeech::EdithintExit(QObject*) {
    SaveBotSettings();
}
void TfrmTextToSpeech::EditpromptExit(QObject*) {
    SaveBotSettings();
}
void TfrmTextToSpeech::EditbuttonExit(QObject*) {
    SaveBotSettings();
}

void TfrmTextToSpeech::ButtonAddCustomFilesClick(QObject*) {
    shellOpen(quotedTarget(flashFolderUnterminated()));
}
