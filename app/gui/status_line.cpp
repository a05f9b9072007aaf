#include "app/gui/status_line.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "app/gui/message_box.h"

namespace tolvane {

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("statusLabel"));
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  details_ = new QPushButton(QStringLiteral("詳細(&D)..."), this);
  details_->setObjectName(QStringLiteral("detailsButton"));
  details_->setAutoDefault(false);  // Enter stays with the dialog's own button
  details_->hide();
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_, 1);
  layout->addWidget(details_, 0, Qt::AlignTop);
  // The reason in the box's own text: a box's detailed text would take a second click to show.
  connect(details_, &QPushButton::clicked, this, [this] {
    ShowMessageBox(window(), text_->text() + QStringLiteral("\n\n") + detail_,
                   QMessageBox::Warning);
  });
}

void StatusLine::Show(const QString& text, const QString& detail) {
  text_->setText(text);
  detail_ = JapaneseDetail(detail);
  details_->setVisible(!detail.isEmpty());
}

}  // namespace tolvane
