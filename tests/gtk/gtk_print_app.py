"""A small GTK 3 application that prints as document viewers and editors do: a GtkPrintOperation
drawing one page with cairo.

  gtk_print_app.py TITLE               with GTK's print dialog
  gtk_print_app.py TITLE QUEUE [NAME=VALUE ...]

With the dialog, a line "widgets" on standard input is answered with one JSON line,
{"widgets": [...]}: every widget on the screen with its type, text and place in root-window
coordinates, for a test to aim xdotool's events at. Once the job is sent it writes
{"result": ...} with the printer and the dialog's print settings (the PPD options under their
"cups-" names) and exits 0; 1 when the dialog was cancelled, 2 when sending failed.
With a QUEUE it prints there without a dialog, with the job options given, follows the job's
state and writes the states it went through.
"""

import json
import sys
import traceback

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, GObject, Gtk  # noqa: E402


def answer(fields):
    sys.stdout.write(json.dumps(fields, sort_keys=True) + "\n")
    sys.stdout.flush()


def row_texts(model, tree_iter):
    return [value for value in model[tree_iter] if isinstance(value, str)]


def place(widget, toplevel, origin, x=0, y=0, width=None, height=None):
    allocation = widget.get_allocation()
    left, top = widget.translate_coordinates(toplevel, x, y)
    return {"x": origin[0] + left, "y": origin[1] + top,
            "w": allocation.width if width is None else width,
            "h": allocation.height if height is None else height}


def laid_out(width, height):
    """Whether GTK has given a widget its place yet: until then it has 1 x 1 pixels (a tree row
    no height), wherever it will end up."""
    return width > 1 and height > 1


def describe(widget, toplevel, origin, out):
    """Records of the widget and its descendants that are on the screen, in `out`."""
    if not widget.get_mapped():
        return
    if laid_out(widget.get_allocated_width(), widget.get_allocated_height()):
        out.append(record_of(widget, toplevel, origin))
    if isinstance(widget, Gtk.Container):
        widget.forall(lambda child: describe(child, toplevel, origin, out))


def record_of(widget, toplevel, origin):
    record = {"type": GObject.type_name(widget.__gtype__),
              "popup": toplevel.get_window_type() == Gtk.WindowType.POPUP,
              **place(widget, toplevel, origin)}
    if isinstance(widget, (Gtk.Label, Gtk.Entry)):
        record["text"] = widget.get_text()
    if isinstance(widget, Gtk.Entry):
        record["focus"] = widget.has_focus()
    elif isinstance(widget, Gtk.ComboBox):
        model, active = widget.get_model(), widget.get_active_iter()
        record["items"] = [row_texts(model, row.iter) for row in model] if model else []
        record["active"] = row_texts(model, active) if active is not None else None
    elif isinstance(widget, Gtk.CellView):
        model, path = widget.get_model(), widget.get_displayed_row()
        if model is not None and path is not None:
            # The first text column is what the cell shows; the option's keyword follows it.
            record["text"] = row_texts(model, model.get_iter(path))[0]
    elif isinstance(widget, Gtk.TreeView):
        model = widget.get_model()
        record["rows"] = []
        for row in model or []:
            # Without a column the area is the row's height only, as wide as the view.
            area = widget.get_background_area(row.path, None)
            if not laid_out(record["w"], area.height):
                continue
            _, y = widget.convert_bin_window_to_widget_coords(0, area.y)
            record["rows"].append({"texts": row_texts(model, row.iter),
                                   "selected": widget.get_selection().path_is_selected(row.path),
                                   **place(widget, toplevel, origin, 0, y, record["w"], area.height)})
    return record


def widgets_on_screen():
    out = []
    for window in Gtk.Window.list_toplevels():
        gdk_window = window.get_window()
        if not window.get_mapped() or gdk_window is None:
            continue
        _, x, y = gdk_window.get_origin()
        frame = gdk_window.get_frame_extents()  # with the window manager's title bar and border
        out.append({"type": "window", "title": window.get_title(), "x": x, "y": y,
                    "w": window.get_allocated_width(), "h": window.get_allocated_height(),
                    "frame": {"x": frame.x, "y": frame.y, "w": frame.width, "h": frame.height}})
        describe(window, window, (x, y), out)
    return out


def on_command(channel, _condition):
    line = channel.readline()
    if not line:
        return False
    if line.strip() == "widgets":
        try:
            answer({"widgets": widgets_on_screen()})
        except Exception:  # the test shows it and stops, rather than waiting for an answer
            answer({"error": traceback.format_exc()})
    return True


def print_tracked(operation, queue, options):
    """Prints without the dialog, with the job options as GTK's CUPS backend sends them."""
    settings = Gtk.PrintSettings()
    settings.set_printer(queue)
    for option in options:
        name, value = option.split("=", 1)
        settings.set("cups-" + name, value)
    operation.set_print_settings(settings)
    operation.set_track_print_status(True)
    loop, states = GLib.MainLoop(), []

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
    return 0


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 64
    title = argv[1]
    operation = Gtk.PrintOperation(job_name=title, n_pages=1)

    def draw_page(_operation, context, _page):
        cr = context.get_cairo_context()
        cr.select_font_face("DejaVu Sans")
        cr.set_font_size(24)
        cr.move_to(72, 96)
        cr.show_text(title)

    operation.connect("draw-page", draw_page)
    if len(argv) > 2:
        return print_tracked(operation, argv[2], argv[3:])
    GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.PRIORITY_DEFAULT,
                      GLib.IOCondition.IN | GLib.IOCondition.HUP, on_command)
    outcome = {}

    def done(operation, result):
        outcome["result"] = result
        if result == Gtk.PrintOperationResult.ERROR:
            outcome["error"] = operation.get_error().message

    operation.connect("done", done)
    result = operation.run(Gtk.PrintOperationAction.PRINT_DIALOG, None)
    if result == Gtk.PrintOperationResult.CANCEL:
        answer({"result": "cancelled"})
        return 1
    # "done" comes once GTK has handed the job over, from the main loop.
    while "result" not in outcome:
        GLib.MainContext.default().iteration(True)
    error = outcome.get("error")
    settings = operation.get_print_settings()
    values = {}
    settings.foreach(lambda key, value: values.__setitem__(key, value))
    answer({"result": "failed" if error else "sent", "error": error,
            "printer": settings.get_printer(), "settings": values})
    return 2 if error else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
