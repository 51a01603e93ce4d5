// The window with the real engine and encoder: what the page chooses is what is spoken, and a
// generation makes MP3 files that decode and logs as long as their speech.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <regex>

#include "core/encoder.h"
#include "core/mp3_check.h"
#include "core/text16.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/main.h"
#include "platform/espeak_synth.h"
#include "platform/process_spawner.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

// Milliseconds of audio in a WAV file.
double wavMs(const std::string& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < 44) return -1;
    uint32_t rate = 0, data = 0;
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::memcpy(&data, bytes.data() + 40, 4);
    uint16_t channels = 0, bits = 0;
    std::memcpy(&channels, bytes.data() + 22, 2);
    std::memcpy(&bits, bytes.data() + 34, 2);
    return 1000.0 * data / (rate * channels * bits / 8);
}

}  // namespace

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

// The real engine and the real encoder, for a bot of three phrases.
TEST(GenerationRealEngine, ThreePhrasesGiveMp3FilesOfTheirLengthAndLogs) {
    const RealSpeech speech;
    const ProcessEncoder encoder;
    TempWorkspace workspace("real work/");
    ScriptedDialogs dialogs;
    workspace.linkEncoder();
    const std::string bot = workspace.bot("Drei Sätze");
    workspace.addBot("Drei Sätze");
    writeFile(bot + "phrases.txt", "=Hallo!\r\nTag=Guten Tag.\r\ndanke=Danke schön.\r\n");
    writeFile(bot + "3.mp3", "from an earlier generation");
    writeFile(bot + "3.txt", "11 120\r\n");
    TfrmTextToSpeech frm;
    ASSERT_EQ(frm.botName(), "Drei Sätze");
    const auto american = frm.ListBoxVoices->findItems("English (America)", Qt::MatchExactly);
    ASSERT_EQ(american.size(), 1);
    frm.ListBoxVoices->setCurrentItem(american[0]);  // as the user's pick: its handler runs
    QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
    EXPECT_EQ(frm.LabelStatus->text(), "Completed!");
    EXPECT_TRUE(dialogs.shown().empty());
    for (QWidget* w :
         std::vector<QWidget*>{frm.ButtonGenerateSpeech, frm.ComboBoxBots, frm.ButtonAdd,
                               frm.ButtonAddPhrase, frm.ButtonDeletePhrase, frm.ButtonTest})
        EXPECT_TRUE(w->isEnabled());

    const char* phrases[] = {"Hallo!", "Guten Tag.", "Danke schön."};
    const std::string voice = "gmw/en-US";
    for (int n = 0; n < 3; ++n) {
        const std::string base = bot + std::to_string(n);
        ASSERT_TRUE(exists(base + ".mp3")) << n;
        EXPECT_EQ(mp3Problem(readFile(base + ".mp3")), "") << n;
        EXPECT_FALSE(exists(base + ".wav")) << n;
        EXPECT_TRUE(exists(base + ".txt")) << n;
        const std::string decoded = workspace.path() + "decoded.wav";
        const std::string command = "lame --quiet --decode '" + base + ".mp3' '" + decoded + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const auto rendering = renderSpeech(voice, 175, 100, phrases[n]);
        const double expected = 1000.0 * rendering.samples.size() / rendering.sampleRate;
        EXPECT_NEAR(wavMs(decoded), expected, 100.0) << n;

        // The viseme log: well-formed lines whose durations add up to the audio's length.
        const std::string log = readFile(base + ".txt");
        const std::regex line("(\\d+) (-?\\d+)\r\n");
        int sum = 0, lines = 0;
        for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) {
            EXPECT_LE(std::stoi((*it)[1]), 21);
            sum += std::stoi((*it)[2]);
            ++lines;
        }
        EXPECT_GT(lines, 3) << n;
        EXPECT_EQ(std::regex_replace(log, line, ""), "") << n;  // nothing but such lines
        EXPECT_NEAR(sum, expected, 50.0) << n << "\n" << log;
    }
    EXPECT_EQ(readFile(bot + "3.mp3"), "from an earlier generation");
    EXPECT_EQ(readFile(bot + "3.txt"), "11 120\r\n");

    // Without the audible pass, from the file pass's timing: the lines the events gave (the
    // same shapes; libespeak-ng times a phrase a little differently at each rendering).
    const auto visemes = [](const std::string& log) {
        std::vector<std::pair<int, int>> v;
        const std::regex line("(\\d+) (-?\\d+)\r\n");
        for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
            v.emplace_back(std::stoi((*it)[1]), std::stoi((*it)[2]));
        return v;
    };
    std::vector<std::string> heard;
    for (int n = 0; n < 3; ++n) heard.push_back(readFile(bot + std::to_string(n) + ".txt"));
    frm.CheckBoxSpeakAloud->click();
    QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
    EXPECT_EQ(frm.LabelStatus->text(), "Completed!");
    for (int n = 0; n < 3; ++n) {
        const std::string base = bot + std::to_string(n);
        const auto silent = visemes(readFile(base + ".txt"));
        const auto aloud = visemes(heard[static_cast<size_t>(n)]);
        ASSERT_EQ(silent.size(), aloud.size()) << n;
        for (size_t i = 0; i < silent.size(); ++i) {
            EXPECT_EQ(silent[i].first, aloud[i].first) << n << " " << i;
            EXPECT_NEAR(silent[i].second, aloud[i].second, 20) << n << " " << i;
        }
        EXPECT_EQ(mp3Problem(readFile(base + ".mp3")), "") << n;
        EXPECT_FALSE(exists(base + ".wav")) << n;
    }
}

// The real encoder, which keeps a copy of each WAV file it is given before it encodes it.
class WavKeepingEncoder final : public EncoderSpawner {
public:
    explicit WavKeepingEncoder(std::string folder)
        : folder_(std::move(folder)), spawner_(makeProcessSpawner()), install_(this) {}
    EncoderOutcome run(const std::string& program, const std::vector<std::string>& arguments,
                       const EncoderLimits& limits) override {
        if (arguments.size() == 3)
            fs::copy_file(arguments[1], folder_ + fs::path(arguments[1]).filename().string(),
                          fs::copy_options::overwrite_existing);
        return spawner_->run(program, arguments, limits);
    }

private:
    std::string folder_;
    std::unique_ptr<EncoderSpawner> spawner_;
    Install<EncoderSpawner> install_;
};

// A generation with Flite's voices, at 8 and 16 kHz: MP3 files that decode, and logs as long as
// the WAV files they were made from.
TEST(GenerationRealEngine, FliteVoicesGiveMp3FilesAndLogsAsLongAsTheirWaveFiles) {
    const RealSpeech speech;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    workspace.linkEncoder();
    const std::string kept = workspace.path() + "kept/";
    fs::create_directories(kept);
    const WavKeepingEncoder encoder(kept);
    workspace.addBot("Guide");
    writeFile(workspace.bot("Guide") + "phrases.txt",
              "=Hello!\r\nhours=We are open from nine to five.\r\n");
    TfrmTextToSpeech frm;
    const struct {
        const char* voice;
        uint32_t rate;
    } voices[] = {{"Flite kal (8 kHz)", 8000}, {"Flite slt", 16000}};
    for (const auto& [voice, rate] : voices) {
        SCOPED_TRACE(voice);
        const auto items = frm.ListBoxVoices->findItems(voice, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        frm.ListBoxVoices->setCurrentItem(items[0]);
        QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
        EXPECT_EQ(frm.LabelStatus->text(), "Completed!");
        EXPECT_TRUE(dialogs.shown().empty());
        for (int n = 0; n < 2; ++n) {
            const std::string base = workspace.bot("Guide") + std::to_string(n);
            EXPECT_FALSE(exists(base + ".wav")) << n;
            EXPECT_EQ(mp3Problem(readFile(base + ".mp3")), "") << n;
            const std::string decoded = workspace.path() + "decoded.wav";
            const std::string command =
                "lame --quiet --decode '" + base + ".mp3' '" + decoded + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            const std::string wavFile = kept + std::to_string(n) + ".wav";
            uint32_t wavRate = 0;
            std::memcpy(&wavRate, readFile(wavFile).data() + 24, 4);
            EXPECT_EQ(wavRate, rate) << n;
            const double wav = wavMs(wavFile);
            EXPECT_GT(wav, 500) << n;
            // The decoded audio is as long, give or take the encoder's padding: at most three
            // frames of 576 samples at the voice's rate.
            EXPECT_NEAR(wavMs(decoded), wav, 3 * 576 * 1000.0 / rate) << n;
            int sum = 0;
            const std::string log = readFile(base + ".txt");
            const std::regex line("(\\d+) (-?\\d+)\r\n");
            for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
                sum += std::stoi((*it)[2]);
            EXPECT_NEAR(sum, wav, 20.0) << n << "\n" << log;
        }
    }
}

// A bot's pronunciations reach the real engine: the phrase with them is rendered as its spoken
// form is (the logs of the two are alike), while phrases.txt keeps what is written.
TEST(GenerationRealEngine, APhraseIsRenderedAsItsPronunciationsSayWhileItsTextStays) {
    const RealSpeech speech;
    const ProcessEncoder encoder;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    workspace.linkEncoder();
    workspace.addBot("Firma");
    const std::string bot = workspace.bot("Firma");
    const std::string phrases =
        "firma=Die Parlomat GmbH hilft.\r\n"
        "gesprochen=Die Parlo maht Gesellschaft mit beschränkter Haftung hilft.\r\n";
    writeFile(bot + "phrases.txt", phrases);
    const auto logMs = [&](int n) {
        int sum = 0;
        const std::string log = readFile(bot + std::to_string(n) + ".txt");
        const std::regex line("(\\d+) (-?\\d+)\r\n");
        for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
            sum += std::stoi((*it)[2]);
        return sum;
    };
    TfrmTextToSpeech frm;
    frm.CheckBoxSpeakAloud->setChecked(false);
    QTest::mouseClick(frm.ButtonGenerateSpeech, Qt::LeftButton);
    ASSERT_EQ(frm.LabelStatus->text(), "Completed!");
    const int written = logMs(0), spoken = logMs(1);
    ASSERT_GT(spoken, written + 500);  // the spoken form is much longer to say

    writeFile(bot + "pronunciations.txt",
              "GmbH=Gesellschaft mit beschränkter Haftung\r\nParlomat=Parlo maht\r\n");
    frm.ComboBoxBotsChange(frm.ComboBoxBots);  // the bot is chosen again: its list is read
    ASSERT_TRUE(frm.ButtonGenerateChanged->isEnabled());  // row 0 says something else now
    QTest::mouseClick(frm.ButtonGenerateChanged, Qt::LeftButton);
    ASSERT_EQ(frm.LabelStatus->text(), "Completed!");
    EXPECT_NEAR(logMs(0), spoken, 0.05 * spoken);
    EXPECT_EQ(readFile(bot + "phrases.txt"), phrases);
    EXPECT_TRUE(dialogs.shown().empty());
}
