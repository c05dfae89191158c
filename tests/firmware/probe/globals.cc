// SPDX-License-Identifier: MIT
// C++ globals: one whose constructor must run before main(), one whose
// destructor must run after main() returns.
#include "probe.h"

namespace {

struct Constructed
{
    Constructed() : value(probe_seed() * 3 + 1) {}
    unsigned long value;
};

struct Destructed
{
    ~Destructed()
    {
        if (probe_stage == PROBE_MAIN_RETURNED)
            probe_stage = PROBE_DESTROYED;
    }
};

Constructed constructed;
Destructed destructed;

} // namespace

unsigned long probe_constructed(void)
{
    return constructed.value;
}
