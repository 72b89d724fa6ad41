#include "ui/info_row.hpp"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/text_styles.hpp"

namespace lumaro::ui {

InfoRow::InfoRow(const QString& title, const QString& value, QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), value_(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  // QString::toUpper is the plain, locale-independent mapping.
  title_->setTextFormat(Qt::PlainText);
  title_->setText(title.toUpper());
  title_->setFont(styles::caption2(font()));
  styles::makeSecondary(*title_);

  // Values come from the display and must never be read as markup.
  value_->setTextFormat(Qt::PlainText);
  value_->setText(value);
  value_->setFont(styles::caption(font()));
  value_->setWordWrap(true);
  value_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  layout->addWidget(title_);
  layout->addWidget(value_);
  setAccessibleName(title);
}

void InfoRow::setValue(const QString& value) { value_->setText(value); }

QString InfoRow::shownTitle() const { return title_->text(); }

QString InfoRow::shownValue() const { return value_->text(); }

}  // namespace lumaro::ui
