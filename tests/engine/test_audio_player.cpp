// The player that keeps speech and its events in step, pulled by the test sample by sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/audio_player.h"

namespace {
// An output that is never opened: the test asks the player for its samples itself.
struct PulledOutput final : AudioOutput {
    void addSource(AudioSource*) override {}
    void removeSource(AudioSource*) override {}
    void wake() override {}
    void rest() override {}
};

}  // namespace

TEST(AudioPlayer, ResamplesEachUtteranceFromItsOwnRateToTheOutputs) {
    const struct {
        int rate, outputRate;
    } cases[] = {{8000, 48000}, {16000, 48000}, {22050, 44100}, {16000, 44100}, {48000, 16000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz on " + std::to_string(c.outputRate) + " Hz");
        PulledOutput output;
        AudioPlayer player(output, [] {});
        // A tenth of a second rising by 2 a sample from 1000, with visemes at its start and its
        // middle.
        std::vector<int16_t> ramp(static_cast<size_t>(c.rate / 10));
        for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(1000 + 2 * i);
        VisemeMark middle;
        middle.sample = c.rate / 20;
        player.enqueue(7, ramp, c.rate, {VisemeMark{}, middle});
        std::vector<int32_t> heard;
        while (player.busy() && heard.size() < 100000) {
            std::vector<int32_t> block(256, 0);
            player.mixInto(block.data(), block.size(), c.outputRate, 0);
            heard.insert(heard.end(), block.begin(), block.end());
        }
        const auto notices = player.takeNotices();
        ASSERT_EQ(notices.size(), 3u);
        EXPECT_NEAR(notices[1].due - notices[0].due, 1000.0 * middle.sample / c.rate, 1e-6);
        EXPECT_TRUE(notices[2].end);
        EXPECT_EQ(notices[2].sample, c.rate / 10);
        // A tenth of a second of output frames, each the utterance at that moment, between two
        // samples in proportion; then silence.
        const auto played = static_cast<size_t>(
            std::count_if(heard.begin(), heard.end(), [](int32_t v) { return v != 0; }));
        EXPECT_NEAR(played, c.outputRate / 10.0, 1.0);
        for (size_t k = 0; k + 1 < played; k += 37)
            EXPECT_NEAR(heard[k], 1000 + 2.0 * k * c.rate / c.outputRate, 1.0) << k;
        EXPECT_EQ(heard[played], 0);
    }
}

// Every phoneme that German and English speech produces has its mouth shape.
