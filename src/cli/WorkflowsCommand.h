#pragma once

#include "cli/Command.h"
#include "core/TextActionSeq.h"

#include <string>
#include <vector>

namespace lexorra {
class Settings;
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
    int importFrom(Io& io, Settings& settings);
    int remove(Io& io, Settings& settings);
    // With synchronisation on, the object store and its sync folder follow the edit.
    void mirrorEdit(Io& io, Settings& settings, const std::string& deletedId);

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
