#include "shell/SyntaxMode.h"

namespace lexorra::shell {

QString syntaxModeLabel(SyntaxMode mode) {
    switch (mode) {
    case SyntaxMode::plain:
        return QStringLiteral("Plain Text");
    case SyntaxMode::json:
        return QStringLiteral("JSON");
    case SyntaxMode::yaml:
        return QStringLiteral("YAML");
    case SyntaxMode::xml:
        return QStringLiteral("XML");
    case SyntaxMode::html:
        return QStringLiteral("HTML");
    case SyntaxMode::markdown:
        return QStringLiteral("Markdown");
    case SyntaxMode::csv:
        return QStringLiteral("CSV");
    }
    return {};
}

QString syntaxModeName(SyntaxMode mode) {
    switch (mode) {
    case SyntaxMode::plain:
        return QStringLiteral("plain");
    case SyntaxMode::json:
        return QStringLiteral("json");
    case SyntaxMode::yaml:
        return QStringLiteral("yaml");
    case SyntaxMode::xml:
        return QStringLiteral("xml");
    case SyntaxMode::html:
        return QStringLiteral("html");
    case SyntaxMode::markdown:
        return QStringLiteral("markdown");
    case SyntaxMode::csv:
        return QStringLiteral("csv");
    }
    return {};
}

std::optional<SyntaxMode> syntaxModeFromName(const QString& name) {
    for (SyntaxMode mode : allSyntaxModes)
        if (syntaxModeName(mode) == name) return mode;
    return std::nullopt;
}

SyntaxMode inputSyntax(const TextActionSeq& seq) {
    for (const auto& action : seq.actionsArray) {
        if (!action || !action->enabled()) continue;
        const SyntaxChange syntax = action->syntax();
        if (syntax.reads) return *syntax.reads;
        // Past a step that makes something new, later steps say nothing about the input.
        if (syntax.writes) return SyntaxMode::plain;
    }
    return SyntaxMode::plain;
}

SyntaxMode resultSyntax(const TextActionSeq& seq, std::optional<SyntaxMode> given) {
    SyntaxMode mode = given.value_or(inputSyntax(seq));
    for (const auto& action : seq.actionsArray) {
        if (!action || !action->enabled()) continue;
        if (const auto produced = action->syntax().writes) mode = *produced;
    }
    return mode;
}

} // namespace lexorra::shell
