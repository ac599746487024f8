# fish completion for lexorra-cli. Action kinds and workflow names come from the program itself.

function __lexorra_cli_program
    set -l program (commandline -opc)[1]
    command -q $program; and echo $program; or echo lexorra-cli
end

function __lexorra_cli_kinds
    set -l program (__lexorra_cli_program)
    $program actions 2>/dev/null | string replace -r '^[^\t]*\t([^\t]*)\t([^\t]*).*' '$1\t$2'
end

function __lexorra_cli_workflows
    set -l program (__lexorra_cli_program)
    $program workflows list --names 2>/dev/null
end

function __lexorra_cli_ids
    set -l program (__lexorra_cli_program)
    $program workflows list 2>/dev/null | string replace -r '^([^\t]*)\t([^\t]*).*' '$1\t$2'
end

set -l commands actions run workflows intent
complete -c lexorra-cli -f
complete -c lexorra-cli -l help -d 'Print the help and exit'
complete -c lexorra-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'Print the version and exit'
complete -c lexorra-cli -n "not __fish_seen_subcommand_from $commands" -a actions -d 'List the action kinds'
complete -c lexorra-cli -n "not __fish_seen_subcommand_from $commands" -a run -d 'Run an action or a workflow over a text'
complete -c lexorra-cli -n "not __fish_seen_subcommand_from $commands" -a workflows -d 'List, export, import or delete stored workflows'
complete -c lexorra-cli -n "not __fish_seen_subcommand_from $commands" -a intent -d 'Answer an automation intent'

complete -c lexorra-cli -n "__fish_seen_subcommand_from actions" -l json -d 'Print one JSON object per kind'

complete -c lexorra-cli -n "__fish_seen_subcommand_from run" -l action -x -a '(__lexorra_cli_kinds)' -d 'Action kind'
complete -c lexorra-cli -n "__fish_seen_subcommand_from run" -l action-json -x -d 'Action dictionary as JSON'
complete -c lexorra-cli -n "__fish_seen_subcommand_from run intent" -l workflow -x -a '(__lexorra_cli_workflows)' -d 'Stored workflow: name or id'
complete -c lexorra-cli -n "__fish_seen_subcommand_from run" -l workflow-file -r -F -d 'Workflow dictionary or exchange file'
complete -c lexorra-cli -n "__fish_seen_subcommand_from run" -l set -x -d 'Option of the action: KEY=VALUE'
complete -c lexorra-cli -n "__fish_seen_subcommand_from run" -l in -r -F -d 'Read the input from FILE'
complete -c lexorra-cli -n "__fish_seen_subcommand_from run" -l out -r -F -d 'Write the result to FILE'

set -l stored list export import delete
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and not __fish_seen_subcommand_from $stored" -a list -d 'List the stored workflows'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and not __fish_seen_subcommand_from $stored" -a export -d 'Write workflows to an exchange file'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and not __fish_seen_subcommand_from $stored" -a import -d 'Add the workflows of an exchange file'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and not __fish_seen_subcommand_from $stored" -a delete -d 'Delete a stored workflow'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and __fish_seen_subcommand_from list" -l json -d 'Print a JSON array of workflow dictionaries'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and __fish_seen_subcommand_from list" -l names -d 'Print the names alone'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and __fish_seen_subcommand_from export" -l id -x -a '(__lexorra_cli_ids)' -d 'Export only this workflow'
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and __fish_seen_subcommand_from export import" -F
complete -c lexorra-cli -n "__fish_seen_subcommand_from workflows; and __fish_seen_subcommand_from delete" -a '(__lexorra_cli_ids)'

complete -c lexorra-cli -n "__fish_seen_subcommand_from intent; and not __fish_seen_subcommand_from transform uppercase" -a transform -d 'Transform a text with a stored workflow'
complete -c lexorra-cli -n "__fish_seen_subcommand_from intent; and not __fish_seen_subcommand_from transform uppercase" -a uppercase -d 'Make a text upper case'
complete -c lexorra-cli -n "__fish_seen_subcommand_from intent" -l text -x -d 'The text (standard input when not given)'
