// The Phrases page ("3. Phrases") and the phrase list file of the selected bot.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "core/dialogs.h"
#include "core/errors.h"
#include "core/fileio.h"
#include "core/phrase_file.h"
#include "core/workspace_paths.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "gui/value_list_editor.h"

namespace {
// The grid remembers a file that it could not show completely, until the first write over it.
constexpr const char* kIncompleteFile = "incompleteFile";
}  // namespace

void TfrmTextToSpeech::createPhrasesPage() {
    using namespace layout;
    Label1 = label(TabSheet1, "Label1",
                   "3. Define your bot's phrases for keywords, clients enter on your bot "
                   "interface. Double click a cell for editing.",
                   {12, 21, 645, 41}, kHeading);

    ValueListEditor1 = new ValueListEditor(TabSheet1);
    ValueListEditor1->setObjectName("ValueListEditor1");
    ValueListEditor1->setGeometry(8, 64, 649, 265);
    ValueListEditor1->setAccessibleName("Keywords and phrases");
    ValueListEditor1->setStrings({"=Hallo! Wie kann ich Ihnen weiterhelfen?"});
    ValueListEditor1->OnSetEditText = [this](int column, int row, const std::string& text) {
        runReported([&] { ValueListEditor1SetEditText(ValueListEditor1, column, row, text); });
    };
    ValueListEditor1->runAction = [](const std::function<void()>& action) { runReported(action); };
    // Ctrl+Delete writes the list as "Delete Phrase" does: an entry gone from the grid is gone
    // from the file too, and the speech files of the rows below follow.
    ValueListEditor1->OnDeleteRow = [this] { SavePhraseList(); };
    // The list as it was written is kept before the grid changes it again, so that the files are
    // matched to what the file holds.
    ValueListEditor1->OnBeforeChange = [this] { takeWrittenList(); };

    ButtonAddPhrase = button(TabSheet1, "ButtonAddPhrase", "Add Phrase", {8, 343, 83, 25});
    wire(ButtonAddPhrase, &QPushButton::clicked, &TfrmTextToSpeech::ButtonAddPhraseClick);
    ButtonDeletePhrase =
        button(TabSheet1, "ButtonDeletePhrase", "Delete Phrase", {112, 343, 83, 25});
    wire(ButtonDeletePhrase, &QPushButton::clicked, &TfrmTextToSpeech::ButtonDeletePhraseClick);
    ButtonPlay = button(TabSheet1, "ButtonPlay", "Play preview", {288, 343, 75, 25});
    Label12 = label(TabSheet1, "Label12", "(you can select the voice in the next step)",
                    {376, 348, 197, 13});

    tabOrder({ValueListEditor1, ButtonAddPhrase, ButtonDeletePhrase, ButtonPlay});
}

void TfrmTextToSpeech::LoadPhraseList() {
    ValueListEditor1->setProperty(kIncompleteFile, QVariant());
    ValueListEditor1->setStrings({});
    if (ComboBoxBots->currentIndex() < 0) return;
    const std::string path = phraseListPath(botName());
    if (!filePresent(path)) return;
    bool complete = true;
    ValueListEditor1->setStrings(decodePhraseList(ReadFileText(path), &complete));
    if (!complete) ValueListEditor1->setProperty(kIncompleteFile, QString::fromStdString(path));
}

void TfrmTextToSpeech::SavePhraseList() {
    const std::string path = phraseListPath(botName());
    // A file that the grid could not show completely keeps its bytes in a backup before the
    // first write over it, and the user is told where.
    if (ValueListEditor1->property(kIncompleteFile).toString().toStdString() == path) {
        const std::string backup = freeBackupName(path);
        WriteFileText(backup, ReadFileText(path));
        ValueListEditor1->setProperty(kIncompleteFile, QVariant());
        queueMessage(
            Dialogs::Kind::Warning,
            format("The phrase list of the bot \"%s\" held text that cannot be shown here "
                   "(bytes that are not UTF-8, or a NUL character). Its original content was "
                   "kept in \"%s\".",
                   botName().c_str(), backup.c_str()));
    }
    WriteFileText(path, encodePhraseList(ValueListEditor1->Strings()));
    phraseListWritten(ValueListEditor1->Strings());
    Trace("list saved");
}

void TfrmTextToSpeech::ValueListEditor1SetEditText(QObject*, int ACol, int ARow,
                                                   const std::string& Value) {
    if (ValueListEditor1->isPlaceholderRow(ARow) && !Value.empty())
        ValueListEditor1->appendEntry("");
    if (!ValueListEditor1->isPlaceholderRow(ARow)) {
        const std::string& entry = ValueListEditor1->entry(ARow - 1);
        const std::string current = ACol == 0 ? keywordOf(entry) : phraseOf(entry);
        if (Value != current)
            ValueListEditor1->setEntry(ARow - 1, withCellText(entry, ACol, Value));
    }
    SavePhraseList();
}

void TfrmTextToSpeech::ButtonAddPhraseClick(QObject*) {
    const std::string entry =
        "Support Hilfe=Sie erhalten für alle Produkte technische Unterstützung.";
    const int row = ValueListEditor1->Row();
    if (!ValueListEditor1->isPlaceholderRow(row) && isEmptyEntry(ValueListEditor1->entry(row - 1)))
        ValueListEditor1->setEntry(row - 1, entry);
    else
        ValueListEditor1->appendEntry(entry);
    // The new entry is written at once: closing the window keeps it.
    SavePhraseList();
}

void TfrmTextToSpeech::ButtonDeletePhraseClick(QObject*) {
    ValueListEditor1->DeleteRow(ValueListEditor1->Row());
    SavePhraseList();
}
