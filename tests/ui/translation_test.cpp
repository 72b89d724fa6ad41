#include "ui/translations.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QToolButton>

#include "ui/content_view.hpp"
#include "ui/display_info_view.hpp"
#include "ui/display_row.hpp"
#include "ui/lumaro_window.hpp"
#include "ui/menu_toggle.hpp"
#include "ui_rig.hpp"

namespace lumaro::ui {
namespace {

using ::testing::ElementsAre;

TEST(Translation, GermanLocaleShowsTheGermanTextsALanguageWithoutATranslationTheTextsAsWritten) {
  EXPECT_EQ(installTranslation(QLocale(QLocale::Japanese, QLocale::Japan)), nullptr);
  auto translator = installTranslation(QLocale(QLocale::German, QLocale::Germany));
  ASSERT_NE(translator, nullptr);
  testing::UiRig rig;
  rig.plug(testing::ledCinema());

  LumaroWindow window(rig.manager);
  EXPECT_EQ(window.refreshButton()->toolTip(), QString::fromUtf8("Aktualisieren"));
  EXPECT_EQ(window.quitButton()->toolTip(), QString::fromUtf8("Beenden"));

  window.show();
  rig.settle();
  const DisplayRow& row = *window.contentView()->rows().at(0);
  EXPECT_EQ(row.infoButton()->toolTip(), QString::fromUtf8("Displayinformationen anzeigen"));
  EXPECT_EQ(row.infoButton()->accessibleName(), QString::fromUtf8("Informationen zu LED Cinema Display anzeigen"));
  EXPECT_TRUE(DisplayRow::brightnessFailureText(BrightnessFailure::kNotPrivileged).startsWith("Keine Berechtigung"));
  // Menu entries built outside the shell are looked up under the shell's name.
  EXPECT_EQ(startAtLoginToggle({}, {}).text, QString::fromUtf8("Bei Anmeldung starten"));
  // A display the rule does not list: the reason names the line that grants it.
  DisplayItem unlisted;
  unlisted.vendorID = 0x1D5C;
  unlisted.productID = 0x7010;
  unlisted.brightnessFailure = BrightnessFailure::kNotPrivileged;
  EXPECT_TRUE(DisplayRow::brightnessFailureText(unlisted).endsWith(
      R"(: SUBSYSTEM=="hidraw", ATTRS{idVendor}=="1d5c", ATTRS{idProduct}=="7010", TAG+="uaccess")"));

  // Field titles and the fallback title are shown as written in every language.
  DisplayInfoView info(*rig.manager, Uuid::random(), QString());
  info.show();
  rig.settle();
  EXPECT_THAT(testing::visibleTexts(info),
              ElementsAre("Display Information", QString::fromUtf8("Alle Angaben ohne Gewähr."),
                          QString::fromUtf8("Es konnten keine EDID-Informationen gefunden werden.")));
}

}  // namespace
}  // namespace lumaro::ui
