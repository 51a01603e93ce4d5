#pragma once

#include <utility>

// A platform part: one object per interface (the speech engine, the audio output, the music
// preview, the shell opener, the encoder spawner, the dialogs), installed once at program start
// by platform/platform.cpp and replaced by in-process doubles in the tests. The rest of the program
// reaches it through its interface only.
template <class Part>
class Installed {
public:
    // The part installed now, or nullptr.
    static Part* get() { return slot(); }
    // Installs `part` (the caller keeps ownership); returns the part it replaces.
    static Part* set(Part* part) { return std::exchange(slot(), part); }

private:
    static Part*& slot() {
        static Part* part = nullptr;
        return part;
    }
};

// Installs a part for the life of the object, then puts back the one before.
template <class Part>
class Install {
public:
    explicit Install(Part* part) : previous_(Installed<Part>::set(part)) {}
    ~Install() { Installed<Part>::set(previous_); }
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

private:
    Part* previous_;
};
