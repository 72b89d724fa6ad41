#include "ui/info_popover.hpp"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "ui/display_info_view.hpp"

namespace lumaro::ui {

InfoPopover::InfoPopover(DisplayInfoView* content, QWidget* parent) : QFrame(parent, Qt::Popup), content_(content) {
  setFrameShape(QFrame::StyledPanel);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->addWidget(content_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void InfoPopover::hideEvent(QHideEvent* event) {
  QFrame::hideEvent(event);
  Q_EMIT dismissed();
}

void InfoPopover::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QFrame::keyPressEvent(event);
}

}  // namespace lumaro::ui
