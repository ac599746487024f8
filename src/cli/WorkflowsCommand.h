#pragma once

#include "cli/Command.h"
#include "core/TextActionSeq.h"

#include <string>
#include <vector>

namespace lexorra {
class WorkflowLibrary;
}

namespace lexorra::cli {

// lexorra-cli workflows list [--json | --names] | export [--id ID] FILE | import FILE | delete ID:
// the stored workflow list (the shared group store), as the desktop app keeps it.
class WorkflowsCommand : public Command {
public:
    void declare(CLI::App& subcommand) override;
    int execute(Io& io) override;

private:
    int list(Io& io, const std::vector<TextActionSeqPtr>& workflows);
    int exportTo(Io& io, const std::vector<TextActionSeqPtr>& workflows);
    int importFrom(Io& io, WorkflowLibrary& library);
    int remove(Io& io, WorkflowLibrary& library);

    CLI::App* m_list = nullptr;
    CLI::App* m_export = nullptr;
    CLI::App* m_import = nullptr;
    CLI::App* m_delete = nullptr;
    bool m_json = false;
    bool m_names = false;
    std::string m_id;
    std::string m_file;
};

} // namespace lexorra::cli
