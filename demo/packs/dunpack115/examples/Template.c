/* Template for a new Dunnet project: copy, rename and make it your own.
 * Creeps ahead with the gripper open; when something comes between the jaws,
 * grips it, turns round and carries it back. The LED bar counts the catches. */
// SPDX-License-Identifier: MIT
#include "dunnet.h"

static void wait_ticks(unsigned short ticks)
{
    const unsigned short start = DUNNET_TICKS;
    while ((unsigned short)(DUNNET_TICKS - start) < ticks)
        ;
}

static void tracks(short left, short right)
{
    DUNNET_TRACK_LEFT = (unsigned short)left;
    DUNNET_TRACK_RIGHT = (unsigned short)right;
}

int main(void)
{
    unsigned short catches = 0;

    DUNNET_GRIPPER = DUNNET_GRIPPER_OPEN;
    for (;;) {
        tracks(200, 200);
        if (DUNNET_JAW_SENSOR == 0)
            continue;

        tracks(0, 0);
        DUNNET_GRIPPER = DUNNET_GRIPPER_CLOSED;
        wait_ticks(50);
        tracks(-300, 300); /* turn round on the spot */
        wait_ticks(120);
        tracks(200, 200);
        wait_ticks(300);
        tracks(0, 0);
        DUNNET_GRIPPER = DUNNET_GRIPPER_OPEN;
        wait_ticks(50);

        if (catches < 10)
            ++catches;
        DUNNET_LED_BAR = (unsigned short)((1u << catches) - 1u);
    }
}
