// The Publish page ("5. Publish").
#include <QPushButton>

#include "layout.h"
#include "main.h"

void TfrmTextToSpeech::createPublishPage() {
    using namespace layout;
    ButtonTest = button(TabSheet4, "ButtonTest", "Test", {60, 96, 105, 25});
}
