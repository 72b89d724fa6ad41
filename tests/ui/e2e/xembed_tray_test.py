#!/usr/bin/env python3
"""lumaro-demo in an XEmbed tray (trayer on Xvfb, a dark panel).

  xembed_tray_test.py <lumaro-demo> bottom-right|top-left
      The icon is embedded and drawn light on the dark panel; a click opens
      the popup wholly on screen and clear of the icon, once its rows are in,
      on the first and on a later open; Escape closes it.
  xembed_tray_test.py <lumaro-demo> late
      Started before any tray, the demo shows its window, then moves into
      the tray that appears later.
"""
import sys
import time

from desktop_rig import (Desktop, demo_binary, fail, need, popup, rect_inside, rects_overlap, settled_popup, wait_for,
                         x_windows)

SCREEN = (0, 0, 1024, 768)
PANELS = {"bottom-right": ["--edge", "bottom", "--align", "right"],
          "top-left": ["--edge", "top", "--align", "left"]}


def start_trayer(desktop, where):
    desktop.start(["trayer", *PANELS[where], "--widthtype", "request", "--height", "24", "--SetDockType", "true",
                   "--SetPartialStrut", "true", "--transparent", "true", "--alpha", "0", "--tint", "0x202020"],
                  "trayer.log")


def start_demo(desktop):
    env = dict(desktop.env, QT_QPA_PLATFORM="xcb", LUMARO_DEMO_DISPLAYS="2")
    return desktop.start([demo_binary()], "demo.log", env=env)


def embedded_icon(desktop):
    """The demo's icon window inside trayer's panel, or None."""
    windows = x_windows(desktop)
    panels = [w for w in windows if w[1] == "panel"]
    for wid, name, x, y, w, h in windows:
        if name != "lumaro-demo" or w < 8 or w > 64:
            continue
        for panel in panels:
            if rect_inside((x, y, w, h), panel[2:]):
                return wid, (x, y, w, h)
    return None


def brightest(desktop, wid):
    """The brightest grey level (0-1) of a window's pixels."""
    out = desktop.run(["import", "-window", wid, "-colorspace", "Gray", "-format", "%[fx:maxima]", "info:"]).stdout
    return float(out.strip() or 0)


def tray_test(where):
    with Desktop(f"xembed-{where}") as desktop:
        desktop.x_server()
        start_trayer(desktop, where)
        wait_for("trayer's panel", lambda: any(w[1] == "panel" for w in x_windows(desktop)))
        start_demo(desktop)
        wid, icon = wait_for("the icon to be embedded in the panel", lambda: embedded_icon(desktop))
        # The icon is redrawn for the panel once embedded: wait for it.
        wait_for("the icon to be drawn light on the dark panel", lambda: brightest(desktop, wid) > 0.6)

        centre = (icon[0] + icon[2] // 2, icon[1] + icon[3] // 2)
        for opening in ("first", "later"):
            desktop.run(["xdotool", "mousemove", str(centre[0]), str(centre[1]), "click", "1"])
            geometry = settled_popup(desktop)
            if not rect_inside(geometry, SCREEN):
                fail(f"{opening} open: popup {geometry} is not wholly on the screen {SCREEN}")
            if rects_overlap(geometry, icon):
                fail(f"{opening} open: popup {geometry} covers the icon {icon}")
            desktop.run(["xdotool", "key", "Escape"])
            wait_for("Escape to close the popup", lambda: popup(desktop) is None)
            # A click right after closing counts as the closing click.
            time.sleep(0.5)
        print(f"{where}: icon {icon}, popup {geometry}")


def late_tray_test():
    with Desktop("xembed-late") as desktop:
        desktop.x_server()
        start_demo(desktop)
        wait_for("the window shown without a tray", lambda: popup(desktop))
        start_trayer(desktop, "bottom-right")
        wait_for("the icon to be embedded in the tray that came later", lambda: embedded_icon(desktop))
        wait_for("the window to close into the tray", lambda: popup(desktop) is None)


def main():
    need("trayer", "xwininfo", "xdotool", "import")
    mode = sys.argv[2] if len(sys.argv) > 2 else ""
    if mode in PANELS:
        tray_test(mode)
    elif mode == "late":
        late_tray_test()
    else:
        fail(f"unknown mode {mode!r}")
    print("PASSED")


if __name__ == "__main__":
    main()
