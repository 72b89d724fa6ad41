#!/usr/bin/env python3
"""lumaro-demo through a screen reader's eyes: AT-SPI on a private session
bus. Each row's slider is found by its accessible name and set; the demo logs
the matching setBrightness line and the row shows the new percentage. The
information panel's eight titles and values are read the same way.

  accessibility_test.py <lumaro-demo>
"""
import os
import re

from desktop_rig import Desktop, demo_binary, fail, need, skip, wait_for

TITLES = ["MANUFACTURER", "PRODUCT ID", "SERIAL NUMBER", "MANUFACTURING DATE", "DIMENSIONS", "COLOR DEPTH",
          "CONNECTION TYPE", "HDCP SUPPORT"]


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # a widget that went away while we looked
            continue
        yield from walk(child, depth + 1)


def showing(pyatspi, node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def main():
    need("dbus-daemon", "dbus-send")
    try:
        import pyatspi  # noqa: F401  (imported below, once the bus is ours)
    except ImportError:
        skip("python3-pyatspi is not installed (bash scripts/install-deps.sh installs it)")
    with Desktop("a11y") as desktop:
        desktop.x_server()
        desktop.session_bus()
        # Qt does not start the accessibility bus; asking for its address does.
        reply = desktop.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                             "org.a11y.Bus.GetAddress"])
        if reply.returncode != 0:
            skip(f"no accessibility bus (at-spi2-core): {reply.stderr.strip()}")
        os.environ.update(DBUS_SESSION_BUS_ADDRESS=desktop.env["DBUS_SESSION_BUS_ADDRESS"],
                          DISPLAY=desktop.env["DISPLAY"], XDG_RUNTIME_DIR=desktop.runtime)
        env = dict(desktop.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1", LUMARO_DEMO_DISPLAYS="2")
        desktop.start([demo_binary()], "demo.log", env=env)
        import pyatspi

        def application():
            desktop_node = pyatspi.Registry.getDesktop(0)
            for i in range(desktop_node.childCount):
                app = desktop_node.getChildAtIndex(i)
                if app is not None and app.name == "lumaro-demo":
                    # Ask the application every time rather than trust a cache.
                    app.set_cache_mask(pyatspi.Atspi.Cache.NONE)
                    return app
            return None

        def sliders():
            app = application()
            if app is None:
                return None
            found = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_SLIDER and
                     n.name.startswith("Brightness for ") and showing(pyatspi, n)]
            return found if len(found) == 3 else None

        def named(prefix):
            return [n for n in walk(application()) if n.name.startswith(prefix) and showing(pyatspi, n)]

        found = wait_for("the all-displays slider and both rows' sliders", sliders)
        if found[0].name != "Brightness for All Displays":
            fail(f"the first slider is {found[0].name}")
        for slider, position in zip(found[1:], (2500, 7500)):
            display = slider.name[len("Brightness for "):]
            value = slider.queryValue()
            fraction = position / value.maximumValue
            expected_line = f"setBrightness called with value: {fraction}"
            value.currentValue = position
            wait_for(f"the setBrightness line for {display}", lambda: expected_line in desktop.log("demo.log"))
            percent = f"{int(fraction * 100)}%"
            wait_for(f"{display} to show {percent}",
                     lambda: any(n.name == f"{display}, {percent}" for n in named(display + ", ")))
            print(f"{slider.name}: {percent}")

        button = wait_for("an information button", lambda: named("Show information for "))[0]
        button.queryAction().doAction(0)

        def info_texts():
            texts = [n.name or n.queryText().getText(0, -1) for n in walk(application())
                     if n.getRole() == pyatspi.ROLE_LABEL and showing(pyatspi, n)]
            return texts if all(t in texts for t in TITLES) else None

        texts = wait_for("the information panel's eight rows", info_texts)
        for title in TITLES:
            value = texts[texts.index(title) + 1]
            if not value.strip() or value in TITLES:
                fail(f"{title} has no value: {texts}")
            print(f"{title}: {value}")
    print("PASSED")


if __name__ == "__main__":
    main()
