"""GTK 3's own print dialog, as a person uses it, printing to a private cupsd with a queue for the
office model and one for the MP 2000. On Xvfb with openbox, xdotool's pointer and key events pick
the printer, open the "Advanced" tab, choose the job type in the "Job Log" group and type into
its fields; where the widgets are and what they show comes from the application
(gtk_print_app.py). The printer must get exactly the job-type text of the same values under the
long com.varlo.printsettings names.

  python3 test_gtk_print_dialog.py --filter build/Filter/jobtypefilter --ppds ppd \
      --screenshots build/tests/gtk/screenshots
"""

import json
import os
import re
import selectors
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "cups"))
sys.path.insert(0, os.path.join(HERE, "..", "process"))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import expected_splice as ex  # noqa: E402
from private_cupsd import PrivateCupsd, _end_with_parent  # noqa: E402
from x_desktop import TOOLS, Desktop  # noqa: E402

ARGS = None  # set by run_unittests
WAIT = 60  # seconds for any one thing the dialog or the print system has to do


def gi_python():
    """A Python that has GTK 3's introspection (Debian's python3-gi), or None."""
    check = "import gi; gi.require_version('Gtk', '3.0'); gi.require_foreign('cairo')"
    for candidate in (sys.executable, "/usr/bin/python3"):
        if candidate and os.path.exists(candidate) and subprocess.run(
                [candidate, "-c", check], capture_output=True).returncode == 0:
            return candidate
    return None


def skip_reason():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        return "not installed: " + ", ".join(missing)
    if gi_python() is None:
        return "no Python with GTK 3 (python3-gi, gir1.2-gtk-3.0, python3-gi-cairo)"
    return None


class PrintingApplication:
    """gtk_print_app.py, its print dialog driven with xdotool."""

    def __init__(self, desktop, cupsd, title):
        self.desktop = desktop
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [gi_python(), os.path.join(HERE, "gtk_print_app.py"), title],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log,
            env=dict(desktop.env, CUPS_SERVER=cupsd.socket_path), preexec_fn=_end_with_parent)
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stdout, selectors.EVENT_READ)
        self.pending = b""

    def wait_for_window(self):
        """Until the window manager has mapped the print dialog."""
        try:
            self.desktop.xdotool("search", "--sync", "--onlyvisible", "--pid", str(self.process.pid),
                                 "--name", "^Print$")
        except subprocess.TimeoutExpired:
            raise AssertionError("no print dialog on the screen:\n" + self.stderr()) from None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()
        self.log.close()

    def stderr(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def _line(self, timeout):
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not self.selector.select(left):
                raise AssertionError("the application did not answer:\n" + self.stderr())
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                raise AssertionError("the application ended:\n" + self.stderr())
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return json.loads(line)

    def widgets(self):
        self.process.stdin.write(b"widgets\n")
        self.process.stdin.flush()
        answer = self._line(WAIT)
        if "widgets" not in answer:
            raise AssertionError("the application failed: %s" % answer.get("error", answer))
        return answer["widgets"]

    def wait_for(self, find, what, timeout=WAIT, required=True):
        """What `find` returns for the widgets on the screen once it returns something; None
        after `timeout` seconds when not `required`."""
        start = time.monotonic()
        while True:
            widgets = self.widgets()
            found = find(widgets)
            if found:
                return found
            if time.monotonic() - start > timeout:
                if not required:
                    return None
                shot = os.path.join(ARGS.screenshots, "never-%s.png" % re.sub(r"\W+", "-", what))
                self.desktop.grab(shot)
                texts = [w["text"] for w in widgets if w["type"] == "GtkLabel" and w["text"]]
                raise AssertionError("never on the screen: %s (the screen: %s); the labels shown: %s"
                                     % (what, shot, texts))
            time.sleep(0.1)

    def until(self, act, outcome, what):
        """Does `act` until `outcome` finds something, and returns that. A person clicks again
        when a click went unnoticed; so does this, every few seconds."""
        deadline = time.monotonic() + WAIT
        while True:
            act()
            left = deadline - time.monotonic()
            found = self.wait_for(outcome, what, timeout=min(5, max(left, 0)), required=left <= 5)
            if found:
                return found

    def click_until(self, target, outcome, what):
        return self.until(lambda: self.click(self.wait_for(target, what)), outcome, what)

    def click(self, record):
        x, y = record["x"] + record["w"] // 2, record["y"] + record["h"] // 2
        self.desktop.click(x, y)

    def screenshot(self, name):
        """The dialog with its window frame as it is on the screen now."""
        dialog = self.wait_for(lambda ws: next((w for w in ws if w["type"] == "window" and w["title"] == "Print"),
                                               None), "the dialog")
        frame = dialog["frame"]
        self.desktop.grab(os.path.join(ARGS.screenshots, name), (frame["x"], frame["y"], frame["w"], frame["h"]))

    def result(self):
        answer = self._line(WAIT)
        self.process.wait(timeout=WAIT)
        return answer


# ---- finding widgets as a person finds them: by their text and their row -------------------

def label(text):
    return lambda widgets: next((w for w in widgets if w["type"] == "GtkLabel" and w["text"] == text), None)


def printer_row(name, listed):
    """The printer list's row of `name`, once every printer of `listed` is in the list (a row
    that arrives later would move the others)."""
    def find(widgets):
        for view in (w for w in widgets if w["type"] == "GtkTreeView"):
            names = {text for row in view["rows"] for text in row["texts"]}
            if set(listed) <= names:
                return next(row for row in view["rows"] if name in row["texts"])
        return None
    return find


def beside(caption, widget_type):
    """The widget of `widget_type` on the row of the label `caption`, right of it."""
    def find(widgets):
        text = label(caption)(widgets)
        if text is None:
            return None
        middle = text["y"] + text["h"] / 2
        candidates = [w for w in widgets if w["type"] == widget_type and w["x"] > text["x"]
                      and w["y"] <= middle <= w["y"] + w["h"]]
        return min(candidates, key=lambda w: w["x"], default=None)
    return find


def when(find, test):
    """What `find` finds, once `test` holds for it."""
    return lambda widgets: (lambda w: w if w is not None and test(w) else None)(find(widgets))


def menu_items(widgets):
    """The texts of the open drop-down list, top to bottom."""
    items = [w for w in widgets if w.get("popup") and w["type"] == "GtkCellView" and w.get("text")]
    return [w["text"] for w in sorted(items, key=lambda w: w["y"])]


def menu_item(text):
    return lambda widgets: next((w for w in widgets if w.get("popup") and w["type"] == "GtkCellView"
                                 and w.get("text") == text), None)


# What GTK sends for the Job Log options nobody touched: the PPD's default, None for the entries.
UNTOUCHED = {"JobType": "Normal", "UserID": "None", "Password": "None", "FileName": "None", "UserCode": "None"}
# (case, job type chosen, [(entry, text typed, False to type behind what it shows)], the lpoptions
#  line the dialog starts from, what it sends besides UNTOUCHED, the same job under the long names
#  or the filter's refusal)
DIALOG_JOBS = [
    ("locked", "Locked Print", [("User ID:", "alice"), ("Password:", "12345678")], None,
     {"JobType": "LockedPrint", "UserID": "Custom.alice", "Password": "Custom.12345678"},
     {"JobType": "Locked Print", "UserID": "alice", "Password": "12345678"}),
    ("hold", "Hold Print", [("User ID:", "bob01"), ("File Name:", "Report2024")], None,
     {"JobType": "PausedPrint", "UserID": "Custom.bob01", "FileName": "Custom.Report2024"},
     {"JobType": "Paused Print", "UserID": "bob01", "FileName": "Report2024"}),
    ("preset", None, [("Password:", "4321")], "Dest office JobType=LockedPrint UserID=carol",
     {"JobType": "LockedPrint", "UserID": "Custom.carol", "Password": "Custom.4321"},
     {"JobType": "Locked Print", "UserID": "carol", "Password": "4321"}),
    # Typed behind "Not Set" without selecting it: sent with it, and refused.
    ("behind-not-set", "Locked Print", [("User ID:", "alice", False), ("Password:", "1234")], None,
     {"JobType": "LockedPrint", "UserID": "Custom.Not Setalice", "Password": "Custom.1234"},
     "Locked Print needs a user ID of 1 to 8 letters and digits"),
    ("untouched", None, [], None, {}, {}),
]


class GtkPrintDialog(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.home = tempfile.mkdtemp(prefix="gtk-dialog-")
        cls.addClassCleanup(shutil.rmtree, cls.home, True)
        os.makedirs(ARGS.screenshots, exist_ok=True)
        # GTK sends PDF; CUPS turns it into PostScript for the queue's filter as on any desktop.
        cls.cupsd = PrivateCupsd(ARGS.filter, filters=("pdftopdf", "pdftops", "commandtops"))
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.queues = {"office": "kordavine-office.ppd", "basic": "kordavine-office-mp2000.ppd"}
        for queue, ppd in cls.queues.items():
            cls.cupsd.add_queue(queue, os.path.join(ARGS.ppds, ppd))
        cls.desktop = Desktop(cls.home)
        cls.addClassCleanup(cls.desktop.stop)
        cls.desktop.start()

    # ---- the person's actions -----------------------------------------------------------

    def open_dialog(self, title, printer):
        """The application's print dialog with `printer` picked and the Advanced tab open; the
        caller closes it (`with`), so that no dialog of a failed case lies under the next."""
        app = PrintingApplication(self.desktop, self.cupsd, title)
        try:
            app.wait_for_window()
            row = printer_row(printer, self.queues)
            app.click_until(row, when(row, lambda r: r["selected"]), printer + " selected")
            app.click_until(label("Advanced"), label("Job Log"), "the Advanced tab's Job Log group")
        except BaseException:
            app.close()
            raise
        return app

    def choose(self, app, caption, choice):
        combo = beside(caption, "GtkComboBox")
        listed = menu_item(choice)
        app.until(lambda: app.click(app.click_until(combo, listed, "%s in the list of %s" % (choice, caption))),
                  when(combo, lambda c: (c["active"] or [None])[0] == choice), caption + " showing " + choice)

    def type_into(self, app, caption, text, over=True):
        """Clicks into the entry and types `text` over what it shows (Ctrl+A first), or behind
        it (End first), as a person who does not select it does."""
        entry = beside(caption, "GtkEntry")
        shown = app.click_until(entry, when(entry, lambda e: e["focus"]), caption + " taking the keys")["text"]
        self.desktop.keys("ctrl+a" if over else "End")
        self.desktop.type(text)
        expected = text if over else shown + text
        app.wait_for(when(entry, lambda e: e["text"] == expected), "%s reading %r" % (caption, expected))

    # ---- what reached the print system --------------------------------------------------

    def job_ids(self, queue):
        listing = self.cupsd.client("lpstat", "-W", "all", "-o", queue).stdout.decode()
        return {int(m) for m in re.findall(r"^\S+-(\d+) ", listing, re.M)}

    def new_job(self, queue, before):
        deadline = time.monotonic() + WAIT
        while time.monotonic() < deadline:
            ids = self.job_ids(queue) - before
            if ids:
                self.assertEqual(len(ids), 1, ids)
                return ids.pop()
            time.sleep(0.1)
        self.fail("no job reached %s:\n%s" % (queue, self.cupsd.logs()[-4000:]))

    # ---- the tests ----------------------------------------------------------------------

    def test_jobs_printed_through_the_advanced_tab(self):
        lpoptions = os.path.join(self.home, ".cups", "lpoptions")
        os.makedirs(os.path.dirname(lpoptions), exist_ok=True)
        for name, job_type, typed, preset, sent, outcome in DIALOG_JOBS:
            with self.subTest(name):
                before = self.job_ids("office")
                with open(lpoptions, "w") as f:
                    f.write(preset + "\n" if preset else "")
                with self.open_dialog("GTK %s job" % name, "office") as app:
                    if job_type:
                        self.choose(app, "Job Type:", job_type)
                    for entry in typed:
                        self.type_into(app, *entry)
                    app.screenshot("gtk-advanced-%s.png" % name)
                    app.click(app.wait_for(label("Print"), "the Print button"))
                    result = app.result()
                self.assertEqual((result["result"], result["printer"]), ("sent", "office"), result)

                job = self.new_job("office", before)
                data = self.cupsd.wait_capture("office", job, timeout=WAIT)
                self.assertIsNotNone(data, "the backend never ran:\n" + self.cupsd.logs()[-4000:])
                sent = dict(UNTOUCHED, **sent)
                # The options the filters and the backend got, name=value (booleans left out).
                options = dict(word.split("=", 1) for word in
                               shlex.split(self.cupsd.captured_options("office", job).decode()) if "=" in word)
                self.assertEqual({k: options.get(k) for k in UNTOUCHED}, sent)
                # The dialog keeps the typed text without the "Custom." GTK sends it with.
                self.assertEqual({k: result["settings"].get("cups-" + k) for k in UNTOUCHED},
                                 {k: v.removeprefix("Custom.") for k, v in sent.items()})
                if isinstance(outcome, str):
                    self.assertEqual(self.cupsd.wait_job_message(job, {"stopped"}), ("stopped", outcome))
                    self.assertEqual(data, b"")
                    continue
                # Untouched entries (None) refuse nothing: the job completes.
                self.assertEqual(self.cupsd.wait_job_state(job, {"completed", "stopped", "aborted"}), "completed",
                                 self.cupsd.job_attributes(job).get("job-printer-state-message"))
                # In front of the prolog, exactly the job-type text of the long names.
                splice = ex.expected_splice(outcome, ex.STAMP_RE.search(data).group(1))
                at = ex.first_token_line(data)
                self.assertEqual(data[at - len(splice):at].decode(errors="replace"), splice.decode())
                self.assertEqual(data.count(b"{setuserinfo} stopped"), 1)

    def test_model_without_stored_types_offers_three(self):
        with self.open_dialog("GTK basic job", "basic") as app:
            combo = app.wait_for(beside("Job Type:", "GtkComboBox"), "Job Type")
            offered = ["Normal Print", "Sample Print", "Locked Print"]
            self.assertEqual([item[0] for item in combo["items"]], offered)
            # On the screen, when the person opens the list.
            self.assertEqual(app.click_until(beside("Job Type:", "GtkComboBox"), menu_items, "the job types' list"),
                             offered)
            app.screenshot("gtk-advanced-mp2000-job-types.png")
            # No file-name entry on a model without held or stored jobs.
            self.assertIsNone(label("File Name:")(app.widgets()))
            self.desktop.keys("Escape")
            app.wait_for(lambda ws: not menu_items(ws) or None, "the list closed")
            app.click(app.wait_for(label("Cancel"), "the Cancel button"))
            self.assertEqual(app.result(), {"result": "cancelled"})


if __name__ == "__main__":
    ex.run_unittests("filter", "ppds", "screenshots", skip_reason=skip_reason)
