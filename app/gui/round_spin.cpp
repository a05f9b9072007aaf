#include "app/gui/round_spin.h"

#include <QToolButton>
#include <algorithm>
#include <utility>

#include "app/gui/round_edit.h"

namespace tolvane {

QString GroupedNumber(int value) {
  const QString digits =
      QString::number(static_cast<long long>(value) < 0 ? -static_cast<long long>(value)
                                                        : static_cast<long long>(value));
  QString grouped;
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped.append(QLatin1Char(','));
    }
    grouped.append(digits[i]);
  }
  return value < 0 ? QLatin1Char('-') + grouped : grouped;
}

RoundSpin::RoundSpin(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  for (QToolButton* button : {up_, down_}) {
    button->setFocusPolicy(Qt::NoFocus);  // the focus stays in the buddy edit
    button->setAutoRepeat(true);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setObjectName(QStringLiteral("up"));
  down_->setObjectName(QStringLiteral("down"));
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void RoundSpin::SetBuddy(RoundEdit* buddy) {
  if (buddy_ != nullptr) {
    disconnect(buddy_, &RoundEdit::StepRequested, this, nullptr);
  }
  buddy_ = buddy;
  if (buddy_ != nullptr) {
    connect(buddy_, &RoundEdit::StepRequested, this, &RoundSpin::Step);
  }
}

void RoundSpin::SetDeltaPosHandler(DeltaPosHandler handler) { handler_ = std::move(handler); }

void RoundSpin::SetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
}

void RoundSpin::SetPos(int pos) {
  pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
  WriteBuddy();
}

int RoundSpin::GetPos() {
  TakeUpBuddyNumber();
  return pos_;
}

void RoundSpin::Step(int direction) {
  TakeUpBuddyNumber();
  int delta = direction;
  if (handler_ && handler_(pos_, delta)) {
    return;
  }
  // At an end the position stays and the buddy is left with whatever the handler wrote.
  const long long wanted = static_cast<long long>(pos_) + delta;
  const int next = static_cast<int>(
      std::clamp<long long>(wanted, std::min(lower_, upper_), std::max(lower_, upper_)));
  if (next == pos_) {
    return;
  }
  pos_ = next;
  WriteBuddy();
}

bool RoundSpin::TakeUpBuddyNumber() {
  if (buddy_ == nullptr) {
    return false;
  }
  QString text = buddy_->text();
  text.remove(QLatin1Char(','));
  bool ok = false;
  const int value = text.isEmpty() ? 0 : text.toInt(&ok);
  if (!text.isEmpty() && !ok) {
    return false;
  }
  if (value < std::min(lower_, upper_) || value > std::max(lower_, upper_)) {
    return false;
  }
  pos_ = value;
  return true;
}

void RoundSpin::WriteBuddy() {
  if (buddy_ != nullptr) {
    buddy_->WriteText(GroupedNumber(pos_));
  }
}

void RoundSpin::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace tolvane
