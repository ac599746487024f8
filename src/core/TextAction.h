#pragma once

#include "core/Debouncer.h"
#include "core/Options.h"
#include "core/TextActionType.h"
#include "core/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// What an action needs from the results controller to debounce an option edit.
class ResultsHost {
public:
    ResultsHost() = default;
    ResultsHost(const ResultsHost&) = delete;
    ResultsHost& operator=(const ResultsHost&) = delete;
    virtual ~ResultsHost() = default;
    virtual Scheduler& scheduler() = 0;
    virtual void updateResults(bool live, bool copyAfter) = 0;
    virtual void saveWorkFlowsToUserDefaults(bool updateDB) = 0;

    // Expires with the host. A delayed task holds this, never the host: an action (and the
    // edit it debounces) can outlive the window or controller it was edited in.
    std::weak_ptr<ResultsHost* const> lifetime() const { return m_self; }

private:
    std::shared_ptr<ResultsHost* const> m_self = std::make_shared<ResultsHost* const>(this);
};

// One configured transformation step. A kind is a subclass that declares its options once
// (options()) and implements transform(); the dictionary form, copy and the command line
// are driven by those declarations.
//
//   auto action = makeDefault(TextActionType::convertCase);
//   action->setOption("CaseType", Value(2));
//   action->transform("Hello") == "hello";
class TextAction : public std::enable_shared_from_this<TextAction> {
public:
    // Observers learn the name of a field or option key that was written.
    using Observer = std::function<void(TextAction&, std::string_view field)>;

    explicit TextAction(TextActionType type);
    virtual ~TextAction() = default;
    TextAction(const TextAction&) = delete;
    TextAction& operator=(const TextAction&) = delete;

    std::string updateTaskID;
    std::string id;
    const TextActionType type;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled); // false also collapses the details
    bool showDetails() const { return m_showDetails; }
    void setShowDetails(bool show);
    const std::string& name() const { return m_name; }
    void setName(std::string name);
    bool hasOptions() const { return m_hasOptions; }
    void setHasOptions(bool has);
    bool isNew() const { return m_isNew; }
    void setIsNew(bool isNew);

    // A new action of the same kind and options, with a fresh id.
    virtual std::shared_ptr<TextAction> copy() const;
    // The transformation. Never throws: what cannot be transformed gives a marker text.
    virtual std::string transform(std::string_view text) const;
    // "Name", "Id", "Type", then one entry per option in declaration order.
    virtual Dictionary toDictionary() const;
    // The option declarations of this kind; empty for kinds without options.
    virtual const OptionList& options() const;
    // Sets the options from a stored dictionary; false when the action cannot be restored.
    virtual bool readOptions(const Dictionary& dictionary);
    // What kind of text this action takes and gives, as configured (the editors colour by it).
    virtual SyntaxChange syntax() const { return defaultSyntax(type); }
    // What the option panel shows in grey below the options, or empty: something the action
    // needs from outside its options before it can work (the AI action's key, say).
    virtual std::string panelNote() const { return {}; }

    const OptionDecl* option(std::string_view key) const;
    Value optionValue(std::string_view key) const;
    // Sets an option from a value its declaration accepts (see OptionDecl::coerce);
    // false when the key is unknown or the value does not fit.
    bool setOption(std::string_view key, const Value& value);

    // Debounces option edits: 1 s after the last edit the results are recomputed and
    // the workflows saved, unless the host is gone by then. Renews updateTaskID.
    void scheduleResultsUpdate(ResultsHost& host);

    int addObserver(Observer observer);
    void removeObserver(int token);

    friend bool operator==(const TextAction& a, const TextAction& b) { return a.id == b.id; }

protected:
    void notifyChanged(std::string_view field);

private:
    bool m_enabled = true;
    bool m_showDetails = true;
    std::string m_name;
    bool m_hasOptions = true;
    bool m_isNew = false;
    std::vector<std::pair<int, Observer>> m_observers;
    int m_nextObserver = 1;
    // The option-edit debounce, on the scheduler of the host it was last edited in.
    std::optional<Debouncer> m_optionEdits;
    std::weak_ptr<ResultsHost* const> m_optionEditsHost;
};

using TextActionPtr = std::shared_ptr<TextAction>;

// The factory of a kind's class, one line at the end of the class's source file; the
// catalogue (ActionKinds.def) calls it.
//
//   LEXORRA_ACTION_FACTORY(TextActionConvertCase)
#define LEXORRA_ACTION_FACTORY(className)                                                                              \
    std::shared_ptr<::lexorra::TextAction> make##className() {                                                         \
        return std::make_shared<className>();                                                                          \
    }

struct TextActionHash {
    size_t operator()(const TextAction& a) const { return std::hash<std::string>()(a.id); }
};

} // namespace lexorra
