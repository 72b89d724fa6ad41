#include "ui/display_info_view.hpp"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

#include "model/lumaro_manager.hpp"
#include "ui/busy_indicator.hpp"
#include "ui/info_row.hpp"
#include "ui/text_styles.hpp"

namespace lumaro::ui {
namespace {

constexpr int kMinimumWidth = 260;
constexpr int kSpacing = 12;
constexpr qreal kSpinnerScale = 0.7;

// Field titles are shown verbatim (upper-cased), not translated.
struct Field {
  const char* title;
  std::string DisplayEDIDDetails::*value;
};
constexpr std::array<Field, 8> kFields = {{
    {"Manufacturer", &DisplayEDIDDetails::manufacturer},
    {"Product ID", &DisplayEDIDDetails::productID},
    {"Serial Number", &DisplayEDIDDetails::serialNumber},
    {"Manufacturing Date", &DisplayEDIDDetails::manufactureDate},
    {"Dimensions", &DisplayEDIDDetails::dimensions},
    {"Color Depth", &DisplayEDIDDetails::colorDepth},
    {"Connection Type", &DisplayEDIDDetails::connectionType},
    {"HDCP Support", &DisplayEDIDDetails::hdcpSupport},
}};

QLabel* secondaryCaption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setFont(styles::caption(parent->font()));
  label->setWordWrap(true);
  styles::makeSecondary(*label);
  return label;
}

}  // namespace

DisplayInfoView::DisplayInfoView(LumaroManager& manager, Uuid displayID, const QString& displayName, QWidget* parent)
    : QWidget(parent), manager_(manager), displayID_(displayID) {
  setMinimumWidth(kMinimumWidth);
  auto* root = new QVBoxLayout(this);
  root->setSpacing(kSpacing);
  root->setAlignment(Qt::AlignTop);

  auto* title = new QLabel(displayName.isEmpty() ? QStringLiteral("Display Information") : displayName, this);
  title->setTextFormat(Qt::PlainText);
  title->setFont(styles::headline(font()));
  title->setWordWrap(true);
  root->addWidget(title);

  root->addWidget(secondaryCaption(tr("All information provided without guarantee."), this));

  auto* divider = new QFrame(this);
  divider->setObjectName(QStringLiteral("divider"));
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  root->addWidget(divider);

  loadingLine_ = new QWidget(this);
  auto* loading = new QHBoxLayout(loadingLine_);
  loading->setContentsMargins(0, 8, 0, 8);
  spinner_ = new BusyIndicator(kSpinnerScale, loadingLine_);
  loading->addWidget(spinner_, 0, Qt::AlignVCenter);
  loading->addWidget(secondaryCaption(tr("Trying to load EDID information..."), loadingLine_), 1, Qt::AlignVCenter);
  root->addWidget(loadingLine_);

  // The rows are direct children of the root stack so they share its spacing.
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    rows_[i] = new InfoRow(QString::fromLatin1(kFields[i].title), QString(), this);
    root->addWidget(rows_[i]);
  }

  nothingFound_ = secondaryCaption(tr("No EDID information could be found."), this);
  root->addWidget(nothingFound_);

  render();
}

DisplayInfoView::~DisplayInfoView() = default;

DisplayInfoView::Content DisplayInfoView::content() const {
  if (isLoading_) return Content::Loading;
  return details_ ? Content::Details : Content::NothingFound;
}

void DisplayInfoView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window-system re-show (say, after un-minimising) is not a new appearance.
  if (!event->spontaneous()) loadOnAppearance();
}

void DisplayInfoView::loadOnAppearance() {
  for (const DisplayItem& row : manager_.displays()) {
    if (row.id != displayID_) continue;
    if (row.details) {
      details_ = row.details;
      render();
      return;
    }
    break;
  }
  if (isLoading_) return;  // one load outstanding is enough
  isLoading_ = true;
  render();

  // The completion may run on a background thread, or inline right here. It
  // only queues the result on the main queue; the view may be gone by then,
  // which the guard tells on the main thread.
  manager_.loadEDIDDetails(displayID_, [queues = manager_.queues(), guard = QPointer<DisplayInfoView>(this)](
                                           std::optional<DisplayEDIDDetails> result) mutable {
    queues->asyncMain([guard = std::move(guard), result = std::move(result)]() mutable {
      if (guard) guard->deliver(std::move(result));
    });
  });
}

void DisplayInfoView::deliver(std::optional<DisplayEDIDDetails> result) {
  details_ = std::move(result);
  isLoading_ = false;
  render();
}

void DisplayInfoView::render() {
  const Content shown = content();
  loadingLine_->setVisible(shown == Content::Loading);
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    if (shown == Content::Details) rows_[i]->setValue(QString::fromStdString((*details_).*(kFields[i].value)));
    rows_[i]->setVisible(shown == Content::Details);
  }
  nothingFound_->setVisible(shown == Content::NothingFound);
  // A popover sizes itself to its content; let it follow state changes.
  if (QWidget* window = this->window(); window != this && window->isVisible()) window->adjustSize();
}

}  // namespace lumaro::ui
