// The Publish page: embed code, test page, clipboard and the flash folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <optional>

#include "core/embed_code.h"
#include "core/mouths_manifest.h"
#include "gui/main.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace fs = std::filesystem;

namespace {
struct PublishPage : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace{"my work/"};
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmTextToSpeech> frm;

    void start(const std::vector<std::string>& bots) {
        for (const auto& bot : bots) workspace.addBot(bot);
        frm = std::make_unique<TfrmTextToSpeech>();
        frm->show();
    }
    void select(const std::string& bot) {
        frm->ComboBoxBots->setCurrentIndex(
            frm->ComboBoxBots->findText(QString::fromStdString(bot)));
        runReported([this] { frm->ComboBoxBotsChange(frm->ComboBoxBots); });
    }
    std::string shownCode() const { return frm->RichEditHtml->toPlainText().toStdString(); }
    static std::string withLf(std::string crlf) {
        std::string out;
        for (const char c : crlf)
            if (c != '\r') out += c;
        return out;
    }
};
}  // namespace

TEST_F(PublishPage, IsLaidOutInItsTabOrder) {
    start({"bot"});
    EXPECT_EQ(frm->Label17->text(), "5. Test and finally publish your bot!");
    EXPECT_EQ(frm->RichEditHtml->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(frm->ButtonCopyClipboard->text(), "Copy to clipboard");
    const std::vector<QWidget*> order = {frm->ButtonTest, frm->ButtonPublish, frm->RichEditHtml,
                                         frm->ButtonCopyClipboard};
    EXPECT_EQ(tabOrderOf(order), order);
}

TEST_F(PublishPage, EverySelectionShowsTheFragmentOfItsBot) {
    start({"Erster Bot", "zweiter"});
    writeFile(workspace.bot("zweiter") + "vars.txt", "hint=x");
    select("Erster Bot");
    EXPECT_EQ(shownCode(), withLf(embedCode("Erster Bot", true, true)));
    select("zweiter");
    EXPECT_EQ(shownCode(), withLf(embedCode("zweiter", true, true)));
    select("Erster Bot");  // no settings file: the code is refreshed all the same
    EXPECT_NE(shownCode().find("FlashVars=\"bot=Erster Bot\"/>"), std::string::npos);
}

TEST_F(PublishPage, TestWritesThePageOfTheSelectedBotAndOpensIt) {
    start({"one", "two"});
    select("one");
    QTest::mouseClick(frm->ButtonTest, Qt::LeftButton);
    EXPECT_EQ(harnessOpener().targets,
              std::vector<std::string>{workspace.path() + "flash/tts.html"});
    select("two");
    QTest::mouseClick(frm->ButtonTest, Qt::LeftButton);
    EXPECT_EQ(readFile(workspace.path() + "flash/tts.html"), embedCode("two", false, true));
    EXPECT_EQ(harnessOpener().targets.size(), 2u);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(PublishPage, ATestPageThatCannotBeWrittenIsReportedAndNotOpened) {
    start({"bot"});
    fs::remove_all(workspace.path() + "flash");
    QTest::mouseClick(frm->ButtonTest, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Error: Cannot create file \"" + workspace.path() +
                                       "flash/tts.html\". No such file or directory."});
    EXPECT_TRUE(harnessOpener().targets.empty());
}

TEST_F(PublishPage, CopyToClipboardCopiesWhatTheBoxShowsEditsIncluded) {
    start({"bot"});
    frm->RichEditHtml->moveCursor(QTextCursor::End);
    QTest::keyClicks(frm->RichEditHtml, "<p>mine</p>");
    QTest::mouseClick(frm->ButtonCopyClipboard, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              withLf(embedCode("bot", true, true)) + "<p>mine</p>");
    EXPECT_EQ(frm->RichEditHtml->textCursor().selectedText().size(),
              frm->RichEditHtml->toPlainText().size());  // the selection stays on the whole text
}

TEST_F(PublishPage, PublishOpensTheFlashFolderWithoutATrailingSeparator) {
    start({"bot"});
    fs::create_directories(workspace.path() + "flash/chars/Anna/mouth");
    writeFile(workspace.path() + "flash/chars/Anna/mouth/0.png", "png");
    QTest::mouseClick(frm->ButtonPublish, Qt::LeftButton);
    EXPECT_EQ(harnessOpener().targets, std::vector<std::string>{workspace.path() + "flash"});
    // The folder to upload tells the HTML5 player which mouth pictures there are.
    EXPECT_EQ(readFile(workspace.path() + "flash/chars/mouths.js"),
              mouthsManifest({{"Anna", {0}}}));
}

TEST_F(PublishPage, TheHtml5PlayerIsOfferedRememberedAndGivenItsData) {
    start({"bot"});
    EXPECT_TRUE(frm->CheckBoxHtml5Player->isChecked());
    EXPECT_EQ(frm->CheckBoxHtml5Player->text(), "Use the HTML5 player (works in current browsers)");
    EXPECT_EQ(shownCode(), withLf(embedCode("bot", true, true)));
    writeFile(workspace.bot("bot") + "vars.txt", "hint=h");
    writeFile(workspace.bot("bot") + "phrases.txt", "=hi\r\n");
    writeFile(workspace.bot("bot") + "0.txt", "11 120\r\n");
    writeFile(workspace.bot("bot") + "12.txt", "0 5\r\n");
    writeFile(workspace.bot("bot") + "notes.txt", "not a log");
    fs::create_directories(workspace.path() + "flash/chars/Clara");

    QTest::mouseClick(frm->ButtonTest, Qt::LeftButton);
    ASSERT_EQ(harnessOpener().targets,
              std::vector<std::string>{workspace.path() + "flash/tts.html"});
    EXPECT_EQ(readFile(workspace.path() + "flash/tts.html"), embedCode("bot", false, true));
    EXPECT_EQ(readFile(workspace.path() + "flash/tts-data.js"),
              playerDataScript("bot", {{"vars.txt", "hint=h"},
                                       {"phrases.txt", "=hi\r\n"},
                                       {"0.txt", "11 120\r\n"},
                                       {"12.txt", "0 5\r\n"}}));
    EXPECT_EQ(readFile(workspace.path() + "flash/chars/mouths.js"),
              mouthsManifest({{"Clara", {}}}));

    // Unticked: exactly the code for Flash, on the page and in the test page.
    QTest::mouseClick(frm->CheckBoxHtml5Player, Qt::LeftButton);
    EXPECT_EQ(shownCode(), withLf(embedCode("bot", true)));
    EXPECT_EQ(readFile(workspace.path() + "options.txt"), "html5player=0\n");
    QTest::mouseClick(frm->ButtonTest, Qt::LeftButton);
    EXPECT_EQ(readFile(workspace.path() + "flash/tts.html"), embedCode("bot", false));
    frm.reset();
    frm = std::make_unique<TfrmTextToSpeech>();  // the choice is kept in the workspace
    EXPECT_FALSE(frm->CheckBoxHtml5Player->isChecked());
    EXPECT_EQ(shownCode(), withLf(embedCode("bot", true)));
}

TEST_F(PublishPage, TheOptionsFileKeepsItsOtherLines) {
    const struct {
        std::optional<std::string> before;
        bool ticked;
        std::string after;  // after one click on the box
    } cases[] = {
        {std::nullopt, true, "html5player=0\n"},
        {"", true, "html5player=0\n"},
        {"html5player=1\n", true, "html5player=0\n"},
        {"html5player=0\n", false, "html5player=1\n"},
        {"html5player=0\r\n", false, "html5player=1\n"},
        {"theme=dark\n", true, "theme=dark\nhtml5player=0\n"},
        {"a=1\r\nhtml5player=0\n\nb=2", false, "a=1\r\nhtml5player=1\n\nb=2\n"},
        {"html5player=0\nhtml5player=1\n", false, "html5player=1\n"},
        {"xhtml5player=0\n", true, "xhtml5player=0\nhtml5player=0\n"},
    };
    workspace.addBot("bot");
    const std::string options = workspace.path() + "options.txt";
    for (const auto& c : cases) {
        fs::remove(options);
        if (c.before) writeFile(options, *c.before);
        frm = std::make_unique<TfrmTextToSpeech>();
        frm->show();
        EXPECT_EQ(frm->CheckBoxHtml5Player->isChecked(), c.ticked) << c.before.value_or("(none)");
        QTest::mouseClick(frm->CheckBoxHtml5Player, Qt::LeftButton);
        EXPECT_EQ(readFile(options), c.after) << c.before.value_or("(none)");
    }
    // A file dated before 1980 is read and kept all the same.
    writeFile(options, "theme=dark\nhtml5player=0\n");
    fs::last_write_time(options, fs::file_time_type::clock::now() - std::chrono::years(60));
    frm = std::make_unique<TfrmTextToSpeech>();
    frm->show();
    EXPECT_FALSE(frm->CheckBoxHtml5Player->isChecked());
    QTest::mouseClick(frm->CheckBoxHtml5Player, Qt::LeftButton);
    EXPECT_EQ(readFile(options), "theme=dark\nhtml5player=1\n");
}
