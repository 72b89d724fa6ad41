#include "ui/display_info_view.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "ui/busy_indicator.hpp"
#include "ui_rig.hpp"

namespace lumaro::ui {
namespace {

using ::testing::ElementsAre;
using testing::UiRig;

const QString kDisclaimer = QStringLiteral("All information provided without guarantee.");

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

TEST_F(DisplayInfoViewTest, LoadsOnceOnAppearanceThenShowsTheEightFieldsInOrder) {
  const DisplayItem row = findableRow();
  auto view = present(row.id, QStringLiteral("LED Cinema Display"));
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Loading);
  EXPECT_THAT(testing::visibleTexts(*view),
              ElementsAre("LED Cinema Display", kDisclaimer, "Trying to load EDID information..."));
  EXPECT_TRUE(view->findChild<BusyIndicator*>()->isAnimating());
  view->hide();
  view->show();
  EXPECT_EQ(rig.queues->pendingGlobal(), 1u) << "coming on screen again while loading starts no second load";

  rig.queues->runAllGlobal();              // the lookup, on the background queue
  ASSERT_TRUE(rig.queues->runNextMain());  // the manager stores what it found
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Loading) << "the panel takes it in a main-queue step of its own";
  ASSERT_TRUE(rig.queues->runNextMain());

  ASSERT_EQ(view->content(), DisplayInfoView::Content::Details);
  // Titles as written, values the decoder's strings verbatim.
  const DisplayEDIDDetails found = testing::ManagerRig::attachedEdidDetails();
  const auto value = [](const std::string& text) { return QString::fromStdString(text); };
  EXPECT_EQ(testing::visibleTexts(*view),
            QStringList({"LED Cinema Display", kDisclaimer, "MANUFACTURER", value(found.manufacturer), "PRODUCT ID",
                         value(found.productID), "SERIAL NUMBER", value(found.serialNumber), "MANUFACTURING DATE",
                         value(found.manufactureDate), "DIMENSIONS", value(found.dimensions), "COLOR DEPTH",
                         value(found.colorDepth), "CONNECTION TYPE", value(found.connectionType), "HDCP SUPPORT",
                         value(found.hdcpSupport)}));
  EXPECT_FALSE(view->findChild<BusyIndicator*>()->isVisible());
}

TEST_F(DisplayInfoViewTest, UnknownDisplayShowsLoadingForOneMainQueueTurnThenNothingFound) {
  // The manager answers inline for an id it does not know; the view still
  // waits for its own main-queue step.
  auto view = present(Uuid::random(), QStringLiteral("<b>Cinema</b>"));
  EXPECT_EQ(view->content(), DisplayInfoView::Content::Loading);
  rig.queues->runAllMain();
  EXPECT_EQ(view->content(), DisplayInfoView::Content::NothingFound);
  // Names are shown verbatim, never as markup.
  EXPECT_THAT(testing::visibleTexts(*view),
              ElementsAre("<b>Cinema</b>", kDisclaimer, "No EDID information could be found."));
  testing::showSpontaneously(*view);
  EXPECT_EQ(view->content(), DisplayInfoView::Content::NothingFound) << "un-minimising is no new appearance";
}

TEST_F(DisplayInfoViewTest, ResultArrivingAfterThePanelWasClosedIsDropped) {
  const DisplayItem row = findableRow();
  auto view = present(row.id, QStringLiteral("LED Cinema Display"));
  view.reset();
  rig.settle();  // the completion's step finds no panel and does nothing
  EXPECT_TRUE(rig.manager->displays().at(0).details.has_value()) << "the manager still keeps what it found";
}

}  // namespace
}  // namespace lumaro::ui
