#include "ui/lumaro_app.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "ui/about.hpp"
#include "ui/content_view.hpp"
#include "ui/display_row.hpp"
#include "ui/lumaro_window.hpp"
#include "ui/tray_watch.hpp"
#include "ui_rig.hpp"

namespace lumaro::ui {
namespace {

using ::testing::ElementsAre;
using testing::UiRig;

// The window and the application around it, on one rig.
class ShellTest : public ::testing::Test {
 protected:
  std::unique_ptr<LumaroWindow> openWindow() {
    auto window = std::make_unique<LumaroWindow>(rig.manager);
    window->show();
    return window;
  }

  UiRig rig;
};

TEST_F(ShellTest, WindowRefreshesOnceEachTimeItOpensAndFromItsFooter) {
  EXPECT_EQ(rig.refreshes(), 0) << "nothing is detected before the window opens";
  auto window = openWindow();
  EXPECT_EQ(rig.refreshes(), 1) << "the list's appearance refresh runs synchronously";
  rig.settle();
  EXPECT_EQ(rig.refreshes(), 1) << "one read of every display per opening";
  EXPECT_THAT(testing::visibleTexts(*window),
              ElementsAre("No Apple Cinema Displays found.", "Lumaro " + applicationVersion(), "Info"));
  EXPECT_EQ(window->refreshButton()->accessibleName(), "Refresh");
  EXPECT_EQ(window->quitButton()->accessibleName(), "Quit");
  const QString link = window->infoLink()->text();
  EXPECT_TRUE(link.contains(QStringLiteral("href=\"https://")) && link.contains(QStringLiteral("/apps/lumaro/\"")));
  EXPECT_TRUE(window->infoLink()->openExternalLinks());
  EXPECT_EQ(window->infoLink()->font().pointSizeF(), 9.0) << "the about block is 9-point text";
  QTest::mouseClick(window->refreshButton(), Qt::LeftButton);
  EXPECT_EQ(rig.refreshes(), 2) << "the refresh button refreshes exactly once";

  window->hide();
  window->show();
  rig.settle();
  EXPECT_EQ(rig.refreshes(), 3) << "every later opening once again";
  // Un-minimising is no new appearance, for the window nor for its list.
  testing::showSpontaneously(*window);
  testing::showSpontaneously(*window->contentView());
  rig.settle();
  EXPECT_EQ(rig.refreshes(), 3);
}

TEST_F(ShellTest, ListIsLaidOut320WideWhateverTheNamesAndTabRunsRowByRowThenTheFooter) {
  auto identity = testing::ledCinema();
  identity.name = std::string(200, 'W');
  rig.plug(identity);
  rig.plug(testing::namelessCinemaHD());
  auto window = openWindow();
  rig.settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  EXPECT_EQ(window->contentView()->width(), 320);
  EXPECT_LT(window->width(), 400);
  EXPECT_TRUE(testing::visibleTexts(*window).contains(QString(200, 'W'))) << "the full name is kept, drawn elided";

  // The focus starts on the first slider; Tab visits the shown controls in this order.
  QList<QWidget*> tabOrder{window->focusWidget()};
  for (QWidget* at = tabOrder.front()->nextInFocusChain(); at != tabOrder.front(); at = at->nextInFocusChain()) {
    if (at->isVisibleTo(window.get()) && (at->focusPolicy() & Qt::TabFocus)) tabOrder << at;
  }
  const auto& rows = window->contentView()->rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(tabOrder,
            (QList<QWidget*>{window->contentView()->allDisplaysRow()->slider(), rows[0]->slider(), rows[0]->infoButton(), rows[1]->slider(), rows[1]->infoButton(),
                             window->refreshButton(), window->infoLink(), window->quitButton()}));
}

// Runs the event loop until the application quits; false if it did not
// within the time limit.
bool quitsWhile(const std::function<void()>& action) {
  bool timedOut = false;
  QTimer::singleShot(0, action);
  QTimer::singleShot(5000, [&] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  const int status = QApplication::exec();
  return !timedOut && status == 0;
}

TEST_F(ShellTest, TrayItemHasItsTooltipAnIconInThePalettesColourAndAMenuThatOpensThePopupOrQuits) {
  // The pointer on a bottom panel, at the right.
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint cursor(available.right() - 10, available.bottom() - 5);
  QCursor::setPos(cursor);
  ASSERT_EQ(QCursor::pos(), cursor);
  rig.plug(testing::ledCinema());
  rig.plug(testing::namelessCinemaHD());
  LumaroApp app(rig.manager, LumaroApp::Presentation::Tray);
  bool loginOn = false;
  bool loginWorks = false;
  app.addMenuToggle({"Start at Login", [&] { return loginOn; }, [&](bool on) { loginOn = loginWorks && on; }});
  app.start();
  ASSERT_NE(app.trayIcon(), nullptr);
  EXPECT_EQ(app.trayIcon()->toolTip(), "Lumaro");
  const QPalette original = QApplication::palette();
  for (const QColor text : {QColor(Qt::white), QColor(Qt::black)}) {
    QPalette palette = original;
    palette.setColor(QPalette::WindowText, text);
    QApplication::setPalette(palette);
    EXPECT_EQ(app.trayIcon()->icon().pixmap(QSize(22, 22)).toImage().pixelColor(11, 11).rgb(), text.rgb());
  }
  QApplication::setPalette(original);
  EXPECT_EQ(app.window(), nullptr) << "launch builds only the tray item";
  EXPECT_EQ(rig.refreshes(), 0);

  const QList<QAction*> menu = app.trayMenu()->actions();
  ASSERT_EQ(menu.size(), 5);
  EXPECT_EQ(menu[0]->text(), "Open Lumaro");
  EXPECT_TRUE(menu[1]->isSeparator());
  EXPECT_EQ(menu[2]->text(), "Start at Login");
  EXPECT_TRUE(menu[3]->isSeparator());
  EXPECT_EQ(menu[4]->text(), "Quit");
  menu[2]->trigger();
  EXPECT_FALSE(menu[2]->isChecked()) << "a change that failed unticks";
  loginWorks = true;
  menu[2]->trigger();
  EXPECT_TRUE(menu[2]->isChecked() && loginOn);

  menu[0]->trigger();
  EXPECT_TRUE(app.window()->isVisible());
  EXPECT_EQ(app.window()->windowFlags().testFlag(Qt::Popup), LumaroApp::canPlaceWindows());
  EXPECT_EQ(rig.refreshes(), 1);
  const int emptyHeight = app.window()->height();
  rig.settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const QRect popup = app.window()->geometry();
  ASSERT_GT(popup.height(), emptyHeight) << "the rows did not arrive";
  EXPECT_EQ(app.trayIcon()->toolTip(), "Lumaro\nLED Cinema Display: 50%\nUnknown Display: 25%");
  EXPECT_TRUE(available.contains(popup)) << "the popup grew off the screen";
  EXPECT_LT(popup.bottom(), cursor.y()) << "covers the icon";
  app.toggleWindow();
  EXPECT_FALSE(app.window()->isVisible()) << "a click on the tray item closes the open window";

  app.openWindow();
  EXPECT_TRUE(quitsWhile([&] { QTest::mouseClick(app.window()->quitButton(), Qt::LeftButton); }));
  EXPECT_TRUE(quitsWhile([&] { menu[4]->trigger(); })) << "the tray menu's Quit";
}

// A tray the test makes appear.
class StagedTrayWatch final : public TrayWatch {
 public:
  std::optional<TrayKind> available() override { return tray; }
  void watch() override { watching = true; }
  void appear() {
    tray = TrayKind::XEmbed;
    Q_EMIT appeared();
  }

  std::optional<TrayKind> tray;
  bool watching = false;
};

TEST_F(ShellTest, WithoutATrayTheWindowIsAnOrdinaryOneWhoseClosingQuitsUntilATrayAppearsAndTakesOver) {
  StagedTrayWatch watch;
  LumaroApp app(rig.manager, LumaroApp::Presentation::Window);
  app.watchForTray(watch, std::chrono::milliseconds(0));
  app.start();
  ASSERT_TRUE(watch.watching);
  ASSERT_TRUE(app.window()->isVisible()) << "no grace asked for: the window at once";
  EXPECT_EQ(app.window()->windowTitle(), "Lumaro");
  EXPECT_FALSE(app.window()->windowFlags().testFlag(Qt::Popup));
  EXPECT_EQ(app.trayIcon(), nullptr);
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed()) << "a tray, once there, keeps the application alive";
  EXPECT_TRUE(quitsWhile([&] { app.window()->close(); })) << "the window is the whole application";

  watch.appear();
  EXPECT_EQ(app.presentation(), LumaroApp::Presentation::Tray);
  ASSERT_NE(app.trayIcon(), nullptr);
  EXPECT_TRUE(app.trayIcon()->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(app.window(), nullptr) << "the ordinary window is gone";
  app.openWindow();
  EXPECT_EQ(app.window()->windowFlags().testFlag(Qt::Popup), LumaroApp::canPlaceWindows());
}

}  // namespace
}  // namespace lumaro::ui
