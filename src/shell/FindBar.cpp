#include "shell/FindBar.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace lexorra::shell {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName("findBar");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    m_find = new QLineEdit(this);
    m_find->setObjectName("findLineEdit");
    m_find->setPlaceholderText(tr("Find"));
    m_find->setAccessibleName(tr("Find"));
    m_find->setClearButtonEnabled(true);
    m_replace = new QLineEdit(this);
    m_replace->setObjectName("replaceLineEdit");
    m_replace->setPlaceholderText(tr("Replace with"));
    m_replace->setAccessibleName(tr("Replace with"));
    m_matchCase = new QCheckBox(tr("Match case"), this);
    m_matchCase->setObjectName("matchCaseCheckBox");
    auto* previous = new QToolButton(this);
    previous->setArrowType(Qt::UpArrow);
    previous->setToolTip(tr("Previous match (Shift+Return)"));
    previous->setAccessibleName(tr("Previous match"));
    auto* next = new QToolButton(this);
    next->setArrowType(Qt::DownArrow);
    next->setToolTip(tr("Next match (Return)"));
    next->setAccessibleName(tr("Next match"));
    auto* closeButton = new QToolButton(this);
    closeButton->setText("✕");
    closeButton->setToolTip(tr("Close (Escape)"));
    closeButton->setAccessibleName(tr("Close the find bar"));
    m_replaceButton = new QPushButton(tr("Replace"), this);
    m_replaceAllButton = new QPushButton(tr("Replace All"), this);
    m_replaceAllButton->setObjectName("replaceAllPushButton");
    m_state = new QLabel(this);
    m_state->setObjectName("findStateLabel");
    layout->addWidget(m_find, 0, 0);
    layout->addWidget(previous, 0, 1);
    layout->addWidget(next, 0, 2);
    layout->addWidget(m_matchCase, 0, 3);
    layout->addWidget(m_state, 0, 4);
    layout->addWidget(closeButton, 0, 5);
    layout->addWidget(m_replace, 1, 0);
    layout->addWidget(m_replaceButton, 1, 1, 1, 2);
    layout->addWidget(m_replaceAllButton, 1, 3);
    layout->setColumnStretch(0, 1);
    for (auto* edit : {m_find, m_replace})
        edit->installEventFilter(this);
    connect(previous, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    connect(m_replaceButton, &QPushButton::clicked, this, &FindBar::replaceOne);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(m_find, &QLineEdit::textEdited, this, [this] { m_state->clear(); });
    hide();
}

void FindBar::updateReplaceRow(bool replace) {
    for (QWidget* w : {static_cast<QWidget*>(m_replace), static_cast<QWidget*>(m_replaceButton),
                       static_cast<QWidget*>(m_replaceAllButton)})
        w->setVisible(replace);
}

void FindBar::open(QsciScintilla* editor, bool replace) {
    m_editor = editor;
    updateReplaceRow(replace && editor && !editor->isReadOnly());
    if (editor && editor->hasSelectedText() && !editor->selectedText().contains('\n'))
        m_find->setText(editor->selectedText());
    m_state->clear();
    show();
    m_find->setFocus();
    m_find->selectAll();
}

void FindBar::close() {
    hide();
    if (m_editor) m_editor->setFocus();
}

bool FindBar::findNext(bool forward) {
    if (!m_editor || m_find->text().isEmpty()) return false;
    int line = -1;
    int index = -1;
    if (!forward && m_editor->hasSelectedText()) {
        // Searching backwards starts before the current match, not inside it.
        int lineTo = 0;
        int indexTo = 0;
        m_editor->getSelection(&line, &index, &lineTo, &indexTo);
    }
    const bool found =
        m_editor->findFirst(m_find->text(), false, m_matchCase->isChecked(), false, true, forward, line, index);
    m_state->setText(found ? QString() : tr("Not found"));
    return found;
}

void FindBar::replaceOne() {
    if (!m_editor || m_editor->isReadOnly()) return;
    if (m_editor->hasSelectedText() &&
        m_editor->selectedText().compare(m_find->text(),
                                         m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
        m_editor->replaceSelectedText(m_replace->text());
    findNext(true);
}

int FindBar::replaceAll() {
    if (!m_editor || m_editor->isReadOnly() || m_find->text().isEmpty()) return 0;
    int count = 0;
    m_editor->beginUndoAction();
    if (m_editor->findFirst(m_find->text(), false, m_matchCase->isChecked(), false, false, true, 0, 0)) {
        do {
            m_editor->replace(m_replace->text());
            ++count;
        } while (m_editor->findNext());
    }
    m_editor->endUndoAction();
    m_state->setText(tr("%n replaced", "", count));
    return count;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == m_replace)
                replaceOne();
            else
                findNext(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lexorra::shell
