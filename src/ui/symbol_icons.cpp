#include "ui/symbol_icons.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QWidget>
#include <memory>

#include "ui/symbol_masks/symbol_drawing.hpp"
#include "ui/symbol_masks/symbol_masks.hpp"

namespace lumaro::ui {
namespace {

QString resourcePath(const QString& name) { return QStringLiteral(":/lumaro/symbols/%1.svg").arg(name); }

// Draws one symbol in a fixed colour at whatever size Qt asks for, so icons
// stay sharp at every scale factor: from a mask drawn at build time where
// there is one for the size, otherwise from the SVG.
class SymbolIconEngine final : public QIconEngine {
 public:
  SymbolIconEngine(QString name, QByteArray svg, QColor color)
      : name_(std::move(name)), svg_(std::move(svg)), color_(color) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    QSvgRenderer& svg = renderer();
    if (!svg.isValid()) return;
    painter->save();
    painter->setOpacity(painter->opacity() * color_.alphaF() * modeOpacity(mode));
    drawSymbol(*painter, svg, rect);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // `size` is in device pixels already: QIcon::pixmap multiplies by the
  // scale before asking, so multiplying again would draw four times the
  // pixels at a scale of 2.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    // Buttons ask for their icon at every repaint; each size is drawn once.
    const QString cacheKey = QStringLiteral("lumaro-symbol:%1:%2:%3x%4@%5:%6")
                                 .arg(name_, QString::number(color_.rgba(), 16))
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(scale)
                                 .arg(static_cast<int>(mode));
    QPixmap pixmap;
    if (QPixmapCache::find(cacheKey, &pixmap)) return pixmap;
    const auto masked =
        size.width() == size.height() ? maskedSymbol(name_, size.width(), color_, modeOpacity(mode)) : std::nullopt;
    if (masked) {
      pixmap = QPixmap::fromImage(*masked);
    } else {
      pixmap = QPixmap(size);
      pixmap.fill(Qt::transparent);
      QPainter painter(&pixmap);
      paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    QPixmapCache::insert(cacheKey, pixmap);
    return pixmap;
  }

  QIconEngine* clone() const override { return new SymbolIconEngine(name_, svg_, color_); }
  QString key() const override { return QStringLiteral("lumaro-symbol"); }
  bool isNull() override { return svg_.isEmpty(); }

 private:
  // Besides the colour's alpha, which applies as opacity too (SVG colour
  // syntax has none).
  static qreal modeOpacity(QIcon::Mode mode) { return mode == QIcon::Disabled ? 0.4 : 1.0; }

  // Parsed only when a size without a mask is asked for.
  QSvgRenderer& renderer() {
    if (!renderer_) renderer_ = std::make_unique<QSvgRenderer>(tintedSymbol(svg_, color_));
    return *renderer_;
  }

  QString name_;
  QByteArray svg_;
  QColor color_;
  std::unique_ptr<QSvgRenderer> renderer_;
};

// Icons already made, by symbol and colour. Emptied when the application
// ends, so no icon outlives it.
QHash<QString, QIcon>& madeIcons() {
  static QHash<QString, QIcon> icons;
  return icons;
}

QByteArray loadSymbol(const QString& name) {
  QFile file(resourcePath(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

bool hasSymbol(const QString& name) { return QFile::exists(resourcePath(name)); }

QIcon symbolIcon(const QString& name, const QColor& color) {
  // Every row asks for the same few symbols in the same colours: each file
  // is parsed once per colour and the icon shared.
  QHash<QString, QIcon>& icons = madeIcons();
  const QString key = name + QLatin1Char(':') + QString::number(color.rgba(), 16);
  if (const auto found = icons.constFind(key); found != icons.constEnd()) return *found;
  QByteArray svg = loadSymbol(name);
  if (svg.isEmpty()) return {};
  QIcon icon(new SymbolIconEngine(name, std::move(svg), color));
  if (icons.isEmpty()) qAddPostRoutine([] { madeIcons().clear(); });
  icons.insert(key, icon);
  return icon;
}

QIcon symbolIcon(const QString& name, const QWidget& widget) {
  return symbolIcon(name, widget.palette().color(QPalette::WindowText));
}

QPixmap symbolPixmap(const QString& name, const QColor& color, QSize size, const QWidget& widget) {
  return symbolIcon(name, color).pixmap(size, widget.devicePixelRatioF());
}

}  // namespace lumaro::ui
