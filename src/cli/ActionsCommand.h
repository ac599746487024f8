#pragma once

#include "cli/Command.h"

namespace lexorra::cli {

// lexorra-cli actions [--json]: the action kinds with their options.
class ActionsCommand : public Command {
public:
    void declare(CLI::App& subcommand) override;
    int execute(Io& io) override;

private:
    bool m_json = false;
};

} // namespace lexorra::cli
