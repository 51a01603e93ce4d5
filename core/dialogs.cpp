#include "core/dialogs.h"

#include <cstdio>
#include <cstdlib>

Dialogs& dialogs() {
    Dialogs* installed = Installed<Dialogs>::get();
    if (!installed) {
        std::fputs("No dialogs are installed.\n", stderr);
        std::abort();
    }
    return *installed;
}
