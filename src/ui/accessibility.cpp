#include "ui/accessibility.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace lumaro::ui {
namespace {

constexpr const char* kDecorative = "lumaroDecorative";
constexpr const char* kPopupOwner = "lumaroPopupOwner";

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

// A widget whose shown popup counts as its last child.
class PopupOwner final : public QAccessibleWidget {
 public:
  explicit PopupOwner(QWidget* widget) : QAccessibleWidget(widget) {}

  int childCount() const override { return QAccessibleWidget::childCount() + (popup() ? 1 : 0); }
  QAccessibleInterface* child(int index) const override {
    if (index == QAccessibleWidget::childCount() && popup()) return QAccessible::queryAccessibleInterface(popup());
    return QAccessibleWidget::child(index);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child != nullptr && popup() != nullptr && child->object() == popup()) return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
  }

 private:
  // Its own popup windows are child objects; the first one shown counts.
  QWidget* popup() const {
    for (QObject* child : widget()->children()) {
      auto* window = qobject_cast<QWidget*>(child);
      if (window != nullptr && window->windowType() == Qt::Popup && window->isVisible()) return window;
    }
    return nullptr;
  }
};

QAccessibleInterface* lumaroFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  if (widget->property(kDecorative).toBool()) return new Decoration(widget);
  if (widget->property(kPopupOwner).toBool()) return new PopupOwner(widget);
  return nullptr;
}

void installFactory() {
  // Qt keeps factories for the whole process; one is enough.
  static const bool installed = [] {
    QAccessible::installFactory(lumaroFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace

void hideFromAccessibility(QWidget& widget) {
  installFactory();
  widget.setProperty(kDecorative, true);
}

void acceptAccessiblePopups(QWidget& owner) {
  installFactory();
  owner.setProperty(kPopupOwner, true);
}

void announcePopupChange(QWidget& owner) {
  // Screen readers cache the tree: tell them the owner's children changed.
  QAccessibleEvent changed(&owner, QAccessible::ObjectReorder);
  QAccessible::updateAccessibility(&changed);
}

}  // namespace lumaro::ui
