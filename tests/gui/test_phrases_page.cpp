// The Phrases page, through real key and mouse events on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "core/phrase_file.h"
#include "gui/main.h"
#include "gui/value_list_editor.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"

namespace {

int saves = 0;
void countSaves(const std::string& text) {
    if (text == "list saved") ++saves;
}

struct PhrasesPage : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmTextToSpeech> frm;
    ValueListEditor* grid = nullptr;

    // Starts the window with the bots given (name, phrases.txt bytes; an empty name for none)
    // and shows the Phrases page.
    void start(const std::vector<std::pair<std::string, std::optional<std::string>>>& bots) {
        for (const auto& [name, bytes] : bots) {
            workspace.addBot(name);
            if (bytes) writeFile(file(name), *bytes);
        }
        frm = std::make_unique<TfrmTextToSpeech>(&countSaves);
        frm->show();
        QApplication::setActiveWindow(frm.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        frm->PageControl1->setCurrentIndex(1);
        grid = frm->ValueListEditor1;
        grid->setFocus();
        saves = 0;
    }
    std::string file(const std::string& bot) const { return workspace.bot(bot) + "phrases.txt"; }
    std::string selected() const { return frm->botName(); }
    std::string bytes() const { return readFile(file(selected())); }

    void select(int row, int column) {
        grid->setCurrentIndex(grid->model()->index(row - 1, column));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = grid->cellEditor() ? static_cast<QWidget*>(grid->cellEditor()) : grid;
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();  // the editor closes through a queued call
    }
    void type(const char* text) {
        QWidget* target = grid->cellEditor() ? static_cast<QWidget*>(grid->cellEditor()) : grid;
        QTest::keyClicks(target, text);
    }
    std::vector<std::string> entries() const { return grid->Strings(); }
};

using Entries = std::vector<std::string>;

}  // namespace

TEST_F(PhrasesPage, IsLaidOutWithTheGridAndItsButtons) {
    start({{"bot", std::nullopt}});
    EXPECT_EQ(frm->PageControl1->widget(1), frm->TabSheet1);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Keywords");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "Phrases");
    EXPECT_EQ(grid->columnWidth(0), 150);
    EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    grid->horizontalHeader()->resizeSection(0, 250);  // the user drags the border
    EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    EXPECT_EQ(frm->ButtonAddPhrase->text(), "Add Phrase");
    EXPECT_EQ(frm->ButtonDeletePhrase->text(), "Delete Phrase");
    EXPECT_EQ(frm->ButtonPlay->text(), "Play preview");
}

TEST_F(PhrasesPage, SelectingABotReadsItsFileAnewEachTime) {
    start({{"a", "k1=p1\r\nHallo\r\n\r\na=b=c\r\n"}, {"b", "x=y\n"}});
    const auto pick = [this](const char* bot) {
        frm->ComboBoxBots->setCurrentIndex(frm->ComboBoxBots->findText(bot));
        frm->ComboBoxBotsChange(frm->ComboBoxBots);
    };
    pick("a");
    EXPECT_EQ(entries(), (Entries{"k1=p1", "Hallo", "", "a=b=c"}));
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "");  // no "=": no keyword
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "Hallo");
    EXPECT_EQ(grid->model()->index(3, 1).data().toString(), "b=c");
    grid->setEntry(0, "changed=not written");  // a change that reaches no file
    pick("b");
    EXPECT_EQ(entries(), Entries{"x=y"});
    pick("a");
    EXPECT_EQ(entries(), (Entries{"k1=p1", "Hallo", "", "a=b=c"}));
    EXPECT_EQ(saves, 0);
}

TEST_F(PhrasesPage, EditingAKeywordOrAPhraseWritesAtEveryKeystroke) {
    start({{"bot", "Hallo\r\nk=p\r\n"}});
    select(1, 1);
    key(Qt::Key_F2);
    ASSERT_NE(grid->cellEditor(), nullptr);
    grid->cellEditor()->selectAll();
    type("Hi");
    EXPECT_EQ(bytes(), "=Hi\r\nk=p\r\n");
    EXPECT_EQ(saves, 2);
    key(Qt::Key_Return);  // the editor closes: written once more
    EXPECT_EQ(saves, 3);
    EXPECT_EQ(grid->cellEditor(), nullptr);

    select(2, 0);
    type("x");  // typing opens the editor over the old text
    EXPECT_EQ(bytes(), "=Hi\r\nx=p\r\n");
    key(Qt::Key_Return);
    EXPECT_EQ(entries(), (Entries{"=Hi", "x=p"}));
}

TEST_F(PhrasesPage, AnEqualsSignInAKeywordIsRefusedAndNotWritten) {
    start({{"bot", "k=p\r\n"}});
    select(1, 0);
    type("a");
    saves = 0;
    type("=");
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Error: Key may not contain equals sign (\"=\")"});
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(bytes(), "a=p\r\n");
    type("b");  // still holds "=": refused again
    EXPECT_EQ(dialogs.shown().size(), 2u);
    key(Qt::Key_Escape);  // gives the editor's text back: written as it was at the start
    EXPECT_EQ(entries(), Entries{"k=p"});
    EXPECT_EQ(bytes(), "k=p\r\n");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(grid->cellEditor(), nullptr);
}

TEST_F(PhrasesPage, ThePlaceholderRowBecomesTheFirstEntry) {
    start({{"bot", std::nullopt}});
    EXPECT_EQ(entries(), Entries{});
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_TRUE(grid->isPlaceholderRow(1));
    select(1, 1);
    type("x");
    EXPECT_EQ(bytes(), "=x\r\n");
    EXPECT_EQ(entries(), Entries{"=x"});
    EXPECT_EQ(grid->model()->rowCount(), 1);
}

TEST_F(PhrasesPage, AddPhraseAppendsOrFillsTheSelectedEmptyEntryAndWritesTheList) {
    start({{"bot", std::nullopt}});
    const std::string support =
        "Support Hilfe=Sie erhalten für alle Produkte technische Unterstützung.";
    QTest::mouseClick(frm->ButtonAddPhrase, Qt::LeftButton);
    EXPECT_EQ(entries(), Entries{support});
    QTest::mouseClick(frm->ButtonAddPhrase, Qt::LeftButton);
    EXPECT_EQ(entries(), (Entries{support, support}));
    EXPECT_EQ(grid->Row(), 1);  // the selection stays
    EXPECT_EQ(saves, 2);        // each is written at once, as an edit of a cell is
    grid->setStrings({"a=b", "="});
    select(2, 0);
    QTest::mouseClick(frm->ButtonAddPhrase, Qt::LeftButton);
    EXPECT_EQ(entries(), (Entries{"a=b", support}));
    EXPECT_EQ(bytes(), "a=b\r\n" + support + "\r\n");
}

TEST_F(PhrasesPage, DeletePhraseOnTheLastOfThreeRowsSelectsTheRowAbove) {
    start({{"bot", "a=1\r\nb=2\r\nc=3\r\n"}});
    select(3, 1);
    QTest::mouseClick(frm->ButtonDeletePhrase, Qt::LeftButton);
    EXPECT_EQ(entries(), (Entries{"a=1", "b=2"}));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(bytes(), "a=1\r\nb=2\r\n");
    select(1, 1);
    QTest::mouseClick(frm->ButtonDeletePhrase, Qt::LeftButton);
    EXPECT_EQ(grid->Row(), 1);  // shows the next entry
    EXPECT_EQ(entries(), Entries{"b=2"});
    QTest::mouseClick(frm->ButtonDeletePhrase, Qt::LeftButton);
    EXPECT_EQ(bytes(), "");
    EXPECT_TRUE(grid->isPlaceholderRow(1));
}

TEST_F(PhrasesPage, DeletingOnThePlaceholderRowIsAnIndexError) {
    start({{"bot", ""}});
    QTest::mouseClick(frm->ButtonDeletePhrase, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: List index out of bounds (0)"});
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(saves, 0);
}

TEST_F(PhrasesPage, KeysAddInsertAndRemoveEmptyRowsWithoutWritingAndCtrlDeleteWrites) {
    start({{"bot", "a=1\r\nb=2\r\n"}});
    select(2, 0);
    key(Qt::Key_Down);  // on the last row with a keyword: a new empty entry
    EXPECT_EQ(entries(), (Entries{"a=1", "b=2", ""}));
    EXPECT_EQ(grid->Row(), 3);
    key(Qt::Key_Down);  // its keyword is empty: nothing
    EXPECT_EQ(entries().size(), 3u);
    key(Qt::Key_Escape);  // an empty entry goes
    EXPECT_EQ(entries(), (Entries{"a=1", "b=2"}));

    select(2, 0);
    key(Qt::Key_Insert);
    EXPECT_EQ(entries(), (Entries{"a=1", "", "b=2"}));
    EXPECT_EQ(grid->Row(), 2);
    key(Qt::Key_Up);  // leaving the empty entry removes it
    EXPECT_EQ(entries(), (Entries{"a=1", "b=2"}));
    EXPECT_EQ(grid->Row(), 1);

    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(grid->Row(), 2);
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(saves, 0);
    key(Qt::Key_Delete, Qt::ControlModifier);  // a deletion is kept, as "Delete Phrase" keeps it
    EXPECT_EQ(entries(), Entries{"b=2"});
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(bytes(), "b=2\r\n");
}

TEST_F(PhrasesPage, KeysWorkWhileACellEditorIsOpen) {
    start({{"bot", "a=1\r\n"}});
    select(1, 1);
    type("2");  // editor open, written
    ASSERT_NE(grid->cellEditor(), nullptr);
    key(Qt::Key_Down);  // closes the editor (written) and appends an entry
    EXPECT_EQ(grid->cellEditor(), nullptr);
    EXPECT_EQ(entries(), (Entries{"a=2", ""}));
    EXPECT_EQ(bytes(), "a=2\r\n");
    select(1, 1);  // leaving the empty entry removes it
    EXPECT_EQ(entries(), Entries{"a=2"});
}

TEST_F(PhrasesPage, AnEmptyEntryFromTheFileStaysUntilItIsSelectedAndLeft) {
    start({{"bot", "a=1\r\n\r\nb=2\r\n"}});
    select(3, 0);
    EXPECT_EQ(entries(), (Entries{"a=1", "", "b=2"}));
    select(2, 0);
    select(1, 0);
    EXPECT_EQ(entries(), (Entries{"a=1", "b=2"}));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(saves, 0);
}

TEST_F(PhrasesPage, AnOpenCellEditorIsWrittenToTheBotBeingLeft) {
    start({{"one", "a=1\r\n"}, {"two", "b=2\r\n"}});
    const std::string left = selected();
    select(1, 1);
    type("9");
    grid->cellEditor()->setText("final");  // a change the editor has not reported yet
    frm->ComboBoxBots->setFocus();         // the user turns to the bot box
    QApplication::processEvents();
    EXPECT_EQ(grid->cellEditor(), nullptr);
    EXPECT_EQ(readFile(file(left)), keywordOf(entries()[0]) + "=final\r\n");
    frm->ComboBoxBots->setCurrentIndex(1);
    frm->ComboBoxBotsChange(frm->ComboBoxBots);
    EXPECT_NE(selected(), left);
    EXPECT_EQ(entries(), Entries{left == "one" ? "b=2" : "a=1"});
}

TEST_F(PhrasesPage, ALineBreakInACellBecomesABlank) {
    start({{"bot", "a=1\r\n"}});
    select(1, 1);
    key(Qt::Key_F2);
    QApplication::clipboard()->setText("two\nlines");
    grid->cellEditor()->selectAll();
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_Return);
    EXPECT_EQ(entries(), Entries{"a=two lines"});
    EXPECT_EQ(bytes(), "a=two lines\r\n");
}

TEST_F(PhrasesPage, AFileThatCannotBeShownWhollyIsBackedUpBeforeTheFirstWrite) {
    const std::string original("k=v\r\nbroken \xFC\r\n", 16);
    start({{"bot", original}});
    EXPECT_EQ(entries(), Entries{});  // not valid UTF-8: read as empty
    select(1, 1);
    type("x");
    type("y");
    const std::string backup = file("bot") + ".bak";
    EXPECT_EQ(readFile(backup), original);
    EXPECT_EQ(bytes(), "=xy\r\n");
    ASSERT_EQ(dialogs.shown().size(), 1u);  // told once
    EXPECT_NE(dialogs.shown()[0].find("Warning: "), std::string::npos);
    EXPECT_NE(dialogs.shown()[0].find(backup), std::string::npos);

    // A second such file of the same bot gets a backup of its own.
    writeFile(file("bot"), std::string("a=1\0b=2\r\n", 9));
    frm->ComboBoxBotsChange(frm->ComboBoxBots);
    EXPECT_EQ(entries(), Entries{"a=1"});
    QTest::mouseClick(frm->ButtonDeletePhrase, Qt::LeftButton);
    EXPECT_EQ(readFile(backup + ".2"), std::string("a=1\0b=2\r\n", 9));
    EXPECT_EQ(readFile(backup), original);
}
