#include "app/gui/dialog_parts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace tolvane {

QComboBox* SourceEncodingCombo(QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QStringLiteral("encodingCombo"));
  combo->addItems({QStringLiteral("Shift_JIS (cp932)"), QStringLiteral("UTF-8")});
  return combo;
}

TextEncoding ChosenEncoding(const QComboBox& combo) {
  return combo.currentIndex() == 1 ? TextEncoding::kUtf8 : TextEncoding::kCp932;
}

QHBoxLayout* ActionRow(QDialog* dialog, QPushButton* action) {
  action->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), dialog);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(action);
  row->addWidget(cancel);
  return row;
}

}  // namespace tolvane
