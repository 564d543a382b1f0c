#!/usr/bin/python3
"""The program as a screen reader reads it over AT-SPI, on a session bus of
its own: the main window's role and groups, and the preview's page (heading,
text, a picture's alternative text). Run on with_display.sh's X display:
    atspi_tree.py <folder of the built binaries>
The preloaded preview driver opens the set make_browser_set wrote and holds
each page shown until this script has read it. Exits 77 (SKIPPED) with the
reason where the bus or pyatspi is missing."""

import os, shutil, subprocess, sys, tempfile, time


def skip(reason):
    print("SKIPPED: " + reason, file=sys.stderr)
    sys.exit(77)


def nodes(node, depth=0):
    """(role, name + text) of node and everything below it."""
    try:
        text = node.queryText().getText(0, -1)
    except Exception:
        text = ""
    yield node.getRoleName(), (node.name or "") + text
    for child in (node.getChildAtIndex(i) for i in range(node.childCount if depth < 40 else 0)):
        if child is not None:
            yield from nodes(child, depth + 1)


def wait_for(what, found, report):
    for _ in range(120):
        if found():
            return
        time.sleep(0.5)
    sys.exit("not seen within 60 s: %s\n%s" % (what, open(report, encoding="utf-8").read() if os.path.exists(report) else ""))


def main():
    bins, work = os.path.abspath(sys.argv[1]), tempfile.mkdtemp()
    bus = program = None
    try:
        try:
            bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE, text=True)
        except FileNotFoundError:
            skip("dbus-daemon is not installed")
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        # What a screen reader sets as it starts.
        enabled = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                  "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:IsEnabled",
                                  "variant:boolean:true"], capture_output=True, text=True)
        if enabled.returncode:
            skip("the accessibility bus did not start: " + enabled.stderr.strip())
        try:
            import pyatspi
        except ImportError:
            skip("python3-pyatspi is not installed")
        folder, report, hold = (os.path.join(work, name) for name in ("program", "report.txt", "hold"))
        subprocess.run([os.path.join(bins, "make_browser_set"), folder, "1", "japanese", "1"], check=True, capture_output=True)
        for name in ("zelmora", "zelmora_preview.so"):
            shutil.copy2(os.path.join(bins, name), folder)
        env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, LD_PRELOAD=os.path.join(bins, "preview_driver.so"),
                   ZELMORA_DRIVE_REPORT=report, ZELMORA_DRIVE_OPEN="春の便り_1.htm", ZELMORA_DRIVE_STEPS="frd", ZELMORA_DRIVE_HOLD=hold)
        program = subprocess.Popen([os.path.join(folder, "zelmora")], env=env, start_new_session=True,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

        def holds():
            return open(report, encoding="utf-8").read().count("\nhold: ") if os.path.exists(report) else 0

        def seen(preview):
            return [n for app in pyatspi.Registry.getDesktop(0) if app and (app.get_process_id() != program.pid) == preview
                    for n in nodes(app)]

        wait_for("the preview's first page", lambda: holds() == 1, report)
        main_window = seen(False)
        assert ("frame", "ポップリーフ作成") in main_window, main_window[:5]
        for group in ["Page%s の種類" % chr(0xFF10 + k) for k in range(1, 7)] + ["背景の種類"]:
            assert group in {n for _, n in main_window}, group + " is not in the main window's tree"
        wait_for("page 1's heading and text", lambda: (lambda page: any(r == "heading" and "春の便り (1/4)" in n for r, n in page)
                                                       and any("春が来ました。" in n for _, n in page))(seen(True)), report)
        open(hold, "w").close()
        wait_for("the preview's second page", lambda: holds() == 2, report)
        wait_for("page 2's picture by its alternative text", lambda: ("image", "花の写真") in seen(True), report)
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
