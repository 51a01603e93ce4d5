#pragma once

#include <memory>

#include "core/dialogs.h"

// Qt's message boxes and input dialog.
std::unique_ptr<Dialogs> makeQtDialogs();
