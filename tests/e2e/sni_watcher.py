# SPDX-License-Identifier: MIT
"""A StatusNotifierWatcher with a host of its own, as a panel that shows StatusNotifierItems
brings one: it owns org.kde.StatusNotifierWatcher on the session bus, says a host is registered,
and prints "<epoch ms> <service>" on standard output for each item that registers."""

import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.kde.StatusNotifierWatcher"
PATH = "/StatusNotifierWatcher"
PROPERTIES = "org.freedesktop.DBus.Properties"

# Qt reads the watcher through an interface built from this description: the properties must
# be in it, which dbus-python's own description leaves out.
INTROSPECTION = f"""<node>
 <interface name="{NAME}">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
  <signal name="StatusNotifierHostUnregistered"/>
 </interface>
 <interface name="{PROPERTIES}">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{{sv}}" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg type="s" direction="out"/></method>
 </interface>
</node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.items = []

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(NAME, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name or, registered under a path of its own, that path.
        item = service if not service.startswith("/") else sender + service
        if "/" not in item:
            item += "/StatusNotifierItem"
        if item not in self.items:
            self.items.append(item)
            print(f"{time.time_ns() // 1_000_000} {item}", flush=True)
            self.StatusNotifierItemRegistered(item)

    @dbus.service.method(NAME, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self.StatusNotifierHostRegistered()

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.signal(NAME, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.signal(NAME)
    def StatusNotifierHostRegistered(self):
        pass


DBusGMainLoop(set_as_default=True)
session = dbus.SessionBus()
# The object answers before the name is taken: whoever sees the name come can ask at once.
watcher = Watcher(session)
name = dbus.service.BusName(NAME, session)
watcher.StatusNotifierHostRegistered()
GLib.MainLoop().run()
