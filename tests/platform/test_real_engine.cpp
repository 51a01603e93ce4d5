// The speech engine boundary with the real engine: libespeak-ng, SDL's dummy audio driver.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "core/errors.h"
#include "core/text16.h"
#include "core/visemes.h"
#include "engine/SpeechLib_TLB.h"
#include "engine/audio_player.h"
#include "platform/espeak_synth.h"
#include "platform/flite_synth.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace {

struct Heard {
    struct Viseme {
        int stream;
        qlonglong position;
        int duration;
        uint32_t next, feature, current;
    };
    std::vector<Viseme> visemes;
    std::vector<int> ends;       // stream numbers
    std::vector<size_t> endsAt;  // how many visemes had come before each end
};

void listen(TSpVoice& voice, Heard& heard) {
    voice.OnEndStream = [&heard](QObject*, int stream, const QVariant&) {
        heard.ends.push_back(stream);
        heard.endsAt.push_back(heard.visemes.size());
    };
    voice.OnViseme = [&heard](QObject*, int stream, const QVariant& position, int duration,
                              SpeechVisemeType next, SpeechVisemeFeature feature,
                              SpeechVisemeType current) {
        heard.visemes.push_back({stream, position.toLongLong(), duration, next, feature, current});
    };
}

// Processes events until `done` holds or `ms` have passed.
template <class F>
bool processUntil(F done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

// Selects the voice with this description.
void selectVoice(TSpVoice& voice, const std::u16string& description) {
    const auto voices = voice.GetVoices();
    for (int i = 0; i < voices->Count(); ++i) {
        if (voices->Item(i)->GetDescription(0) == description) {
            voice.setVoice(voices->Item(i).get());
            return;
        }
    }
    FAIL() << "no voice " << toUtf8(description);
}

// Selects the first voice of `language`.
void selectLanguage(TSpVoice& voice, const std::u16string& language) {
    const auto voices = voice.GetVoices();
    for (int i = 0; i < voices->Count(); ++i) {
        if (voices->Item(i)->GetAttribute(u"Language") == language) {
            voice.setVoice(voices->Item(i).get());
            return;
        }
    }
    FAIL() << "no voice for the language";
}

uint32_t u32At(const std::string& s, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}
uint16_t u16At(const std::string& s, size_t at) {
    uint16_t v = 0;
    std::memcpy(&v, s.data() + at, 2);
    return v;
}

// A voice of a synthesiser, by its description.
Ref<ISpeechObjectToken> voiceOf(Synthesiser& synthesiser, const std::u16string& description) {
    for (auto& token : synthesiser.voices())
        if (token->GetDescription(0) == description) return token;
    ADD_FAILURE() << "no voice " << toUtf8(description);
    return synthesiser.voices().front();
}

double rmsOf(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (const int16_t s : samples) sum += double(s) * s;
    return std::sqrt(sum / std::max<size_t>(1, samples.size()));
}

// The voices of libespeak-ng and Flite, heard through SDL's dummy driver.
struct RealEngine : ::testing::Test {
    RealSpeech speech;
};

}  // namespace

TEST_F(RealEngine, AFilePassWritesAValidWaveFileAndDeliversNoEvents) {
    TempDir dir;
    QObject owner;
    TSpVoice voice(&owner);
    TSpFileStream stream(&owner);
    Heard heard;
    listen(voice, heard);
    selectLanguage(voice, u"en-us");

    const std::string wav = dir.path() + "0 with blank.wav";
    stream.Open(toUtf16(wav), SSFMCreateForWrite, true);
    voice.setAllowAudioOutputFormatChangesOnNextSet(false);
    voice.setAudioOutputStream(&stream);
    voice.Speak(u"Hello, how can I help you today?", SVSFlagsAsync);
    voice.WaitUntilDone(-1);
    stream.Close();
    voice.setAudioOutputStream(nullptr);

    const std::string bytes = readFile(wav);
    ASSERT_GE(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(u16At(bytes, 20), 1);  // PCM
    EXPECT_EQ(u16At(bytes, 22), 1);  // mono
    EXPECT_EQ(u16At(bytes, 34), 16);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(u32At(bytes, 40), bytes.size() - 44);
    const uint32_t rate = u32At(bytes, 24);
    EXPECT_EQ(rate, 22050u);

    // The same text rendered directly has exactly as many samples.
    const Rendering direct =
        renderSpeech("gmw/en-US", wordsPerMinute(0), 100, "Hello, how can I help you today?");
    // The engine varies its speech a little from one rendering to the next.
    EXPECT_NEAR(u32At(bytes, 40), direct.samples.size() * 2, direct.samples.size() * 2 / 50.0);
    EXPECT_GT(bytes.size() - 44, rate);  // more than half a second of speech

    processUntil([] { return false; }, 300);
    EXPECT_TRUE(heard.visemes.empty());
    EXPECT_TRUE(heard.ends.empty());
}

TEST_F(RealEngine, AnAudiblePassDeliversVisemesInOrderThenOneEndOfStream) {
    QObject owner;
    TSpVoice voice(&owner);
    Heard heard;
    listen(voice, heard);
    const std::u16string text = u"Sie erhalten für alle Produkte technische Unterstützung.";
    selectLanguage(voice, u"de");
    QElapsedTimer clock;
    clock.start();
    const int stream = voice.Speak(text, SVSFlagsAsync);
    // It returns at once: nothing of the speech has been heard yet.
    EXPECT_TRUE(heard.visemes.empty());
    EXPECT_TRUE(heard.ends.empty());
    ASSERT_TRUE(processUntil([&] { return !heard.ends.empty(); }));
    const qint64 heardFor = clock.elapsed();
    processUntil([] { return false; }, 200);

    const Rendering direct = renderSpeech("gmw/de", wordsPerMinute(0), 100, toUtf8(text));
    const double audioMs = 1000.0 * direct.samples.size() / direct.sampleRate;
    ASSERT_FALSE(heard.visemes.empty());
    EXPECT_EQ(heard.ends, std::vector<int>{stream});
    EXPECT_EQ(heard.endsAt, std::vector<size_t>{heard.visemes.size()});  // the end comes last
    int sum = 0;
    std::set<uint32_t> shapes;
    for (size_t i = 0; i < heard.visemes.size(); ++i) {
        const auto& v = heard.visemes[i];
        EXPECT_EQ(v.stream, stream);
        EXPECT_LE(v.current, 21u);
        EXPECT_GT(v.duration, 0);
        if (i > 0) {
            EXPECT_GT(v.position, heard.visemes[i - 1].position);
        }
        if (i + 1 < heard.visemes.size()) {
            EXPECT_EQ(v.next, heard.visemes[i + 1].current);
        }
        sum += v.duration;
        shapes.insert(v.current);
    }
    EXPECT_NEAR(sum, audioMs, 50.0);
    EXPECT_GE(shapes.size(), 8u);
    // Heard in real time, also on the dummy driver.
    EXPECT_GT(heardFor, audioMs - 100);
}

// A phrase spoken by each synthesiser, at its own rate, into a file and aloud: the file keeps
// the voice's rate, and the visemes heard cover the audio of the file.
TEST_F(RealEngine, EachSynthesiserSpeaksAtItsOwnRateIntoAFileAndAloud) {
    const struct {
        const char16_t* voice;
        uint32_t rate;
    } cases[] = {
        {u"English (America)", 22050}, {u"German (female)", 22050}, {u"Flite kal (8 kHz)", 8000},
        {u"Flite kal16", 16000},       {u"Flite slt", 16000},
    };
    const std::u16string text = u"Just send us an email, and we will answer quickly.";
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.voice));
        TempDir dir;
        QObject owner;
        TSpVoice voice(&owner);
        TSpFileStream stream(&owner);
        Heard heard;
        listen(voice, heard);
        selectVoice(voice, c.voice);
        stream.Open(toUtf16(dir.path() + "0.wav"), SSFMCreateForWrite, true);
        voice.setAudioOutputStream(&stream);
        voice.Speak(text, SVSFlagsAsync);
        voice.WaitUntilDone(-1);
        stream.Close();
        voice.setAudioOutputStream(nullptr);
        const std::string bytes = readFile(dir.path() + "0.wav");
        ASSERT_GE(bytes.size(), 44u);
        EXPECT_EQ(u32At(bytes, 24), c.rate);
        EXPECT_EQ(u32At(bytes, 28), c.rate * 2);  // bytes per second
        EXPECT_EQ(u32At(bytes, 40), bytes.size() - 44);
        const double wavMs = 1000.0 * (bytes.size() - 44) / 2 / c.rate;
        EXPECT_GT(wavMs, 1500);

        QElapsedTimer clock;
        clock.start();
        const int number = voice.Speak(text, SVSFlagsAsync);
        ASSERT_TRUE(processUntil([&] { return !heard.ends.empty(); }));
        const qint64 heardFor = clock.elapsed();
        EXPECT_EQ(heard.ends, std::vector<int>{number});
        EXPECT_EQ(heard.endsAt, std::vector<size_t>{heard.visemes.size()});
        ASSERT_GT(heard.visemes.size(), 20u);
        int sum = 0;
        for (size_t i = 0; i < heard.visemes.size(); ++i) {
            if (i > 0) {
                EXPECT_GT(heard.visemes[i].position, heard.visemes[i - 1].position);
            }
            sum += heard.visemes[i].duration;
        }
        EXPECT_NEAR(sum, wavMs, 20.0);
        // Heard in real time (the output's resampling from the voice's own rate is measured
        // sample by sample in AudioPlayer.ResamplesEachUtteranceFromItsOwnRateToTheOutputs).
        EXPECT_GT(heardFor, wavMs - 100);
    }
}

TEST_F(RealEngine, QueuedRequestsPlayInOrderAndWaitUntilDoneWaitsForAll) {
    QObject owner;
    TSpVoice voice(&owner);
    Heard heard;
    listen(voice, heard);
    const int a = voice.Speak(u"one", SVSFlagsAsync);
    const int b = voice.Speak(u"", SVSFlagsAsync);
    const int c = voice.Speak(u"three", SVSFlagsAsync);
    EXPECT_TRUE(voice.WaitUntilDone(-1));
    ASSERT_TRUE(processUntil([&] { return heard.ends.size() == 3; }));
    EXPECT_EQ(heard.ends, (std::vector<int>{a, b, c}));
    EXPECT_TRUE(voice.WaitUntilDone(0));
}

TEST_F(RealEngine, RateAndVolumeChangeTheSpeech) {
    const std::string text = "We are open from nine to five, Monday to Friday.";
    const auto fast = renderSpeech("gmw/en", wordsPerMinute(10), 100, text);
    const auto normal = renderSpeech("gmw/en", wordsPerMinute(0), 100, text);
    const auto slow = renderSpeech("gmw/en", wordsPerMinute(-10), 100, text);
    EXPECT_LT(fast.samples.size(), normal.samples.size());
    EXPECT_LT(normal.samples.size(), slow.samples.size());
    const auto silent = renderSpeech("gmw/en", wordsPerMinute(0), 0, text);
    EXPECT_NEAR(silent.samples.size(), normal.samples.size(), normal.samples.size() / 50.0);
    EXPECT_TRUE(std::all_of(silent.samples.begin(), silent.samples.end(),
                            [](int16_t s) { return s == 0; }));
    const auto half = renderSpeech("gmw/en", wordsPerMinute(0), 50, text);
    EXPECT_NEAR(rmsOf(half.samples) / rmsOf(normal.samples), 0.5, 0.05);

    EXPECT_EQ(wordsPerMinute(0), 175);
    EXPECT_EQ(wordsPerMinute(10), 450);  // 525 clamped
    EXPECT_EQ(wordsPerMinute(-10), 80);  // 58 clamped
    EXPECT_EQ(wordsPerMinute(5), 303);
    EXPECT_EQ(wordsPerMinute(-3), 126);

    QObject owner;
    TSpVoice voice(&owner);
    voice.setRate(50);
    EXPECT_EQ(voice.Rate(), 10);
    voice.setRate(-99);
    EXPECT_EQ(voice.Rate(), -10);
    voice.setVolume(300);
    EXPECT_EQ(voice.Volume(), 100);
    voice.setVolume(-1);
    EXPECT_EQ(voice.Volume(), 0);
}

// The median pitch of the voiced parts of speech, from the autocorrelation of 40 ms frames.
double medianPitch(const RenderedSpeech& speech) {
    const auto& x = speech.samples;
    const size_t rate = static_cast<size_t>(speech.sampleRate), frame = rate / 25;
    const auto dot = [&](size_t a, size_t b) {
        double sum = 0;
        for (size_t i = 0; i < frame; ++i) sum += double(x[a + i]) * x[b + i];
        return sum;
    };
    std::vector<double> pitches;
    for (size_t at = 0; at + frame * 2 < x.size(); at += frame) {
        const double energy = dot(at, at);
        if (energy < 1e6 * frame) continue;  // quiet: no voice to measure
        double best = 0;
        size_t lag = 0;
        for (size_t l = rate / 400; l <= rate / 60; ++l) {
            const double r = dot(at, at + l) / std::sqrt(energy * dot(at + l, at + l));
            if (r > best) best = r, lag = l;
        }
        if (best > 0.7) pitches.push_back(double(rate) / lag);
    }
    if (pitches.empty()) return 0;
    std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
    return pitches[pitches.size() / 2];
}

TEST_F(RealEngine, TheFemaleVoicesSpeakWithAWomansPitch) {
    const auto espeak = makeEspeakSynthesiser();
    const std::u16string pairs[][2] = {{u"German", u"German (female)"},
                                       {u"English (America)", u"English (America, female)"}};
    for (const auto& [base, female] : pairs) {
        const auto pitchOf = [&](const std::u16string& name) {
            return medianPitch(espeak->render(*voiceOf(*espeak, name), 0, 100,
                                              "Hello, how are you today? Have a nice day."));
        };
        EXPECT_LT(pitchOf(base), 130) << toUtf8(base);
        EXPECT_GT(pitchOf(female), 170) << toUtf8(female);
    }
}

TEST_F(RealEngine, FliteStretchesItsVoicesByTheRateAndScalesTheirSamplesByTheVolume) {
    const auto flite = makeFliteSynthesiser();
    const std::string text = "We are open from nine to five, Monday to Friday.";
    for (const char16_t* name : {u"Flite kal (8 kHz)", u"Flite slt"}) {
        SCOPED_TRACE(toUtf8(name));
        const Ref<ISpeechObjectToken> slt = voiceOf(*flite, name);
        const auto length = [&](int rate) {
            return double(flite->render(*slt, rate, 100, text).samples.size());
        };
        const double normal = length(0);
        // The time is the words' and the pauses' alike: it follows the words per minute.
        EXPECT_NEAR(length(10) / normal, 175.0 / 450, 0.06);
        EXPECT_NEAR(length(-3) / normal, 175.0 / 126, 0.1);
        EXPECT_NEAR(length(0), normal, 1);  // the normal pace comes back
        const auto full = flite->render(*slt, 0, 100, text).samples;
        const auto half = flite->render(*slt, 0, 50, text).samples;
        const auto silent = flite->render(*slt, 0, 0, text).samples;
        EXPECT_NEAR(rmsOf(half) / rmsOf(full), 0.5, 0.01);
        EXPECT_EQ(silent.size(), full.size());
        EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](int16_t s) { return s == 0; }));
    }
}

TEST_F(RealEngine, ListsManyVoicesWithAllFourAttributes) {
    QObject owner;
    TSpVoice voice(&owner);
    const Ref<ISpeechObjectTokens> voices = voice.GetVoices(u"", u"");
    ASSERT_GE(voices->Count(), 10);
    std::set<std::u16string> languages;
    for (int i = 0; i < voices->Count(); ++i) {
        const auto token = voices->Item(i);
        EXPECT_FALSE(token->GetDescription(0).empty());
        for (const char16_t* a : {u"Name", u"Vendor", u"Gender", u"Language"})
            EXPECT_FALSE(token->GetAttribute(a).empty()) << i;
        languages.insert(token->GetAttribute(u"Language"));
    }
    EXPECT_TRUE(languages.count(u"de"));
    EXPECT_TRUE(languages.count(u"en-us"));
    EXPECT_THROW(voices->Item(voices->Count()), AppError);

    // libespeak-ng's voices are a man's unless their file says otherwise; the female voices
    // follow the voices they are made from.
    const std::u16string female[][2] = {
        {u"English (Great Britain)", u"English (Great Britain, female)"},
        {u"English (America)", u"English (America, female)"},
        {u"German", u"German (female)"}};
    std::map<std::u16string, int> at;
    for (int i = 0; i < voices->Count(); ++i) at[voices->Item(i)->GetDescription(0)] = i;
    for (const auto& [base, name] : female) {
        ASSERT_TRUE(at.count(base) && at.count(name)) << toUtf8(name);
        const auto token = voices->Item(at[name]);
        EXPECT_EQ(at[name], at[base] + 1);
        EXPECT_EQ(token->GetAttribute(u"Name"), name);
        EXPECT_EQ(token->GetAttribute(u"Gender"), u"Female");
        EXPECT_EQ(token->GetAttribute(u"Vendor"), u"eSpeak NG");
        EXPECT_EQ(token->GetAttribute(u"Language"),
                  voices->Item(at[base])->GetAttribute(u"Language"));
        EXPECT_EQ(voices->Item(at[base])->GetAttribute(u"Gender"), u"Male");
    }
    int women = 0;
    for (int i = 0; i < voices->Count() - 5; ++i) {
        const std::u16string gender = voices->Item(i)->GetAttribute(u"Gender");
        EXPECT_TRUE(gender == u"Male" || gender == u"Female") << i;
        women += gender == u"Female";
    }
    EXPECT_EQ(women, 3);

    // Flite's voices come after those of libespeak-ng.
    const std::u16string flite[][2] = {{u"Flite kal (8 kHz)", u"Male"},
                                       {u"Flite kal16", u"Male"},
                                       {u"Flite awb", u"Male"},
                                       {u"Flite rms", u"Male"},
                                       {u"Flite slt", u"Female"}};
    const int first = voices->Count() - 5;
    for (int i = 0; i < voices->Count(); ++i) {
        const auto token = voices->Item(i);
        if (i < first) {
            EXPECT_EQ(token->GetAttribute(u"Vendor"), u"eSpeak NG") << i;
            continue;
        }
        const auto& [description, gender] = flite[i - first];
        EXPECT_EQ(token->GetDescription(0), description);
        EXPECT_EQ(token->GetAttribute(u"Name"), description);
        EXPECT_EQ(token->GetAttribute(u"Vendor"), u"Flite");
        EXPECT_EQ(token->GetAttribute(u"Gender"), gender);
        EXPECT_EQ(token->GetAttribute(u"Language"), u"en-us");
    }
}

TEST_F(RealEngine, TokensAreCountedAndReleased) {
    QObject owner;
    TSpVoice voice(&owner);
    Ref<ISpeechObjectToken> token = voice.GetVoices()->Item(1);  // not the voice in use
    const int held = token->references();
    {
        Ref<ISpeechObjectToken> copy = token;
        EXPECT_EQ(token->references(), held + 1);
        voice.setVoice(copy.get());
        EXPECT_EQ(voice.Voice().get(), token.get());
    }
    token->AddRef();
    EXPECT_EQ(token->references(), held + 2);  // the voice holds one now
    token->Release();
    EXPECT_EQ(token->references(), held + 1);
}

TEST_F(RealEngine, OddTextIsSpokenLiterallyAndNeverBreaksTheEngine) {
    const auto phonemesOf = [](const std::string& text) {
        return renderSpeech("gmw/en", 175, 100, text).phonemes.size();
    };
    EXPECT_TRUE(renderSpeech("gmw/en", 175, 100, "").phonemes.size() <= 2);
    EXPECT_LE(phonemesOf(" \t\r\n "), 2u);
    // Markup is read out, not obeyed.
    EXPECT_GT(phonemesOf("<speak>hello</speak>"), phonemesOf("hello") + 4);
    EXPECT_GT(phonemesOf("[[a]]"), 0u);
    EXPECT_GT(phonemesOf("你好, مرحبا, Привет, 🙂 ok"), 0u);
    std::string longText;
    while (longText.size() < 10000) longText += "This is a long text for the engine. ";
    const auto rendering = renderSpeech("gmw/en", 450, 100, longText);
    EXPECT_GT(rendering.samples.size(), static_cast<size_t>(rendering.sampleRate) * 60);
    const auto cut = renderSpeech("gmw/en", 175, 100, "cut").samples.size();
    EXPECT_NEAR(renderSpeech("gmw/en", 175, 100, std::string("cut\0off", 7)).samples.size(), cut,
                cut / 20.0);

    // Flite too speaks what it can of any text, and its visemes cover what it renders.
    const auto flite = makeFliteSynthesiser();
    const Ref<ISpeechObjectToken> kal = voiceOf(*flite, u"Flite kal (8 kHz)");
    for (const std::string& text :
         {std::string(), std::string(" \t\r\n "), std::string("<speak>hello</speak>"),
          std::string("[[a]]"), std::string("你好, مرحبا, Привет, 🙂 ok"),
          std::string("\xff\xfe\x80"), std::string("cut\0off", 7), longText}) {
        const RenderedSpeech rendered = flite->render(*kal, 0, 100, text);
        EXPECT_EQ(rendered.sampleRate, 8000);
        int64_t ms = 0;
        for (const VisemeMark& v : rendered.visemes) ms += v.durationMs;
        EXPECT_NEAR(ms, 1000.0 * rendered.samples.size() / 8000, 1) << text.substr(0, 20);
    }
}

TEST_F(RealEngine, AFileStreamInAMissingFolderFailsWithAClearError) {
    TempDir dir;
    QObject owner;
    TSpFileStream stream(&owner);
    try {
        stream.Open(toUtf16(dir.path() + "missing/0.wav"), SSFMCreateForWrite, true);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()), "The speech engine cannot create the file \"" +
                                             dir.path() +
                                             "missing/0.wav\". No such file or directory");
        EXPECT_EQ(e.kind(), errkind::kEngine);
    }
    EXPECT_FALSE(stream.isOpen());
    stream.Close();  // nothing open: nothing happens
}

TEST(Visemes, EveryPhonemeOfGermanAndEnglishHasAShape) {
    const std::string english =
        "The quick brown fox jumps over the lazy dog. She sells sea shells by the sea shore. "
        "Which witch is which? Thank you, thirty three thieves thought that they thrilled the "
        "throne. Measure the pleasure of judging a genre. Boy, the toy is in the noisy oyster. "
        "How now, brown cow, out loud about the house. I like my bike and the kite flies high. "
        "Good book, look at the wool. Red lorry, yellow lorry, really rural. Father calls all "
        "cars on the farm. Bird, word, nurse, her, first. Cat, bat, hat, apple, bottle, little. "
        "Sing a song, bring the ring, thinking. Vivid five fives. Zero zebras buzz. Church, "
        "cheese, chips, just, jam, gentle, vision, beige, azure. Hello, how can I help you "
        "today? Our prices are on the offers page. We are open from nine to five, Monday to "
        "Friday. Just send us an email and we will answer quickly. You are welcome, have a nice "
        "day. Here, there, where, near, pure, tour, poor, fire, hour, player, lawyer, million, "
        "button, rhythm, water, better, butter, city, party, tree, true, dream, strong, square, "
        "queue, huge, news, tube, year, yes, yellow, united, one, once, women, busy, colonel.";
    const std::string german =
        "Hallo! Wie kann ich Ihnen weiterhelfen? Unsere Preise finden Sie auf der Seite "
        "Angebote. Sie erhalten für alle Produkte technische Unterstützung. Wir sind montags bis "
        "freitags von neun bis siebzehn Uhr für Sie da. Schreiben Sie uns einfach eine E-Mail, "
        "wir antworten schnell. Öffnungszeiten, Übung, Mädchen, Bäume, Häuser, Freude, Zeitung, "
        "Pfanne, Apfel, Strumpf, lachen, ich, Bach, Bücher, schön, Löffel, Tschüss, Dschungel, "
        "Journal, ja, Jahr, Yacht, Qualle, Vogel, Wasser, Zucker, Katze, Gruß, Fuß, Mutter, "
        "Butter, Ring, singen, Bank, Theater, Chemie, Ruhe, Hund, Mensch, Milch, zwölf, Herbst, "
        "Obst, Knie, Pferd, über, müde, Hütte, Rücken, Öl, Götter, Eule, Auge, Ei, Tee, See, "
        "Boot, Kuh, Ohr, Uhr, er, Vater, Orange, Restaurant, Chance, Genie, Balkon, Sauerkraut, "
        "Eichhörnchen, Streichholzschächtelchen, Quatsch, Xylophon, Typ, Rhythmus, Philosoph.";
    std::set<std::string> unknown;
    size_t phonemes = 0;
    for (const auto& [voice, text] : {std::pair{"gmw/en", english}, std::pair{"gmw/en-US", english},
                                      std::pair{"gmw/de", german}}) {
        for (const PhonemeMark& p : renderSpeech(voice, 175, 100, text).phonemes) {
            ++phonemes;
            if (visemeOfPhoneme(p.ipa) < 0) unknown.insert(p.ipa);
        }
    }
    EXPECT_GT(phonemes, 1000u);
    EXPECT_TRUE(unknown.empty()) << [&] {
        std::string s;
        for (const auto& u : unknown) s += "[" + u + "] ";
        return s;
    }();
}
