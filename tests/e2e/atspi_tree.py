#!/usr/bin/python3
"""The program as a screen reader meets it, through the AT-SPI tree on a
session bus of its own: the main window's role and the names of its radio
groups, and in the preview process's window the page's heading, its text and
a picture's alternative text.

Runs on the X display with_display.sh starts:
    atspi_tree.py <folder of the built binaries>
The real program is started from a copy in a temporary folder, with the set
written by make_browser_set; the preview driver (preloaded) opens the set,
shows the preview and holds each page until this script has read it.
Exits 77 (SKIPPED) with the reason when the bus or pyatspi is missing."""

import os
import shutil
import subprocess
import sys
import tempfile
import time


def skip(reason):
    print("SKIPPED: " + reason, file=sys.stderr)
    sys.exit(77)


def tree(node, depth=0):
    """(role, name, text) of node and everything below it."""
    try:
        text = node.queryText().getText(0, -1)
    except Exception:
        text = ""
    yield node.getRoleName(), node.name or "", text
    if depth < 40:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                yield from tree(child, depth + 1)


def wait_for(what, found, seconds=60, report=None):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = found()
        if result:
            return result
        time.sleep(0.5)
    seen = open(report, encoding="utf-8").read() if report and os.path.exists(report) else ""
    sys.exit("not seen within %d s: %s\n%s" % (seconds, what, seen))


def main():
    bins = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp()
    bus = None
    program = None
    try:
        try:
            bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                   stdout=subprocess.PIPE, text=True)
        except FileNotFoundError:
            skip("dbus-daemon is not installed")
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        # What a screen reader sets when it starts: the toolkits then build
        # their trees.
        enabled = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                  "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                                  "string:org.a11y.Status", "string:IsEnabled", "variant:boolean:true"],
                                 capture_output=True, text=True)
        if enabled.returncode:
            skip("the accessibility bus did not start: " + enabled.stderr.strip())
        try:
            import pyatspi
        except ImportError:
            skip("python3-pyatspi is not installed")

        folder = os.path.join(work, "program")
        made = subprocess.run([os.path.join(bins, "make_browser_set"), folder, "1", "japanese", "1"],
                              capture_output=True, text=True)
        assert made.returncode == 0, made.stderr
        for name in ("zelmora", "zelmora_preview.so"):
            shutil.copy2(os.path.join(bins, name), folder)
        report = os.path.join(work, "report.txt")
        hold = os.path.join(work, "hold")
        env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   LD_PRELOAD=os.path.join(bins, "preview_driver.so"), ZELMORA_DRIVE_REPORT=report,
                   ZELMORA_DRIVE_OPEN="春の便り_1.htm", ZELMORA_DRIVE_STEPS="frd", ZELMORA_DRIVE_HOLD=hold)
        program = subprocess.Popen([os.path.join(folder, "zelmora")], env=env, start_new_session=True,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

        def holds():
            try:
                with open(report, encoding="utf-8") as f:
                    return sum(line.startswith("hold: ") for line in f)
            except FileNotFoundError:
                return 0

        def seen(pid_is_preview):
            nodes = []
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and (app.get_process_id() != program.pid) == pid_is_preview:
                    nodes += list(tree(app))
            return nodes

        # Page 1: the main window, and the preview's heading and text.
        wait_for("the preview's first page", lambda: holds() == 1, report=report)
        main_window = seen(False)
        assert ("frame", "ポップリーフ作成", "") in [(r, n, "") for r, n, _ in main_window], main_window[:5]
        names = {n for _, n, _ in main_window}
        for group in ["Page%s の種類" % chr(0xFF10 + k) for k in range(1, 7)] + ["背景の種類"]:
            assert group in names, group + " not in the main window's tree"
        page = wait_for("the heading and the text of page 1", lambda: (lambda nodes: nodes if any(
            r == "heading" and "春の便り" in (n + t) for r, n, t in nodes) and any(
            "春が来ました。" in n + t for _, n, t in nodes) else None)(seen(True)))
        assert ("document web" in {r for r, _, _ in page}), "no web document in the preview"

        # Page 2: its picture by its alternative text.
        open(hold, "w").close()
        wait_for("the preview's second page", lambda: holds() == 2, report=report)
        wait_for("the picture's alternative text", lambda: any(
            r == "image" and n == "花の写真" for r, n, _ in seen(True)))
        open(hold, "w").close()
        output = program.communicate(timeout=120)[0].decode(errors="replace")
        assert program.returncode == 0, output
    finally:
        if program is not None and program.poll() is None:
            os.killpg(program.pid, 9)
        if bus is not None:
            bus.kill()
        shutil.rmtree(work, ignore_errors=True)
    print("the main window and the preview's page read through AT-SPI")


if __name__ == "__main__":
    main()
