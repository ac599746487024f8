#include "shell/SyntaxMode.h"

#include "actions/data/TextActionJSONtoCSV.h"
#include "actions/data/TextActionYAMLtoJSON.h"

namespace lexorra::shell {

QString syntaxModeLabel(SyntaxMode mode) {
    switch (mode) {
    case SyntaxMode::plain: return QStringLiteral("Plain Text");
    case SyntaxMode::json: return QStringLiteral("JSON");
    case SyntaxMode::yaml: return QStringLiteral("YAML");
    case SyntaxMode::xml: return QStringLiteral("XML");
    case SyntaxMode::html: return QStringLiteral("HTML");
    case SyntaxMode::markdown: return QStringLiteral("Markdown");
    case SyntaxMode::csv: return QStringLiteral("CSV");
    }
    return {};
}

QString syntaxModeName(SyntaxMode mode) {
    switch (mode) {
    case SyntaxMode::plain: return QStringLiteral("plain");
    case SyntaxMode::json: return QStringLiteral("json");
    case SyntaxMode::yaml: return QStringLiteral("yaml");
    case SyntaxMode::xml: return QStringLiteral("xml");
    case SyntaxMode::html: return QStringLiteral("html");
    case SyntaxMode::markdown: return QStringLiteral("markdown");
    case SyntaxMode::csv: return QStringLiteral("csv");
    }
    return {};
}

std::optional<SyntaxMode> syntaxModeFromName(const QString& name) {
    for (SyntaxMode mode : allSyntaxModes)
        if (syntaxModeName(mode) == name) return mode;
    return std::nullopt;
}

ActionSyntax actionSyntax(const TextAction& action) {
    using M = SyntaxMode;
    switch (action.type) {
    case TextActionType::JSON: return {M::json, M::json};
    case TextActionType::XML: return {M::xml, M::xml};
    case TextActionType::XMLtoJSON: return {M::xml, M::json};
    case TextActionType::csvToMarkdown: return {M::csv, M::markdown};
    case TextActionType::markdownToHtml: return {M::markdown, M::html};
    case TextActionType::yaml: {
        const auto* yaml = dynamic_cast<const TextActionYAMLtoJSON*>(&action);
        if (yaml && yaml->conversion == YAMLType::toJson) return {M::yaml, M::json};
        return {M::json, M::yaml};
    }
    case TextActionType::JSONtoCSV: {
        const auto* csv = dynamic_cast<const TextActionJSONtoCSV*>(&action);
        if (csv && csv->conversion == JSONtoCSVType::toJson) return {M::csv, M::json};
        return {M::json, M::csv};
    }
    // Their output is prose, a code, a picture marker or a report: nothing to colour.
    case TextActionType::spellOutNumbers:
    case TextActionType::encodeDecode:
    case TextActionType::encryption:
    case TextActionType::stats:
    case TextActionType::textGenerator:
    case TextActionType::specialTransformations:
    case TextActionType::generateQRCode:
    case TextActionType::chatGPT:
        return {std::nullopt, M::plain};
    default:
        // Line and character edits keep whatever kind of text they were given.
        return {};
    }
}

SyntaxMode inputSyntax(const TextActionSeq& seq) {
    for (const auto& action : seq.actionsArray) {
        if (!action || !action->enabled()) continue;
        const ActionSyntax syntax = actionSyntax(*action);
        if (syntax.consumes) return *syntax.consumes;
        // Past a step that makes something new, later steps say nothing about the input.
        if (syntax.produces) return SyntaxMode::plain;
    }
    return SyntaxMode::plain;
}

SyntaxMode resultSyntax(const TextActionSeq& seq, std::optional<SyntaxMode> given) {
    SyntaxMode mode = given.value_or(inputSyntax(seq));
    for (const auto& action : seq.actionsArray) {
        if (!action || !action->enabled()) continue;
        if (const auto produced = actionSyntax(*action).produces) mode = *produced;
    }
    return mode;
}

} // namespace lexorra::shell
