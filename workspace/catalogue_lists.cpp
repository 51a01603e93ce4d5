// The four catalogue boxes of the main window.
#include <QComboBox>

#include "catalogue.h"
#include "main.h"
#include "workspace_paths.h"

namespace {

// Rebuilds a box from a folder listing: emptied, the leading entry (if any), then the names the
// mask takes, in listing order. The box ends without a selection.
void fillBox(QComboBox* box, const std::string& folder, uint32_t mask,
             const char* leading = nullptr) {
    QStringList items;
    if (leading) items << leading;
    for (const std::string& name : listCatalogue(folder, mask))
        items << QString::fromStdString(name);
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

}  // namespace

int catalogueIndexOf(const QComboBox* box, const std::string& name) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) entries.push_back(box->itemText(i).toStdString());
    return catalogueIndexOf(entries, name);
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
