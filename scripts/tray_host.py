#!/usr/bin/python3
"""A tray host on the session bus, to see the program's tray item without a desktop: owns
org.kde.StatusNotifierWatcher, as a desktop's panel does, says a host is registered, and writes
each item that registers on standard output. With --show, instead, prints the ToolTip and Title
of every item a running host has registered and ends.

    dbus-daemon --session --print-address --fork   # then export DBUS_SESSION_BUS_ADDRESS
    /usr/bin/python3 scripts/tray_host.py &        # the host
    /usr/bin/python3 scripts/tray_host.py --show   # what the items say

Needs python3-dbus and python3-gi (Debian), hence the system's interpreter.
"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
INTROSPECTION = f"""<node>
  <interface name="{WATCHER}">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{{sv}}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        self.items = []
        self.bus_name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
        super().__init__(self.bus_name, PATH)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item gives either its bus name or only its path on the caller's own connection.
        item = f"{sender}{service}" if service.startswith("/") else f"{service}/StatusNotifierItem"
        if item not in self.items:
            self.items.append(item)
        print(f"registered {item}", flush=True)
        self.StatusNotifierItemRegistered(item)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierHost(self, service):
        print(f"host {service}", flush=True)

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    def properties(self):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                "ProtocolVersion": dbus.Int32(0)}

    # Qt reads the properties through an interface made from this description, and python-dbus
    # describes no properties of its own.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties()[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties()


def show(bus):
    watcher = bus.get_object(WATCHER, PATH)
    items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=dbus.PROPERTIES_IFACE)
    shown = 0
    for item in items:
        service, _, path = item.partition("/")
        try:
            props = bus.get_object(service, "/" + path).GetAll(ITEM, dbus_interface=dbus.PROPERTIES_IFACE)
        except dbus.exceptions.DBusException:
            # A program that has ended: the host keeps every item it was told of.
            continue
        shown += 1
        tooltip = props.get("ToolTip")
        pixmaps = props.get("IconPixmap", [])
        print(f"item {item}: Title {props.get('Title')!s}; Status {props.get('Status')!s};"
              f" icon sizes {[(int(w), int(h)) for w, h, _ in pixmaps]}")
        if tooltip is not None:
            print(f"  ToolTip title: {tooltip[2]!s}")
            print("  ToolTip text: " + str(tooltip[3]).replace("\n", "\n                "))
    return 0 if shown else 1


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    if "--show" in sys.argv:
        return show(bus)
    Watcher(bus)
    print("watcher ready", flush=True)
    GLib.MainLoop().run()
    return 0


if __name__ == "__main__":
    sys.exit(main())
