// The talking microphone on the Speech page and the viseme log.
#include <QPainter>

#include "core/viseme_log.h"
#include "engine/SpeechLib_TLB.h"
#include "gui/generation.h"
#include "gui/main.h"
#include "gui/microphone.h"

namespace {
// The pictures, by index, under the working folder.
const char* const kMouthPictures[kMouthPictureCount] = {
    "res/mic.bmp",          "res/mic_mouth_2.bmp",     "res/mic_mouth_3.bmp",
    "res/mic_mouth_4.bmp",  "res/mic_mouth_5.bmp",     "res/mic_mouth_6.bmp",
    "res/mic_mouth_7.bmp",  "res/mic_mouth_8.bmp",     "res/mic_mouth_9.bmp",
    "res/mic_mouth_10.bmp", "res/mic_mouth_11.bmp",    "res/mic_mouth_12.bmp",
    "res/mic_mouth_13.bmp", "res/mic_eyes_narrow.bmp", "res/mic eyes closed.bmp",
};
}  // namespace

void TfrmTextToSpeech::createMicrophone() {
    imgsMic = new ImageList(this, 128, 128);
    imgsMic->setObjectName("imgsMic");
    pbMic = new PaintBox(TabSheet3);
    pbMic->setObjectName("pbMic");
    pbMic->setGeometry(299, 253, 128, 128);
    pbMic->setAccessibleName("Talking microphone");
    pbMic->OnPaint = [this](QObject* Sender) { runReported([&] { pbMicPaint(Sender); }); };
}

void TfrmTextToSpeech::LoadMouthPictures() {
    for (const char* path : kMouthPictures)
        imgsMic->add(loadMaskedBitmap(path, imgsMic->width(), imgsMic->height()));
}

void TfrmTextToSpeech::pbMicPaint(QObject*) {
    if (QPainter* canvas = pbMic->canvas()) imgsMic->draw(*canvas, 0, 0, 0);
}

void TfrmTextToSpeech::SpVoiceViseme(QObject*, int StreamNumber, const QVariant&, int Duration,
                                     SpeechVisemeType, SpeechVisemeFeature,
                                     SpeechVisemeType CurrentVisemeId) {
    SpeechGeneration& g = *SpeechGeneration1;
    if (!g.VisemeLogPath.empty() && StreamNumber == g.AloudStream) {
        try {
            appendVisemeLog(g.VisemeLogPath, CurrentVisemeId, Duration);
        } catch (...) {
            // The log cannot be written: the events after this one are not logged, and the
            // error reaches the user once, through the generation when one runs.
            g.VisemeLogPath.clear();
            if (!g.Running) throw;
            g.VisemeLogError = std::current_exception();
            return;
        }
    }
    const int mouth = pictureForViseme(CurrentVisemeId);
    pbMic->drawNow([&](QPainter& canvas) {
        imgsMic->draw(canvas, 0, 0, mouth);
        imgsMic->draw(canvas, 0, 0, eyesOverPicture(mouth));
    });
}
