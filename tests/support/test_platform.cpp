#include "tests/support/test_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <mutex>

#include "core/errors.h"
#include "engine/SpeechLib_TLB.h"
#include "engine/synth_engine.h"
#include "gui/errorreport.h"
#include "platform/detached_opener.h"
#include "platform/espeak_synth.h"
#include "platform/flite_synth.h"
#include "platform/process_spawner.h"
#include "platform/sdl_audio.h"
#include "tests/support/scripted_engine.h"
#include "tests/support/support.h"

std::string silentMp3Frame() {
    std::string frame(417, '\0');
    frame.replace(0, 4, "\xFF\xFB\x90\x64");
    return frame;
}

EncoderOutcome RecordingEncoder::run(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     const EncoderLimits&) {
    {
        const std::lock_guard lock(mutex_);  // encoders run side by side
        calls.push_back({program, arguments});
    }
    if (behaviour) return behaviour(arguments);
    EncoderOutcome outcome;
    outcome.started = true;
    if (!arguments.empty()) std::ofstream(arguments.back(), std::ios::binary) << silentMp3Frame();
    return outcome;
}

void RecordingMusic::open(const std::string& path) {
    close();
    opened.push_back(path);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        throw AppError(errkind::kMedia, "Couldn't open '" + path + "'");
    open_ = true;
}

ProcessEncoder::ProcessEncoder() : spawner_(makeProcessSpawner()), install_(spawner_.get()) {}
ProcessEncoder::~ProcessEncoder() = default;

RealOpener::RealOpener(const std::string& program)
    : opener_(makeDetachedOpener(program)), install_(opener_.get()) {}
RealOpener::~RealOpener() = default;

RealMusic::RealMusic() : audio_(SdlAudio::make()), install_(audio_.get()) {}
RealMusic::~RealMusic() = default;

struct RealSpeech::Parts {
    std::unique_ptr<SdlAudio> audio = SdlAudio::make();
    std::unique_ptr<Synthesiser> espeak = makeEspeakSynthesiser();
    std::unique_ptr<Synthesiser> flite = makeFliteSynthesiser();
    SynthEngine engine{{espeak.get(), flite.get()}, *audio};
    Install<SpeechEngine> installEngine{&engine};
    Install<MusicPreview> installMusic{audio.get()};
};
RealSpeech::RealSpeech() : parts_(std::make_unique<Parts>()) {}
RealSpeech::~RealSpeech() = default;

struct TestPlatform {
    ReportQueue reports;
    ScriptedEngineScope engine;
    RecordingOpener opener;
    RecordingEncoder encoder;
    RecordingMusic music;
    ScriptedDialogs dialogs;
};

namespace {

std::unique_ptr<TestPlatform> platform;

// Each test starts with new doubles, and leaves nothing of its own installed.
class FreshPlatform : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        platform = std::make_unique<TestPlatform>();
    }
    void OnTestEnd(const ::testing::TestInfo&) override { platform.reset(); }
};

}  // namespace

TestPlatform& testPlatform() {
    return *platform;
}
RecordingOpener& harnessOpener() {
    return platform->opener;
}
RecordingEncoder& harnessEncoder() {
    return platform->encoder;
}
RecordingMusic& harnessMusic() {
    return platform->music;
}

void installTestPlatform() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshPlatform);
}
