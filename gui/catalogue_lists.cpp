// The four catalogue boxes of the main window.
#include <QComboBox>
#include <QStringListModel>

#include "core/catalogue.h"
#include "core/workspace_paths.h"
#include "gui/main.h"

namespace {

// Rebuilds a box from a folder listing: emptied, the leading entry (if any), then the names the
// mask takes, in listing order. The box ends without a selection.
void fillBox(QComboBox* box, const std::string& folder, uint32_t mask,
             const char* leading = nullptr) {
    QStringList items;
    if (leading) items << leading;
    for (const std::string& name : listCatalogue(folder, mask))
        items << QString::fromStdString(name);
    // One list model for the box, filled at once: a box of ten thousand entries fills in a
    // fraction of the time that adding them one by one takes.
    const QSignalBlocker blocker(box);
    auto* model = qobject_cast<QStringListModel*>(box->model());
    if (!model) {
        model = new QStringListModel(box);
        box->setModel(model);
    }
    model->setStringList(items);
    box->setCurrentIndex(-1);
}

}  // namespace

int catalogueIndexOf(const QComboBox* box, const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    for (int i = 0; i < box->count(); ++i)
        if (QString::compare(box->itemText(i), wanted, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void TfrmTextToSpeech::FillBotList() {
    fillBox(ComboBoxBots, botsFolder(), kFolderMask);
}

void TfrmTextToSpeech::FillCharacterList() {
    fillBox(ComboBoxChars, charactersFolder(), kFolderMask);
}

void TfrmTextToSpeech::FillBackgroundList() {
    fillBox(ComboBoxBacks, backgroundsFolder(), kFileMask);
}

void TfrmTextToSpeech::FillMusicList() {
    fillBox(ComboBoxMusic, musicFolder(), kFileMask, kSilence);
}
