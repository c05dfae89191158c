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
struct probe_result
{
    const char *name;
    unsigned long long actual;
    unsigned long long expected;
};

#define PROBE_MAX_RESULTS 128

/* One check of a text: what the board wrote, and what it should have. */
struct probe_text
{
    const char *name;
    char actual[64];
    const char *expected;
};

#define PROBE_MAX_TEXTS 32

/* How main() ends, set by the test before the board runs: by returning
 * PROBE_RETURN_VALUE, or through assert(0), abort(), exit(3) or a pure
 * virtual call. */
enum probe_ending
{
    PROBE_RETURN,
    PROBE_ASSERT,
    PROBE_ABORT,
    PROBE_EXIT,
    PROBE_PURE_VIRTUAL
};
#define PROBE_RETURN_VALUE 7

/* Set by main() when it returns, then by a C++ global's destructor. */
#define PROBE_MAIN_RETURNED 0x4D41494EUL
#define PROBE_DESTROYED 0x44544F52UL

extern struct probe_result probe_results[PROBE_MAX_RESULTS];
extern unsigned long probe_count;
extern unsigned long probe_stage;
extern struct probe_text probe_texts[PROBE_MAX_TEXTS];
extern unsigned long probe_text_count;
extern volatile int probe_ending;

void probe_record(const char *name, unsigned long long actual, unsigned long long expected);
#define CHECK(name, actual, expected)                                                              \
    probe_record(name, (unsigned long long)(actual), (unsigned long long)(expected))
void probe_record_text(const char *name, const char *actual, const char *expected);
void probe_check_library(void);
void probe_check_floating_point(void);
void probe_check_cxx(void);
void probe_end_through_pure_virtual_call(void);
extern unsigned long probe_destroyed_in_order;
extern unsigned long probe_atexit_before_destructors;
unsigned long probe_seed(void);
unsigned long probe_constructed(void);
const char *probe_greeting(void);

/* The bits of a float or a double. */
union probe_float {
    float value;
    unsigned long bits;
};
union probe_double {
    double value;
    unsigned long long bits;
};
static inline unsigned long probe_float_bits(float value)
{
    union probe_float u;
    u.value = value;
    return u.bits;
}
static inline unsigned long long probe_double_bits(double value)
{
    union probe_double u;
    u.value = value;
    return u.bits;
}

#ifdef __cplusplus
}
#endif

#endif
