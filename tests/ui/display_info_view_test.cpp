#include "ui/display_info_view.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "ui/busy_indicator.hpp"
#include "ui_rig.hpp"

namespace lumaro::ui {
namespace {

using ::testing::ElementsAre;
using testing::UiRig;

const QString kDisclaimer = QStringLiteral("All information provided without guarantee.");
const QString kLoading = QStringLiteral("Trying to load EDID information...");
const QString kNothing = QStringLiteral("No EDID information could be found.");

class DisplayInfoViewTest : public ::testing::Test {
 protected:
  std::unique_ptr<DisplayInfoView> present(const Uuid& id, const QString& name) {
    auto view = std::make_unique<DisplayInfoView>(*rig.manager, id, name);
    view->show();
    return view;
  }

  // A row of the LED Cinema Display whose EDID the lookup can find.
  DisplayItem findableRow() {
    rig.plug(testing::ledCinema());
    rig.attachEdid(0x9226);
    rig.refreshNow();
    return rig.manager->displays().at(0);
  }

  UiRig rig;
};

TEST_F(DisplayInfoViewTest, LoadsOnAppearanceThenShowsTheEightFieldsInOrder) {
  const DisplayItem row = findableRow();
  auto view = present(row.id, QStringLiteral("LED Cinema Display"));
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Loading);
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("LED Cinema Display", kDisclaimer, kLoading));
  EXPECT_TRUE(view->findChild<BusyIndicator*>()->isAnimating());

  rig.queues->runAllGlobal();              // the lookup, on the background queue
  ASSERT_TRUE(rig.queues->runNextMain());  // the manager stores what it found
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Loading) << "the panel takes it in a main-queue step of its own";
  ASSERT_TRUE(rig.queues->runNextMain());

  ASSERT_EQ(view->content(), DisplayInfoView::Content::Details);
  const QStringList texts = testing::visibleTexts(*view);
  ASSERT_EQ(texts.size(), 2 + 16);
  EXPECT_EQ(texts.mid(0, 2), QStringList({"LED Cinema Display", kDisclaimer}));
  const QStringList titles = {texts[2], texts[4], texts[6], texts[8], texts[10], texts[12], texts[14], texts[16]};
  EXPECT_EQ(titles, QStringList({"MANUFACTURER", "PRODUCT ID", "SERIAL NUMBER", "MANUFACTURING DATE", "DIMENSIONS",
                                 "COLOR DEPTH", "CONNECTION TYPE", "HDCP SUPPORT"}));
  // Values are the decoder's strings, verbatim.
  const DisplayEDIDDetails& details = *view->details();
  EXPECT_EQ(texts[3], QString::fromStdString(details.manufacturer));
  EXPECT_EQ(texts[5], QString::fromStdString(details.productID));
  EXPECT_EQ(texts[17], QString::fromStdString(details.hdcpSupport));
  EXPECT_FALSE(view->findChild<BusyIndicator*>()->isVisible());
}

TEST_F(DisplayInfoViewTest, UnknownDisplayShowsLoadingForOneMainQueueTurnThenNothingFound) {
  // The manager answers inline for an id it does not know; the view still
  // waits for its own main-queue step.
  auto view = present(Uuid::random(), QStringLiteral("Gone"));
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Loading);
  rig.queues->runAllMain();
  EXPECT_EQ(view->content(), DisplayInfoView::Content::NothingFound);
  EXPECT_THAT(testing::visibleTexts(*view), ElementsAre("Gone", kDisclaimer, kNothing));
}

TEST_F(DisplayInfoViewTest, LookupThatFindsNothingEndsInTheNothingFoundLine) {
  rig.plug(testing::namelessCinemaHD());
  rig.refreshNow();
  auto view = present(rig.manager->displays().at(0).id, QStringLiteral("Unknown Display"));
  rig.settle();
  EXPECT_EQ(view->content(), DisplayInfoView::Content::NothingFound);
  EXPECT_FALSE(view->details().has_value());
  testing::showSpontaneously(*view);  // un-minimising is no new appearance
  EXPECT_EQ(rig.queues->pendingGlobal(), 0u);
}

TEST_F(DisplayInfoViewTest, ComingOnScreenAgainWhileLoadingStartsNoSecondLoad) {
  const DisplayItem row = findableRow();
  auto view = present(row.id, QStringLiteral("LED Cinema Display"));
  view->hide();
  view->show();
  EXPECT_EQ(rig.queues->pendingGlobal(), 1u);
  rig.settle();
  EXPECT_EQ(rig.linesStartingWith("RarudoRuroravOduradadur: Fetching EDID"), 1);
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Details);
}

TEST_F(DisplayInfoViewTest, ResultArrivingAfterThePanelWasClosedIsDropped) {
  const DisplayItem row = findableRow();
  auto view = present(row.id, QStringLiteral("LED Cinema Display"));
  view.reset();
  rig.settle();  // the completion's step finds no panel and does nothing
  EXPECT_TRUE(rig.manager->displays().at(0).details.has_value()) << "the manager still keeps what it found";
}

TEST_F(DisplayInfoViewTest, TitleFallsBackOnlyForAnEmptyName) {
  auto unnamed = present(Uuid::random(), QString());
  auto markup = present(Uuid::random(), QStringLiteral("<b>Cinema</b>"));
  rig.settle();
  EXPECT_EQ(testing::visibleTexts(*unnamed).front(), "Display Information");
  // Names are shown verbatim, never as markup.
  EXPECT_EQ(testing::visibleTexts(*markup).front(), "<b>Cinema</b>");
}

}  // namespace
}  // namespace lumaro::ui
