#pragma once

#include "core/WorkflowRuns.h"

#include <QFrame>

#include <optional>

class QLabel;

namespace lexorra::shell {

class PreviewLabel;

// A step's card in the workflow editor. The editor fills in the header and the options; the
// card adds the step's outcome in the latest run (the start of its output, its size and time,
// a flag when the step answered with a marker text instead of text) and reports a click that
// lands outside its controls, or Enter on the outcome, which shows that output in the result pane.
//
//   auto* card = new StepCard(editor);
//   layout->addWidget(card->outcome());
//   card->showOutcome(&record);   // nullptr hides it
class StepCard : public QFrame {
    Q_OBJECT

public:
    explicit StepCard(QWidget* parent);

    QWidget* outcome() const { return m_outcome; }
    // Clicks on this part of the card (the step's options) belong to its fields.
    void setOptionsPanel(QWidget* panel) { m_options = panel; }
    void showOutcome(const StepRecord* record);
    // Marks the card whose output the result pane shows.
    void setViewed(bool viewed);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool clickable(QPoint pos) const;

    QWidget* m_outcome;
    QLabel* m_markerIcon;
    PreviewLabel* m_preview;
    QLabel* m_facts;
    QWidget* m_options = nullptr;
    std::optional<QPoint> m_pressedAt;
    bool m_viewed = false;
};

} // namespace lexorra::shell
