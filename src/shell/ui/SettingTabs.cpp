#include "shell/ui/SettingTabs.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGridLayout>
#include <QToolButton>

namespace shellui {

SettingTabs::SettingTabs(int count, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)), names_(static_cast<size_t>(count)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  group_->setExclusive(true);
  for (int i = 0; i < count; ++i) {
    auto* tab = new QToolButton(this);
    tab->setCheckable(true);
    tab->setAutoRaise(false);
    tab->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    tab->setMinimumWidth(tab->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM")));
    group_->addButton(tab, i);
    grid->addWidget(tab, i / kPerRow, i % kPerRow);
    tabs_.push_back(tab);
  }
  for (int column = 0; column < kPerRow; ++column) grid->setColumnStretch(column, 1);
  // The current tab in bold, so it stands out from the nine others at a glance.
  connect(group_, &QButtonGroup::idToggled, this, [this](int index, bool current) {
    QFont font = tabs_[index]->font();
    font.setBold(current);
    tabs_[index]->setFont(font);
    Elide(index);
  });
  connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
    if (onSwitch_) onSwitch_(index);
  });
}

int SettingTabs::currentIndex() const { return group_->checkedId(); }

void SettingTabs::setCurrentIndex(int index) {
  if (index >= 0 && index < static_cast<int>(tabs_.size())) tabs_[index]->setChecked(true);
}

void SettingTabs::setTabText(int index, const QString& text) {
  names_.at(index) = text;
  tabs_.at(index)->setToolTip(text);
  Elide(index);
}

void SettingTabs::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (int i = 0; i < static_cast<int>(tabs_.size()); ++i) Elide(i);
}

void SettingTabs::Elide(int index) {
  QToolButton* tab = tabs_[index];
  const int room = tab->width() - 2 * tab->fontMetrics().horizontalAdvance(QLatin1Char('M'));
  tab->setText(tab->fontMetrics().elidedText(names_[index], Qt::ElideRight, std::max(room, 0)));
}

}  // namespace shellui
