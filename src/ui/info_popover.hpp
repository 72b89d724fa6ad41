#pragma once

#include <QFrame>

namespace lumaro::ui {

class DisplayInfoView;

// The floating frame that holds one information panel. It closes when the
// user clicks elsewhere or presses Escape, and tells its owner so.
class InfoPopover final : public QFrame {
  Q_OBJECT

 public:
  // Takes ownership of `content`. `parent` ties the popover to its window.
  InfoPopover(DisplayInfoView* content, QWidget* parent);

  DisplayInfoView* content() const { return content_; }

 Q_SIGNALS:
  void dismissed();

 protected:
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  DisplayInfoView* content_;
};

}  // namespace lumaro::ui
