// The Speech page's voices, rate and volume; the shell open request.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

#include "core/shell.h"
#include "core/text16.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/main.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace {

std::vector<std::string> lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

struct VoicesPage : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(VoicesPage, IsLaidOutWithItsControls) {
    TfrmTextToSpeech frm;
    EXPECT_EQ(frm.Label13->text(), "4. Generate your bot's speech!");
    EXPECT_EQ(frm.tbRate->parentWidget(), frm.gbAttrs);
    EXPECT_EQ(frm.tbRate->minimum(), -10);
    EXPECT_EQ(frm.tbRate->maximum(), 10);
    EXPECT_EQ(frm.tbVolume->minimum(), 0);
    EXPECT_EQ(frm.tbVolume->maximum(), 100);
    EXPECT_EQ(frm.tbVolume->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(frm.ButtonAddVoices->text(), "Additional voices");
}

TEST_F(VoicesPage, WithoutVoicesRateAndVolumeAreStillShown) {
    TfrmTextToSpeech frm;  // the scripted engine lists no voices, rate 0, volume 100
    EXPECT_EQ(frm.ListBoxVoices->count(), 0);
    EXPECT_EQ(frm.lstEngineInfo->count(), 0);
    // Rate 0: the bar does not move and its handler does not run. Volume 100: the bar moves,
    // and its handler writes the value back.
    EXPECT_EQ(engine.engine->calls, std::vector<std::string>{"volume 100"});
    EXPECT_EQ(frm.tbRate->value(), 0);
    EXPECT_EQ(frm.lblRate->text(), "0");
    EXPECT_EQ(frm.tbVolume->value(), 100);
    EXPECT_EQ(frm.lblVolume->text(), "100");
}

TEST_F(VoicesPage, TheEnginesRateAndVolumeAreReadAndClampedByTheBars) {
    engine.rate = 15;  // beyond the bar's range
    engine.volume = 40;
    TfrmTextToSpeech frm;
    EXPECT_EQ(frm.tbRate->value(), 10);
    EXPECT_EQ(frm.lblRate->text(), "10");
    EXPECT_EQ(frm.SpVoice->Rate(), 10);  // the bar's handler wrote its position back
    EXPECT_EQ(frm.tbVolume->value(), 40);
    EXPECT_EQ(frm.lblVolume->text(), "40");
}

TEST_F(VoicesPage, TheFirstVoiceIsChosenAndItsAttributesShown) {
    engine.tokens = {scriptedVoice(u"Günther – 中文", u"de"), scriptedVoice(u"Other")};
    engine.tokens.push_back(
        Ref<ISpeechObjectToken>(new ScriptedToken(u"Blank", u"", u"", u"", u"")));
    TfrmTextToSpeech frm;
    EXPECT_EQ(lines(frm.ListBoxVoices),
              (std::vector<std::string>{"Günther – 中文", "Other", "Blank"}));
    EXPECT_EQ(frm.ListBoxVoices->currentRow(), 0);
    EXPECT_EQ(engine.engine->calls,
              (std::vector<std::string>{"voice Günther – 中文", "volume 100"}));
    EXPECT_EQ(lines(frm.lstEngineInfo),
              (std::vector<std::string>{"Name: Günther – 中文", "Vendor: Test vendor",
                                        "Gender: Female", "Language: de"}));

    // A click chooses a voice at once; empty attributes give empty lines.
    QListWidget* list = frm.ListBoxVoices;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(engine.engine->voice().get(), engine.tokens[2].get());
    EXPECT_EQ(lines(frm.lstEngineInfo),
              (std::vector<std::string>{"Name: ", "Vendor: ", "Gender: ", "Language: "}));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(engine.engine->voice().get(), engine.tokens[1].get());
}

TEST_F(VoicesPage, ThePreferredVoiceIsFoundInAnyLetterCase) {
    engine.tokens = {scriptedVoice(u"First"), scriptedVoice(u"scansoft STEFFI_full_22khz")};
    TfrmTextToSpeech frm;
    EXPECT_EQ(frm.ListBoxVoices->currentRow(), 1);
    EXPECT_EQ(engine.engine->voice().get(), engine.tokens[1].get());
    EXPECT_EQ(lines(frm.lstEngineInfo)[0], "Name: scansoft STEFFI_full_22khz");
}

TEST_F(VoicesPage, ThePreferredVoiceListedFirstIsSetTwice) {
    engine.tokens = {scriptedVoice(u"ScanSoft Steffi_Full_22kHz"), scriptedVoice(u"Other")};
    TfrmTextToSpeech frm;
    EXPECT_EQ(engine.engine->calls,
              (std::vector<std::string>{"voice ScanSoft Steffi_Full_22kHz", "volume 100",
                                        "voice ScanSoft Steffi_Full_22kHz"}));
    EXPECT_EQ(frm.ListBoxVoices->currentRow(), 0);
    EXPECT_EQ(frm.lstEngineInfo->count(), 4);
}

TEST_F(VoicesPage, MovingABarSetsTheEngineAtOnce) {
    TfrmTextToSpeech frm;
    frm.tbRate->setFocus();
    QTest::keyClick(frm.tbRate, Qt::Key_Right);
    EXPECT_EQ(engine.engine->rate(), 1);
    EXPECT_EQ(frm.lblRate->text(), "1");
    QTest::keyClick(frm.tbRate, Qt::Key_Home);
    EXPECT_EQ(engine.engine->rate(), -10);
    EXPECT_EQ(frm.lblRate->text(), "-10");
    frm.tbVolume->setFocus();
    QTest::keyClick(frm.tbVolume, Qt::Key_PageDown);
    EXPECT_EQ(engine.engine->volume(), 90);
    EXPECT_EQ(frm.lblVolume->text(), "90");
}

TEST_F(VoicesPage, EveryEntryReleasesItsReferenceWithTheWindow) {
    engine.tokens = {scriptedVoice(u"A"), scriptedVoice(u"B")};
    const int before = engine.tokens[1]->references();
    {
        TfrmTextToSpeech frm;
        EXPECT_EQ(engine.tokens[1]->references(), before + 2);  // the engine's list, the entry
    }
    EXPECT_EQ(engine.tokens[1]->references(), before);
}

TEST_F(VoicesPage, AdditionalVoicesOpensTheWorkspacesPageAboutVoices) {
    TfrmTextToSpeech frm;
    QTest::mouseClick(frm.ButtonAddVoices, Qt::LeftButton);
    EXPECT_EQ(harnessOpener().targets,
              std::vector<std::string>{"file://" + workspace.path() + "help/voices.html"});
    EXPECT_TRUE(dialogs.shown().empty());
}
