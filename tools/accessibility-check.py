#!/usr/bin/python3
# What a screen reader sees: under Xvfb with openbox and a session bus, each window of
# Metrovanta (opened by its keys, closed by Esc) and Skalomer is walked through AT-SPI, and a
# window not exposed as one, or a focusable control without a name, fails.
#   tools/accessibility-check.py METROVANTA SKALOMER BASE_DAT
# Exits 77 (skipped) when a tool is missing; ./setup.sh installs them.
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
failures = []


def fail(text):
    print(f"FAIL: {text}", flush=True)
    failures.append(text)


def outer(args):
    for tool in ("xvfb-run", "dbus-run-session", "openbox", "xdotool", "xprop"):
        if shutil.which(tool) is None:
            print(f"skipped: {tool} is not installed")
            return SKIPPED
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        print("skipped: python3-pyatspi is not installed")
        return SKIPPED
    command = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", "dbus-run-session", "--",
               sys.executable, os.path.abspath(__file__), "--inner", *args]
    try:
        return subprocess.run(command, timeout=150).returncode
    except subprocess.TimeoutExpired:
        print("FAIL: the check did not finish in 150 s")
        return 1


def wait_for(what, probe, timeout=15.0):
    """What probe() returns once it is true; None, and a failure, after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree may change while it is walked
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail(f"{what} (waited {timeout:.0f} s)")
    return None


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=False)


def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def has(acc, state):
    return acc.getState().contains(state)


def spoken(name):
    # "?", "O" or "^" say nothing read aloud, nor does a name broken over two lines.
    return bool(name) and "\n" not in name and re.search(r"\w\w", name) is not None


def label_of(acc, pyatspi):
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                if spoken(relation.getTarget(i).name):
                    return relation.getTarget(i).name
    return ""


def listing(where, acc, name):
    # MV_A11Y_LIST=1 prints what a screen reader is told of each control.
    if os.environ.get("MV_A11Y_LIST"):
        print(f"  {where} | {acc.getRoleName()} | {name} | {acc.description}", flush=True)


def check_window(window, where, pyatspi):
    if window.getRole() not in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG):
        fail(f"{where}: exposed as a {window.getRoleName()}, not as a window or a dialog")
    if not spoken(window.name):
        fail(f"{where}: the window has no name")
    checked = 0
    pending = list(children(window))
    while pending:
        acc = pending.pop(0)
        if not has(acc, pyatspi.STATE_SHOWING):
            continue
        role = acc.getRole()
        if role in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL):
            continue  # an entry is named by its text
        if role == pyatspi.ROLE_COMBO_BOX:
            # Qt on Linux reads a list's current entry as its name; the label tied to it names it.
            checked += 1
            listing(where, acc, label_of(acc, pyatspi))
            if not label_of(acc, pyatspi):
                fail(f"{where}: the list now showing «{acc.name}» has no label of its own")
            continue
        if has(acc, pyatspi.STATE_FOCUSABLE):
            checked += 1
            listing(where, acc, acc.name)
            if not spoken(acc.name):
                fail(f"{where}: a focusable {acc.getRoleName()} is named {acc.name!r}")
        if role != pyatspi.ROLE_LIST:
            pending.extend(children(acc))
    print(f"checked: {where}, {checked} controls", flush=True)


def top_window(app, title, pyatspi):
    for window in children(app):
        if has(window, pyatspi.STATE_SHOWING) and title in window.name:
            return window
    return None


def start(program, desktop, name, env):
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    def application():
        for app in children(desktop):
            if app.name == name and any(True for _ in children(app)):
                return app
        return None

    return process, wait_for(f"{name} did not appear on the accessibility bus", application, 30)


def check_metrovanta(program, base, desktop, pyatspi, env):
    with tempfile.TemporaryDirectory() as folder:
        os.makedirs(os.path.join(folder, "data", "metrovanta"))
        shutil.copy(base, os.path.join(folder, "data", "metrovanta", "Base.dat"))
        env = dict(env, XDG_DATA_HOME=os.path.join(folder, "data"),
                   XDG_CONFIG_HOME=os.path.join(folder, "config"))
        process, app = start(program, desktop, "metrovanta", env)
        try:
            if app is None:
                return
            main = wait_for("the conversion window is not shown",
                            lambda: top_window(app, "Метрованта 1", pyatspi))
            if main is None:
                return
            check_window(main, "conversion window", pyatspi)

            def find_box():
                return next((c for c in children(main) if c.getRole() == pyatspi.ROLE_DIALOG
                             and has(c, pyatspi.STATE_SHOWING)), None)

            key("ctrl+f")
            box = wait_for("Ctrl+F: no find box in the window's tree", find_box)
            if box is not None:
                check_window(box, "find box", pyatspi)
            key("Escape")
            wait_for("Esc did not close the find box", lambda: find_box() is None, 5)
            # Each by its key with the panel folded, and each closed by Esc.
            for keys, title in (("F1", "Создатель"), ("ctrl+comma", "Настройка"),
                                ("F2", "Редактор")):
                key(keys)
                window = wait_for(f"{keys} did not open «{title}»",
                                  lambda: top_window(app, title, pyatspi))
                if window is None:
                    continue
                check_window(window, f"«{title}»", pyatspi)
                if title == "Редактор":
                    check_refusal(window, pyatspi)
                key("Escape")
                wait_for(f"Esc did not close «{title}»",
                         lambda: top_window(app, title, pyatspi) is None, 5)
            # The panel unfolded by the input row's help button: its buttons take the focus.
            # Back from the other windows the keyboard is where it was: in the input line.
            key("Tab", "Tab", "space")
            if wait_for("Tab, Tab, Space from the input line did not unfold the panel",
                        lambda: panel_open(main, pyatspi), 5):
                check_window(main, "conversion window, unfolded", pyatspi)
        finally:
            process.terminate()
            process.wait(10)


def check_refusal(editor, pyatspi):
    """A refused coefficient is said on its box, and the box is quiet again once it is fixed."""
    box = next((c for c in children(editor)
                if c.getRole() == pyatspi.ROLE_TEXT and c.name == "Коэффициент"), None)
    if box is None:
        fail("the editor has no box named «Коэффициент»")
        return
    kept = box.queryText().getText(0, -1)
    box.queryComponent().grabFocus()
    for text, said in (("0", True), (kept, False)):
        key("ctrl+a")
        subprocess.run(["xdotool", "type", text], check=False)
        key("Return")
        wait_for(f"the coefficient «{text}» is {'not ' if said else ''}said to be refused",
                 lambda: bool(box.description) == said, 5)


def panel_open(main, pyatspi):
    # Folded, the panel's buttons cannot take the focus.
    buttons = [c for c in children(main) if c.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    return all(has(b, pyatspi.STATE_FOCUSABLE) for b in buttons)


def check_skalomer(program, desktop, pyatspi, env):
    process, app = start(program, desktop, "skalomer", env)
    try:
        window = app and wait_for("Skalomer's window is not shown",
                                  lambda: top_window(app, "Перевод", pyatspi))
        if window:
            check_window(window, "Skalomer", pyatspi)
    finally:
        process.terminate()
        process.wait(10)


def inner(metrovanta, skalomer, base):
    wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    try:
        wait_for("openbox did not start", lambda: b"window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True).stdout, 10)
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        check_metrovanta(metrovanta, base, desktop, pyatspi, env)
        check_skalomer(skalomer, desktop, pyatspi, env)
    finally:
        wm.terminate()
    print(f"{len(failures)} problems" if failures else "every window reached and named")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "--inner":
        sys.exit(inner(*sys.argv[2:]))
    if len(sys.argv) != 4:
        print("usage: accessibility-check.py METROVANTA SKALOMER BASE_DAT")
        sys.exit(2)
    sys.exit(outer(sys.argv[1:]))
