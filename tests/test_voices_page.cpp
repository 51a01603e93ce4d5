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

#include "SpeechLib_TLB.h"
#include "espeak_synth.h"
#include "main.h"
#include "scripted_engine.h"
#include "shell.h"
#include "support.h"
#include "test_platform.h"
#include "text16.h"

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

// With the real engine, the choices on the page are what the engine speaks with.
TEST(VoicesPageRealEngine, VoiceRateAndVolumeOfThePageAreUsedBySpeech) {
    RealSpeech speech;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    TfrmTextToSpeech frm;
    QListWidget* list = frm.ListBoxVoices;
    ASSERT_GE(list->count(), 10);
    int german = -1;
    for (int i = 0; i < list->count() && german < 0; ++i)
        if (list->item(i)->text() == "German") german = i;
    ASSERT_GE(german, 0);
    list->scrollToItem(list->item(german));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(german)).center());
    EXPECT_EQ(frm.lstEngineInfo->item(3)->text(), "Language: de");
    frm.tbRate->setValue(5);
    frm.tbVolume->setValue(50);
    EXPECT_EQ(frm.SpVoice->Rate(), 5);
    EXPECT_EQ(frm.SpVoice->Volume(), 50);
    EXPECT_EQ(toUtf8(frm.SpVoice->Voice()->GetAttribute(u"Language")), "de");

    const std::string text = "Sie erhalten für alle Produkte technische Unterstützung.";
    const std::string wav = workspace.path() + "check.wav";
    frm.SpFileStream1->Open(toUtf16(wav), SSFMCreateForWrite, true);
    frm.SpVoice->setAudioOutputStream(frm.SpFileStream1);
    frm.SpVoice->Speak(toUtf16(text), SVSFlagsAsync);
    frm.SpVoice->WaitUntilDone(-1);
    frm.SpFileStream1->Close();
    frm.SpVoice->setAudioOutputStream(nullptr);

    const std::string bytes = readFile(wav);
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    const auto expected = renderSpeech("gmw/de", wordsPerMinute(5), 100, text);
    const auto normal = renderSpeech("gmw/de", wordsPerMinute(0), 100, text);
    EXPECT_NEAR(samples.size(), expected.samples.size(), expected.samples.size() / 25.0);
    EXPECT_LT(samples.size(), normal.samples.size() * 0.8);  // faster than rate 0
    const auto peak = [](const std::vector<int16_t>& s) {
        int p = 0;
        for (const int16_t v : s) p = std::max(p, std::abs(int(v)));
        return p;
    };
    EXPECT_NEAR(double(peak(samples)) / peak(expected.samples), 0.5, 0.1);
}

// The female voices of libespeak-ng and the voices of Flite in the list, with their four lines.
TEST(VoicesPageRealEngine, TheFemaleAndFliteVoicesShowTheirFourLines) {
    RealSpeech speech;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    TfrmTextToSpeech frm;
    frm.show();
    frm.PageControl1->setCurrentIndex(2);
    const std::vector<std::string> cases[] = {
        {"German (female)", "eSpeak NG", "Female", "de"},
        {"English (America, female)", "eSpeak NG", "Female", "en-us"},
        {"English (Great Britain, female)", "eSpeak NG", "Female", "en-gb"},
        {"German", "eSpeak NG", "Male", "de"},
        {"Flite kal (8 kHz)", "Flite", "Male", "en-us"},
        {"Flite kal16", "Flite", "Male", "en-us"},
        {"Flite awb", "Flite", "Male", "en-us"},
        {"Flite rms", "Flite", "Male", "en-us"},
        {"Flite slt", "Flite", "Female", "en-us"},
    };
    QListWidget* list = frm.ListBoxVoices;
    for (const auto& c : cases) {
        const auto items = list->findItems(QString::fromStdString(c[0]), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << c[0];
        list->scrollToItem(items[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items[0]).center());
        EXPECT_EQ(lines(frm.lstEngineInfo),
                  (std::vector<std::string>{"Name: " + c[0], "Vendor: " + c[1], "Gender: " + c[2],
                                            "Language: " + c[3]}));
        EXPECT_EQ(toUtf8(frm.SpVoice->Voice()->GetDescription(0)), c[0]);
    }
    // Flite's voices close the list.
    EXPECT_EQ(list->item(list->count() - 1)->text(), "Flite slt");
}

// ------------------------------------------------------------------ shell open

TEST(ShellOpen, TheEnclosingQuotesGoAndNothingElse) {
    EXPECT_EQ(shellTarget("\"/srv/my bots/flash\""), "/srv/my bots/flash");
    EXPECT_EQ(shellTarget("https://example.org/voices"), "https://example.org/voices");
    EXPECT_EQ(shellTarget("\"unbalanced"), "\"unbalanced");
    EXPECT_EQ(shellTarget("\"\""), "");
    EXPECT_EQ(shellTarget("\"a \"b\" c\""), "a \"b\" c");
}

TEST(ShellOpen, HandsTheTargetAsOneArgumentAndDoesNotWait) {
    TempDir dir;
    const std::string record = dir.path() + "arguments";
    const std::string opener = dir.path() + "opener";
    const std::string release = dir.path() + "release", ended = dir.path() + "ended";
    // The opener records its arguments, then stays, as a browser does, until the test lets it
    // go (or a minute has passed); only then does it end.
    writeFile(opener, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + record + ".tmp'\nmv '" +
                          record + ".tmp' '" + record + "'\nfor i in $(seq 1200); do [ -e '" +
                          release + "' ] && break; sleep 0.05; done\ntouch '" + ended + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const RealOpener real(opener);
    shellOpen("\"" + dir.path() + "my flash folder\"");
    EXPECT_FALSE(exists(ended));  // the request came back while the opener was still there
    writeFile(release, "");
    QElapsedTimer clock;
    clock.start();
    while (!exists(ended) && clock.elapsed() < 60000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(readFile(record), "1\n" + dir.path() + "my flash folder\n");
}

TEST(ShellOpen, AMissingOpenerIsNotReported) {
    const RealOpener real("/nonexistent/opener");
    ScriptedDialogs dialogs;
    EXPECT_TRUE(runReported([] { shellOpen("\"/tmp\""); }));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(VoicesPage, AdditionalVoicesOpensTheWorkspacesPageAboutVoices) {
    TfrmTextToSpeech frm;
    QTest::mouseClick(frm.ButtonAddVoices, Qt::LeftButton);
    EXPECT_EQ(harnessOpener().targets,
              std::vector<std::string>{"file://" + workspace.path() + "help/voices.html"});
    EXPECT_TRUE(dialogs.shown().empty());
}
