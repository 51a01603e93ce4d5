#include "gui/pronunciations_editor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/errors.h"
#include "core/phrase_file.h"
#include "gui/errorreport.h"

namespace {
std::string cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? trimmed(item->text().toStdString()) : std::string();
}
}  // namespace

PronunciationsEditor::PronunciationsEditor(QWidget* parent, const std::string& bot,
                                           const PronunciationList& list,
                                           std::function<void(const std::string&)> listen,
                                           std::function<void(const PronunciationList&)> store)
    : QDialog(parent), listen_(std::move(listen)), store_(std::move(store)) {
    setObjectName("PronunciationsEditor");
    setWindowTitle(QString::fromStdString("Pronunciations of " + bot));
    resize(520, 360);

    auto* hint = new QLabel(
        "How the bot says a word, a name or an abbreviation of its phrases. The phrases keep "
        "what is written; the speech says the spoken form.",
        this);
    hint->setWordWrap(true);

    GridPronunciations = new QTableWidget(0, 2, this);
    GridPronunciations->setObjectName("GridPronunciations");
    GridPronunciations->setAccessibleName("Pronunciations");
    GridPronunciations->setHorizontalHeaderLabels({"Written", "Spoken"});
    GridPronunciations->horizontalHeader()->setStretchLastSection(true);
    GridPronunciations->setColumnWidth(0, 180);
    GridPronunciations->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const Pronunciation& p : list) addRow(p.written, p.spoken);

    const auto makeButton = [this](const char* name, const char* text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAccessibleName(QString(text).remove('&'));
        return b;
    };
    ButtonAddPronunciation = makeButton("ButtonAddPronunciation", "Add");
    ButtonDeletePronunciation = makeButton("ButtonDeletePronunciation", "Delete");
    ButtonListen = makeButton("ButtonListen", "Listen");
    ButtonClosePronunciations = makeButton("ButtonClosePronunciations", "Close");
    ButtonClosePronunciations->setDefault(true);

    connect(ButtonAddPronunciation, &QPushButton::clicked, this, [this] {
        addRow({}, {});
        const int row = GridPronunciations->rowCount() - 1;
        GridPronunciations->setCurrentCell(row, 0);
        GridPronunciations->editItem(GridPronunciations->item(row, 0));
    });
    connect(ButtonDeletePronunciation, &QPushButton::clicked, this, [this] {
        const int row = GridPronunciations->currentRow();
        if (row >= 0) GridPronunciations->removeRow(row);
    });
    connect(ButtonListen, &QPushButton::clicked, this, [this] {
        const int row = GridPronunciations->currentRow();
        const std::string spoken = row >= 0 ? cellText(GridPronunciations, row, 1) : "";
        if (!spoken.empty()) runReported([&] { listen_(spoken); });
    });
    connect(ButtonClosePronunciations, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {ButtonAddPronunciation, ButtonDeletePronunciation, ButtonListen})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(ButtonClosePronunciations);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(GridPronunciations);
    layout->addLayout(buttons);
}

void PronunciationsEditor::addRow(const std::string& written, const std::string& spoken) {
    const int row = GridPronunciations->rowCount();
    GridPronunciations->insertRow(row);
    GridPronunciations->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(written)));
    GridPronunciations->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(spoken)));
}

PronunciationList PronunciationsEditor::list() const {
    PronunciationList out;
    for (int row = 0; row < GridPronunciations->rowCount(); ++row) {
        Pronunciation p{cellText(GridPronunciations, row, 0), cellText(GridPronunciations, row, 1)};
        if (!p.written.empty() || !p.spoken.empty()) out.push_back(std::move(p));
    }
    return out;
}

void PronunciationsEditor::done(int result) {
    // An edit still open in a cell counts: it is committed before the list is read.
    if (QWidget* editor = GridPronunciations->focusWidget(); editor && editor != GridPronunciations)
        GridPronunciations->setFocus();
    GridPronunciations->setCurrentItem(GridPronunciations->currentItem());
    const bool stored = runReported([&] {
        int number = 0;
        for (int row = 0; row < GridPronunciations->rowCount(); ++row) {
            const std::string written = cellText(GridPronunciations, row, 0);
            const std::string spoken = cellText(GridPronunciations, row, 1);
            if (written.empty() && spoken.empty()) continue;
            ++number;
            const std::string problem = pronunciationProblem(written, spoken);
            if (!problem.empty()) {
                GridPronunciations->setCurrentCell(row, written.empty() ? 0 : 1);
                throw AppError(errkind::kEdit, format("Pronunciation %d cannot be kept. %s", number,
                                                      problem.c_str()));
            }
        }
        store_(list());
    });
    if (stored) QDialog::done(result);
}
