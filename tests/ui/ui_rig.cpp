#include "ui_rig.hpp"

#include <QCoreApplication>
#include <QLabel>
#include <QShowEvent>
#include <QTest>
#include <QTextDocumentFragment>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "ui/elided_label.hpp"

namespace lumaro::testing {

void showSpontaneously(QWidget& widget) {
  QShowEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  static_cast<QObject&>(widget).event(&event);  // sendEvent would clear the mark
}

QStringList visibleTexts(const QWidget& root) {
  struct Placed {
    QPoint at;
    QString text;
  };
  // Pending layout passes first, so positions reflect what is shown now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  std::vector<Placed> placed;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&root)) continue;
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      text = label->textFormat() == Qt::RichText ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                                 : label->text();
    } else if (const auto* elided = qobject_cast<const ui::ElidedLabel*>(widget)) {
      text = elided->text();
    }
    if (text.isEmpty()) continue;
    placed.push_back({widget->mapTo(&root, QPoint(0, widget->height() / 2)), text});
  }
  // Reading order: by vertical centre, with texts whose centres lie within a
  // few pixels of each other read as one line, left to right.
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.at.y() < b.at.y(); });
  constexpr int kSameLine = 6;
  for (auto line = placed.begin(); line != placed.end();) {
    auto end = std::find_if(line, placed.end(), [&](const Placed& p) { return p.at.y() - line->at.y() > kSameLine; });
    std::stable_sort(line, end, [](const Placed& a, const Placed& b) { return a.at.x() < b.at.x(); });
    line = end;
  }
  QStringList texts;
  for (const Placed& p : placed) texts << p.text;
  return texts;
}

}  // namespace lumaro::testing
