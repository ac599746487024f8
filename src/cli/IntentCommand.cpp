#include "cli/IntentCommand.h"

#include "intents/Intents.h"
#include "intents/SharedWorkflows.h"

#include <CLI/CLI.hpp>

#include <istream>
#include <iterator>
#include <ostream>

namespace lexorra::cli {

void IntentCommand::declare(CLI::App& sub) {
    sub.require_subcommand(1);
    m_transform = sub.add_subcommand("transform", "Transform a text with a stored workflow");
    m_transform->add_option("--workflow", m_workflow, "Workflow id, or its exact name")->required();
    m_transform->add_option("--text", m_text, "The text (standard input when not given)");
    m_uppercase = sub.add_subcommand("uppercase", "Make a text upper case");
    m_uppercase->add_option("--text", m_text, "The text (standard input when not given)");
}

int IntentCommand::execute(Io& io) {
    std::string text = m_text ? *m_text
                              : std::string(std::istreambuf_iterator<char>(io.in), std::istreambuf_iterator<char>());
    intents::IntentHandler handler(intents::loadSharedWorkflows);
    intents::IntentResponseCode code;
    std::string result, error;
    intents::IntentError kind = intents::IntentError::none;
    if (m_transform->parsed()) {
        auto r = handler.handleTransformText({text, intents::Workflow{m_workflow, m_workflow}});
        code = r.code, result = r.result, error = r.error, kind = r.errorKind;
    } else {
        auto r = handler.handleMakeUppercase({text});
        code = r.code, result = r.result, error = r.error, kind = r.errorKind;
    }
    if (code == intents::IntentResponseCode::success) {
        io.out.write(result.data(), static_cast<std::streamsize>(result.size()));
        return exitOk;
    }
    io.err << "lexorra-cli: error: " << error << "\n";
    // No workflow named at all counts as not found, as scripts have always seen it.
    const bool notFound = kind == intents::IntentError::unknownWorkflow || kind == intents::IntentError::noWorkflow;
    return notFound ? exitUnknownWorkflow : exitFailure;
}

} // namespace lexorra::cli
