#pragma once

#include "cli/Command.h"

#include <optional>
#include <string>

namespace lexorra::cli {

// lexorra-cli intent transform --workflow NAME_OR_ID [--text TEXT]
// lexorra-cli intent uppercase [--text TEXT]
// The same answers as the D-Bus service; the text is read from standard input when not given.
class IntentCommand : public Command {
public:
    void declare(CLI::App& subcommand) override;
    int execute(Io& io) override;

private:
    CLI::App* m_transform = nullptr;
    CLI::App* m_uppercase = nullptr;
    std::string m_workflow;
    std::optional<std::string> m_text;
};

} // namespace lexorra::cli
