// The microphone pictures, the drawing of visemes and the viseme log of the window.
#include <gtest/gtest.h>

#include <cstring>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "core/viseme_log.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/generation.h"
#include "gui/main.h"
#include "gui/microphone.h"
#include "gui/picture.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"

namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {
    "res/mic.bmp",          "res/mic_mouth_2.bmp",     "res/mic_mouth_3.bmp",
    "res/mic_mouth_4.bmp",  "res/mic_mouth_5.bmp",     "res/mic_mouth_6.bmp",
    "res/mic_mouth_7.bmp",  "res/mic_mouth_8.bmp",     "res/mic_mouth_9.bmp",
    "res/mic_mouth_10.bmp", "res/mic_mouth_11.bmp",    "res/mic_mouth_12.bmp",
    "res/mic_mouth_13.bmp", "res/mic_eyes_narrow.bmp", "res/mic eyes closed.bmp",
};

struct Microphone : ::testing::Test {
    ScriptedEngineScope engine;
    TempWorkspace workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmTextToSpeech> frm;

    void start() {
        workspace.addBot("bot");
        frm = std::make_unique<TfrmTextToSpeech>();
        frm->SpeechGeneration1->AloudStream = 1;  // the stream whose events a named log takes
        frm->show();
        frm->PageControl1->setCurrentIndex(2);
        QApplication::processEvents();
    }
    QImage shown() const {
        return frm->pbMic->shown().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    // What the box shows after the pictures given were drawn, in order, on the page.
    QImage composed(std::initializer_list<int> pictures) const {
        QPixmap canvas(128, 128);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        for (const int p : pictures) frm->imgsMic->draw(painter, 0, 0, p);
        painter.end();
        return canvas.toImage().convertToFormat(QImage::Format_ARGB32);
    }
    void viseme(uint32_t id, int duration = 50, int stream = 1) const {
        engine.engine->viseme(id, duration, stream);
    }
    void saveBitmap(const QImage& image, const char* file) const {
        ASSERT_TRUE(image.save(QString::fromStdString(workspace.path() + file), "BMP"));
    }
};

}  // namespace

TEST_F(Microphone, TheFifteenPicturesAreLoadedAndTheRestingMicrophoneIsShown) {
    start();
    EXPECT_EQ(frm->imgsMic->count(), 15);
    EXPECT_EQ(frm->pbMic->parentWidget(), frm->TabSheet3);
    EXPECT_EQ(shown(), composed({0}));
    // The mask: the bottom-left corner is transparent, the microphone's middle is not.
    EXPECT_EQ(qAlpha(shown().pixel(0, 127)), 0);
    EXPECT_EQ(qAlpha(shown().pixel(64, 50)), 255);
}

TEST_F(Microphone, EveryVisemeDrawsItsMouthAndBlinksOnTheRoundShapes) {
    start();
    for (uint32_t id : {0u,  1u,  2u,  3u,  4u,  5u,  6u,  7u,  8u,  9u,  10u, 11u,
                        12u, 13u, 14u, 15u, 16u, 17u, 18u, 19u, 20u, 21u, 22u, 255u}) {
        frm->pbMic->repaint();  // back to the microphone at rest
        viseme(id);
        const int mouth = pictureForViseme(id);
        const int eyes = (mouth == 2 || mouth == 8) ? 14 : -1;
        EXPECT_EQ(shown(), composed({0, mouth, eyes})) << id;
    }
    // The shapes a viewer must tell apart differ from the microphone at rest.
    for (int p = 1; p <= 12; ++p) EXPECT_NE(composed({0, p}), composed({0})) << p;
}

TEST_F(Microphone, APictureWithTransparentPartsKeepsWhatWasDrawnBefore) {
    start();
    viseme(2);  // wide open mouth, picture 11
    const QImage open = shown();
    viseme(8);  // picture 13: narrowed eyes only
    const QImage after = shown();
    EXPECT_EQ(after, composed({0, 11, 13}));
    EXPECT_EQ(after.pixel(64, 74), open.pixel(64, 74));  // the mouth stays
    EXPECT_NE(after.pixel(51, 33), open.pixel(51, 33));  // the eyelids came
    frm->pbMic->repaint();
    EXPECT_EQ(shown(), composed({0}));  // a repaint shows the microphone at rest
}

TEST_F(Microphone, EventsAreLoggedOnlyWhileALogIsNamed) {
    start();
    const std::string log = workspace.path() + "0.txt";
    viseme(11, 120);  // no log named: nothing written, the mouth moves all the same
    EXPECT_FALSE(exists(log));
    EXPECT_EQ(shown(), composed({0, 11}));
    writeFile(log, "");
    frm->SpeechGeneration1->VisemeLogPath = log;
    viseme(11, 120);
    viseme(11, 120);
    viseme(0, -3);
    EXPECT_EQ(readFile(log), "11 120\r\n11 120\r\n0 -3\r\n");
}

TEST_F(Microphone, ALogErrorOutsideAGenerationIsReportedOnce) {
    start();
    frm->SpeechGeneration1->VisemeLogPath = workspace.path() + "deleted.txt";
    viseme(11);
    viseme(12);
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: File not found."});
    EXPECT_FALSE(exists(workspace.path() + "deleted.txt"));
    EXPECT_EQ(shown(), composed({0, 9}));  // the second event drew its mouth
}

TEST_F(Microphone, ALogErrorDuringAGenerationEndsItWithOneReport) {
    workspace.addBot("bot");
    writeFile(workspace.bot("bot") + "phrases.txt", "=one\r\n=two\r\n");
    start();
    engine.engine->endAudibleAtOnce = false;
    const OnceWhen during([&] { return frm->SpeechGeneration1->AloudStream == 2; },
                          [&] {
                              fs::remove(workspace.bot("bot") + "0.txt");
                              viseme(11, 50, 2);  // of the audible pass of phrase 0
                              viseme(12, 50, 2);
                              viseme(13, 50, 2);
                              engine.engine->endStream(2);
                          });
    QTest::mouseClick(frm->ButtonGenerateSpeech, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: File not found."});
    EXPECT_EQ(frm->LabelStatus->text(), "Generation failed!");
    EXPECT_TRUE(frm->ButtonGenerateSpeech->isEnabled());
    EXPECT_FALSE(exists(workspace.bot("bot") + "1.mp3"));
    EXPECT_FALSE(exists(workspace.bot("bot") + "0.txt"));
}

TEST_F(Microphone, WithoutResTheStartStopsAtThePicturesAndTheWindowOpens) {
    fs::remove_all(workspace.path() + "res");
    engine.tokens = {scriptedVoice(u"A voice")};
    start();
    EXPECT_EQ(dialogs.shown(),
              std::vector<std::string>{"Error: Cannot open file \"" + workspace.path() +
                                       "res/mic.bmp\". No such file or directory."});
    EXPECT_EQ(frm->ListBoxVoices->count(), 0);
    EXPECT_EQ(frm->ComboBoxBots->count(), 0);
    EXPECT_EQ(frm->ComboBoxMusic->count(), 0);
    EXPECT_FALSE(frm->PageControl1->isHidden());
    EXPECT_EQ(frm->imgsMic->count(), 0);
}

TEST_F(Microphone, LoadingStopsAtTheFirstPictureThatFails) {
    const auto failsWith = [&](const std::function<void()>& damage, const std::string& message,
                               int loaded) {
        fs::remove_all(workspace.path() + "res");
        fs::copy(STAGED_WORKSPACE "/res", workspace.path() + "res");
        damage();
        dialogs.shown().clear();
        start();
        EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"Error: " + message}) << message;
        EXPECT_EQ(frm->imgsMic->count(), loaded) << message;
        frm.reset();
    };
    failsWith(
        [&] { fs::remove(workspace.path() + kFiles[4]); },
        "Cannot open file \"" + workspace.path() + kFiles[4] + "\". No such file or directory.", 4);
    failsWith([&] { writeFile(workspace.path() + kFiles[2], "not a picture"); },
              "Bitmap image is not valid.", 2);
    failsWith([&] { saveBitmap(QImage(64, 64, QImage::Format_RGB32), kFiles[14]); },
              "Invalid image size.", 14);
    failsWith(  // cut short: the rows at its end are missing
        [&] {
            writeFile(workspace.path() + kFiles[3],
                      readFile(workspace.path() + kFiles[0]).substr(0, 5000));
        },
        "Bitmap image is not valid.", 3);
    failsWith(
        [&] {
            QImage png(128, 128, QImage::Format_RGB32);
            png.fill(Qt::red);
            png.save(QString::fromStdString(workspace.path() + kFiles[1]), "PNG");
        },
        "Bitmap image is not valid.", 1);
}

TEST(PlainBitmap, DecodesAsQtsReaderDoesOrLeavesItToIt) {
    TempDir dir;
    QImage odd(37, 19, QImage::Format_RGB32);  // rows that need padding
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 37; ++x) odd.setPixel(x, y, qRgb(x * 7, y * 13, (x + y) * 3));
    ASSERT_TRUE(odd.save(QString::fromStdString(dir.path() + "odd.bmp"), "BMP"));
    for (const std::string& path :
         {dir.path() + "odd.bmp", std::string(STAGED_WORKSPACE) + "/res/mic.bmp"}) {
        const std::string bytes = readFile(path);
        const QImage fast = decodePlainBitmap(bytes);
        ASSERT_FALSE(fast.isNull()) << path;
        EXPECT_EQ(fast,
                  QImage(QString::fromStdString(path), "BMP").convertToFormat(QImage::Format_RGB32))
            << path;
    }
    // Rows from the top down (a negative height).
    std::string topDown = readFile(dir.path() + "odd.bmp");
    const int32_t height = -19;
    std::memcpy(topDown.data() + 22, &height, 4);
    EXPECT_EQ(decodePlainBitmap(topDown),
              decodePlainBitmap(readFile(dir.path() + "odd.bmp")).mirrored());
    // Anything else is left to Qt's reader.
    QImage mono(8, 8, QImage::Format_Mono);
    mono.fill(1);
    ASSERT_TRUE(mono.save(QString::fromStdString(dir.path() + "mono.bmp"), "BMP"));
    EXPECT_TRUE(decodePlainBitmap(readFile(dir.path() + "mono.bmp")).isNull());
    EXPECT_TRUE(decodePlainBitmap("BM short").isNull());
    EXPECT_TRUE(decodePlainBitmap(readFile(dir.path() + "odd.bmp").substr(0, 200)).isNull());
}

TEST_F(Microphone, MonochromeAndAlphaBitmapsTakeTheirMaskColours) {
    QImage mono(128, 128, QImage::Format_Mono);
    mono.fill(1);  // white
    for (int y = 100; y < 128; ++y)
        for (int x = 0; x < 40; ++x) mono.setPixel(x, y, 0);  // black, bottom-left among it
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    saveBitmap(mono, kFiles[13]);
    QImage alpha(160, 140, QImage::Format_ARGB32);
    alpha.fill(qRgba(10, 20, 30, 0));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) alpha.setPixel(x, y, qRgba(200, 0, 0, 128));
    saveBitmap(alpha, kFiles[14]);
    start();
    ASSERT_EQ(frm->imgsMic->count(), 15);
    QPixmap canvas(128, 128);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    frm->imgsMic->draw(painter, 0, 0, 13);
    painter.end();
    const QImage drawn = canvas.toImage();
    EXPECT_EQ(qAlpha(drawn.pixel(60, 10)), 0);       // white: transparent
    EXPECT_EQ(drawn.pixel(10, 120), qRgb(0, 0, 0));  // black: drawn
    QPixmap second(128, 128);
    second.fill(Qt::transparent);
    QPainter p2(&second);
    frm->imgsMic->draw(p2, 0, 0, 14);
    p2.end();
    EXPECT_EQ(qAlpha(second.toImage().pixel(100, 100)), 0);  // the bottom-left colour
    EXPECT_EQ(qAlpha(second.toImage().pixel(10, 10)), 255);  // its own alpha does not count
}
