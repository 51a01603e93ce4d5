// The speech engine components of the main window.
#include "SpeechLib_TLB.h"
#include "main.h"

void TfrmTextToSpeech::createSpeechComponents() {
    // The voice connects to the engine here, while the window is built: without it the window
    // cannot exist, and the error escapes to the program entry.
    SpVoice = new TSpVoice(this);
    SpVoice->setObjectName("SpVoice");
    SpFileStream1 = new TSpFileStream(this);
    SpFileStream1->setObjectName("SpFileStream1");
}
