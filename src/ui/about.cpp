#include "ui/about.hpp"

#ifndef LUMARO_VERSION
#define LUMARO_VERSION "0.0.0"
#endif

namespace lumaro::ui {

QString productPageUrl() { return QString::fromLatin1(kWebHost) + QString::fromLatin1(kProductPagePath); }

QString applicationVersion() { return QStringLiteral(LUMARO_VERSION); }

}  // namespace lumaro::ui
