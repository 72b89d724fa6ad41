#pragma once

#include <QString>
#include <QWidget>

namespace lumaro::ui {

// One line of plain text that asks for its full width but, when the layout
// has less room, shrinks and ends in an ellipsis instead of widening the
// window. Text is always plain, never interpreted as markup.
class ElidedLabel final : public QWidget {
  Q_OBJECT

 public:
  explicit ElidedLabel(QString text = {}, QWidget* parent = nullptr);

  const QString& text() const { return text_; }
  void setText(const QString& text);
  // True when the text does not fit and is drawn shortened.
  bool isElided() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString text_;
};

}  // namespace lumaro::ui
