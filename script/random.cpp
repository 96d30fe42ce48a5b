#include <cstdlib>

#include "script/engine.h"
#include "windows.h"

bool rollSeeded = false;

// The single source of chance: the runtime generator, seeded once per run
// from the tick count at the first roll.
int RandomNumber() {
    if (!rollSeeded) {
        std::srand(GetTickCount() / 60u);
        rollSeeded = true;
    }
    return std::rand();
}
