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

using ::testing::ElementsAre;
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

  UiRig rig;
  std::unique_ptr<ContentView> view;
};

TEST_F(ContentViewTest, EmptyListShowsOnlyTheEmptyLineWhoseButtonRefreshesOnce) {
  open();
  EXPECT_EQ(rig.refreshes(), 1) << "the list refreshes as it comes on screen";
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("No Apple Cinema Displays found."));
  QToolButton* refresh = view->emptyStateRefreshButton();
  EXPECT_TRUE(refresh->toolTip().isEmpty());
  EXPECT_EQ(refresh->accessibleName(), "Refresh") << "without a tooltip, a screen reader still needs its purpose";

  QTest::mouseClick(refresh, Qt::LeftButton);
  EXPECT_EQ(rig.refreshes(), 2);
}

TEST_F(ContentViewTest, RowsShowNameAndPercentageInDetectionOrder) {
  rig.plug(testing::ledCinema(255));
  rig.plug(testing::namelessCinemaHD(0));
  open();

  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("LED Cinema Display", "100%", "Unknown Display", "0%"));
  EXPECT_FALSE(view->emptyState()->isVisible());
  EXPECT_EQ(row(0).infoButton()->toolTip(), "Show display information");
  EXPECT_EQ(row(0).infoButton()->accessibleName(), "Show information for LED Cinema Display");
  EXPECT_EQ(row(1).slider()->accessibleName(), "Brightness for Unknown Display");
}

// A stand-in brightness never passes for the display's: no percentage, no
// slider to move, and a reason; the next refresh that reads it restores all.
TEST_F(ContentViewTest, ARowWhoseBrightnessWasNotReadSaysWhyInsteadOfAPercentage) {
  auto display = rig.plug(testing::ledCinema(255));
  display->failOpen(hid::kIOReturnNotPrivileged);
  open();
  EXPECT_THAT(
      testing::visibleTexts(*view),
      ElementsAre("LED Cinema Display", "–", DisplayRow::brightnessFailureText(BrightnessFailure::kNotPrivileged)));
  EXPECT_FALSE(row(0).slider()->isVisible());
  EXPECT_TRUE(row(0).infoButton()->isEnabled());

  display->failOpen(hid::kIOReturnSuccess);
  rig.refreshNow();
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("LED Cinema Display", "100%"));
  EXPECT_TRUE(row(0).slider()->isVisible());
  EXPECT_TRUE(row(0).slider()->isEnabled());
}

// 254/255 is 99.6%: shown as 99%, never rounded up; the slider keeps the finer step.
TEST_F(ContentViewTest, PercentIsTruncatedAndSliderPositionRounded) {
  rig.plug(testing::ledCinema(254));
  open();
  EXPECT_EQ(row(0).percentLabel()->text(), "99%");
  EXPECT_EQ(row(0).slider()->value(), 9961);
}

TEST_F(ContentViewTest, DragSendsOneWriteForEveryValueAndSurvivesEveryPublish) {
  auto led = rig.plug(testing::ledCinema(128));
  auto other = rig.plug(testing::namelessCinemaHD(64));
  open();
  DisplayRow* dragged = &row(0);
  QSlider* slider = dragged->slider();
  const std::vector<DisplayRow*> rowsBefore = view->rows();
  const int callsBefore = rig.brightnessCalls();

  QPoint at = handleCentre(*slider);
  sendMouse(*slider, QEvent::MouseButtonPress, at, Qt::LeftButton);
  ASSERT_TRUE(slider->isSliderDown());
  ASSERT_EQ(rig.brightnessCalls(), callsBefore) << "grabbing the handle changes nothing";
  for (int step = 0; step < 50; ++step) {
    at.rx() -= 2;
    sendMouse(*slider, QEvent::MouseMove, at, Qt::LeftButton);
    // Each accepted write is published before the next move; the row must be
    // updated in place, keeping the very slider the pointer holds.
    rig.queues->runAllMain();
    ASSERT_EQ(view->rows(), rowsBefore);
    ASSERT_TRUE(slider->isSliderDown()) << "drag interrupted at step " << step;
  }
  sendMouse(*slider, QEvent::MouseButtonRelease, at, Qt::NoButton);

  EXPECT_EQ(rig.brightnessCalls() - callsBefore, 50);
  ASSERT_EQ(led->reportsWritten().size(), 50u) << "every call reached the dragged row's display";
  EXPECT_TRUE(other->reportsWritten().empty());
  // The model holds the last value dragged to, and the slider stays there.
  const float last = DisplayRow::sliderValue(slider->value());
  EXPECT_LT(last, 128.0f / 255.0f);
  EXPECT_EQ(rig.manager->displays().at(0).brightness, last);
  EXPECT_EQ(led->reportsWritten().back().at(1), static_cast<int>(last * 255.0f));
}

TEST_F(ContentViewTest, HeldSliderIgnoresPublishesAndSnapsBackToTheModelOnRelease) {
  auto led = rig.plug(testing::ledCinema(128));
  rig.plug(testing::namelessCinemaHD(64));
  open();
  led->failSetReport(hid::kIOReturnError);  // refused once; not a permission the row must show
  QSlider* slider = row(0).slider();
  QPoint at = handleCentre(*slider);
  sendMouse(*slider, QEvent::MouseButtonPress, at, Qt::LeftButton);
  at.rx() += 40;
  sendMouse(*slider, QEvent::MouseMove, at, Qt::LeftButton);
  const int held = slider->value();
  const int published = DisplayRow::sliderPosition(128.0f / 255.0f);
  ASSERT_NE(held, published);
  // Another row's change publishes the list, the held row's rejected value with it.
  rig.manager->setBrightness(rig.manager->displays().at(1).id, 0.25f);
  rig.queues->runAllMain();
  EXPECT_EQ(slider->value(), held) << "a publish moved the slider under the pointer";

  sendMouse(*slider, QEvent::MouseButtonRelease, at, Qt::NoButton);
  const int calls = rig.brightnessCalls();
  QCoreApplication::processEvents();  // the release hands the slider back to the model
  EXPECT_EQ(slider->value(), published);
  EXPECT_EQ(row(0).percentLabel()->text(), "50%");
  EXPECT_EQ(rig.brightnessCalls(), calls) << "snapping back writes nothing";
}

// A key, wheel or page step is never held: its rejection must show at once.
TEST_F(ContentViewTest, RejectedStepSnapsBackToThePublishedValue) {
  auto led = rig.plug(testing::ledCinema(128));
  open();
  // A plain I/O error: the row stays as it was, only the value is refused.
  led->failSetReport(hid::kIOReturnError);
  QSlider* slider = row(0).slider();
  QTest::keyClick(slider, Qt::Key_Right);
  ASSERT_EQ(rig.brightnessCalls(), 1);
  rig.settle();
  QCoreApplication::processEvents();  // the row's own step hands the slider back to the model
  EXPECT_EQ(slider->value(), DisplayRow::sliderPosition(128.0f / 255.0f));
  EXPECT_EQ(row(0).percentLabel()->text(), "50%");
  EXPECT_EQ(rig.brightnessCalls(), 1) << "snapping back writes nothing";
}

TEST_F(ContentViewTest, KeyboardStepsWriteThroughTheRowId) {
  auto led = rig.plug(testing::ledCinema(0));
  open();
  QTest::keyClick(row(0).slider(), Qt::Key_Right);
  QTest::keyClick(row(0).slider(), Qt::Key_PageUp);
  // Bounded: a slider that echoed the published values back would write
  // forever, each publish undoing the one before.
  for (int turn = 0; turn < 10 && rig.queues->runNextMain(); ++turn) {
  }
  EXPECT_EQ(rig.queues->pendingMain(), 0u);
  EXPECT_EQ(rig.brightnessCalls(), 2);
  // One step is 1%, a page 10%: 0.11 of 255 truncates to 28.
  ASSERT_EQ(led->reportsWritten().size(), 2u);
  EXPECT_EQ(led->reportsWritten().back().at(1), 28);
  EXPECT_EQ(row(0).percentLabel()->text(), "11%");
}

TEST_F(ContentViewTest, RefreshReplacesEveryRowAndFollowsTheNewOrder) {
  rig.plug(testing::ledCinema(255));
  rig.plug(testing::namelessCinemaHD(0));
  open();
  const std::vector<DisplayRow*> first = view->rows();

  auto reversed = rig.hid->copyDevices().value();
  std::reverse(reversed.begin(), reversed.end());
  rig.hid->setDevices(reversed);
  rig.refreshNow();
  QCoreApplication::processEvents();  // let the replaced rows go

  ASSERT_EQ(view->rows().size(), 2u);
  EXPECT_NE(view->rows()[0], first[0]) << "a refresh gives every display a new id";
  EXPECT_NE(view->rows()[0], first[1]);
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("Unknown Display", "0%", "LED Cinema Display", "100%"));

  rig.hid->setDevices({});
  rig.refreshNow();
  EXPECT_TRUE(view->rows().empty());
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("No Apple Cinema Displays found."));
}

TEST_F(ContentViewTest, InfoButtonsShareOnePopoverBesideTheWholeList) {
  rig.plug(testing::ledCinema());
  rig.plug(testing::namelessCinemaHD());
  open();

  QTest::mouseClick(row(0).infoButton(), Qt::LeftButton);
  QPointer<InfoPopover> first = view->popover();
  ASSERT_TRUE(first && first->isVisible());
  EXPECT_EQ(view->selectedDisplayForInfo()->id, row(0).id());
  EXPECT_EQ(testing::visibleTexts(*first->content()).front(), "LED Cinema Display");
  const QPoint firstAt = first->pos();

  view->openInfo(row(1).item());
  QCoreApplication::processEvents();
  EXPECT_TRUE(first.isNull()) << "the earlier popover is gone";
  ASSERT_NE(view->popover(), nullptr);
  EXPECT_EQ(view->selectedDisplayForInfo()->id, row(1).id());
  EXPECT_EQ(view->popover()->content()->displayID(), row(1).id());
  // Anchored to the list, not to the row: the same place for either row,
  // clear of the list.
  EXPECT_EQ(view->popover()->pos(), firstAt);
  EXPECT_FALSE(
      QRect(firstAt, view->popover()->size()).intersects(QRect(view->mapToGlobal(QPoint(0, 0)), view->size())));

  view->popover()->close();
  EXPECT_FALSE(view->selectedDisplayForInfo().has_value()) << "dismissal clears the selection";

  view->openInfo(row(0).item());
  QPointer<InfoPopover> again = view->popover();
  view->hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(again.isNull()) << "the list leaving the screen takes the popover with it";
  EXPECT_FALSE(view->selectedDisplayForInfo().has_value());
}

TEST_F(ContentViewTest, PopoverIsPlacedAgainWhenItsRowsArrive) {
  rig.plug(testing::ledCinema());
  rig.attachEdid(0x9226);
  open();
  // Low on the screen: the loading line fits below the list's top, the eight
  // rows do not.
  const QRect available = view->screen()->availableGeometry();
  view->move(0, available.bottom() - view->height() - 40);
  view->openInfo(row(0).item());
  InfoPopover* popover = view->popover();
  const int loadingHeight = popover->height();
  rig.settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  ASSERT_GT(popover->height(), loadingHeight + 100) << "the rows did not load";
  EXPECT_TRUE(available.contains(popover->geometry())) << "grew off the screen";
}

TEST_F(ContentViewTest, InfoOpensWithTheFreshestCopyOfTheRow) {
  rig.plug(testing::ledCinema());
  rig.attachEdid(0x9226);
  open();
  const DisplayItem drawn = row(0).item();
  ASSERT_FALSE(drawn.details.has_value());
  rig.manager->loadEDIDDetails(drawn.id, [](auto) {});
  rig.queues->runAll();

  view->openInfo(drawn);
  ASSERT_TRUE(view->selectedDisplayForInfo()->details.has_value());
  EXPECT_EQ(view->popover()->content()->content(), DisplayInfoView::Content::Details);
  EXPECT_EQ(rig.queues->pendingGlobal(), 0u) << "details already loaded need no lookup";
}

TEST_F(ContentViewTest, InfoForARowThatLeftTheListOpensForTheRowAsDrawn) {
  rig.plug(testing::ledCinema());
  open();
  const DisplayItem drawn = row(0).item();
  rig.hid->setDevices({});
  rig.refreshNow();
  ASSERT_TRUE(view->rows().empty());

  view->openInfo(drawn);
  ASSERT_NE(view->popover(), nullptr);
  EXPECT_TRUE(view->popover()->isVisible());
  EXPECT_EQ(view->selectedDisplayForInfo(), drawn);
  rig.settle();
  EXPECT_EQ(view->popover()->content()->content(), DisplayInfoView::Content::NothingFound);
}

}  // namespace
}  // namespace lumaro::ui
