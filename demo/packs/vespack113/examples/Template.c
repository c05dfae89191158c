/* Template for a new Vessik project: copy, rename and make it your own.
 * Follows a dark line on the floor, steering towards the sensor that sees it,
 * with the indicators showing the way it turns and the brake light when lost. */
// SPDX-License-Identifier: MIT
#include "vessik.h"

#define SIGNAL_LEFT 0x0001
#define SIGNAL_RIGHT 0x0002
#define SIGNAL_BRAKE 0x0004

static void wheels(unsigned short left, unsigned short right, unsigned short signals)
{
    VESSIK_WHEELS_LEFT = left;
    VESSIK_WHEELS_RIGHT = right;
    VESSIK_SIGNALS = signals;
}

static void wait_ms(unsigned short delay)
{
    const unsigned short start = VESSIK_PIT_COUNT;
    while ((unsigned short)(VESSIK_PIT_COUNT - start) < delay)
        ;
}

int main(void)
{
    for (;;) {
        const unsigned short line = VESSIK_LINE;

        if (line & VESSIK_LINE_CENTRE)
            wheels(1800, 1800, 0);
        else if (line & VESSIK_LINE_LEFT)
            wheels(1550, 1800, SIGNAL_LEFT);
        else if (line & VESSIK_LINE_RIGHT)
            wheels(1800, 1550, SIGNAL_RIGHT);
        else
            wheels(VESSIK_PULSE_STOP, VESSIK_PULSE_STOP, SIGNAL_BRAKE);

        wait_ms(5);
    }
}
