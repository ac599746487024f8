#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QsciScintilla;

namespace lexorra::shell {

// Find (and, in an editable editor, replace) under the editors: Return finds the next match,
// Shift+Return the previous one, Escape closes the bar and gives the editor its focus back.
//
//   bar->open(input, /*replace=*/true);   // Ctrl+Shift+H in the input editor
//   bar->findNext(true);
class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    void open(QsciScintilla* editor, bool replace);
    void close();
    bool findNext(bool forward);
    // Replaces the current match and moves to the next one.
    void replaceOne();
    // One undo step in the editor; the number of replacements.
    int replaceAll();
    QsciScintilla* editor() const { return m_editor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateReplaceRow(bool replace);

    QsciScintilla* m_editor = nullptr;
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QCheckBox* m_matchCase;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
    QLabel* m_state;
};

} // namespace lexorra::shell
