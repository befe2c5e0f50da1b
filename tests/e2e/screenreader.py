"""Reads the calibration window's results as a screen reader does, through
AT-SPI: by the labels' names, each with its value as the description.

    screenreader.py APPLICATION-NAME NAME=DESCRIPTION...

Waits up to 20 s for the application and for the expected texts; prints one
line per result and exits 0 when every one matched."""
import sys
import time

import pyatspi

RESULT_NAMES = ("New Code 1", "New Code 2", "Data Range")


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.name == name:
            return application
    return None


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def read_results(application):
    results = {}
    for node in walk(application):
        if node.name in RESULT_NAMES and node.getRole() == pyatspi.ROLE_LABEL:
            results[node.name] = node.description
    return results


def main():
    application_name = sys.argv[1]
    expected = dict(pair.split("=", 1) for pair in sys.argv[2:])
    results = {}
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        application = find_application(application_name)
        if application is not None:
            results = read_results(application)
            if all(results.get(name) == text for name, text in expected.items()):
                break
        time.sleep(0.2)
    ok = True
    for name, text in expected.items():
        heard = results.get(name)
        print(f"{name}: heard {heard!r}, expected {text!r}")
        ok = ok and heard == text
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
