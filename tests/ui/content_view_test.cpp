#include "ui/content_view.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "ui/display_info_view.hpp"
#include "ui/display_row.hpp"
#include "ui/info_popover.hpp"
#include "ui_rig.hpp"

namespace lumaro::ui {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using testing::UiRig;

// Mouse events as a drag produces them: every move carries the held button.
void sendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// The centre of the slider's handle, in the slider's coordinates.
QPoint handleCentre(const QSlider& slider) {
  const int handle = slider.style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &slider);
  const int x =
      QStyle::sliderPositionFromValue(slider.minimum(), slider.maximum(), slider.value(), slider.width() - handle) +
      handle / 2;
  return {x, slider.height() / 2};
}

class ContentViewTest : public ::testing::Test {
 protected:
  void open() {
    view = std::make_unique<ContentView>(*rig.manager);
    view->setFixedWidth(320);
    view->move(0, 0);  // leaves room for the popover on the right
    view->show();
    rig.queues->runAllMain();
  }

  DisplayRow& row(std::size_t index) { return *view->rows().at(index); }
  int publishedPosition(std::size_t index) {
    return DisplayRow::sliderPosition(rig.manager->displays().at(index).brightness);
  }

  UiRig rig;
  std::unique_ptr<ContentView> view;
};

// A stand-in brightness never passes for the display's: an unread row shows
// no percentage and no slider to move, but a reason, until a refresh reads it.
TEST_F(ContentViewTest, EveryRefreshRedrawsTheListInDetectionOrderWithUnreadRowsSayingWhy) {
  open();
  EXPECT_EQ(rig.refreshes(), 1) << "the list refreshes as it comes on screen";
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("No Apple Cinema Displays found."));
  QToolButton* refresh = view->emptyStateRefreshButton();
  EXPECT_TRUE(refresh->toolTip().isEmpty());
  EXPECT_EQ(refresh->accessibleName(), "Refresh") << "without a tooltip, a screen reader still needs its purpose";

  auto led = rig.plug(testing::ledCinema(254));
  led->failOpen(hid::kIOReturnNotPrivileged);
  rig.plug(testing::namelessCinemaHD(0));
  QTest::mouseClick(refresh, Qt::LeftButton);
  rig.queues->runAllMain();
  EXPECT_EQ(rig.refreshes(), 2);
  EXPECT_THAT(
      testing::visibleTexts(*view),
      ElementsAre("LED Cinema Display", "–", DisplayRow::brightnessFailureText(BrightnessFailure::kNotPrivileged),
                  "Unknown Display", "0%"));
  EXPECT_FALSE(row(0).slider()->isVisible());
  EXPECT_TRUE(row(0).infoButton()->isEnabled());
  EXPECT_EQ(row(0).infoButton()->toolTip(), "Show display information");
  EXPECT_EQ(row(0).infoButton()->accessibleName(), "Show information for LED Cinema Display");
  EXPECT_EQ(row(1).slider()->accessibleName(), "Brightness for Unknown Display");

  const std::vector<DisplayRow*> first = view->rows();
  led->failOpen(hid::kIOReturnSuccess);
  auto reversed = rig.hid->copyDevices().value();
  std::reverse(reversed.begin(), reversed.end());
  rig.hid->setDevices(reversed);
  rig.refreshNow();
  QCoreApplication::processEvents();  // let the replaced rows go
  ASSERT_EQ(view->rows().size(), 2u);
  for (DisplayRow* now : view->rows()) {
    EXPECT_THAT(first, Not(Contains(now))) << "a refresh gives every display a new id";
  }
  // 254/255 is 99.6%: shown as 99%, never rounded up; the slider keeps the finer step.
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("All Displays", "49%", "Unknown Display", "0%",
                                                         "LED Cinema Display", "99%"));
  EXPECT_TRUE(row(1).slider()->isVisible() && row(1).slider()->isEnabled()) << "once read";
  EXPECT_EQ(row(1).slider()->value(), 9961);

  rig.hid->setDevices({});
  rig.refreshNow();
  EXPECT_TRUE(view->rows().empty());
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("No Apple Cinema Displays found."));
}

// While held, the slider follows the pointer, not the model; let go, it shows
// what the model published last.
TEST_F(ContentViewTest, DragWritesEveryValueKeepsItsGripThroughPublishesAndSnapsBackOnRelease) {
  auto led = rig.plug(testing::ledCinema(128));
  auto other = rig.plug(testing::namelessCinemaHD(64));
  open();
  QSlider* slider = row(0).slider();
  const std::vector<DisplayRow*> rowsBefore = view->rows();

  QPoint at = handleCentre(*slider);
  sendMouse(*slider, QEvent::MouseButtonPress, at, Qt::LeftButton);
  ASSERT_TRUE(slider->isSliderDown());
  ASSERT_EQ(rig.brightnessCalls(), 0) << "grabbing the handle changes nothing";
  for (int step = 0; step < 50; ++step) {
    at.rx() -= 2;
    sendMouse(*slider, QEvent::MouseMove, at, Qt::LeftButton);
    // Each accepted write is published before the next move; the row must be
    // updated in place, keeping the very slider the pointer holds.
    rig.queues->runAllMain();
    ASSERT_EQ(view->rows(), rowsBefore);
    ASSERT_TRUE(slider->isSliderDown()) << "drag interrupted at step " << step;
  }
  EXPECT_EQ(led->reportsWritten().size(), 50u) << "every value reached the dragged row's display";
  EXPECT_TRUE(other->reportsWritten().empty());
  EXPECT_EQ(rig.manager->displays().at(0).brightness, DisplayRow::sliderValue(slider->value()));

  led->failSetReport(hid::kIOReturnError);  // refused; not a permission the row must show
  at.rx() += 40;
  sendMouse(*slider, QEvent::MouseMove, at, Qt::LeftButton);
  const int held = slider->value();
  ASSERT_NE(held, publishedPosition(0));
  // Another row's change publishes the list, the held row's rejected value with it.
  rig.manager->setBrightness(rig.manager->displays().at(1).id, 0.25f);
  rig.queues->runAllMain();
  EXPECT_EQ(slider->value(), held) << "a publish moved the slider under the pointer";

  sendMouse(*slider, QEvent::MouseButtonRelease, at, Qt::NoButton);
  const int calls = rig.brightnessCalls();
  QCoreApplication::processEvents();  // the release hands the slider back to the model
  EXPECT_EQ(slider->value(), publishedPosition(0)) << "after the release";
  EXPECT_EQ(rig.brightnessCalls(), calls) << "snapping back writes nothing";
}

// A key, wheel or page step is never held: a rejected one snaps back at once,
// and an accepted one is written once, not echoed back by its own publish.
TEST_F(ContentViewTest, KeyStepsWriteOnceAndARejectedOneSnapsBackAtOnce) {
  auto led = rig.plug(testing::ledCinema(0));
  open();
  QSlider* slider = row(0).slider();
  led->failSetReport(hid::kIOReturnError);
  QTest::keyClick(slider, Qt::Key_Right);
  ASSERT_EQ(rig.brightnessCalls(), 1);
  rig.settle();
  QCoreApplication::processEvents();  // the row's own step hands the slider back to the model
  EXPECT_EQ(slider->value(), 0) << "the rejected step";
  EXPECT_EQ(rig.brightnessCalls(), 1) << "snapping back writes nothing";

  led->failSetReport(hid::kIOReturnSuccess);
  QTest::keyClick(slider, Qt::Key_Right);
  QTest::keyClick(slider, Qt::Key_PageUp);
  // Bounded: a slider that echoed the published values back would write
  // forever, each publish undoing the one before.
  for (int turn = 0; turn < 10 && rig.queues->runNextMain(); ++turn) {
  }
  EXPECT_EQ(rig.queues->pendingMain(), 0u);
  EXPECT_EQ(rig.brightnessCalls(), 3);
  // One step is 1%, a page 10%.
  EXPECT_EQ(rig.manager->displays().at(0).brightness, 0.11f);
  EXPECT_EQ(row(0).percentLabel()->text(), "11%");
}

// One popover at a time, beside the whole list and gone with it. A button's
// row may be stale: the popover opens with the model's copy of the row, or
// with the row as drawn once it has left the list.
TEST_F(ContentViewTest, InfoButtonsShareOnePopoverBesideTheListThatOpensWithTheFreshestCopyOfTheRow) {
  rig.plug(testing::ledCinema());
  rig.attachEdid(0x9226);
  rig.plug(testing::namelessCinemaHD());
  open();
  // Low on the screen: the loading line fits below the list's top, the eight
  // rows do not.
  const QRect available = view->screen()->availableGeometry();
  view->move(0, available.bottom() - view->height() - 40);
  const DisplayItem drawn = row(0).item();

  QTest::mouseClick(row(0).infoButton(), Qt::LeftButton);
  QPointer<InfoPopover> first = view->popover();
  ASSERT_TRUE(first && first->isVisible());
  EXPECT_EQ(view->selectedDisplayForInfo()->id, row(0).id());
  EXPECT_EQ(testing::visibleTexts(*first->content()).front(), "LED Cinema Display");
  const QRect loading = first->geometry();
  rig.settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  EXPECT_GT(first->height(), loading.height() + 100) << "the rows did not load";
  EXPECT_TRUE(available.contains(first->geometry())) << "grew off the screen";

  view->openInfo(row(1).item());
  QCoreApplication::processEvents();
  EXPECT_TRUE(first.isNull()) << "the earlier popover is gone";
  ASSERT_NE(view->popover(), nullptr);
  EXPECT_EQ(view->selectedDisplayForInfo()->id, row(1).id());
  EXPECT_EQ(view->popover()->content()->displayID(), row(1).id());
  // Anchored to the list, not to the row: the same place for either row,
  // clear of the list.
  EXPECT_EQ(view->popover()->geometry(), loading);
  EXPECT_FALSE(loading.intersects(QRect(view->mapToGlobal(QPoint(0, 0)), view->size())));
  view->popover()->close();
  EXPECT_FALSE(view->selectedDisplayForInfo().has_value()) << "dismissal clears the selection";

  rig.settle();  // the closed popover's lookup
  ASSERT_FALSE(drawn.details.has_value());
  view->openInfo(drawn);
  ASSERT_TRUE(view->selectedDisplayForInfo()->details.has_value());
  EXPECT_EQ(view->popover()->content()->content(), DisplayInfoView::Content::Details);
  EXPECT_EQ(rig.queues->pendingGlobal(), 0u) << "details already loaded need no lookup";
  QPointer<InfoPopover> shown = view->popover();
  view->hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(shown.isNull()) << "the list leaving the screen takes the popover with it";
  EXPECT_FALSE(view->selectedDisplayForInfo().has_value());

  rig.hid->setDevices({});
  rig.refreshNow();
  view->openInfo(drawn);
  EXPECT_TRUE(view->popover()->isVisible());
  EXPECT_EQ(view->selectedDisplayForInfo(), drawn) << "the row as drawn, once it left the list";
  rig.settle();
  EXPECT_EQ(view->popover()->content()->content(), DisplayInfoView::Content::NothingFound);
}

// Two displays: one more row, "All Displays", first in keyboard order, at
// their mean. Its drag moves both by the same change from where they stood
// when grabbed, stops each at its end, and gives the offset back on the way.
TEST_F(ContentViewTest, AllDisplaysDragMovesEachDisplayByTheSameChangeAndStopsEachAtItsEnd) {
  auto led = rig.plug(testing::ledCinema(204));   // 80 %
  auto other = rig.plug(testing::namelessCinemaHD(102));  // 40 %
  open();
  DisplayRow& all = *view->allDisplaysRow();
  ASSERT_TRUE(all.isVisibleTo(view.get()));
  EXPECT_EQ(all.percentLabel()->text(), QStringLiteral("60%"));
  EXPECT_EQ(view->focusChain().front(), all.slider());
  EXPECT_EQ(all.slider()->accessibleName(), QStringLiteral("Brightness for All Displays"));

  QSlider* slider = all.slider();
  const int handle = slider->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, slider);
  const auto dragTo = [&](float level) {
    const int x = QStyle::sliderPositionFromValue(0, DisplayRow::kSliderSteps, DisplayRow::sliderPosition(level),
                                                  slider->width() - handle) + handle / 2;
    sendMouse(*slider, QEvent::MouseMove, {x, slider->height() / 2}, Qt::LeftButton);
    rig.queues->runAllMain();
  };
  sendMouse(*slider, QEvent::MouseButtonPress, handleCentre(*slider), Qt::LeftButton);
  dragTo(0.7f);
  const float ledStep = rig.manager->displays().at(0).brightness - 0.8f;
  EXPECT_NEAR(ledStep, 0.1f, 0.01f);
  EXPECT_NEAR(rig.manager->displays().at(1).brightness - 0.4f, ledStep, 1e-6f) << "the same change for both";
  dragTo(1.0f);
  EXPECT_EQ(led->brightnessByte(), 255);
  EXPECT_NEAR(rig.manager->displays().at(1).brightness, 0.8f, 0.01f);
  dragTo(0.6f);  // back where it began: the offset is whole again
  EXPECT_NEAR(rig.manager->displays().at(0).brightness, 0.8f, 0.01f);
  EXPECT_NEAR(rig.manager->displays().at(1).brightness, 0.4f, 0.01f);
  dragTo(0.0f);  // the dimmer one stops at its end; the brighter keeps going down by the same change
  EXPECT_EQ(other->brightnessByte(), 0);
  EXPECT_NEAR(rig.manager->displays().at(0).brightness, 0.2f, 0.01f);
  sendMouse(*slider, QEvent::MouseButtonRelease, {0, 0}, Qt::NoButton);
  QCoreApplication::processEvents();
  EXPECT_EQ(all.percentLabel()->text(), QStringLiteral("9%")) << "the mean of 19.6 % and 0 %";

  rig.hid->setDevices({led});
  rig.manager->refresh();
  rig.queues->runAllMain();
  EXPECT_FALSE(all.isVisibleTo(view.get())) << "one display needs no group";
}

}  // namespace
}  // namespace lumaro::ui
