#include "ui/translations.hpp"

#include <QCoreApplication>

namespace lumaro::ui {

std::unique_ptr<QTranslator> installTranslation(const QLocale& locale) {
  auto translator = std::make_unique<QTranslator>();
  // Tries lumaro_de_DE, then lumaro_de, following the locale's UI languages.
  if (!translator->load(locale, QStringLiteral("lumaro"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
    return nullptr;
  }
  if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

}  // namespace lumaro::ui
