// The Interface page and the bot settings file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "core/errors.h"
#include "gui/main.h"
#include "gui/media_player.h"
#include "gui/picture.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace fs = std::filesystem;

namespace {

// The bytes of the settings file at every write, in order.
std::vector<std::string> writes;
std::string watched;
void recordWrite(const std::string& text) {
    if (text == "vars saved") writes.push_back(readFile(watched));
}

const std::string kDefaults =
    "hint=Enter your question for this topic and press 'Ask'&prompt=Your Question:&button=Ask";

void saveJpeg(const std::string& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "JPG"));
}

struct InterfacePage : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    RealMusic music;  // SDL2_mixer opens the tracks
    std::unique_ptr<TfrmTextToSpeech> frm;

    InterfacePage() {
        for (const char* c : {"Anna", "Ben"}) {
            fs::create_directories(workspace.path() + "flash/chars/" + c);
            saveJpeg(workspace.path() + "flash/chars/" + c + "/preview.jpg", 240, 240,
                     c[0] == 'A' ? Qt::green : Qt::blue);
        }
        saveJpeg(workspace.path() + "flash/backs/garden.jpg", 400, 450, Qt::yellow);
        writeFile(workspace.path() + "flash/backs/broken.jpg", "this is no jpeg");
        writeFile(workspace.path() + "flash/backs/photo.png", "");
        fs::copy(STAGED_WORKSPACE "/flash/music/calm.mp3",
                 workspace.path() + "flash/music/calm.mp3");
        writeFile(workspace.path() + "flash/music/noise.mp3", "not audio at all");
        writes.clear();
    }

    void start(const std::vector<std::pair<std::string, std::optional<std::string>>>& bots) {
        for (const auto& [name, vars] : bots) {
            workspace.addBot(name);
            if (vars) writeFile(workspace.bot(name) + "vars.txt", *vars);
        }
        watched = workspace.bot(bots.front().first) + "vars.txt";
        frm = std::make_unique<TfrmTextToSpeech>(&recordWrite);
        frm->show();
        QApplication::setActiveWindow(frm.get());
    }
    void select(const std::string& bot) {
        watched = workspace.bot(bot) + "vars.txt";
        frm->ComboBoxBots->setCurrentIndex(
            frm->ComboBoxBots->findText(QString::fromStdString(bot)));
        runReported([this] { frm->ComboBoxBotsChange(frm->ComboBoxBots); });
    }
    // Picks `item` in a list as the user does with the arrow key, from the entry above it.
    void pick(QComboBox* box, const char* item) {
        const int index = box->findText(item);
        ASSERT_GE(index, 0);
        box->setCurrentIndex(index - 1);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentIndex(), index);
    }
    static std::string value(const QComboBox* box) { return box->currentText().toStdString(); }
};

}  // namespace

TEST_F(InterfacePage, IsLaidOutWithBothGroupsAndEmptyPreviews) {
    start({{"bot", std::nullopt}});
    EXPECT_EQ(frm->GroupBox1->title(), "Bot interface text");
    EXPECT_EQ(frm->GroupBox2->title(), "Bot attributes");
    EXPECT_EQ(frm->Edithint->text(), "Enter your question for this topic and press 'Ask'");
    EXPECT_EQ(frm->Editprompt->text(), "Your Question:");
    EXPECT_EQ(frm->Editbutton->text(), "Ask");
    EXPECT_EQ(frm->ButtonAddCustomFiles->text(), "Add custom files");
    EXPECT_TRUE(frm->ImageChar->pixmap().isNull());
    EXPECT_TRUE(frm->ImageBack->pixmap().isNull());
    EXPECT_FALSE(frm->MediaPlayer1->playButton()->isEnabled());
    EXPECT_FALSE(frm->MediaPlayer1->stopButton()->isEnabled());
}

TEST_F(InterfacePage, ApplyingRewritesTheFileAtEveryListPair) {
    const std::string vars = "hint=H1&char=anna&prompt=P1&x=1&back=garden.jpg&button=B1&Hint=no";
    start({{"bot", vars}});
    EXPECT_EQ(frm->Edithint->text(), "H1");
    EXPECT_EQ(frm->Editprompt->text(), "P1");
    EXPECT_EQ(frm->Editbutton->text(), "B1");
    EXPECT_EQ(value(frm->ComboBoxChars), "Anna");  // found without regard to case
    EXPECT_EQ(value(frm->ComboBoxBacks), "garden.jpg");
    EXPECT_EQ(value(frm->ComboBoxMusic), "Silence");
    // Each list pair wrote the page as it stood: no music part while "Silence" shows.
    EXPECT_EQ(writes,
              (std::vector<std::string>{"hint=H1&prompt=Your Question:&button=Ask&char=Anna&back=",
                                        "hint=H1&prompt=P1&button=Ask&char=Anna&back=garden.jpg"}));
    EXPECT_EQ(readFile(watched), writes.back());
    EXPECT_EQ(frm->ImageChar->pixmap().size(), QSize(105, 105));
    EXPECT_EQ(frm->ImageBack->pixmap().size(), QSize(93, 105));  // proportions kept
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(InterfacePage, AFileWithoutListPairsIsNotRewritten) {
    start({{"bot", "&&hint=only the hint&"}});
    EXPECT_EQ(frm->Edithint->text(), "only the hint");
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(readFile(watched), "&&hint=only the hint&");
    // Empty, not UTF-8, or beginning with a byte-order mark: nothing applies.
    for (const std::string& bytes :
         {std::string(), std::string("hint=\xFC"), std::string("\xEF\xBB\xBFhint=bom")}) {
        writeFile(watched, bytes);
        select("bot");
        EXPECT_EQ(frm->Edithint->text(), "only the hint");
        EXPECT_EQ(readFile(watched), bytes);
    }
}

TEST_F(InterfacePage, ABotWithoutSettingsKeepsThePageAsItWas) {
    start({{"a", "hint=from a&char=Ben&back=garden.jpg&music=calm.mp3"}, {"b", std::nullopt}});
    select("a");
    ASSERT_TRUE(frm->MediaPlayer1->isOpen());
    writes.clear();
    select("b");
    EXPECT_EQ(frm->Edithint->text(), "from a");
    EXPECT_EQ(value(frm->ComboBoxChars), "Ben");
    EXPECT_EQ(value(frm->ComboBoxMusic), "calm.mp3");
    EXPECT_TRUE(frm->MediaPlayer1->isOpen());
    EXPECT_FALSE(frm->ImageChar->pixmap().isNull());
    EXPECT_TRUE(writes.empty());
    EXPECT_FALSE(exists(workspace.bot("b") + "vars.txt"));
}

TEST_F(InterfacePage, ASettingsFileStopsTheMusicAndSelectsSilenceFirst) {
    start({{"a", "music=calm.mp3"}, {"b", "hint=x&music=unknown.mp3"}});
    select("a");
    ASSERT_TRUE(frm->MediaPlayer1->isOpen());
    frm->MediaPlayer1->Play();
    select("b");
    EXPECT_EQ(value(frm->ComboBoxMusic), "Silence");
    EXPECT_FALSE(frm->MediaPlayer1->isOpen());
    EXPECT_FALSE(frm->MediaPlayer1->playButton()->isEnabled());
    EXPECT_EQ(readFile(workspace.bot("b") + "vars.txt"),
              "hint=x&prompt=Your Question:&button=Ask&char=&back=");
}

TEST_F(InterfacePage, AnUnknownCharacterKeepsThePreviousOneOrFailsWithoutOne) {
    start({{"a", "char=Ben"}, {"b", "char=Nobody&hint=after"}});
    select("a");
    select("b");  // "Nobody": Ben stays, its preview reloads, and the file says so
    EXPECT_EQ(value(frm->ComboBoxChars), "Ben");
    EXPECT_EQ(frm->Edithint->text(), "after");
    EXPECT_EQ(readFile(workspace.bot("b") + "vars.txt"), kDefaults + "&char=Ben&back=");

    frm.reset();
    dialogs.shown().clear();
    writeFile(workspace.bot("b") + "vars.txt", "char=Nobody&hint=after");
    start({{"b", "char=Nobody&hint=not reached"}});
    select("b");
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_EQ(dialogs.shown().back(), "Error: Cannot open file \"" + workspace.path() +
                                          "flash/chars//preview.jpg\". No such file or directory.");
    EXPECT_NE(frm->Edithint->text(), "not reached");
}

TEST_F(InterfacePage, EachPictureErrorStopsTheRestOfTheBotSelection) {
    const std::pair<std::string, std::string> cases[] = {
        {"back=", "Unknown picture file extension (.)"},  // no background selected yet
        {"back=photo.png", "Unknown picture file extension (.png)"},
        {"char=Empty", "Cannot open file \"" + workspace.path() +
                           "flash/chars/Empty/preview.jpg\". No such file or directory."},
        {"back=broken.jpg", ""},  // the decoder's own message
    };
    fs::create_directories(workspace.path() + "flash/chars/Empty");  // no preview
    start({{"bot", std::nullopt}});
    for (const auto& [pair, message] : cases) {
        writeFile(workspace.bot("bot") + "vars.txt", pair + "&hint=not reached");
        frm->Edithint->setText("before");
        dialogs.shown().clear();
        writes.clear();
        select("bot");
        ASSERT_EQ(dialogs.shown().size(), 1u) << pair;
        if (!message.empty())
            EXPECT_EQ(dialogs.shown()[0], "Error: " + message) << pair;
        else
            EXPECT_EQ(dialogs.shown()[0].rfind("Error: Picture is not valid", 0), 0u)
                << dialogs.shown()[0];
        EXPECT_EQ(frm->Edithint->text(), "before") << pair;
        EXPECT_TRUE(writes.empty()) << pair;
    }
}

TEST_F(InterfacePage, TheListsReactToTheUser) {
    start({{"bot", std::nullopt}});
    pick(frm->ComboBoxChars, "Anna");
    EXPECT_EQ(writes.size(), 1u);
    EXPECT_FALSE(frm->ImageChar->pixmap().isNull());
    pick(frm->ComboBoxMusic, "calm.mp3");
    EXPECT_TRUE(frm->MediaPlayer1->isOpen());
    EXPECT_TRUE(frm->MediaPlayer1->playButton()->isEnabled());
    QTest::mouseClick(frm->MediaPlayer1->playButton(), Qt::LeftButton);
    EXPECT_TRUE(frm->MediaPlayer1->isPlaying());
    QTest::mouseClick(frm->MediaPlayer1->stopButton(), Qt::LeftButton);
    EXPECT_FALSE(frm->MediaPlayer1->isPlaying());
    const auto tail = [] { return readFile(watched).substr(readFile(watched).rfind('&')); };
    EXPECT_EQ(tail(), "&music=calm.mp3");

    pick(frm->ComboBoxMusic, "noise.mp3");  // a file that is not audio
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].rfind("Error: ", 0), 0u);
    EXPECT_FALSE(frm->MediaPlayer1->isOpen());
    EXPECT_FALSE(frm->MediaPlayer1->playButton()->isEnabled());
    EXPECT_EQ(tail(), "&music=calm.mp3");  // not written
    pick(frm->ComboBoxMusic, "Silence");
    EXPECT_EQ(readFile(watched),
              "hint=Enter your question for this topic and press 'Ask'"
              "&prompt=Your Question:&button=Ask&char=Anna&back=");
}

TEST_F(InterfacePage, EditsWriteWhenTheFocusLeavesThem) {
    start({{"bot", std::nullopt}});
    frm->Edithint->setFocus();
    frm->Edithint->selectAll();
    QTest::keyClicks(frm->Edithint, "Frag mich");
    EXPECT_TRUE(writes.empty());  // typing writes nothing
    frm->Editprompt->setFocus();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], "hint=Frag mich&prompt=Your Question:&button=Ask&char=&back=&music=");
    // What is typed last is kept when the user turns to another program, or closes the window.
    QTest::keyClicks(frm->Editprompt, "?");
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1], "hint=Frag mich&prompt=?Your Question:&button=Ask&char=&back=&music=");
    QApplication::setActiveWindow(frm.get());
    QTest::keyClicks(frm->Editprompt, "!");
    frm->close();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[2], "hint=Frag mich&prompt=?!Your Question:&button=Ask&char=&back=&music=");
}

TEST_F(InterfacePage, AnAmpersandInAnInterfaceTextIsRefused) {
    start({{"bot", std::nullopt}});
    frm->Editbutton->setFocus();
    frm->Editbutton->selectAll();
    QTest::keyClicks(frm->Editbutton, "Q&A");
    EXPECT_EQ(frm->Editbutton->text(), "QA");
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{
                  "Error: The texts of the bot's interface may not contain an ampersand (\"&\")"});
    frm->Edithint->setFocus();
    EXPECT_EQ(writes.back(),
              "hint=Enter your question for this topic and press 'Ask'&prompt=Your "
              "Question:&button=QA&char=&back=&music=");
}

TEST(PreviewPicture, ScalesAnyKindByItsExtensionAndReportsTheRest) {
    TempDir dir;
    saveJpeg(dir.path() + "wide.JPEG", 8000, 2000, Qt::red);
    const QImage wide = loadPreviewPicture(dir.path() + "wide.JPEG", 105);
    EXPECT_EQ(wide.size(), QSize(105, 26));
    QImage small(20, 40, QImage::Format_RGB32);
    small.fill(Qt::blue);
    small.save(QString::fromStdString(dir.path() + "small.bmp"), "BMP");
    EXPECT_EQ(loadPreviewPicture(dir.path() + "small.bmp", 105).size(), QSize(52, 105));
    small.save(QString::fromStdString(dir.path() + "icon.ico"), "ICO");
    EXPECT_EQ(loadPreviewPicture(dir.path() + "icon.ico", 105).height(), 105);
    // A PNG under a JPEG's name is a damaged JPEG.
    small.save(QString::fromStdString(dir.path() + "png.jpg"), "PNG");
    EXPECT_THROW(loadPreviewPicture(dir.path() + "png.jpg", 105), AppError);
    writeFile(dir.path() + "empty.jpg", "");
    EXPECT_THROW(loadPreviewPicture(dir.path() + "empty.jpg", 105), AppError);
    writeFile(dir.path() + "x.wmf", "");
    try {
        loadPreviewPicture(dir.path() + "x.wmf", 105);
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "Windows metafiles (.wmf, .emf) cannot be shown on this platform");
    }
    EXPECT_EQ(extensionOf("/a.b/c"), "");
    EXPECT_EQ(extensionOf("/a/c.Tar.GZ"), "GZ");
}
