// The Publish page ("5. Publish").
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "embed_code.h"
#include "fileio.h"
#include "layout.h"
#include "main.h"
#include "paths.h"
#include "shell.h"

void TfrmTextToSpeech::createPublishPage() {
    using namespace layout;
    Label17 = label(TabSheet4, "Label17", "5. Test and finally publish your bot!", {12, 24, 0, 0},
                    Large | Navy);
    Label16 = label(TabSheet4, "Label16", "Test your bot on your local computer.",
                    {28, 68, 225, 17}, WordWrap);
    ButtonTest = button(TabSheet4, "ButtonTest", "Test", {60, 96, 105, 25});
    wire(ButtonTest, &QPushButton::clicked, &TfrmTextToSpeech::ButtonTestClick);
    Label19 = label(TabSheet4, "Label19",
                    "Publish your bot on your website. Clicking on the button will open a folder "
                    "that you need to copy to your web server (including subfolders). Add the html "
                    "code shown to your website. If you do not know how to do this, ask your "
                    "website developer.",
                    {28, 196, 225, 85}, WordWrap);
    ButtonPublish = button(TabSheet4, "ButtonPublish", "Publish", {60, 288, 105, 25});
    wire(ButtonPublish, &QPushButton::clicked, &TfrmTextToSpeech::ButtonPublishClick);
    Label20 = label(TabSheet4, "Label20",
                    "Add this HTML code to your website at the place where your bot should appear:",
                    {316, 32, 337, 41}, WordWrap);
    RichEditHtml = new QPlainTextEdit(TabSheet4);
    RichEditHtml->setObjectName("RichEditHtml");
    RichEditHtml->setGeometry(316, 64, 337, 281);
    RichEditHtml->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEditHtml->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEditHtml->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ButtonCopyClipboard =
        button(TabSheet4, "ButtonCopyClipboard", "Copy to clipboard", {316, 344, 97, 25});
    wire(ButtonCopyClipboard, &QPushButton::clicked, &TfrmTextToSpeech::ButtonCopyClipboardClick);

    setTabOrder(ButtonTest, ButtonPublish);
    setTabOrder(ButtonPublish, RichEditHtml);
    setTabOrder(RichEditHtml, ButtonCopyClipboard);
}

std::string TfrmTextToSpeech::BuildEmbedCode(bool fragment) const {
    return embedCode(botName(), fragment);
}

void TfrmTextToSpeech::ButtonTestClick(QObject*) {
    const std::string page = programFolder() + "flash/tts.html";
    WriteFileText(page, BuildEmbedCode(false));
    shellOpen(quotedTarget(page));
}

void TfrmTextToSpeech::ButtonCopyClipboardClick(QObject*) {
    RichEditHtml->selectAll();
    RichEditHtml->copy();
}

void TfrmTextToSpeech::ButtonPublishClick(QObject*) {
    shellOpen(quotedTarget(programFolder() + "flash"));
}
