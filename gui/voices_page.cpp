// The Speech page ("4. Speech"): the voices of the engine, rate and volume.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QUrl>

#include "core/shell.h"
#include "core/text16.h"
#include "core/workspace_paths.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/bot_speech.h"
#include "gui/layout.h"
#include "gui/main.h"

namespace {
constexpr const char* kPreferredVoice = "ScanSoft Steffi_Full_22kHz";

// The token an entry of the voice list holds one reference to.
ISpeechObjectToken* tokenOf(const QListWidgetItem* item) {
    return reinterpret_cast<ISpeechObjectToken*>(item->data(Qt::UserRole).value<quintptr>());
}

QSlider* trackBar(QWidget* parent, const char* name, QRect place, int min, int max, bool ticks) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setGeometry(place);
    bar->setRange(min, max);
    bar->setPageStep(ticks ? 5 : 10);
    bar->setTickPosition(ticks ? QSlider::TicksBelow : QSlider::NoTicks);
    bar->setTickInterval(1);
    bar->setValue(0);
    return bar;
}

// A label that sizes itself to its text, as the numbers beside the bars do.
void showNumber(QLabel* label, int value) {
    label->setText(QString::number(value));
    label->adjustSize();
}
}  // namespace

void TfrmTextToSpeech::createSpeechPage() {
    using namespace layout;
    Label13 = label(TabSheet3, "Label13", "4. Generate your bot's speech!", {11, 24, 212, 16},
                    kLarge | kNavy);
    Label2 = label(TabSheet3, "Label2", "Selected voice for generating speech:", {11, 56, 180, 13});
    ListBoxVoices = new QListWidget(TabSheet3);
    ListBoxVoices->setObjectName("ListBoxVoices");
    ListBoxVoices->setGeometry(13, 72, 212, 73);
    ListBoxVoices->setUniformItemSizes(true);
    Label2->setBuddy(ListBoxVoices);
    ListBoxVoices->setAccessibleName("Selected voice for generating speech");
    wire(ListBoxVoices, &QListWidget::currentRowChanged, &TfrmTextToSpeech::ListBoxVoicesClick);
    Label18 =
        label(TabSheet3, "Label18", "Information about the selected voice:", {11, 158, 175, 13});
    lstEngineInfo = new QListWidget(TabSheet3);
    lstEngineInfo->setObjectName("lstEngineInfo");
    lstEngineInfo->setGeometry(11, 174, 217, 65);
    lstEngineInfo->setUniformItemSizes(true);
    Label18->setBuddy(lstEngineInfo);
    lstEngineInfo->setAccessibleName("Information about the selected voice");

    gbAttrs = new QGroupBox("Attributes for generated speech", TabSheet3);
    gbAttrs->setObjectName("gbAttrs");
    gbAttrs->setGeometry(299, 33, 249, 129);
    Label4 = label(gbAttrs, "Label4", "Rate:", {16, 32, 26, 13});
    tbRate = trackBar(gbAttrs, "tbRate", {56, 24, 161, 33}, -10, 10, true);
    Label4->setBuddy(tbRate);
    lblMinSpeed = label(gbAttrs, "lblMinSpeed", "-10", {65, 57, 15, 13}, kCentred);
    lblMaxSpeed = label(gbAttrs, "lblMaxSpeed", "10", {206, 56, 12, 13}, kCentred);
    lblRate = label(gbAttrs, "lblRate", "0", {216, 28, 0, 0});
    Label5 = label(gbAttrs, "Label5", "Volume:", {16, 88, 38, 13}, kCentred);
    tbVolume = trackBar(gbAttrs, "tbVolume", {56, 80, 161, 30}, 0, 100, false);
    Label5->setBuddy(tbVolume);
    lblMinVolume = label(gbAttrs, "lblMinVolume", "0", {61, 109, 6, 13}, kCentred);
    lblMaxVolume = label(gbAttrs, "lblMaxVolume", "100", {201, 109, 18, 13}, kCentred);
    lblVolume = label(gbAttrs, "lblVolume", "0", {216, 84, 0, 0});
    wire(tbRate, &QSlider::valueChanged, &TfrmTextToSpeech::tbRateChange);
    wire(tbVolume, &QSlider::valueChanged, &TfrmTextToSpeech::tbVolumeChange);

    Label24 = label(TabSheet3, "Label24", "Do you want more voices?", {299, 185, 151, 13}, kBold);
    Label25 = label(TabSheet3, "Label25",
                    "Click on the button to visit our website to find out more how to add "
                    "additional voices to this software.",
                    {299, 201, 241, 41}, kWordWrap);
    ButtonAddVoices =
        button(TabSheet3, "ButtonAddVoices", "Additional voices", {547, 202, 105, 25});
    wire(ButtonAddVoices, &QPushButton::clicked, &TfrmTextToSpeech::ButtonAddVoicesClick);
    ButtonPronunciations =
        button(TabSheet3, "ButtonPronunciations", "Pronunciations...", {557, 40, 95, 25});
    ButtonPronunciations->setAccessibleName("Pronunciations");
    ButtonPronunciations->setToolTip("How the bot says its names and words");
    wire(ButtonPronunciations, &QPushButton::clicked, &TfrmTextToSpeech::ButtonPronunciationsClick);
}

void TfrmTextToSpeech::StartVoices() {
    SpVoice->setEventInterests(SVEAllEvents);

    const Ref<ISpeechObjectTokens> voices = SpVoice->GetVoices(u"", u"");
    for (int i = 0; i < voices->Count(); ++i) {
        const Ref<ISpeechObjectToken> token = voices->Item(i);
        auto* item = new QListWidgetItem(QString::fromStdString(toUtf8(token->GetDescription(0))));
        item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(token.get())));
        item->setSizeHint({0, 13});
        token->AddRef();  // the entry's own reference, released by FormDestroy
        const QSignalBlocker blocker(ListBoxVoices);
        ListBoxVoices->addItem(item);
    }
    if (ListBoxVoices->count() > 0) {
        {
            const QSignalBlocker blocker(ListBoxVoices);
            ListBoxVoices->setCurrentRow(0);
        }
        ListBoxVoicesClick(ListBoxVoices);
    }

    // Giving a bar a new position runs its change handler, which writes the value back.
    tbRate->setValue(SpVoice->Rate());
    showNumber(lblRate, tbRate->value());
    tbVolume->setValue(SpVoice->Volume());
    showNumber(lblVolume, tbVolume->value());

    for (int i = 0; i < ListBoxVoices->count(); ++i) {
        if (ListBoxVoices->item(i)->text().compare(kPreferredVoice, Qt::CaseInsensitive) == 0) {
            {
                const QSignalBlocker blocker(ListBoxVoices);
                ListBoxVoices->setCurrentRow(i);
            }
            ListBoxVoicesClick(ListBoxVoices);
            break;
        }
    }
    // A bot that has no voice of its own speaks with this one.
    BotSpeech1->startVoiceRow = ListBoxVoices->currentRow();
    BotSpeech1->startRate = tbRate->value();
    BotSpeech1->startVolume = tbVolume->value();
}

void TfrmTextToSpeech::ListBoxVoicesClick(QObject*) {
    lstEngineInfo->clear();
    const QListWidgetItem* item = ListBoxVoices->currentItem();
    if (!item) return;
    const Ref<ISpeechObjectToken> token(tokenOf(item));  // held until the handler ends
    SpVoice->setVoice(token.get());
    const std::pair<const char16_t*, const char*> lines[] = {{u"Name", "Name: %1"},
                                                             {u"Vendor", "Vendor: %1"},
                                                             {u"Gender", "Gender: %1"},
                                                             {u"Language", "Language: %1"}};
    for (const auto& [attribute, line] : lines) {
        const std::string value = toUtf8(token->GetAttribute(attribute));
        lstEngineInfo->addItem(QString(line).arg(QString::fromStdString(value)));
    }
    rememberBotVoice();
}

void TfrmTextToSpeech::tbRateChange(QObject*) {
    SpVoice->setRate(tbRate->value());
    showNumber(lblRate, tbRate->value());
    rememberBotVoice();
}

void TfrmTextToSpeech::tbVolumeChange(QObject*) {
    SpVoice->setVolume(tbVolume->value());
    showNumber(lblVolume, tbVolume->value());
    rememberBotVoice();
}

void TfrmTextToSpeech::ButtonAddVoicesClick(QObject*) {
    // The page about more voices is part of the workspace, so that it is there offline.
    const QString page = QString::fromStdString(voicesHelpPath());
    shellOpen(QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded).toStdString());
}

void TfrmTextToSpeech::ReleaseVoices() {
    for (int i = 0; i < ListBoxVoices->count(); ++i) tokenOf(ListBoxVoices->item(i))->Release();
}
