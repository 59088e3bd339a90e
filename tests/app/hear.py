#!/usr/bin/python3
"""Writes what a screen reader hears over AT-SPI: "name | description" of every object that takes the focus and of
every description change. Prints "listening" once it listens, then runs until stopped."""
import time

import pyatspi


def heard(event):
    if event.type.startswith("object:state-changed") and event.detail1 != 1:
        return
    try:  # the object may be gone already
        print("%s | %s" % (event.source.name, event.source.description), flush=True)
    except Exception:
        pass


for _ in range(50):  # the accessibility bus starts beside this script
    try:
        pyatspi.Registry.getDesktop(0).childCount
        break
    except Exception:
        time.sleep(0.2)
else:
    raise SystemExit("the accessibility bus did not start")
pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused",
                                       "object:property-change:accessible-description")
print("listening", flush=True)
pyatspi.Registry.start()
