"""Prints one blank page as a GTK application does (GtkPrintOperation, no dialog), with the given
job options, following the job's state; prints the states it went through.

  gtk_print.py QUEUE [NAME=VALUE ...]
"""

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

settings = Gtk.PrintSettings()
settings.set_printer(sys.argv[1])
for option in sys.argv[2:]:
    name, value = option.split("=", 1)
    settings.set("cups-" + name, value)  # what GTK's CUPS backend sends as job options
operation = Gtk.PrintOperation()
operation.set_print_settings(settings)
operation.set_n_pages(1)
operation.set_track_print_status(True)
operation.connect("draw-page", lambda *_: None)
loop = GLib.MainLoop()
states = []


def changed(op):
    states.append(op.get_status().value_nick)
    if op.is_finished():
        loop.quit()


operation.connect("status-changed", changed)
operation.run(Gtk.PrintOperationAction.PRINT, None)
if not operation.is_finished():
    GLib.timeout_add_seconds(30, loop.quit)
    loop.run()
print(" ".join(states))
