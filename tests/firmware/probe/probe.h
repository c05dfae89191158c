// SPDX-License-Identifier: MIT
/* The firmware probe: ordinary C and C++ that the support packs must run
 * correctly on each board. Results are recorded in RAM for the test to read
 * once the board has stopped. */
#ifndef PROBE_H
#define PROBE_H

#ifdef __cplusplus
extern "C" {
#endif

/* One check: what the board computed at run time, and what the compiler
 * computed at build time from the same constants. */
struct probe_result {
    const char *name;
    unsigned long long actual;
    unsigned long long expected;
};

#define PROBE_MAX_RESULTS 64

/* Set by main() when it returns, then by a C++ global's destructor. */
#define PROBE_MAIN_RETURNED 0x4D41494EUL
#define PROBE_DESTROYED 0x44544F52UL

extern struct probe_result probe_results[PROBE_MAX_RESULTS];
extern unsigned long probe_count;
extern unsigned long probe_stage;

void probe_record(const char *name, unsigned long long actual, unsigned long long expected);
unsigned long probe_seed(void);
unsigned long probe_constructed(void);
const char *probe_greeting(void);

#ifdef __cplusplus
}
#endif

#endif
