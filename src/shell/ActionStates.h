#pragma once

#include "core/Value.h"

namespace lexorra {
class AppManager;
class Settings;
} // namespace lexorra

namespace lexorra::shell {

// What a user expects to find again after a restart but the workflow document leaves out:
// the steps of a workflow they switched off (the document has no field for it, and its
// exports must stay as they are) and the options picked for the built-in actions (which
// are stored nowhere else). Kept in the window's own settings, "ActionStates":
//   {"<workflow id>": {"<action id>": {"enabled": false}},
//    "<built-in sequence id>": {"builtIn": {"options": {"CaseType": 4}}}}
// Only what differs from a fresh start is written, so that the file stays small.
//
//   ActionStates states(settings);
//   states.apply(app);     // after start-up and whenever the lists are rebuilt
//   states.save(app);      // after the user switched a step or changed an option
class ActionStates {
public:
    explicit ActionStates(Settings& settings);

    void apply(AppManager& app) const;
    // False when nothing changed or the store could not be written.
    bool save(const AppManager& app);

private:
    Settings& m_settings;
    Value m_lastWritten;
};

} // namespace lexorra::shell
