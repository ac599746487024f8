#include "shell/WorkflowEditor.h"

#include "core/ActionFactory.h"
#include "core/WorkflowRuns.h"
#include "shell/Icons.h"
#include "shell/OptionsPanel.h"
#include "shell/StepCard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace lexorra::shell {
namespace {

constexpr int indicatorThickness = 3;

// The grip a card is dragged by: a drag starts once the pointer moved far enough.
class DragHandle : public QLabel {
public:
    DragHandle(std::function<void()> startDrag, QWidget* parent) : QLabel(parent), m_startDrag(std::move(startDrag)) {
        setObjectName("dragHandleLabel");
        setPixmap(bundledIcon("drag-handle").pixmap(16, 16));
        setCursor(Qt::OpenHandCursor);
        setToolTip(QObject::tr("Drag to reorder"));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) m_pressedAt = event->position().toPoint();
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) || !m_pressedAt) return;
        if ((event->position().toPoint() - *m_pressedAt).manhattanLength() < QApplication::startDragDistance()) return;
        m_pressedAt.reset();
        m_startDrag();
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_pressedAt.reset(); }

private:
    std::function<void()> m_startDrag;
    std::optional<QPoint> m_pressedAt;
};

// A step's title that gives way to the buttons beside it, ending in "…" where it is cut.
class ElidingLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(contentsRect(), Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width()));
    }
};

} // namespace

WorkflowEditor::WorkflowEditor(TextActionSeqPtr workflow, AppManager& app, QWidget* parent)
    : QWidget(parent), m_workflow(std::move(workflow)), m_app(app) {
    setObjectName("workflowEditor");
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    m_name = new QLineEdit(QString::fromStdString(m_workflow->name), this);
    m_name->setObjectName("workflowNameLineEdit");
    m_name->setPlaceholderText(tr("Workflow name"));
    m_name->setAccessibleName(tr("Workflow name"));
    connect(m_name, &QLineEdit::editingFinished, this, [this] {
        const std::string name = m_name->text().toStdString();
        if (name.empty() || name == m_workflow->name) return;
        m_workflow->name = name;
        m_app.saveWorkFlowsToUserDefaults(true);
        emit workflowRenamed();
    });
    layout->addWidget(m_name);

    m_cards = new QVBoxLayout();
    layout->addLayout(m_cards);

    auto* add = new QComboBox(this);
    add->setObjectName("addActionComboBox");
    add->addItem(tr("Add action…"));
    add->setAccessibleName(tr("Add an action to the workflow"));
    // The longest titles must not widen the pane beyond the window.
    add->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    add->setMinimumContentsLength(12);
    std::vector<TextActionType> kinds(allTextActionTypes().begin(), allTextActionTypes().end());
    std::sort(kinds.begin(), kinds.end(), titleLess);
    for (auto kind : kinds)
        add->addItem(actionIcon(kind), QString::fromUtf8(title(kind).data(), static_cast<int>(title(kind).size())),
                     rawValue(kind));
    connect(add, &QComboBox::activated, this, [this, add](int index) {
        if (index <= 0) return;
        auto action = makeDefault(static_cast<TextActionType>(add->itemData(index).toInt()));
        action->setIsNew(true);
        m_workflow->actionsArray.push_back(action);
        add->setCurrentIndex(0);
        structureChanged();
    });
    layout->addWidget(add);
    layout->addStretch(1);

    m_indicator = new QFrame(this);
    m_indicator->setObjectName("dropIndicatorFrame");
    m_indicator->setAutoFillBackground(true);
    m_indicator->setBackgroundRole(QPalette::Highlight);
    m_indicator->hide();
    rebuildCards();
}

std::vector<std::pair<std::string, std::string>> WorkflowEditor::workflowChoices() const {
    const auto& workflows = m_app.workflowsSeqArray();
    const auto lookup = lookupIn(workflows);
    std::vector<std::pair<std::string, std::string>> choices;
    for (const auto& workflow : workflows)
        if (!reaches(*workflow, m_workflow->id, lookup)) choices.emplace_back(workflow->id, workflow->name);
    return choices;
}

void WorkflowEditor::focusName() {
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
}

void WorkflowEditor::structureChanged() {
    m_outcomesCurrent = false;
    setViewedStep(std::nullopt);
    rebuildCards();
    m_app.scheduleStructureUpdate();
    m_app.saveWorkFlowsToUserDefaults(true);
}

bool WorkflowEditor::moveAction(size_t from, size_t to) {
    if (!m_app.moveAction(m_workflow, from, to)) return false;
    m_outcomesCurrent = false;
    setViewedStep(std::nullopt);
    rebuildCards();
    return true;
}

void WorkflowEditor::rebuildCards() {
    while (auto* item = m_cards->takeAt(0)) {
        if (auto* w = item->widget()) w->deleteLater();
        delete item;
    }
    m_cardFrames.clear();
    auto& actions = m_workflow->actionsArray;
    for (size_t i = 0; i < actions.size(); ++i) {
        auto action = actions[i];
        auto* card = new StepCard(this);
        card->setObjectName(QString("actionCard%1Frame").arg(i));
        const QString actionName = QString::fromStdString(action->name());
        card->setAccessibleName(tr("Step %1: %2").arg(i + 1).arg(actionName));
        auto* cardLayout = new QVBoxLayout(card);
        auto* header = new QHBoxLayout();
        auto* handle = new DragHandle([this, i] { startDrag(i); }, card);
        auto* enabled = new QCheckBox(card);
        enabled->setObjectName("enabledCheckBox");
        enabled->setChecked(action->enabled());
        enabled->setToolTip(tr("Run this step"));
        enabled->setAccessibleName(tr("Run %1").arg(actionName));
        auto* expand = new QToolButton(card);
        expand->setObjectName("expandToolButton");
        expand->setArrowType(action->showDetails() ? Qt::DownArrow : Qt::RightArrow);
        expand->setEnabled(action->hasOptions());
        expand->setToolTip(tr("Show or hide the options"));
        expand->setAccessibleName(tr("Options of %1").arg(actionName));
        auto* icon = new QLabel(card);
        icon->setPixmap(actionIcon(action->type).pixmap(16, 16));
        auto* name = new ElidingLabel(actionName, card);
        name->setObjectName("cardNameLabel");
        // A long title gives way instead of pushing the buttons out of the pane.
        name->setMinimumWidth(40);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        name->setToolTip(actionName);
        auto* up = new QToolButton(card);
        up->setObjectName("moveUpToolButton");
        up->setArrowType(Qt::UpArrow);
        up->setEnabled(i > 0);
        up->setToolTip(tr("Move up"));
        up->setAccessibleName(tr("Move %1 up").arg(actionName));
        auto* down = new QToolButton(card);
        down->setObjectName("moveDownToolButton");
        down->setArrowType(Qt::DownArrow);
        down->setEnabled(i + 1 < actions.size());
        down->setToolTip(tr("Move down"));
        down->setAccessibleName(tr("Move %1 down").arg(actionName));
        auto* remove = new QToolButton(card);
        remove->setObjectName("removeToolButton");
        remove->setText("✕");
        remove->setToolTip(tr("Remove this step"));
        remove->setAccessibleName(tr("Remove %1").arg(actionName));
        header->addWidget(handle);
        header->addWidget(enabled);
        header->addWidget(expand);
        header->addWidget(icon);
        header->addWidget(name, 1);
        header->addWidget(up);
        header->addWidget(down);
        header->addWidget(remove);
        cardLayout->addLayout(header);
        cardLayout->addWidget(card->outcome());
        QWidget::setTabOrder(remove, card->outcome()); // as it is read: after the header's buttons
        card->showOutcome(recordOf(i));
        card->setViewed(m_viewedStep == i);
        auto* panel = new OptionsPanel(action, m_app, card, workflowChoices());
        panel->setVisible(action->showDetails() && action->hasOptions());
        card->setOptionsPanel(panel);
        connect(panel, &OptionsPanel::optionChanged, this, &WorkflowEditor::actionStateChanged);
        cardLayout->addWidget(panel);
        m_cards->addWidget(card);
        m_cardFrames.push_back(card);

        connect(card, &StepCard::clicked, this,
                [this, i] { setViewedStep(m_viewedStep == i ? std::nullopt : std::optional<size_t>(i)); });
        connect(enabled, &QCheckBox::toggled, this, [this, action, panel, expand, card, i](bool on) {
            action->setEnabled(on);
            // A switched-off step has no outcome; switched on again it has its last one until the next run.
            card->showOutcome(recordOf(i));
            if (!on && m_viewedStep == i) setViewedStep(std::nullopt);
            panel->setVisible(action->showDetails() && action->hasOptions());
            expand->setArrowType(action->showDetails() ? Qt::DownArrow : Qt::RightArrow);
            m_app.scheduleStructureUpdate();
            m_app.saveWorkFlowsToUserDefaults(true);
            emit actionStateChanged();
        });
        connect(expand, &QToolButton::clicked, this, [action, panel, expand] {
            action->setShowDetails(!action->showDetails());
            panel->setVisible(action->showDetails());
            expand->setArrowType(action->showDetails() ? Qt::DownArrow : Qt::RightArrow);
        });
        connect(up, &QToolButton::clicked, this, [this, i] { moveAction(i, i - 1); });
        connect(down, &QToolButton::clicked, this, [this, i] { moveAction(i, i + 1); });
        connect(remove, &QToolButton::clicked, this, [this, i] {
            m_workflow->actionsArray.erase(m_workflow->actionsArray.begin() + static_cast<std::ptrdiff_t>(i));
            structureChanged();
        });
    }
}

const StepRecord* WorkflowEditor::recordOf(size_t index) const {
    const auto& latest = m_app.resultSteps();
    if (!m_outcomesCurrent || latest.workflowId != m_workflow->id || index >= m_workflow->actionsArray.size() ||
        !m_workflow->actionsArray[index]->enabled())
        return nullptr;
    for (const auto& record : latest.steps)
        if (record.step == static_cast<int>(index) + 1) return &record;
    return nullptr;
}

void WorkflowEditor::showOutcomes() {
    m_outcomesCurrent = true;
    m_viewedStep.reset();
    for (size_t i = 0; i < m_cardFrames.size(); ++i) {
        m_cardFrames[i]->showOutcome(recordOf(i));
        m_cardFrames[i]->setViewed(false);
    }
}

void WorkflowEditor::setViewedStep(std::optional<size_t> index) {
    if (index && !recordOf(*index)) index.reset();
    if (index == m_viewedStep) return;
    m_viewedStep = index;
    for (size_t i = 0; i < m_cardFrames.size(); ++i)
        m_cardFrames[i]->setViewed(m_viewedStep == i);
    emit viewedStepChanged();
}

QMimeData* WorkflowEditor::cardMimeData(const std::string& workflowId, size_t index) {
    auto* mime = new QMimeData;
    mime->setData(cardMimeType, QString("%1\n%2").arg(QString::fromStdString(workflowId)).arg(index).toUtf8());
    return mime;
}

std::optional<size_t> WorkflowEditor::draggedIndex(const QMimeData* mime) const {
    if (!mime || !mime->hasFormat(cardMimeType)) return std::nullopt;
    const QStringList parts = QString::fromUtf8(mime->data(cardMimeType)).split('\n');
    if (parts.size() != 2 || parts[0].toStdString() != m_workflow->id) return std::nullopt;
    bool ok = false;
    const qulonglong index = parts[1].toULongLong(&ok);
    if (!ok || index >= m_workflow->actionsArray.size()) return std::nullopt;
    return static_cast<size_t>(index);
}

size_t WorkflowEditor::dropSlotAt(QPoint pos) const {
    for (size_t i = 0; i < m_cardFrames.size(); ++i)
        if (pos.y() < m_cardFrames[i]->geometry().center().y()) return i;
    return m_cardFrames.size();
}

void WorkflowEditor::showIndicator(size_t slot) {
    if (m_cardFrames.empty()) return;
    const QRect first = m_cardFrames.front()->geometry();
    const int gap = std::max(0, m_cards->spacing());
    int y = 0;
    if (slot < m_cardFrames.size())
        y = m_cardFrames[slot]->geometry().top() - (gap + indicatorThickness) / 2;
    else
        y = m_cardFrames.back()->geometry().bottom() + 1 + (gap - indicatorThickness) / 2;
    m_indicator->setGeometry(first.left(), y, first.width(), indicatorThickness);
    m_indicator->raise();
    m_indicator->show();
}

void WorkflowEditor::startDrag(size_t index) {
    if (index >= m_cardFrames.size()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(cardMimeData(m_workflow->id, index));
    // The card's header row, see-through so that the drop line under the pointer shows.
    QFrame* card = m_cardFrames[index];
    const int headerHeight = std::min(card->height(), card->layout()->itemAt(0)->geometry().bottom() + 8);
    const QPixmap header = card->grab(QRect(0, 0, card->width(), headerHeight));
    QPixmap picture(header.size());
    picture.setDevicePixelRatio(header.devicePixelRatio());
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setOpacity(0.6);
        painter.drawPixmap(0, 0, header);
    }
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(12, headerHeight / 2));
    m_dragging = true;
    m_pendingMove.reset();
    QPointer<WorkflowEditor> self(this);
    drag->exec(Qt::MoveAction);
    if (!self) return;
    m_dragging = false;
    m_indicator->hide();
    // The cards are rebuilt only now: the handle that started the drag is still on the stack
    // while the drag runs.
    if (auto move = std::exchange(m_pendingMove, std::nullopt)) moveAction(move->first, move->second);
}

void WorkflowEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (!draggedIndex(event->mimeData())) return event->ignore();
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void WorkflowEditor::dragMoveEvent(QDragMoveEvent* event) {
    const auto from = draggedIndex(event->mimeData());
    if (!from) return event->ignore();
    const QPoint pos = event->position().toPoint();
    // Long workflows scroll while a card is held near the top or bottom edge.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(w)) {
            scroll->ensureVisible(pos.x(), pos.y(), 0, 40);
            break;
        }
    }
    const size_t slot = dropSlotAt(pos);
    // Dropping a card next to itself changes nothing, so nothing is marked there.
    if (slot == *from || slot == *from + 1)
        m_indicator->hide();
    else
        showIndicator(slot);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void WorkflowEditor::dragLeaveEvent(QDragLeaveEvent* event) {
    m_indicator->hide();
    event->accept();
}

void WorkflowEditor::dropEvent(QDropEvent* event) {
    m_indicator->hide();
    const auto from = draggedIndex(event->mimeData());
    if (!from) return event->ignore();
    const size_t slot = dropSlotAt(event->position().toPoint());
    const size_t to = slot > *from ? slot - 1 : slot;
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (to == *from) return;
    if (m_dragging)
        m_pendingMove = std::make_pair(*from, to);
    else
        moveAction(*from, to);
}

} // namespace lexorra::shell
