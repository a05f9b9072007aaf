#include "app/gui/copy_menu.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <functional>
#include <utility>

namespace tolvane {
namespace {

struct TextActions {
  std::function<bool()> hasSelection;
  std::function<void()> copy;
  std::function<void()> selectAll;
};

// Shown by popup(), not exec(): the event loop goes on, so a test can read and trigger it.
void GiveMenu(QWidget* text, TextActions actions) {
  text->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(text, &QWidget::customContextMenuRequested, text,
                   [text, actions = std::move(actions)](const QPoint& at) {
                     auto* menu = new QMenu(text);
                     menu->setObjectName(QStringLiteral("copyMenu"));
                     menu->setAttribute(Qt::WA_DeleteOnClose);
                     QAction* copy = menu->addAction(QStringLiteral("コピー"), actions.copy);
                     copy->setShortcut(QKeySequence::Copy);
                     copy->setEnabled(actions.hasSelection());
                     menu->addSeparator();
                     QAction* all =
                         menu->addAction(QStringLiteral("すべてを選択"), actions.selectAll);
                     all->setShortcut(QKeySequence::SelectAll);
                     menu->popup(text->mapToGlobal(at));
                   });
}

}  // namespace

void GiveCopyMenu(QLabel* label) {
  GiveMenu(label, {[label] { return label->hasSelectedText(); },
                   [label] {
                     // The selection ends its lines with paragraph separators; pasted text wants
                     // line feeds.
                     QString text = label->selectedText();
                     text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
                     text.replace(QChar::LineSeparator, QLatin1Char('\n'));
                     QGuiApplication::clipboard()->setText(text);
                   },
                   [label] { label->setSelection(0, static_cast<int>(label->text().size())); }});
}

void GiveCopyMenu(QPlainTextEdit* edit) {
  GiveMenu(edit, {[edit] { return edit->textCursor().hasSelection(); }, [edit] { edit->copy(); },
                  [edit] { edit->selectAll(); }});
}

}  // namespace tolvane
