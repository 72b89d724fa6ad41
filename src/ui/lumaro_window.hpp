#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QToolButton;

namespace lumaro {
class LumaroManager;
}

namespace lumaro::ui {

class ContentView;

// What the tray item opens: the display list (320 wide), a divider, and the
// footer with Refresh, the about block and Quit. Each time it comes on
// screen it also queues a refresh of its own as a separate main-queue step,
// beside the one the list runs as it appears. Keyboard focus starts on the
// list's first control, the first row's slider.
class LumaroWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kListWidth = 320;

  explicit LumaroWindow(std::shared_ptr<LumaroManager> manager, QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  ContentView* contentView() const { return content_; }
  QToolButton* refreshButton() const { return refresh_; }
  QToolButton* quitButton() const { return quit_; }
  QLabel* aboutTitle() const { return aboutTitle_; }
  QLabel* infoLink() const { return infoLink_; }

 Q_SIGNALS:
  // The Quit button was pressed; the application ends at once.
  void quitRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Keyboard order: the list's controls, then Refresh, Info and Quit.
  void arrangeFocus();

  std::shared_ptr<LumaroManager> manager_;
  bool focusFirstPending_ = false;
  ContentView* content_;
  QToolButton* refresh_;
  QToolButton* quit_;
  QLabel* aboutTitle_;
  QLabel* infoLink_;
};

}  // namespace lumaro::ui
