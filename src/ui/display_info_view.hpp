#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "display_control/records/records.hpp"

class QLabel;

namespace lumaro {
class LumaroManager;
}

namespace lumaro::ui {

class BusyIndicator;
class InfoRow;

// The information panel of one display: its name, a disclaimer, and then the
// loading line, the eight EDID fields, or a line saying nothing was found.
// Each time it comes on screen it takes the details the manager's row already
// holds, or asks the manager to load them, with at most one load outstanding.
class DisplayInfoView final : public QWidget {
  Q_OBJECT

 public:
  enum class Content { Loading, Details, NothingFound };

  // `displayName` is shown verbatim; an empty one gives a generic title.
  DisplayInfoView(LumaroManager& manager, Uuid displayID, const QString& displayName, QWidget* parent = nullptr);
  ~DisplayInfoView() override;

  const Uuid& displayID() const { return displayID_; }
  bool isLoading() const { return isLoading_; }
  const std::optional<DisplayEDIDDetails>& details() const { return details_; }
  Content content() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void loadOnAppearance();
  void deliver(std::optional<DisplayEDIDDetails> result);
  void render();

  LumaroManager& manager_;
  Uuid displayID_;

  std::optional<DisplayEDIDDetails> details_;
  bool isLoading_ = false;

  QWidget* loadingLine_;
  BusyIndicator* spinner_;
  std::array<InfoRow*, 8> rows_{};
  QLabel* nothingFound_;
};

}  // namespace lumaro::ui
