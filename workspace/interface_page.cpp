// The Interface page ("2. Interface").
#include <QComboBox>
#include <QGroupBox>

#include "main.h"

void TfrmTextToSpeech::createInterfacePage() {
    auto* group = new QGroupBox("Bot attributes", TabSheet2);
    group->setObjectName("GroupBox2");
    group->setGeometry(11, 64, 321, 329);

    const auto box = [group](const char* name, QRect place) {
        auto* combo = new QComboBox(group);
        combo->setObjectName(name);
        combo->setGeometry(place);
        return combo;
    };
    ComboBoxChars = box("ComboBoxChars", {16, 68, 121, 21});
    ComboBoxBacks = box("ComboBoxBacks", {16, 216, 121, 21});
    ComboBoxMusic = box("ComboBoxMusic", {120, 300, 129, 21});
}
