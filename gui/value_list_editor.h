#pragma once

#include <QTableView>
#include <functional>
#include <string>
#include <vector>

class PhraseListModel;

// What a row's speech is, as the grid marks it: its speech is made from what it says, it has
// none yet, or it was made from something else.
enum class RowMark { kNone, kMissing, kStale };

// A two-column key/value grid over a list of "keyword=phrase" entries. Grid row 0 is the title
// row ("Keywords", "Phrases"); row r shows entry r - 1. While the list is empty the grid shows
// one empty placeholder row, which is not an entry.
//
// The grid reports the cell editor's text on every change and when the editor closes
// (OnSetEditText); applying it to the list is the owner's business. The keys: Down on the last
// row appends an empty entry, Insert inserts one, Ctrl+Delete deletes the entry, Ctrl+Up and
// Ctrl+Down select the first and last row, Esc gives an edited cell its text back or removes an
// empty entry. An empty entry is removed when the selection leaves its row.
class ValueListEditor : public QTableView {
public:
    explicit ValueListEditor(QWidget* parent);
    ~ValueListEditor() override;

    const std::vector<std::string>& Strings() const;
    // Replaces the whole list in one update; the selection goes to the first row.
    void setStrings(std::vector<std::string> entries);
    int count() const;
    // The entry at `index`; raises "List index out of bounds (%d)" outside the list.
    const std::string& entry(int index) const;
    void setEntry(int index, const std::string& entry);
    void insertEntry(int index, const std::string& entry);
    void appendEntry(const std::string& entry) { insertEntry(count(), entry); }
    void deleteEntry(int index);

    // Marks the rows of the entries, from the first; rows beyond `marks` are not marked.
    void setRowMarks(std::vector<RowMark> marks);
    RowMark rowMark(int index) const;

    // The selected grid row (1 for the first entry or the placeholder).
    int Row() const;
    void setRow(int row);
    bool isPlaceholderRow(int row) const { return count() == 0 && row == 1; }
    // Removes the entry of grid row `row` as "Delete Phrase" does: on the last of several rows
    // the selection first moves up one row. Raises the index error on the placeholder row.
    void DeleteRow(int row);

    // The cell editor's text for a cell: the column (0 keyword, 1 phrase), the grid row and
    // the text, without line breaks.
    std::function<void(int column, int row, const std::string& text)> OnSetEditText;
    // Runs an action of the grid's own keys; an error it raises reaches the default error report.
    std::function<void(const std::function<void()>&)> runAction;
    // Ctrl+Delete has removed an entry (the owner writes the list, as "Delete Phrase" does).
    std::function<void()> OnDeleteRow;
    // The list is about to change (the owner keeps what it needs of the list as it stands).
    std::function<void()> OnBeforeChange;

    // While rows are held, no entry is inserted in the middle or deleted by the grid's keys or by
    // leaving an empty entry (a generation reads the rows by their number); cells stay editable.
    void setRowsHeld(bool held) { rowsHeld_ = held; }
    bool rowsHeld() const { return rowsHeld_; }

    // The cell editor, while one is open.
    class QLineEdit* cellEditor() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class CellDelegate;
    // The keys that act on the list, also while a cell editor is open. True when handled.
    bool listKey(QKeyEvent* event);
    void report(int column, int row, const std::string& text);
    void escape();

    PhraseListModel* model_;
    bool keepEmptyEntries_ = false;  // while the grid itself moves the selection
    bool reporting_ = false;
    bool rowsHeld_ = false;
    void beforeChange() const {
        if (OnBeforeChange) OnBeforeChange();
    }
};
