#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "core/pronunciations.h"

class QPushButton;
class QTableWidget;

// The editor of a bot's pronunciations: a grid of written and spoken forms, "Add", "Delete",
// and "Listen", which speaks the selected row's spoken form. The list is stored when the editor
// closes, however it is closed; an entry that cannot be stored, or a store that fails, is told
// and keeps the editor open with everything typed.
class PronunciationsEditor : public QDialog {
public:
    PronunciationsEditor(QWidget* parent, const std::string& bot, const PronunciationList& list,
                         std::function<void(const std::string& spoken)> listen,
                         std::function<void(const PronunciationList&)> store);

    QTableWidget* GridPronunciations;
    QPushButton* ButtonAddPronunciation;
    QPushButton* ButtonDeletePronunciation;
    QPushButton* ButtonListen;
    QPushButton* ButtonClosePronunciations;

    // The list as the grid holds it: each cell trimmed, rows left wholly empty left out.
    PronunciationList list() const;

    void done(int result) override;

private:
    void addRow(const std::string& written, const std::string& spoken);
    std::function<void(const std::string&)> listen_;
    std::function<void(const PronunciationList&)> store_;
};
