// SPDX-License-Identifier: MIT
/* What the probe checks against the host: the board computes these, and the
 * test computes the same on the host and writes what it got into expected.c.
 * Included by the probe (C, on the board) and by the test (C++, on the host). */
#ifndef PROBE_CASES_H
#define PROBE_CASES_H

/* snprintf: X(format, arguments...). */
#define PROBE_FORMATS(X)                                                                           \
    X("%d %u %x %X %o", -42, 42u, 0xBEEFu, 0xBEEFu, 8u)                                            \
    X("%ld %lu %lx", -123456789L, 4000000000UL, 0xDEADBEEFUL)                                      \
    X("%lld %llu %llx", -1234567890123LL, 18446744073709551615ULL, 0xFEDCBA9876543210ULL)          \
    X("[%s] [%c] [%5s] [%-5s] [%.2s]", "robot", 'Q', "ab", "ab", "wheel")                          \
    X("%5.2f|%.3f|%f|%.0f", 3.14159, -0.0005, 1e10, 2.5)                                           \
    X("%e|%.2e|%E", 123456.789, -1.5e-300, 6.02214076e23)                                          \
    X("%g|%g|%g|%g", 0.0001, 123456789.0, 1e-10, 100.0)                                            \
    X("%08.3f|%-8d|%+d|% d|%#x", -2.5, 42, 42, 42, 255u)                                           \
    X("%f|%e|%g", 1.0 / 0.0, -1.0 / 0.0, 5e-324)

/* libm: X(name, function, argument) and Y(name, function, argument, argument). */
/* clang-format off */
#define PROBE_MATH(X, Y) \
    X("sqrt", sqrt, 2.0) X("sqrt", sqrt, 1e-310) \
    X("sin", sin, 0.5) X("sin", sin, 1e6) \
    X("cos", cos, 1.0) X("cos", cos, -3.0) \
    X("exp", exp, 1.5) X("exp", exp, -700.0) \
    X("log", log, 10.0) X("log", log, 1e-300) \
    X("floor", floor, -2.5) X("floor", floor, 7.0) \
    Y("atan2", atan2, 1.0, 2.0) Y("atan2", atan2, -1.0, -0.5) \
    Y("pow", pow, 2.5, 3.5) Y("pow", pow, 10.0, -3.0) \
    Y("fmod", fmod, 10.3, 3.0) Y("fmod", fmod, -7.5, 2.0)
/* clang-format on */

/* Float and double arithmetic on one pair of operands, as bits: the sum,
 * difference, product and quotient, and the comparisons as PROBE_LESS...  */
struct probe_float_case
{
    unsigned long a, b;
    unsigned long results[4];
    unsigned long comparisons;
};
struct probe_double_case
{
    unsigned long long a, b;
    unsigned long long results[4];
    unsigned long comparisons;
};
#define PROBE_LESS 0x01
#define PROBE_LESS_EQUAL 0x02
#define PROBE_EQUAL 0x04
#define PROBE_NOT_EQUAL 0x08
#define PROBE_GREATER 0x10
#define PROBE_GREATER_EQUAL 0x20
#define PROBE_UNORDERED 0x40

/* Conversions of one value, as bits: a float or double to the other width and
 * to the integer types (in range only), and an integer to float and double. */
struct probe_float_conversion
{
    unsigned long value;
    unsigned long long to_double;
};
struct probe_double_conversion
{
    unsigned long long value;
    unsigned long to_float;
};
struct probe_integer_conversion
{
    long long value;
    unsigned long from_long, from_unsigned_long, from_long_long, from_unsigned_long_long;
    unsigned long long from_long_d, from_unsigned_long_d, from_long_long_d,
        from_unsigned_long_long_d;
};
struct probe_to_integer_conversion
{
    unsigned long long value;        /* a double of magnitude below 2^31 */
    unsigned long long big;          /* a double of magnitude below 2^63 */
    long long to_long, to_long_long; /* of value, of big */
    unsigned long long to_unsigned_long, to_unsigned_long_long; /* of their magnitudes */
    long long float_to_long_long;                               /* of the float nearest big */
};

/* In expected.c, written by the test. */
extern const struct probe_float_case probe_float_cases[];
extern const struct probe_double_case probe_double_cases[];
extern const struct probe_float_conversion probe_float_conversions[];
extern const struct probe_double_conversion probe_double_conversions[];
extern const struct probe_integer_conversion probe_integer_conversions[];
extern const struct probe_to_integer_conversion probe_to_integer_conversions[];
extern const unsigned long probe_float_case_count, probe_double_case_count,
    probe_float_conversion_count, probe_double_conversion_count, probe_integer_conversion_count,
    probe_to_integer_conversion_count;
extern const char *const probe_format_expected[];
extern const unsigned long long probe_math_expected[];

/* Mismatches of the floating-point tables, for the test to print. */
struct probe_mismatch
{
    const char *what;
    unsigned long index;
    unsigned long long actual, expected;
};
#define PROBE_MAX_MISMATCHES 16
extern struct probe_mismatch probe_mismatches[PROBE_MAX_MISMATCHES];
extern unsigned long probe_mismatch_count;

#endif
