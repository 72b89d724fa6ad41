#include "ui/lumaro_window.hpp"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/lumaro_manager.hpp"
#include "ui/about.hpp"
#include "ui/content_view.hpp"
#include "ui/symbol_icons.hpp"
#include "ui/text_styles.hpp"

namespace lumaro::ui {
namespace {

constexpr qreal kAboutPointSize = 9.0;
constexpr QSize kFooterIconSize(16, 16);

QToolButton* footerButton(const char* symbol, const QString& help, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setIcon(symbolIcon(QString::fromLatin1(symbol), *parent));
  button->setIconSize(kFooterIconSize);
  button->setToolTip(help);
  button->setAccessibleName(help);
  return button;
}

}  // namespace

LumaroWindow::LumaroWindow(std::shared_ptr<LumaroManager> manager, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), manager_(std::move(manager)) {
  setWindowTitle(tr("Lumaro"));
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSizeConstraint(QLayout::SetFixedSize);

  auto* listArea = new QVBoxLayout;
  listArea->setContentsMargins(0, 8, 0, 8);
  content_ = new ContentView(*manager_, this);
  content_->setFixedWidth(kListWidth);
  listArea->addWidget(content_, 0, Qt::AlignHCenter);
  root->addLayout(listArea);

  auto* divider = new QFrame(this);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  root->addWidget(divider);

  auto* footer = new QHBoxLayout;
  const int horizontal = style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, this);
  const int bottom = style()->pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, this);
  footer->setContentsMargins(horizontal, 0, horizontal, bottom);

  refresh_ = footerButton(symbols::kArrowClockwise, tr("Refresh"), this);
  refresh_->setObjectName(QStringLiteral("refreshButton"));
  footer->addWidget(refresh_, 0, Qt::AlignVCenter);

  auto* about = new QWidget(this);
  auto* aboutLayout = new QVBoxLayout(about);
  aboutLayout->setContentsMargins(0, 0, 0, 0);
  aboutLayout->setSpacing(0);
  about->setFont(styles::footnote(font(), kAboutPointSize));
  styles::makeSecondary(*about);
  aboutTitle_ = new QLabel(tr("Lumaro") + QLatin1Char(' ') + applicationVersion(), about);
  aboutTitle_->setTextFormat(Qt::PlainText);
  aboutLayout->addWidget(aboutTitle_);
  // The link keeps its own colour and weight inside the secondary block.
  infoLink_ = new QLabel(about);
  infoLink_->setObjectName(QStringLiteral("infoLink"));
  infoLink_->setTextFormat(Qt::RichText);
  infoLink_->setText(QStringLiteral("<a href=\"%1\" style=\"color:%2; font-weight:600; text-decoration:none\">%3</a>")
                         .arg(productPageUrl(), styles::link(palette()).name(), tr("Info").toHtmlEscaped()));
  infoLink_->setOpenExternalLinks(true);
  infoLink_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  infoLink_->setAccessibleName(tr("Info"));
  aboutLayout->addWidget(infoLink_);
  footer->addWidget(about, 0, Qt::AlignVCenter);

  footer->addStretch(1);

  quit_ = footerButton(symbols::kPower, tr("Quit"), this);
  quit_->setObjectName(QStringLiteral("quitButton"));
  footer->addWidget(quit_, 0, Qt::AlignVCenter);
  root->addLayout(footer);

  connect(refresh_, &QToolButton::clicked, this, [this] { manager_->refresh(); });
  connect(quit_, &QToolButton::clicked, this, &LumaroWindow::quitRequested);
  connect(content_, &ContentView::rowsChanged, this, &LumaroWindow::arrangeFocus);
  arrangeFocus();
}

void LumaroWindow::arrangeFocus() {
  // Rows come and go; without this, new ones would join the chain after Quit.
  QList<QWidget*> chain = content_->focusChain();
  chain << refresh_ << infoLink_ << quit_;
  for (qsizetype i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
  // Rows usually arrive just after the window opens: the first publish after
  // opening puts the focus on the first of them.
  if (focusFirstPending_ && isVisible()) {
    focusFirstPending_ = false;
    chain.front()->setFocus(Qt::OtherFocusReason);
  }
}

void LumaroWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  focusFirstPending_ = true;
  content_->focusChain().front()->setFocus(Qt::OtherFocusReason);
  // The list refreshes as it comes on screen; a second refresh here would
  // read every display twice.
}

void LumaroWindow::keyPressEvent(QKeyEvent* event) {
  // Escape dismisses the tray popup like a menu; an ordinary window keeps
  // its usual behaviour.
  if (event->key() == Qt::Key_Escape && windowFlags().testFlag(Qt::Popup)) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace lumaro::ui
