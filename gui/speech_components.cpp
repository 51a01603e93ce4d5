// The speech engine components of the main window.
#include "engine/SpeechLib_TLB.h"
#include "gui/main.h"

void TfrmTextToSpeech::createSpeechComponents() {
    // The voice connects to the engine here, while the window is built: without it the window
    // cannot exist, and the error escapes to the program entry.
    SpVoice = new TSpVoice(this);
    SpVoice->setObjectName("SpVoice");
    SpVoice->OnEndStream = [this](QObject* ASender, int StreamNumber,
                                  const QVariant& StreamPosition) {
        runReported([&] { SpVoiceEndStream(ASender, StreamNumber, StreamPosition); });
    };
    SpVoice->OnViseme = [this](QObject* ASender, int StreamNumber, const QVariant& StreamPosition,
                               int Duration, SpeechVisemeType NextVisemeId,
                               SpeechVisemeFeature Feature, SpeechVisemeType CurrentVisemeId) {
        runReported([&] {
            SpVoiceViseme(ASender, StreamNumber, StreamPosition, Duration, NextVisemeId, Feature,
                          CurrentVisemeId);
        });
    };
    SpFileStream1 = new TSpFileStream(this);
    SpFileStream1->setObjectName("SpFileStream1");
}
