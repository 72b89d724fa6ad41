#!/usr/bin/env python3
"""A notification daemon for the desktop tests: owns
org.freedesktop.Notifications on the session bus and appends one JSON line per
Notify call (replaces_id, summary, body, hints, expire_timeout and the id it
returned) to the file given. Ids start at 42 so that 0 ("replace nothing")
never passes for a real one; a replaced notification keeps its id.

  mock_notifications.py <log file>
"""
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

INTERFACE = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.log = log
        self.next_id = 42

    @dbus.service.method(INTERFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout):
        shown = int(replaces_id)
        if shown == 0:
            shown, self.next_id = self.next_id, self.next_id + 1
        with open(self.log, "a") as out:
            out.write(json.dumps({"replaces_id": int(replaces_id), "summary": str(summary), "body": str(body),
                                  "hints": {str(k): (int(v) if isinstance(v, (dbus.Int32, dbus.UInt32, dbus.Byte))
                                                     else str(v)) for k, v in hints.items()},
                                  "expire_timeout": int(expire_timeout), "id": shown}) + "\n")
        return dbus.UInt32(shown)

    @dbus.service.method(INTERFACE, out_signature="as")
    def GetCapabilities(self):
        return ["body"]


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    keep = (dbus.service.BusName(INTERFACE, bus, do_not_queue=True), Notifications(bus, sys.argv[1]))
    print("ready", flush=True)
    GLib.MainLoop().run()
    del keep


if __name__ == "__main__":
    main()
