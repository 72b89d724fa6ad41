#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <optional>

namespace lumaro::ui {

// The symbol `name` at `side` × `side` pixels in `color` (its alpha and
// `opacity` applied), from coverage masks drawn at build time for the sizes
// the interface uses most; absent for any other size. Drawing from a mask
// needs no SVG renderer, whose library and parsing cost the tray more than
// half a megabyte of resident memory at start.
std::optional<QImage> maskedSymbol(const QString& name, int side, const QColor& color, qreal opacity);

}  // namespace lumaro::ui
