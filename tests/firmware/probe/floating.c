// SPDX-License-Identifier: MIT
/* Floating point against the host, bit for bit: arithmetic, comparisons and
 * conversions over the tables the test wrote into expected.c. A NaN matches
 * any NaN: IEEE 754 leaves the payload of a new NaN to the implementation. */
#include "cases.h"
#include "probe.h"

struct probe_mismatch probe_mismatches[PROBE_MAX_MISMATCHES];
unsigned long probe_mismatch_count;

static float from_bits(unsigned long bits)
{
    union probe_float u;
    u.bits = bits;
    return u.value;
}
static double from_bits_d(unsigned long long bits)
{
    union probe_double u;
    u.bits = bits;
    return u.value;
}

static int is_nan(unsigned long bits)
{
    return (bits & 0x7FFFFFFFUL) > 0x7F800000UL;
}
static int is_nan_d(unsigned long long bits)
{
    return (bits & 0x7FFFFFFFFFFFFFFFULL) > 0x7FF0000000000000ULL;
}

static void check(const char *what, unsigned long index, unsigned long long actual,
                  unsigned long long expected, int same)
{
    if (same)
        return;
    if (probe_mismatch_count < PROBE_MAX_MISMATCHES) {
        struct probe_mismatch *m = &probe_mismatches[probe_mismatch_count];
        m->what = what;
        m->index = index;
        m->actual = actual;
        m->expected = expected;
    }
    ++probe_mismatch_count;
}

static void check_float(const char *what, unsigned long index, float actual, unsigned long expected)
{
    unsigned long bits = probe_float_bits(actual);
    check(what, index, bits, expected, bits == expected || (is_nan(bits) && is_nan(expected)));
}

static void check_double(const char *what, unsigned long index, double actual,
                         unsigned long long expected)
{
    unsigned long long bits = probe_double_bits(actual);
    check(what, index, bits, expected, bits == expected || (is_nan_d(bits) && is_nan_d(expected)));
}

/* The comparisons of a and b as PROBE_LESS... bits, each through the
 * runtime library's routine for the operands' type. */
#define COMPARISONS(a, b)                                                                          \
    (((a) < (b) ? PROBE_LESS : 0) | ((a) <= (b) ? PROBE_LESS_EQUAL : 0) |                          \
     ((a) == (b) ? PROBE_EQUAL : 0) | ((a) != (b) ? PROBE_NOT_EQUAL : 0) |                         \
     ((a) > (b) ? PROBE_GREATER : 0) | ((a) >= (b) ? PROBE_GREATER_EQUAL : 0) |                    \
     (__builtin_isunordered(a, b) ? PROBE_UNORDERED : 0))

void probe_check_floating_point(void)
{
    for (unsigned long i = 0; i < probe_float_case_count; ++i) {
        const struct probe_float_case *c = &probe_float_cases[i];
        float a = from_bits(c->a), b = from_bits(c->b);
        check_float("float +", i, a + b, c->results[0]);
        check_float("float -", i, a - b, c->results[1]);
        check_float("float *", i, a * b, c->results[2]);
        check_float("float /", i, a / b, c->results[3]);
        unsigned long comparisons = COMPARISONS(a, b);
        check("float comparisons", i, comparisons, c->comparisons, comparisons == c->comparisons);
    }
    for (unsigned long i = 0; i < probe_double_case_count; ++i) {
        const struct probe_double_case *c = &probe_double_cases[i];
        double a = from_bits_d(c->a), b = from_bits_d(c->b);
        check_double("double +", i, a + b, c->results[0]);
        check_double("double -", i, a - b, c->results[1]);
        check_double("double *", i, a * b, c->results[2]);
        check_double("double /", i, a / b, c->results[3]);
        unsigned long comparisons = COMPARISONS(a, b);
        check("double comparisons", i, comparisons, c->comparisons, comparisons == c->comparisons);
    }
    for (unsigned long i = 0; i < probe_float_conversion_count; ++i) {
        const struct probe_float_conversion *c = &probe_float_conversions[i];
        check_double("float to double", i, (double)from_bits(c->value), c->to_double);
    }
    for (unsigned long i = 0; i < probe_double_conversion_count; ++i) {
        const struct probe_double_conversion *c = &probe_double_conversions[i];
        check_float("double to float", i, (float)from_bits_d(c->value), c->to_float);
    }
    for (unsigned long i = 0; i < probe_integer_conversion_count; ++i) {
        const struct probe_integer_conversion *c = &probe_integer_conversions[i];
        volatile long long value = c->value;
        check_float("long to float", i, (float)(long)value, c->from_long);
        check_float("unsigned long to float", i, (float)(unsigned long)value,
                    c->from_unsigned_long);
        check_float("long long to float", i, (float)value, c->from_long_long);
        check_float("unsigned long long to float", i, (float)(unsigned long long)value,
                    c->from_unsigned_long_long);
        check_double("long to double", i, (double)(long)value, c->from_long_d);
        check_double("unsigned long to double", i, (double)(unsigned long)value,
                     c->from_unsigned_long_d);
        check_double("long long to double", i, (double)value, c->from_long_long_d);
        check_double("unsigned long long to double", i, (double)(unsigned long long)value,
                     c->from_unsigned_long_long_d);
    }
    for (unsigned long i = 0; i < probe_to_integer_conversion_count; ++i) {
        const struct probe_to_integer_conversion *c = &probe_to_integer_conversions[i];
        double d = from_bits_d(c->value), big = from_bits_d(c->big);
        long long to_long = (long)d, to_long_long = (long long)big;
        unsigned long long to_unsigned_long = (unsigned long)(d < 0 ? -d : d);
        unsigned long long to_unsigned_long_long = (unsigned long long)(big < 0 ? -big : big);
        check("double to long", i, to_long, c->to_long, to_long == c->to_long);
        check("double to long long", i, to_long_long, c->to_long_long,
              to_long_long == c->to_long_long);
        check("double to unsigned long", i, to_unsigned_long, c->to_unsigned_long,
              to_unsigned_long == c->to_unsigned_long);
        check("double to unsigned long long", i, to_unsigned_long_long, c->to_unsigned_long_long,
              to_unsigned_long_long == c->to_unsigned_long_long);
        long long through_float = (long long)(float)big;
        check("float to long long", i, through_float, c->float_to_long_long,
              through_float == c->float_to_long_long);
    }
    probe_record("floating-point mismatches", probe_mismatch_count, 0);
}
