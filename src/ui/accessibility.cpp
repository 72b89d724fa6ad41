#include "ui/accessibility.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace lumaro::ui {
namespace {

constexpr const char* kDecorative = "lumaroDecorative";

// A decoration as assistive technology sees it: an unnamed graphic that is
// neither visible nor focusable, which readers skip.
class Decoration final : public QAccessibleWidget {
 public:
  explicit Decoration(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Graphic) {}

  QString text(QAccessible::Text) const override { return {}; }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.invisible = true;
    state.focusable = false;
    return state;
  }
};

QAccessibleInterface* decorationFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr || !widget->property(kDecorative).toBool()) return nullptr;
  return new Decoration(widget);
}

}  // namespace

void hideFromAccessibility(QWidget& widget) {
  // Qt keeps factories for the whole process; one is enough.
  static const bool installed = [] {
    QAccessible::installFactory(decorationFactory);
    return true;
  }();
  (void)installed;
  widget.setProperty(kDecorative, true);
}

}  // namespace lumaro::ui
