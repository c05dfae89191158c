/* Template for a new Palmor project: copy, rename and make it your own.
 * Drives ahead, backs away from whatever a bumper touches, and runs a light
 * along the LEDs to show that the program is alive. */
// SPDX-License-Identifier: MIT
#include "palmor.h"

static void wait_ms(unsigned short delay)
{
    const unsigned short start = PALMOR_TIMER_MS;
    while ((unsigned short)(PALMOR_TIMER_MS - start) < delay)
        PALMOR_WATCHDOG = PALMOR_WATCHDOG_KICK;
}

static void drive(short left, short right)
{
    PALMOR_MOTOR_LEFT = (unsigned short)left;
    PALMOR_MOTOR_RIGHT = (unsigned short)right;
}

int main(void)
{
    unsigned short light = 0x0001;

    for (;;) {
        const unsigned short bumpers = PALMOR_BUMPERS;

        if (bumpers & (PALMOR_BUMPER_LEFT | PALMOR_BUMPER_RIGHT)) {
            /* Back off, then turn away from the side that was hit. */
            drive(-400, -400);
            wait_ms(300);
            if (bumpers & PALMOR_BUMPER_LEFT)
                drive(400, -400);
            else
                drive(-400, 400);
            wait_ms(250);
        } else {
            drive(600, 600);
        }

        PALMOR_LEDS = light;
        light = (unsigned short)(light << 1);
        if (light == 0x0100)
            light = 0x0001;
        wait_ms(50);
    }
}
