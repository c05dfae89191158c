/* Template for a new Lenko Camera project: copy, rename and make it your own.
 * Sweeps the head from side to side and takes a picture at each of five
 * stops, lighting the capture LED while the sensor is exposed. */
// SPDX-License-Identifier: MIT
#include "lenko.h"

static void wait_ms(unsigned short delay)
{
    const unsigned short start = LENKO_TIMER_MS;
    while ((unsigned short)(LENKO_TIMER_MS - start) < delay)
        ;
}

static void capture(void)
{
    LENKO_CAPTURE_LED = 1;
    LENKO_CAPTURE_CONTROL = LENKO_CAPTURE_START;
    while ((LENKO_CAPTURE_STATUS & LENKO_CAPTURE_DONE) == 0)
        ;
    LENKO_CAPTURE_LED = 0;
}

int main(void)
{
    static const unsigned short stops[] = {1024, 1536, 2048, 2560, 3072};
    unsigned short stop = 0;
    short step = 1;

    LENKO_TILT = LENKO_CENTRE;
    for (;;) {
        LENKO_PAN = stops[stop];
        wait_ms(200); /* let the head settle */
        capture();

        if (stop == 0)
            step = 1;
        else if (stop == sizeof stops / sizeof stops[0] - 1)
            step = -1;
        stop = (unsigned short)(stop + step);
    }
}
