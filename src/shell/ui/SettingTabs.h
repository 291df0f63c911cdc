// SettingTabs: the ten tabs of a settings page, one per setting, in two rows of five, so
// every setting's name is in view without scrolling. It keeps the full names; a name too long
// for its tab is shortened with an ellipsis and shown whole as the tab's hint. Exactly one
// tab is current and shown in bold. A click on a tab, the current one too, calls the switch
// callback with its index (0-based); setting the current tab from code does not.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QButtonGroup;
class QToolButton;

namespace shellui {

class SettingTabs : public QWidget {
 public:
  static constexpr int kPerRow = 5;

  SettingTabs(int count, QWidget* parent);

  int currentIndex() const;
  void setCurrentIndex(int index);
  void setTabText(int index, const QString& text);
  QString tabText(int index) const { return names_.at(index); }
  // Called after a click; the clicked tab already shows as current.
  void onSwitch(std::function<void(int)> callback) { onSwitch_ = std::move(callback); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Elide(int index);

  QButtonGroup* group_ = nullptr;
  std::vector<QToolButton*> tabs_;
  std::vector<QString> names_;
  std::function<void(int)> onSwitch_;
};

}  // namespace shellui
