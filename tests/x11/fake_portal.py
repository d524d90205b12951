#!/usr/bin/python3
"""A desktop portal that offers only global shortcuts, for the tests, on the session bus that
DBUS_SESSION_BUS_ADDRESS names.

    /usr/bin/python3 fake_portal.py RECORD [--version N] [--refuse | --garbled]

Debian's python3 (python3-dbus, python3-gi), not whatever python3 comes first on the PATH. Owns
org.freedesktop.portal.Desktop and says "ready" on standard output once it does. Every call a
client makes is written to RECORD as a line of JSON ({"call": ..., "time": CLOCK_MONOTONIC}, with
its arguments), and so is every Activated it emits: on SIGUSR1, one for every shortcut bound in a
session still open. --refuse answers BindShortcuts as a user who said no (response 1); --garbled
answers CreateSession with a string where the results belong.
"""

import argparse
import json
import signal
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.portal.Desktop"
OBJECT = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
REQUEST = "org.freedesktop.portal.Request"
SESSION = "org.freedesktop.portal.Session"


def plain(value):
    """D-Bus values as JSON takes them."""
    if isinstance(value, (dbus.Dictionary, dict)):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, dbus.Struct, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, (dbus.Boolean, bool)):
        return bool(value)
    if isinstance(value, (int, dbus.Byte)):
        return int(value)
    return str(value)


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method(REQUEST)
    def Close(self):
        self.portal.record("Request.Close", path=self.__dbus_object_path__)
        self.remove_from_connection()


class GarbledRequest(dbus.service.Object):
    """A request answered in a shape no portal should use."""

    @dbus.service.signal(REQUEST, signature="us")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    @dbus.service.method(SESSION)
    def Close(self):
        self.portal.record("Session.Close", path=self.__dbus_object_path__)
        self.portal.sessions.pop(self.__dbus_object_path__, None)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus, record_path, version, refuse, garbled):
        super().__init__(bus, OBJECT)
        self.bus = bus
        self.record_file = open(record_path, "a", encoding="utf-8", buffering=1)
        self.version = version
        self.refuse = refuse
        self.garbled = garbled
        self.sessions = {}  # session path -> ids of the shortcuts bound in it

    def record(self, call, **args):
        self.record_file.write(json.dumps({"call": call, "time": time.monotonic(), **args}) + "\n")

    def answer(self, sender, options, response, results):
        """The request object the client named with its token, and the answer on it. The answer
        goes out before the call's reply, as a quick portal's may: a client that starts listening
        only once it has the reply never hears it."""
        token = str(options.get("handle_token", "t%d" % time.monotonic_ns()))
        path = "%s/request/%s/%s" % (OBJECT, sender[1:].replace(".", "_"), token)
        if self.garbled:
            request = GarbledRequest(self.bus, path)
            request.Response(dbus.UInt32(response), "session_handle")
            request.remove_from_connection()
            return dbus.ObjectPath(path)
        request = Request(self.bus, path)
        request.portal = self
        request.Response(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
        request.remove_from_connection()
        return dbus.ObjectPath(path)

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        if interface == SHORTCUTS and prop == "version":
            return dbus.UInt32(self.version)
        raise dbus.exceptions.DBusException("no such property",
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"version": dbus.UInt32(self.version)} if interface == SHORTCUTS else {}

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.record("CreateSession", sender=str(sender), options=plain(options))
        token = str(options.get("session_handle_token", "s%d" % time.monotonic_ns()))
        path = "%s/session/%s/%s" % (OBJECT, sender[1:].replace(".", "_"), token)
        session = Session(self.bus, path)
        session.portal = self
        self.sessions[path] = []
        return self.answer(sender, options, 0, {"session_handle": dbus.String(path)})

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent_window, options, sender=None):
        self.record("BindShortcuts", sender=str(sender), session=str(session),
                    shortcuts=plain(shortcuts), parent_window=str(parent_window),
                    options=plain(options))
        if self.refuse or str(session) not in self.sessions:
            return self.answer(sender, options, 1 if self.refuse else 2, {})
        self.sessions[str(session)] = [str(s[0]) for s in shortcuts]
        bound = [(s[0], {"description": s[1].get("description", ""),
                         "trigger_description": s[1].get("preferred_trigger", "")})
                 for s in shortcuts]
        return self.answer(sender, options, 0, {
            "shortcuts": dbus.Array(bound, signature="(sa{sv})")})

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut, timestamp, options):
        pass

    def activate_all(self):
        for session, shortcuts in list(self.sessions.items()):
            for shortcut in shortcuts:
                self.record("Activated", session=session, shortcut=shortcut)
                self.Activated(dbus.ObjectPath(session), shortcut,
                               dbus.UInt64(int(time.monotonic() * 1000)),
                               dbus.Dictionary({}, signature="sv"))
        return True  # keep the handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("record")
    parser.add_argument("--version", type=int, default=1)
    parser.add_argument("--refuse", action="store_true")
    parser.add_argument("--garbled", action="store_true")
    args = parser.parse_args()
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, args.record, args.version, args.refuse, args.garbled)
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)  # noqa: F841 (kept while it runs)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, portal.activate_all)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, lambda: loop.quit() or False)
    print("ready", flush=True)
    loop.run()


if __name__ == "__main__":
    sys.exit(main())
