#!/usr/bin/python3
"""logind's session object, as far as backlight tests need it.

Serves SetBrightness on /org/freedesktop/login1/session/auto of the bus at
DBUS_SYSTEM_BUS_ADDRESS. Every accepted call is appended to STATE/calls as
"subsystem name value"; while STATE/refuse exists, calls are refused the way
logind refuses a session that is not active. When STATE/resume appears, the
manager object announces PrepareForSleep(false) and the file goes. STATE/ready
appears once the name is owned.
"""
import os
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

STATE = sys.argv[1]


class Session(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Session", in_signature="ssu", out_signature="")
    def SetBrightness(self, subsystem, name, value):
        if os.path.exists(os.path.join(STATE, "refuse")):
            raise dbus.exceptions.DBusException(
                "Operation not permitted", name="org.freedesktop.DBus.Error.AccessDenied")
        with open(os.path.join(STATE, "calls"), "a", encoding="utf-8") as calls:
            calls.write(f"{subsystem} {name} {int(value)}\n")


class Manager(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.login1.Manager", signature="b")
    def PrepareForSleep(self, start):
        pass


def announce_resume():
    resume = os.path.join(STATE, "resume")
    if os.path.exists(resume):
        os.remove(resume)
        manager.PrepareForSleep(False)
    return True


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
owned = dbus.service.BusName("org.freedesktop.login1", bus)
session = Session(bus, "/org/freedesktop/login1/session/auto")
manager = Manager(bus, "/org/freedesktop/login1")
GLib.timeout_add(20, announce_resume)
open(os.path.join(STATE, "ready"), "w", encoding="utf-8").close()
GLib.MainLoop().run()
