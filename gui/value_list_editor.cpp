#include "gui/value_list_editor.h"

#include <QApplication>
#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "core/errors.h"
#include "core/phrase_file.h"

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

[[noreturn]] void indexError(int index) {
    throw AppError(errkind::kListIndex, format("List index out of bounds (%d)", index));
}

// Temporarily sets a flag.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};
}  // namespace

// ------------------------------------------------------------------ the list

class PhraseListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    std::vector<std::string> entries;
    std::vector<RowMark> marks;

    RowMark markOf(size_t row) const { return row < marks.size() ? marks[row] : RowMark::kNone; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(entries.size()));
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const auto row = static_cast<size_t>(index.row());
        if (role == Qt::BackgroundRole || role == Qt::ToolTipRole ||
            role == Qt::AccessibleDescriptionRole) {
            if (row >= entries.size() || markOf(row) == RowMark::kNone) return {};
            const bool missing = markOf(row) == RowMark::kMissing;
            if (role == Qt::BackgroundRole)
                return QColor(missing ? QColor(0xFB, 0xE4, 0xE4) : QColor(0xFF, 0xF1, 0xC8));
            return QString(missing ? "This phrase has no speech yet."
                                   : "This phrase's speech is out of date.");
        }
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        if (row >= entries.size()) return QString();
        return qs(index.column() == 0 ? keywordOf(entries[row]) : phraseOf(entries[row]));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? QString("Keywords") : QString("Phrases");
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
    void reset(std::vector<std::string> list) {
        beginResetModel();
        entries = std::move(list);
        endResetModel();
    }
    void set(size_t i, const std::string& entry) {
        entries[i] = entry;
        emit dataChanged(index(static_cast<int>(i), 0), index(static_cast<int>(i), 1));
    }
    void insert(size_t i, const std::string& entry) {
        // The first entry takes the placeholder's row; the grid keeps its row count.
        if (entries.empty()) {
            entries.push_back(entry);
            emit dataChanged(index(0, 0), index(0, 1));
            return;
        }
        beginInsertRows({}, static_cast<int>(i), static_cast<int>(i));
        entries.insert(entries.begin() + static_cast<ptrdiff_t>(i), entry);
        endInsertRows();
    }
    void remove(size_t i) {
        if (entries.size() == 1) {  // the placeholder row takes the last entry's place
            entries.clear();
            emit dataChanged(index(0, 0), index(0, 1));
            return;
        }
        beginRemoveRows({}, static_cast<int>(i), static_cast<int>(i));
        entries.erase(entries.begin() + static_cast<ptrdiff_t>(i));
        endRemoveRows();
    }
};

// ------------------------------------------------------------------ the cell editor

class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(ValueListEditor* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setProperty("original", index.data(Qt::EditRole));
        connect(editor, &QLineEdit::textEdited, editor, [this, editor, index](const QString& text) {
            QString single = text;
            if (single.contains('\r') || single.contains('\n')) {
                single = qs(withoutLineBreaks(text.toStdString()));
                editor->setText(single);
            }
            grid_->report(index.column(), index.row() + 1, single.toStdString());
        });
        (void)option;
        return editor;
    }
    // Fills a new editor (all of its text selected); an open editor whose text was applied to
    // the list already shows it, and keeps its cursor.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->isVisible() && line->text() == text) return;
        line->setText(text);
        if (!line->isVisible()) line->selectAll();
    }
    // The editor closes: its text is reported; the owner applies it to the list.
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        grid_->report(index.column(), index.row() + 1,
                      static_cast<QLineEdit*>(editor)->text().toStdString());
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                grid_->escape();
                return true;
            }
            if (grid_->listKey(key)) return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    ValueListEditor* grid_;
};

// ------------------------------------------------------------------ the grid

ValueListEditor::ValueListEditor(QWidget* parent)
    : QTableView(parent), model_(new PhraseListModel(this)) {
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setShowGrid(true);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(18);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->resizeSection(0, 150);
    horizontalHeader()->setFixedHeight(19);
    setCurrentIndex(model_->index(0, 0));
}

ValueListEditor::~ValueListEditor() = default;

const std::vector<std::string>& ValueListEditor::Strings() const {
    return model_->entries;
}

void ValueListEditor::setRowMarks(std::vector<RowMark> marks) {
    if (marks == model_->marks) return;
    model_->marks = std::move(marks);
    if (!model_->entries.empty())
        emit model_->dataChanged(model_->index(0, 0), model_->index(model_->rowCount() - 1, 1),
                                 {Qt::BackgroundRole, Qt::ToolTipRole});
}

RowMark ValueListEditor::rowMark(int index) const {
    return index < 0 ? RowMark::kNone : model_->markOf(static_cast<size_t>(index));
}

void ValueListEditor::setStrings(std::vector<std::string> entries) {
    const FlagScope keep(keepEmptyEntries_);
    const int column = std::max(0, currentIndex().column());
    beforeChange();
    model_->reset(std::move(entries));
    setCurrentIndex(model_->index(0, column));
}

int ValueListEditor::count() const {
    return static_cast<int>(model_->entries.size());
}

const std::string& ValueListEditor::entry(int index) const {
    if (index < 0 || index >= count()) indexError(index);
    return model_->entries[static_cast<size_t>(index)];
}

void ValueListEditor::setEntry(int index, const std::string& text) {
    if (index < 0 || index >= count()) indexError(index);
    beforeChange();
    model_->set(static_cast<size_t>(index), withoutLineBreaks(text));
}

void ValueListEditor::insertEntry(int index, const std::string& text) {
    if (index < 0 || index > count()) indexError(index);
    const FlagScope keep(keepEmptyEntries_);
    beforeChange();
    model_->insert(static_cast<size_t>(index), withoutLineBreaks(text));
}

void ValueListEditor::deleteEntry(int index) {
    if (index < 0 || index >= count()) indexError(index);
    const FlagScope keep(keepEmptyEntries_);
    beforeChange();
    model_->remove(static_cast<size_t>(index));
}

int ValueListEditor::Row() const {
    return std::max(0, currentIndex().row()) + 1;
}

void ValueListEditor::setRow(int row) {
    const int column = std::max(0, currentIndex().column());
    setCurrentIndex(model_->index(std::clamp(row - 1, 0, model_->rowCount() - 1), column));
}

void ValueListEditor::DeleteRow(int row) {
    if (isPlaceholderRow(row)) indexError(row - 1);
    const FlagScope keep(keepEmptyEntries_);
    if (row == count() && count() > 1) setRow(row - 1);
    deleteEntry(row - 1);
}

QLineEdit* ValueListEditor::cellEditor() const {
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

void ValueListEditor::report(int column, int row, const std::string& text) {
    // A report that comes while one is being handled is not reported again, nor the closing of
    // an editor whose focus a message box took: its text was reported when it was typed.
    if (reporting_ || !OnSetEditText || QApplication::activeModalWidget()) return;
    const FlagScope busy(reporting_);
    OnSetEditText(column, row, withoutLineBreaks(text));
}

void ValueListEditor::escape() {
    QLineEdit* editor = cellEditor();
    const QModelIndex index = currentIndex();
    if (editor) {
        const QString original = editor->property("original").toString();
        const bool changed = editor->text() != original;
        QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        setFocus();
        if (changed) {
            report(index.column(), index.row() + 1, original.toStdString());
            return;
        }
    }
    const int row = Row();
    if (!rowsHeld_ && !isPlaceholderRow(row) && isEmptyEntry(entry(row - 1))) deleteEntry(row - 1);
}

bool ValueListEditor::listKey(QKeyEvent* event) {
    const bool ctrl = event->modifiers() == Qt::ControlModifier;
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    const int row = Row();
    const auto keyword = [&] {
        return isPlaceholderRow(row) ? std::string() : keywordOf(entry(row - 1));
    };
    std::function<void()> action;
    if (plain && event->key() == Qt::Key_Down && row == model_->rowCount()) {
        action = [this, keyword] {
            if (keyword().empty()) return;
            appendEntry("");
            setRow(count());
        };
    } else if (plain && event->key() == Qt::Key_Insert) {
        action = [this, keyword, row] {
            if (rowsHeld_ || keyword().empty()) return;
            insertEntry(row - 1, "");
            const FlagScope keep(keepEmptyEntries_);
            setRow(row);
        };
    } else if (ctrl && event->key() == Qt::Key_Delete) {
        action = [this, row] {
            if (rowsHeld_) return;
            DeleteRow(row);
            if (OnDeleteRow) OnDeleteRow();
        };
    } else if (ctrl && event->key() == Qt::Key_Up) {
        action = [this] { setRow(1); };
    } else if (ctrl && event->key() == Qt::Key_Down) {
        action = [this] { setRow(model_->rowCount()); };
    } else {
        return false;
    }
    // An open editor is closed first, and its text reported.
    if (QLineEdit* editor = cellEditor()) {
        commitData(editor);
        QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        setFocus();
    }
    if (runAction)
        runAction(action);
    else
        action();
    return true;
}

void ValueListEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (runAction)
            runAction([this] { escape(); });
        else
            escape();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !cellEditor()) {
        edit(currentIndex());
        return;
    }
    if (listKey(event)) return;
    QTableView::keyPressEvent(event);
}

void ValueListEditor::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (keepEmptyEntries_ || rowsHeld_ || !previous.isValid() || !current.isValid() ||
        previous.row() == current.row() || previous.row() >= count() || count() == 0)
        return;
    // The row left holds an empty entry: it goes, and the selection stays on the entry the
    // user moved to.
    if (!isEmptyEntry(model_->entries[static_cast<size_t>(previous.row())])) return;
    const FlagScope keep(keepEmptyEntries_);
    const int target = current.row() > previous.row() ? current.row() - 1 : current.row();
    const int column = current.column();
    beforeChange();
    model_->remove(static_cast<size_t>(previous.row()));
    setCurrentIndex(model_->index(target, column));
}
