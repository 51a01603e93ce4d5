#pragma once

#include <memory>

#include "engine/synthesiser.h"

// The US English voices of Flite: kal (8 kHz), kal16, awb, rms and slt (16 kHz), rendered in
// the calling thread (the GUI thread: the library keeps global state).
std::unique_ptr<Synthesiser> makeFliteSynthesiser();
