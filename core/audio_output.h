#pragma once

#include <cstddef>
#include <cstdint>

// Something heard through the audio output. The output asks it, from its own thread, for the
// next samples at the output's rate.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Adds the next `frames` mono samples at `outputRate` to `out` (the output mixes its
    // sources); they are heard `latencyMs` from now.
    virtual void mixInto(int32_t* out, size_t frames, int outputRate, double latencyMs) = 0;
    // Whether the source has anything to play now; an output whose sources are all idle may
    // rest (and use no processor time) until one of them wakes it.
    virtual bool busy() const = 0;
};

// Where speech is heard, a platform part: a sound device, or one that keeps real time without
// sound when there is none.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts hearing `source`; raises an engine error when no output can be opened.
    virtual void addSource(AudioSource* source) = 0;
    // Stops hearing it: once this returns, the source is not called any more.
    virtual void removeSource(AudioSource* source) = 0;
    // A source that has become busy asks the output to go on.
    virtual void wake() = 0;
    // A source that has played all it had: when nothing else plays, the output may rest (and
    // use no processor time) until it is woken again.
    virtual void rest() = 0;
};
