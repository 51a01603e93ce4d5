#include "platform/platform.h"

#include "core/dialogs.h"
#include "core/encoder.h"
#include "core/music_preview.h"
#include "core/shell.h"
#include "engine/SpeechLib_TLB.h"
#include "engine/synth_engine.h"
#include "platform/detached_opener.h"
#include "platform/espeak_synth.h"
#include "platform/flite_synth.h"
#include "platform/process_spawner.h"
#include "platform/qt_dialogs.h"
#include "platform/sdl_audio.h"

struct RealPlatform::Parts {
    std::unique_ptr<SdlAudio> audio = SdlAudio::make();
    std::unique_ptr<Synthesiser> espeak = makeEspeakSynthesiser();
    std::unique_ptr<Synthesiser> flite = makeFliteSynthesiser();
    SynthEngine speech{{espeak.get(), flite.get()}, *audio};
    std::unique_ptr<ShellOpener> opener = makeDetachedOpener("xdg-open");
    std::unique_ptr<EncoderSpawner> encoder = makeProcessSpawner();
    std::unique_ptr<Dialogs> dialogs = makeQtDialogs();

    // Installed in this order, and taken back in the reverse order: the audio output last.
    Install<MusicPreview> installMusic{audio.get()};
    Install<SpeechEngine> installSpeech{&speech};
    Install<ShellOpener> installOpener{opener.get()};
    Install<EncoderSpawner> installEncoder{encoder.get()};
    Install<Dialogs> installDialogs{dialogs.get()};
};

RealPlatform::RealPlatform() : parts_(std::make_unique<Parts>()) {}

RealPlatform::~RealPlatform() = default;
