#!/usr/bin/env python3
"""A stand-in tray: the StatusNotifierWatcher a desktop panel runs, on the session bus.

  tray_watcher.py OUT_FILE [CLICK_LABEL...]

Waits for the program's StatusNotifierItem, then writes what it shows, one line each:
"tooltip TEXT" (now and after every NewToolTip), "menu LABEL" for every item of its menu; for
each CLICK_LABEL it clicks that menu item as a panel does (com.canonical.dbusmenu Event) once
the file "OUT_FILE.click" appears. Ends after 60 s or when OUT_FILE.stop appears.
"""
import os
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
</interface></node>"""

out_path = sys.argv[1]
clicks = sys.argv[2:]
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
loop = GLib.MainLoop()
items = []
out = open(out_path, "w", buffering=1)


def item_call(service, path, interface, method, args, reply):
    return bus.call_sync(service, path, interface, method, args, GLib.VariantType(reply),
                         Gio.DBusCallFlags.NONE, 5000, None)


def tooltip(service, path):
    v = item_call(service, path, "org.freedesktop.DBus.Properties", "Get",
                  GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "ToolTip")), "(v)")
    return v.unpack()[0][2]


def menu_items(service, menu):
    layout = item_call(service, menu, "com.canonical.dbusmenu", "GetLayout",
                       GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))").unpack()[1]
    found = []
    for child in layout[2]:
        ident, props, _ = child
        if props.get("type") != "separator":
            found.append((ident, props.get("label", "").replace("_", "")))
    return found


def registered(service):
    # Qt names its item by the service and the object path /StatusNotifierItem.
    name, path = (service.split("/", 1) + [""])[:2]
    path = "/" + path if path else "/StatusNotifierItem"
    items.append(name)
    out.write("tooltip %s\n" % tooltip(name, path))
    menu = item_call(name, path, "org.freedesktop.DBus.Properties", "Get",
                     GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "Menu")), "(v)").unpack()[0]
    entries = menu_items(name, menu)
    for _, label in entries:
        out.write("menu %s\n" % label)
    shown = [tooltip(name, path)]

    def follow_tooltip():
        # As a panel re-reads it on NewToolTip; polled, so no signal can slip by.
        text = tooltip(name, path)
        if text != shown[0]:
            shown[0] = text
            out.write("tooltip %s\n" % text)
        return True
    GLib.timeout_add(200, follow_tooltip)
    pending = list(clicks)

    def click():
        if os.path.exists(out_path + ".click") and pending:
            label = pending.pop(0)
            ident = next(i for i, l in entries if l == label)
            item_call(name, menu, "com.canonical.dbusmenu", "Event",
                      GLib.Variant("(isvu)", (ident, "clicked", GLib.Variant("s", ""), 0)), "()")
            out.write("clicked %s\n" % label)
        return bool(pending)
    GLib.timeout_add(200, click)


def method_call(conn, sender, path, interface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        service = params.unpack()[0]
        if not service.startswith(":") and not service.startswith("org."):
            service = sender + service  # a path alone: the caller's own name
        GLib.idle_add(lambda: registered(service if service.startswith((":", "org.")) else sender))
        conn.emit_signal(None, path, interface, "StatusNotifierItemRegistered", GLib.Variant("(s)", (service,)))
    invocation.return_value(None)


def get_property(conn, sender, path, interface, name):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}[name]


node = Gio.DBusNodeInfo.new_for_xml(XML)
bus.register_object("/StatusNotifierWatcher", node.interfaces[0], method_call, get_property, None)
Gio.bus_own_name_on_connection(bus, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE, None, None)
GLib.timeout_add_seconds(60, loop.quit)
GLib.timeout_add(200, lambda: (loop.quit() if os.path.exists(out_path + ".stop") else True))
out.write("ready\n")
loop.run()
