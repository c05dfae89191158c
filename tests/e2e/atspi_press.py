#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Presses controls of a running program through the accessibility bus, as a
screen reader, voice control or UI automation does (AT-SPI Action.DoAction).

usage: atspi_press.py PID NAME...

Finds the application of process PID on the accessibility bus, then, for each
NAME in order, the control whose accessible name it is, and runs its first
action ("Press" for a button, "Toggle"/"Press" for a radio button). Prints one
line per control: its name, its role, whether it is enabled, and what
DoAction answered. Exit status: 0 all pressed, 1 a control was not found,
2 the application was not found or the bus is not there.
"""
import sys
import time

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
ACTION = "org.a11y.atspi.Action"
ROOT_PATH = "/org/a11y/atspi/accessible/root"
STATE_ENABLED = 8  # ATSPI_STATE_ENABLED


def accessibility_bus():
    session = dbus.SessionBus()
    launcher = session.get_object("org.a11y.Bus", "/org/a11y/bus")
    address = dbus.Interface(launcher, "org.a11y.Bus").GetAddress()
    return dbus.bus.BusConnection(address)


def children(bus, reference):
    name, path = reference
    node = dbus.Interface(bus.get_object(name, path), ACCESSIBLE)
    return [(str(c[0]), str(c[1])) for c in node.GetChildren()]


def find_application(bus, pid):
    driver = dbus.Interface(
        bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
        "org.freedesktop.DBus")
    for reference in children(bus, ("org.a11y.atspi.Registry", ROOT_PATH)):
        try:
            if int(driver.GetConnectionUnixProcessID(reference[0])) == pid:
                return reference
        except dbus.DBusException:
            continue
    return None


def describe(bus, reference):
    obj = bus.get_object(*reference)
    properties = dbus.Interface(obj, "org.freedesktop.DBus.Properties")
    accessible = dbus.Interface(obj, ACCESSIBLE)
    enabled = bool(int(accessible.GetState()[0]) & (1 << STATE_ENABLED))
    return str(properties.Get(ACCESSIBLE, "Name")), str(accessible.GetRoleName()), enabled


def find_control(bus, root, wanted):
    pending = [root]
    while pending:
        reference = pending.pop(0)
        name, role, enabled = describe(bus, reference)
        if name == wanted and role in ("push button", "radio button"):
            return reference, role, enabled
        pending.extend(children(bus, reference))
    return None


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    pid = int(argv[1])
    try:
        bus = accessibility_bus()
    except dbus.DBusException as error:
        print(f"no accessibility bus: {error}", file=sys.stderr)
        return 2
    # The application registers once its window is up; give it a moment.
    for _ in range(100):
        application = find_application(bus, pid)
        if application:
            break
        time.sleep(0.1)
    else:
        print(f"process {pid} is not on the accessibility bus", file=sys.stderr)
        return 2
    status = 0
    for wanted in argv[2:]:
        found = find_control(bus, application, wanted)
        if not found:
            print(f"{wanted}: not found", file=sys.stderr)
            status = 1
            continue
        reference, role, enabled = found
        action = dbus.Interface(bus.get_object(*reference), ACTION)
        try:
            answer = f"answered {bool(action.DoAction(0))}"
        except dbus.DBusException as error:
            # A disabled control offers no action, and the call is refused.
            answer = f"refused ({error.get_dbus_name()})"
        state = "enabled" if enabled else "disabled"
        print(f"{wanted}: {role}, {state}, DoAction {answer}")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
