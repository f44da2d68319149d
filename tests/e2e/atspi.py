"""The program as a screen reader hears it, over AT-SPI.

    atspi.py NAME...

Waits up to 10 s until the program "testownik" has an element of every given name (for example
"Ilość pytań: 2") and prints the names of its value labels, those of the form "caption: value".
"""
import sys
import time

import pyatspi


def names(node):
    yield node.name
    for child in node:
        if child is not None:
            yield from names(child)


def heard():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == 'testownik':
            return list(names(app))
    return []


for attempt in range(100):
    try:
        found = heard()
    except Exception:  # a window closing while it is walked
        found = []
    if all(name in found for name in sys.argv[1:]):
        break
    time.sleep(0.1)
values = [name for name in found if ': ' in name]
print(f'heard: {" | ".join(values)}' if found else 'heard nothing of testownik')
sys.exit(0 if all(name in found for name in sys.argv[1:]) else 1)
