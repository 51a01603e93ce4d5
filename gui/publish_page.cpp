// The Publish page ("5. Publish").
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/embed_code.h"
#include "core/fileio.h"
#include "core/mouths_manifest.h"
#include "core/options_file.h"
#include "core/shell.h"
#include "core/workspace_paths.h"
#include "gui/layout.h"
#include "gui/main.h"

namespace {
// Whether the HTML5 player is used is remembered in the workspace's options; it is, unless the
// user has turned it off (the Flash player runs in no current browser).
constexpr const char* kHtml5Option = "html5player";
}  // namespace

void TfrmTextToSpeech::createPublishPage() {
    using namespace layout;
    Label17 = label(TabSheet4, "Label17", "5. Test and finally publish your bot!", {12, 24, 0, 0},
                    kLarge | kNavy);
    Label16 = label(TabSheet4, "Label16", "Test your bot on your local computer.",
                    {28, 68, 225, 17}, kWordWrap);
    ButtonTest = button(TabSheet4, "ButtonTest", "Test", {60, 96, 105, 25});
    wire(ButtonTest, &QPushButton::clicked, &TfrmTextToSpeech::ButtonTestClick);
    CheckBoxHtml5Player =
        new QCheckBox("Use the HTML5 player (works in current browsers)", TabSheet4);
    CheckBoxHtml5Player->setObjectName("CheckBoxHtml5Player");
    CheckBoxHtml5Player->move(28, 140);
    CheckBoxHtml5Player->adjustSize();
    CheckBoxHtml5Player->setChecked(readOption(kHtml5Option) != "0");
    wire(CheckBoxHtml5Player, &QCheckBox::clicked, &TfrmTextToSpeech::CheckBoxHtml5PlayerClick);
    Label19 = label(TabSheet4, "Label19",
                    "Publish your bot on your website. Clicking on the button will open a folder "
                    "that you need to copy to your web server (including subfolders). Add the html "
                    "code shown to your website. If you do not know how to do this, ask your "
                    "website developer.",
                    {28, 196, 225, 85}, kWordWrap);
    ButtonPublish = button(TabSheet4, "ButtonPublish", "Publish", {60, 288, 105, 25});
    wire(ButtonPublish, &QPushButton::clicked, &TfrmTextToSpeech::ButtonPublishClick);
    Label20 = label(TabSheet4, "Label20",
                    "Add this HTML code to your website at the place where your bot should appear:",
                    {316, 32, 337, 41}, kWordWrap);
    RichEditHtml = new QPlainTextEdit(TabSheet4);
    RichEditHtml->setObjectName("RichEditHtml");
    RichEditHtml->setGeometry(316, 64, 337, 281);
    RichEditHtml->setAccessibleName("HTML code for your website");
    RichEditHtml->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEditHtml->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEditHtml->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ButtonCopyClipboard =
        button(TabSheet4, "ButtonCopyClipboard", "Copy to clipboard", {316, 344, 97, 25});
    wire(ButtonCopyClipboard, &QPushButton::clicked, &TfrmTextToSpeech::ButtonCopyClipboardClick);

    LabelPublishSpeechState =
        label(TabSheet4, "LabelPublishSpeechState", "", {28, 322, 280, 45}, kWordWrap);

    tabOrder({ButtonTest, CheckBoxHtml5Player, ButtonPublish, RichEditHtml, ButtonCopyClipboard});
}

std::string TfrmTextToSpeech::BuildEmbedCode(bool fragment) const {
    return embedCode(botName(), fragment, CheckBoxHtml5Player->isChecked());
}

void TfrmTextToSpeech::ButtonTestClick(QObject*) {
    WriteFileText(testPagePath(), BuildEmbedCode(false));
    // Opened from disk, the page cannot read the bot's files itself: its data script holds them.
    if (CheckBoxHtml5Player->isChecked())
        WriteFileText(playerDataPath(),
                      playerDataScript(botName(), playerDataFiles(botFolder(botName()))));
    writeMouthsManifest(flashFolder());
    shellOpen(quotedTarget(testPagePath()));
}

void TfrmTextToSpeech::CheckBoxHtml5PlayerClick(QObject*) {
    writeOption(kHtml5Option, CheckBoxHtml5Player->isChecked() ? "1" : "0");
    if (ComboBoxBots->currentIndex() >= 0)
        RichEditHtml->setPlainText(QString::fromStdString(BuildEmbedCode(true)));
}

void TfrmTextToSpeech::ButtonCopyClipboardClick(QObject*) {
    RichEditHtml->selectAll();
    RichEditHtml->copy();
}

void TfrmTextToSpeech::ButtonPublishClick(QObject*) {
    writeMouthsManifest(flashFolder());
    shellOpen(quotedTarget(flashFolderUnterminated()));
}
