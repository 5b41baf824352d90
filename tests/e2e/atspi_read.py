#!/usr/bin/python3
"""Lists the accessible objects of a running application as "role<TAB>name<TAB>text"
lines, depth first; tabs and line breaks inside a field are shown as spaces.

Usage: atspi_read.py APPLICATION-NAME [SECONDS]. Waits up to SECONDS (default 10) for
the application to show a window on the AT-SPI bus; exits 1 when it does not."""
import sys
import time

import pyatspi


def text_of(accessible):
    try:
        text = accessible.queryText()
    except NotImplementedError:
        return ""
    return text.getText(0, -1)


def walk(accessible, out):
    for child in accessible:
        if child is None:
            continue
        fields = (child.getRoleName(), child.name, text_of(child))
        out.append("\t".join(f.replace("\t", " ").replace("\n", " ") for f in fields))
        walk(child, out)


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name and app.childCount > 0:
            return app
    return None


def main():
    name = sys.argv[1]
    deadline = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 10)
    while (app := application(name)) is None:
        if time.monotonic() > deadline:
            print(f"atspi_read: no application {name!r} on the accessibility bus", file=sys.stderr)
            return 1
        time.sleep(0.1)
    lines = []
    walk(app, lines)
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
