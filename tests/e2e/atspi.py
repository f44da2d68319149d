# The program as a screen reader hears it, over AT-SPI: waits up to 10 s until "testownik" has an
# element of every name given (such as "Ilość pytań: 2") and prints those of the form "caption: value".
import sys
import time

import pyatspi

for attempt in range(100):
    try:
        found = [element.name for app in pyatspi.Registry.getDesktop(0) if app and app.name == 'testownik'
                 for element in pyatspi.findAllDescendants(app, lambda element: True)]
    except Exception:  # a window closing while it is walked
        found = []
    if ok := all(name in found for name in sys.argv[1:]):
        break
    time.sleep(0.1)
print('heard: ' + ' | '.join(name for name in found if ': ' in name), file=sys.stdout if ok else sys.stderr)
sys.exit(not ok)
