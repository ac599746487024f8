#include "shell/WorkflowEditor.h"

#include "core/ActionFactory.h"
#include "shell/OptionsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lexorra::shell {

WorkflowEditor::WorkflowEditor(TextActionSeqPtr workflow, AppManager& app, QWidget* parent)
    : QWidget(parent), m_workflow(std::move(workflow)), m_app(app) {
    setObjectName("workflowEditor");
    auto* layout = new QVBoxLayout(this);
    m_name = new QLineEdit(QString::fromStdString(m_workflow->name), this);
    m_name->setObjectName("workflowNameLineEdit");
    m_name->setPlaceholderText(tr("Workflow name"));
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
    std::vector<TextActionType> kinds(allTextActionTypes().begin(), allTextActionTypes().end());
    std::sort(kinds.begin(), kinds.end(), titleLess);
    for (auto kind : kinds) add->addItem(QString::fromUtf8(title(kind).data(), static_cast<int>(title(kind).size())), rawValue(kind));
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
    rebuildCards();
}

void WorkflowEditor::structureChanged() {
    rebuildCards();
    m_app.scheduleStructureUpdate();
    m_app.saveWorkFlowsToUserDefaults(true);
}

void WorkflowEditor::rebuildCards() {
    while (auto* item = m_cards->takeAt(0)) {
        if (auto* w = item->widget()) w->deleteLater();
        delete item;
    }
    auto& actions = m_workflow->actionsArray;
    for (size_t i = 0; i < actions.size(); ++i) {
        auto action = actions[i];
        auto* card = new QFrame(this);
        card->setObjectName(QString("actionCard%1Frame").arg(i));
        card->setFrameShape(QFrame::StyledPanel);
        auto* cardLayout = new QVBoxLayout(card);
        auto* header = new QHBoxLayout();
        auto* enabled = new QCheckBox(card);
        enabled->setObjectName("enabledCheckBox");
        enabled->setChecked(action->enabled());
        enabled->setToolTip(tr("Run this step"));
        auto* expand = new QToolButton(card);
        expand->setObjectName("expandToolButton");
        expand->setArrowType(action->showDetails() ? Qt::DownArrow : Qt::RightArrow);
        expand->setEnabled(action->hasOptions());
        auto* name = new QLabel(QString::fromStdString(action->name()), card);
        auto* up = new QToolButton(card);
        up->setObjectName("moveUpToolButton");
        up->setArrowType(Qt::UpArrow);
        up->setEnabled(i > 0);
        auto* down = new QToolButton(card);
        down->setObjectName("moveDownToolButton");
        down->setArrowType(Qt::DownArrow);
        down->setEnabled(i + 1 < actions.size());
        auto* remove = new QToolButton(card);
        remove->setObjectName("removeToolButton");
        remove->setText("✕");
        header->addWidget(enabled);
        header->addWidget(expand);
        header->addWidget(name, 1);
        header->addWidget(up);
        header->addWidget(down);
        header->addWidget(remove);
        cardLayout->addLayout(header);
        auto* panel = new OptionsPanel(action, m_app, card);
        panel->setVisible(action->showDetails() && action->hasOptions());
        cardLayout->addWidget(panel);
        m_cards->addWidget(card);

        connect(enabled, &QCheckBox::toggled, this, [this, action, panel, expand](bool on) {
            action->setEnabled(on);
            panel->setVisible(action->showDetails() && action->hasOptions());
            expand->setArrowType(action->showDetails() ? Qt::DownArrow : Qt::RightArrow);
            m_app.scheduleStructureUpdate();
            m_app.saveWorkFlowsToUserDefaults(true);
        });
        connect(expand, &QToolButton::clicked, this, [action, panel, expand] {
            action->setShowDetails(!action->showDetails());
            panel->setVisible(action->showDetails());
            expand->setArrowType(action->showDetails() ? Qt::DownArrow : Qt::RightArrow);
        });
        connect(up, &QToolButton::clicked, this, [this, i] {
            std::swap(m_workflow->actionsArray[i], m_workflow->actionsArray[i - 1]);
            structureChanged();
        });
        connect(down, &QToolButton::clicked, this, [this, i] {
            std::swap(m_workflow->actionsArray[i], m_workflow->actionsArray[i + 1]);
            structureChanged();
        });
        connect(remove, &QToolButton::clicked, this, [this, i] {
            m_workflow->actionsArray.erase(m_workflow->actionsArray.begin() + static_cast<std::ptrdiff_t>(i));
            structureChanged();
        });
    }
}

} // namespace lexorra::shell
