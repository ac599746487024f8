#pragma once

#include "core/TextAction.h"

#include <QWidget>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QFormLayout;

namespace lexorra::shell {

// The option panel of one action, generated from its option declarations: text fields,
// text areas, switches, menus and steppers, labelled as declared. Every edit writes the
// option through the declaration and schedules the debounced recomputation.
class OptionsPanel : public QWidget {
    Q_OBJECT

public:
    // The workflows a "workflow" option may name, as id and name; a workflow editor leaves
    // out those that would run the workflow being edited.
    using WorkflowChoices = std::vector<std::pair<std::string, std::string>>;

    OptionsPanel(std::shared_ptr<TextAction> action, ResultsHost& host, QWidget* parent = nullptr,
                 WorkflowChoices workflows = {});

signals:
    void optionChanged();

private:
    void build();
    void updateVisibility();
    void write(const OptionDecl& decl, const Value& value);

    std::shared_ptr<TextAction> m_action;
    ResultsHost& m_host;
    QFormLayout* m_form;
    std::vector<std::pair<const OptionDecl*, QWidget*>> m_rows;
    WorkflowChoices m_workflows;
};

} // namespace lexorra::shell
