// The Publish page ("5. Publish").
#include <dirent.h>

#include <algorithm>
#include <memory>
#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "embed_code.h"
#include "fileio.h"
#include "layout.h"
#include "main.h"
#include "mouths_manifest.h"
#include "paths.h"
#include "phrase_file.h"
#include "shell.h"

namespace {
// The workspace's options, one key=value a line (LF).
std::string optionsPath() {
    return programFolder() + "options.txt";
}
constexpr const char* kHtml5Key = "html5player";

std::string readOptions() {
    try {
        return filePresent(optionsPath()) ? ReadFileText(optionsPath()) : std::string();
    } catch (const std::exception&) {
        return {};  // an unreadable options file leaves the defaults
    }
}

// The lines of the options text, each without its LF.
std::vector<std::string> optionLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < text.size();) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

// The value of the first line with this key (a CR before the LF does not count); nullopt when
// the file or the key is absent.
std::optional<std::string> rememberedOption(const std::string& key) {
    for (std::string line : optionLines(readOptions())) {
        if (!line.starts_with(key + "=")) continue;
        if (line.ends_with('\r')) line.pop_back();
        return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

// Sets the key's line and keeps every other line as it was.
void rememberOption(const std::string& key, const std::string& value) {
    std::string text;
    bool set = false;
    for (const std::string& line : optionLines(readOptions())) {
        if (!line.starts_with(key + "=")) {
            text += line + "\n";
        } else if (!set) {
            text += key + "=" + value + "\n";
            set = true;
        }
    }
    if (!set) text += key + "=" + value + "\n";
    WriteFileText(optionsPath(), text);
}

// The HTML5 player is used unless the user has turned it off.
bool html5Remembered() {
    return rememberedOption(kHtml5Key) != "0";
}

// The bot's text files that the HTML5 player reads: the settings, the phrases, the viseme logs.
std::vector<std::pair<std::string, std::string>> playerTexts(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const char* name : {"vars.txt", "phrases.txt"})
        if (filePresent(folder + name)) files.emplace_back(name, ReadFileText(folder + name));
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    std::vector<int> logs;
    for (const dirent* e = dir ? ::readdir(dir.get()) : nullptr; e; e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name.size() > 4 && name.ends_with(".txt") &&
            name.find_first_not_of("0123456789") == name.size() - 4 && name.size() < 14)
            logs.push_back(std::stoi(name));
    }
    std::sort(logs.begin(), logs.end());
    for (const int n : logs) {
        const std::string name = std::to_string(n) + ".txt";
        files.emplace_back(name, ReadFileText(folder + name));
    }
    return files;
}
}  // namespace

void TfrmTextToSpeech::createPublishPage() {
    using namespace layout;
    Label17 = label(TabSheet4, "Label17", "5. Test and finally publish your bot!", {12, 24, 0, 0},
                    Large | Navy);
    Label16 = label(TabSheet4, "Label16", "Test your bot on your local computer.",
                    {28, 68, 225, 17}, WordWrap);
    ButtonTest = button(TabSheet4, "ButtonTest", "Test", {60, 96, 105, 25});
    wire(ButtonTest, &QPushButton::clicked, &TfrmTextToSpeech::ButtonTestClick);
    CheckBoxHtml5Player =
        new QCheckBox("Use the HTML5 player (works in current browsers)", TabSheet4);
    CheckBoxHtml5Player->setObjectName("CheckBoxHtml5Player");
    CheckBoxHtml5Player->move(28, 140);
    CheckBoxHtml5Player->adjustSize();
    CheckBoxHtml5Player->setChecked(html5Remembered());
    wire(CheckBoxHtml5Player, &QCheckBox::clicked, &TfrmTextToSpeech::CheckBoxHtml5PlayerClick);
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

    tabOrder({ButtonTest, CheckBoxHtml5Player, ButtonPublish, RichEditHtml, ButtonCopyClipboard});
}

std::string TfrmTextToSpeech::BuildEmbedCode(bool fragment) const {
    return embedCode(botName(), fragment, CheckBoxHtml5Player->isChecked());
}

void TfrmTextToSpeech::ButtonTestClick(QObject*) {
    const std::string flash = programFolder() + "flash/";
    WriteFileText(flash + "tts.html", BuildEmbedCode(false));
    // Opened from disk, the page cannot read the bot's files itself: its data script holds them.
    if (CheckBoxHtml5Player->isChecked())
        WriteFileText(flash + "tts-data.js",
                      playerDataScript(botName(), playerTexts(flash + "bots/" + botName() + "/")));
    writeMouthsManifest(flash);
    shellOpen(quotedTarget(flash + "tts.html"));
}

void TfrmTextToSpeech::CheckBoxHtml5PlayerClick(QObject*) {
    rememberOption(kHtml5Key, CheckBoxHtml5Player->isChecked() ? "1" : "0");
    if (ComboBoxBots->currentIndex() >= 0)
        RichEditHtml->setPlainText(QString::fromStdString(BuildEmbedCode(true)));
}

void TfrmTextToSpeech::ButtonCopyClipboardClick(QObject*) {
    RichEditHtml->selectAll();
    RichEditHtml->copy();
}

void TfrmTextToSpeech::ButtonPublishClick(QObject*) {
    writeMouthsManifest(programFolder() + "flash/");
    shellOpen(quotedTarget(programFolder() + "flash"));
}
