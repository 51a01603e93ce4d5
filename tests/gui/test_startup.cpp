#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "core/catalogue.h"
#include "core/errors.h"
#include "gui/main.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> items(const QComboBox* box) {
    std::vector<std::string> out;
    for (int i = 0; i < box->count(); ++i) out.push_back(box->itemText(i).toStdString());
    return out;
}

struct Startup : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(Startup, FrameBotBarAndPagesAreLaidOut) {
    TfrmTextToSpeech frm;
    EXPECT_EQ(frm.windowTitle(), "Parlomat beta v1.0");
    EXPECT_FALSE(frm.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frm.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(frm.Label21->text(), "1. Select the bot you want to edit or create a new bot.");
    EXPECT_EQ(frm.Label3->text(), "Edit bot:");
    EXPECT_EQ(frm.ButtonAdd->text(), "New bot...");
    ASSERT_EQ(frm.PageControl1->count(), 4);
    const char* captions[] = {"2. Interface", "3. Phrases", "4. Speech", "5. Publish"};
    const QWidget* pages[] = {frm.TabSheet2, frm.TabSheet1, frm.TabSheet3, frm.TabSheet4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(frm.PageControl1->tabText(i), captions[i]);
        EXPECT_EQ(frm.PageControl1->widget(i), pages[i]);
    }
    // Tab order, round the window's focus chain: the page control, the bot box, "New bot...".
    std::vector<QWidget*> order;
    QWidget* w = frm.PageControl1;
    do {
        if (w == frm.PageControl1 || w == frm.ComboBoxBots || w == frm.ButtonAdd)
            order.push_back(w);
        w = w->nextInFocusChain();
    } while (w != frm.PageControl1);
    EXPECT_EQ(order, (std::vector<QWidget*>{frm.PageControl1, frm.ComboBoxBots, frm.ButtonAdd}));
}

TEST_F(Startup, HeadingsAreNavyAndTheStatusLineRedOnTheScreen) {
    workspace.addBot("bot");
    TfrmTextToSpeech frm;
    frm.LabelStatusText->show();
    frm.LabelStatus->setText("Completed!");
    const auto has = [](QLabel* label, QRgb wanted) {
        const QImage drawn = label->grab().toImage();
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if ((drawn.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF)) return true;
        return false;
    };
    for (QLabel* heading : {frm.Label21, frm.Label14, frm.Label1, frm.Label13, frm.Label17})
        EXPECT_TRUE(has(heading, qRgb(0, 0, 128))) << heading->objectName().toStdString();
    for (QLabel* status : {frm.LabelStatusText, frm.LabelStatus})
        EXPECT_TRUE(has(status, qRgb(255, 0, 0))) << status->objectName().toStdString();
}

TEST_F(Startup, WithoutBotsThePagesAreHidden) {
    TfrmTextToSpeech frm;
    EXPECT_EQ(frm.ComboBoxBots->count(), 0);
    EXPECT_EQ(frm.ComboBoxBots->currentIndex(), -1);
    EXPECT_TRUE(frm.PageControl1->isHidden());
    EXPECT_EQ(frm.PageControl1->currentIndex(), 0);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(Startup, WithoutFlashBotsTheBoxIsEmptyAndEveryNewBotIsRefused) {
    fs::remove_all(workspace.path() + "flash/bots");
    TfrmTextToSpeech frm;
    EXPECT_EQ(frm.ComboBoxBots->count(), 0);
    EXPECT_TRUE(frm.PageControl1->isHidden());
    dialogs.answers = {std::string("mybot")};
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Warning: Invalid bot name - please choose another name"});
    EXPECT_FALSE(exists(workspace.path() + "flash/bots"));
}

TEST_F(Startup, WithBotsTheFirstOfTheListingIsSelectedAndPageOneShown) {
    for (const char* bot : {"Zeta", "alpha", "Mitte"}) workspace.addBot(bot);
    writeFile(workspace.path() + "flash/bots/stray.txt", "not a bot");
    TfrmTextToSpeech frm;
    const auto listing = listCatalogue(workspace.path() + "flash/bots", kFolderMask);
    EXPECT_EQ(items(frm.ComboBoxBots), listing);
    EXPECT_EQ(frm.ComboBoxBots->currentIndex(), 0);
    EXPECT_EQ(frm.botName(), listing[0]);
    EXPECT_FALSE(frm.PageControl1->isHidden());
    EXPECT_EQ(frm.PageControl1->currentIndex(), 0);
}

TEST_F(Startup, CataloguesAreFilledWithoutSelection) {
    fs::create_directory(workspace.path() + "flash/chars/Anna");
    writeFile(workspace.path() + "flash/backs/garden.jpg", "");
    writeFile(workspace.path() + "flash/music/a.mp3", "");
    fs::create_directory(workspace.path() + "flash/music/sub");
    TfrmTextToSpeech frm;
    EXPECT_EQ(items(frm.ComboBoxChars), std::vector<std::string>{"Anna"});
    EXPECT_EQ(items(frm.ComboBoxBacks), std::vector<std::string>{"garden.jpg"});
    ASSERT_EQ(frm.ComboBoxMusic->count(), 3);
    EXPECT_EQ(frm.ComboBoxMusic->itemText(0), "Silence");
    for (const QComboBox* box : {frm.ComboBoxChars, frm.ComboBoxBacks, frm.ComboBoxMusic})
        EXPECT_EQ(box->currentIndex(), -1) << box->objectName().toStdString();
}

TEST_F(Startup, MissingMusicFolderLeavesSilenceAlone) {
    fs::remove_all(workspace.path() + "flash/music");
    TfrmTextToSpeech frm;
    EXPECT_EQ(items(frm.ComboBoxMusic), std::vector<std::string>{"Silence"});
}

TEST_F(Startup, PickingABotShowsThePagesAndKeepsTheActivePage) {
    workspace.addBot("one");
    workspace.addBot("two");
    TfrmTextToSpeech frm;
    frm.PageControl1->setCurrentIndex(2);
    frm.ComboBoxBots->setFocus();
    QTest::keyClick(frm.ComboBoxBots, Qt::Key_Down);
    EXPECT_EQ(frm.ComboBoxBots->currentIndex(), 1);
    EXPECT_FALSE(frm.PageControl1->isHidden());
    EXPECT_EQ(frm.PageControl1->currentIndex(), 2);
}

struct NewBot : Startup {};

TEST_F(NewBot, CancelCreatesTestOnceThenWarns) {
    workspace.addBot("existing");
    TfrmTextToSpeech frm;
    dialogs.answers = {std::nullopt};
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    EXPECT_EQ(dialogs.lastQuery, (std::vector<std::string>{"Add new bot", "Bot name", "test"}));
    EXPECT_EQ(dialogs.lastQueryMaxLength, 255);
    EXPECT_TRUE(fs::is_directory(workspace.bot("test")));
    EXPECT_EQ(frm.botName(), "test");
    EXPECT_TRUE(dialogs.shown().empty());

    dialogs.answers = {std::nullopt};
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Warning: Invalid bot name - please choose another name"});
    EXPECT_EQ(frm.botName(), "test");
}

TEST_F(NewBot, EmptyNameIsRefusedWithInformation) {
    TfrmTextToSpeech frm;
    dialogs.answers = {std::string()};
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Information: Invalid bot name"});
    EXPECT_TRUE(fs::is_empty(workspace.path() + "flash/bots"));
}

TEST_F(NewBot, NamesThatWouldLeaveTheBotFolderAreRefused) {
    TfrmTextToSpeech frm;
    for (const std::string& name :
         std::vector<std::string>{"../escape", "a/b", ".", "..", std::string("nul\0x", 5)}) {
        dialogs.shown().clear();
        dialogs.answers = {name};
        QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
        EXPECT_EQ(
            dialogs.shown(),
            std::vector<std::string>{"Warning: Invalid bot name - please choose another name"})
            << name;
    }
    EXPECT_TRUE(fs::is_empty(workspace.path() + "flash/bots"));
    EXPECT_FALSE(exists(workspace.path() + "flash/escape"));
    EXPECT_FALSE(exists(workspace.path() + "flash/nul"));
}

TEST_F(NewBot, NamesWithBlanksQuotesAndUmlautsAreCreatedAsTyped) {
    workspace.addBot("aaa");
    TfrmTextToSpeech frm;
    for (const std::string name : {" Mein Bot ", "Bär \"Bruno\"", "it's & <b>"}) {
        dialogs.answers = {name};
        QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
        EXPECT_TRUE(fs::is_directory(workspace.bot(name))) << name;
        EXPECT_EQ(frm.botName(), name);
        EXPECT_FALSE(frm.PageControl1->isHidden());
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(NewBot, ANameThatDiffersOnlyInCaseSelectsTheUpperEntry) {
    TfrmTextToSpeech frm;
    dialogs.answers = {std::string("Bot")};
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    dialogs.answers = {std::string("BOT")};
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    EXPECT_TRUE(fs::is_directory(workspace.bot("BOT")));
    const auto listing = listCatalogue(workspace.path() + "flash/bots", kFolderMask);
    EXPECT_EQ(frm.botName(), listing[static_cast<size_t>(catalogueIndexOf(listing, "BOT"))]);
}

TEST_F(NewBot, AFolderTheListDoesNotShowLeavesNoSelectionAndThePagesAsTheyWere) {
    workspace.addBot("shown");
    TfrmTextToSpeech frm;
    ASSERT_FALSE(frm.PageControl1->isHidden());
    dialogs.answers = {std::string(".hidden")};  // a hidden folder is not a bot
    QTest::mouseClick(frm.ButtonAdd, Qt::LeftButton);
    EXPECT_TRUE(fs::is_directory(workspace.bot(".hidden")));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(frm.ComboBoxBots->currentIndex(), -1);
    EXPECT_EQ(items(frm.ComboBoxBots), std::vector<std::string>{"shown"});
    EXPECT_FALSE(frm.PageControl1->isHidden());
}

TEST_F(Startup, AnEngineThatCannotBeReachedStopsTheWindowFromBeingCreated) {
    const auto applicationError = [] {
        try {
            TfrmTextToSpeech frm;
        } catch (const AppError& error) {
            return applicationErrorText(error);
        }
        return std::string("the window was created");
    };
    // No engine at all, and an engine that refuses the voice.
    {
        const Install<SpeechEngine> none(nullptr);
        const std::string text = applicationError();
        EXPECT_TRUE(text.starts_with("Exception EngineError in module ")) << text;
        EXPECT_TRUE(text.ends_with(".\nThe speech engine is not available.")) << text;
    }
    engine.failToConnect = true;
    EXPECT_TRUE(applicationError().ends_with(".\nThe speech engine is not installed."));
}
