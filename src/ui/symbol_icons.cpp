#include "ui/symbol_icons.hpp"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QSvgRenderer>
#include <QWidget>
#include <memory>

namespace lumaro::ui {
namespace {

QString resourcePath(const QString& name) { return QStringLiteral(":/lumaro/symbols/%1.svg").arg(name); }

// Renders one SVG symbol in a fixed colour at whatever size Qt asks for, so
// icons stay sharp at every scale factor.
class SymbolIconEngine final : public QIconEngine {
 public:
  SymbolIconEngine(QByteArray svg, QColor color) : svg_(std::move(svg)), color_(color) {
    // The files use currentColor; paint them opaque and apply the colour's
    // alpha as painter opacity, since SVG colour syntax has no alpha.
    QByteArray tinted = svg_;
    tinted.replace("currentColor", color_.name(QColor::HexRgb).toLatin1());
    renderer_ = std::make_shared<QSvgRenderer>(tinted);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    if (!renderer_->isValid()) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    qreal opacity = color_.alphaF();
    if (mode == QIcon::Disabled) opacity *= 0.4;
    painter->setOpacity(painter->opacity() * opacity);
    // Keep the symbol square and centred in whatever rectangle is offered.
    const int side = std::min(rect.width(), rect.height());
    const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
    renderer_->render(painter, square);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap pixmap(size * scale);
    pixmap.fill(Qt::transparent);
    {
      QPainter painter(&pixmap);
      paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
  }

  QIconEngine* clone() const override { return new SymbolIconEngine(svg_, color_); }
  QString key() const override { return QStringLiteral("lumaro-symbol"); }
  bool isNull() override { return !renderer_->isValid(); }

 private:
  QByteArray svg_;
  QColor color_;
  std::shared_ptr<QSvgRenderer> renderer_;
};

QByteArray loadSymbol(const QString& name) {
  QFile file(resourcePath(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

bool hasSymbol(const QString& name) { return QFile::exists(resourcePath(name)); }

QIcon symbolIcon(const QString& name, const QColor& color) {
  QByteArray svg = loadSymbol(name);
  if (svg.isEmpty()) return {};
  return QIcon(new SymbolIconEngine(std::move(svg), color));
}

QIcon symbolIcon(const QString& name, const QWidget& widget) {
  return symbolIcon(name, widget.palette().color(QPalette::WindowText));
}

QPixmap symbolPixmap(const QString& name, const QColor& color, QSize size, const QWidget& widget) {
  return symbolIcon(name, color).pixmap(size, widget.devicePixelRatioF());
}

}  // namespace lumaro::ui
