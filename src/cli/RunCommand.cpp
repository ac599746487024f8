#include "cli/RunCommand.h"

#include "cli/MappedInput.h"
#include "core/ActionFactory.h"
#include "core/AtomicFile.h"
#include "core/Json.h"
#include "core/RunToken.h"
#include "core/TextFile.h"
#include "core/WorkflowLibrary.h"
#include "text/Utf.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <ostream>

namespace lexorra::cli {
namespace {

// Whole-stream reads in large blocks: inputs of tens of megabytes are normal.
bool readAll(std::FILE* file, std::string& out) {
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    return !std::ferror(file);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool startsWithByteOrderMark(std::string_view bytes) {
    using namespace std::string_view_literals;
    return bytes.starts_with("\xEF\xBB\xBF"sv) || bytes.starts_with("\xFF\xFE"sv) || bytes.starts_with("\xFE\xFF"sv) ||
           bytes.starts_with("\x00\x00\xFE\xFF"sv);
}

} // namespace

void RunCommand::declare(CLI::App& sub) {
    auto* group = sub.add_option_group("source", "What to run");
    group->add_option("--action", m_action, "Action kind: case name, raw value or title");
    group->add_option("--action-json", m_actionJson, "Action dictionary as JSON");
    group->add_option("--workflow", m_workflow, "Stored workflow: name or id");
    group->add_option("--workflow-file", m_workflowFile, "Workflow dictionary or exchange file");
    group->require_option(1);
    sub.add_option("--set", m_settings, "Option of the action: KEY=VALUE (repeatable)")->allow_extra_args(false);
    sub.add_option("--in", m_inFile, "Read the input from FILE instead of standard input");
    sub.add_option("--out", m_outFile, "Write the result to FILE instead of standard output");
    sub.add_option("--trace", m_traceFile,
                   "Also write every step's output to FILE: one JSON object per line and step "
                   "(step, path, kind, title, ms, output, marker)");
}

int RunCommand::applySettings(Io& io, TextAction& action) {
    for (const auto& setting : m_settings) {
        const auto eq = setting.find('=');
        if (eq == std::string::npos)
            return fail(io.err, exitUsage, "--set expects KEY=VALUE, got \"" + setting + "\"");
        const std::string key = setting.substr(0, eq);
        const std::string text = setting.substr(eq + 1);
        const OptionDecl* decl = action.option(key);
        if (!decl) {
            std::string known;
            for (const auto& d : action.options()) known += (known.empty() ? "" : ", ") + d.key;
            return fail(io.err, exitUsage,
                        "\"" + std::string(title(action.type)) + "\" has no option \"" + key + "\"" +
                            (known.empty() ? " (it has no options)" : " (options: " + known + ")"));
        }
        auto value = decl->parse(text);
        if (!value)
            return fail(io.err, exitUsage,
                        "option \"" + key + "\" of \"" + std::string(title(action.type)) + "\" expects " +
                            decl->expectation() + ", got \"" + text + "\"");
        action.setOption(key, *value);
    }
    return exitOk;
}

int RunCommand::buildFromAction(Io& io, std::shared_ptr<TextActionSeq>& seq) {
    std::shared_ptr<TextAction> action;
    if (!m_action.empty()) {
        auto type = textActionTypeFromName(m_action);
        if (!type) return fail(io.err, exitUsage, "unknown action kind \"" + m_action + "\" (see lexorra-cli actions)");
        action = makeDefault(*type);
    } else {
        std::string error;
        auto dict = json::parse(m_actionJson, &error);
        if (!dict || !dict->isMap()) return fail(io.err, exitUsage, "--action-json expects a JSON object");
        const Value* typeValue = dict->get("Type");
        auto raw = typeValue && !typeValue->isBool() ? typeValue->toInteger() : std::nullopt;
        auto type = raw ? textActionTypeFromRaw(*raw) : std::nullopt;
        if (!type) return fail(io.err, exitUsage, "--action-json needs a \"Type\" between 0 and 33");
        action = fromDictionary(*type, *dict);
        seq = std::make_shared<TextActionSeq>("lexorra-cli");
        if (!action) {
            // Read as a stored workflow would be: an entry that cannot be restored is
            // dropped, and the remaining (empty) workflow returns its input.
            io.err << "lexorra-cli: warning: the action dictionary cannot be restored; the input is left as it is\n";
            return exitOk;
        }
    }
    if (int status = applySettings(io, *action); status != exitOk) return status;
    seq = std::make_shared<TextActionSeq>("lexorra-cli");
    seq->actionsArray.push_back(action);
    return exitOk;
}

int RunCommand::buildFromWorkflowFile(Io& io, std::shared_ptr<TextActionSeq>& seq) {
    auto bytes = readTextFile(m_workflowFile);
    if (!bytes) return fail(io.err, exitIo, "cannot read \"" + m_workflowFile + "\"");
    std::string error;
    auto doc = json::parse(*bytes, &error);
    if (!doc || !doc->isMap())
        return fail(io.err, exitUsage, "\"" + m_workflowFile + "\" is not a JSON object: " + error);
    Value workflow = *doc;
    if (const Value* list = doc->get("workflows")) {
        if (!list->isList() || list->asList().empty() || !list->asList().front().isMap())
            return fail(io.err, exitUsage, "\"" + m_workflowFile + "\" holds no workflow under \"workflows\"");
        workflow = list->asList().front();
        for (const auto& entry : list->asList())
            if (auto other = entry.isMap() ? TextActionSeq::fromDictionary(entry) : nullptr)
                m_fileWorkflows.push_back(std::move(other));
    }
    const Value* actions = workflow.get("Actions");
    if (!actions || !actions->isList())
        return fail(io.err, exitUsage, "\"" + m_workflowFile + "\" has no \"Actions\" list");
    // A hand-written file may leave out the name or id; they do not change the result.
    if (const Value* n = workflow.get("Name"); !n || !n->isString()) workflow.set("Name", "lexorra-cli");
    if (const Value* i = workflow.get("Id"); !i || !i->isString()) workflow.set("Id", "lexorra-cli");
    seq = TextActionSeq::fromDictionary(workflow);
    if (!seq) return fail(io.err, exitUsage, "\"" + m_workflowFile + "\" is not a workflow");
    return exitOk;
}

int RunCommand::buildSequence(Io& io, std::shared_ptr<TextActionSeq>& seq) {
    if (!m_action.empty() || !m_actionJson.empty()) return buildFromAction(io, seq);
    if (!m_settings.empty()) return fail(io.err, exitUsage, "--set applies to --action and --action-json only");
    if (!m_workflowFile.empty()) return buildFromWorkflowFile(io, seq);
    std::string problem;
    seq = WorkflowLibrary().find(m_workflow, &problem);
    if (!problem.empty()) return fail(io.err, exitIo, problem);
    if (!seq) return fail(io.err, exitUnknownWorkflow, "no workflow named or with the id \"" + m_workflow + "\"");
    return exitOk;
}

int RunCommand::execute(Io& io) {
    std::shared_ptr<TextActionSeq> seq;
    if (int status = buildSequence(io, seq); status != exitOk) return status;

    // A file is read as any text file is (its byte-order mark tells the encoding); standard
    // input is taken exactly as it comes whenever it is UTF-8. Regular files are mapped, not
    // copied; the text is only copied when it has to be decoded.
    MappedInput mapped;
    FileHandle file;
    std::string bytes;
    bool isMapped = false;
    if (!m_inFile.empty()) {
        std::error_code ec;
        if (std::filesystem::is_directory(m_inFile, ec) || !(file = FileHandle(std::fopen(m_inFile.c_str(), "rb"))))
            return fail(io.err, exitIo, "cannot read \"" + m_inFile + "\"");
        isMapped = mapped.map(fileno(file.get()));
        if (!isMapped && !readAll(file.get(), bytes)) return fail(io.err, exitIo, "cannot read \"" + m_inFile + "\"");
    } else if (&io.in == &std::cin) {
        isMapped = mapped.map(fileno(stdin));
        if (!isMapped && !readAll(stdin, bytes)) return fail(io.err, exitIo, "cannot read standard input");
    } else {
        bytes.assign(std::istreambuf_iterator<char>(io.in), std::istreambuf_iterator<char>());
    }
    const std::string_view raw = isMapped ? mapped.bytes() : std::string_view(bytes);
    const bool asItIs = text::isValidUtf8(raw) && (m_inFile.empty() || !startsWithByteOrderMark(raw));
    std::vector<StepRecord> trace;
    RunEnvironment environment(workflowLookup(), m_traceFile.empty() ? nullptr : &trace);
    std::string result;
    if (asItIs && isMapped) {
        result = seq->run(raw, RunToken::application());
    } else {
        std::string input = asItIs ? std::move(bytes) : decodeText(raw);
        result = seq->run(std::move(input), RunToken::application());
    }

    if (!m_traceFile.empty())
        if (int status = writeTrace(io, trace); status != exitOk) return status;
    if (!m_outFile.empty()) return writeResult(io, result);
    io.out.write(result.data(), static_cast<std::streamsize>(result.size()));
    io.out.flush();
    if (!io.out) return fail(io.err, exitIo, "cannot write the result");
    return exitOk;
}

RunEnvironment::Lookup RunCommand::workflowLookup() const {
    // The stored list is read only when a step asks for a workflow the file does not hold.
    auto stored = std::make_shared<std::optional<std::vector<TextActionSeqPtr>>>();
    return [this, stored](std::string_view id) -> std::shared_ptr<const TextActionSeq> {
        for (const auto& workflow : m_fileWorkflows)
            if (workflow->id == id) return workflow;
        if (!*stored) *stored = WorkflowLibrary().current().value_or(std::vector<TextActionSeqPtr>{});
        for (const auto& workflow : **stored)
            if (workflow->id == id) return workflow;
        return nullptr;
    };
}

int RunCommand::writeTrace(Io& io, const std::vector<StepRecord>& trace) const {
    std::string lines;
    for (const auto& record : trace) {
        char ms[32];
        std::snprintf(ms, sizeof ms, "%.3f", record.ms);
        lines += "{\"step\": " + std::to_string(record.step) + ", \"path\": " + json::write(Value(record.path)) +
                 ", \"kind\": " + json::write(Value(std::string(caseName(record.kind)))) +
                 ", \"title\": " + json::write(Value(record.title)) + ", \"ms\": " + ms +
                 ", \"output\": " + json::write(Value(record.output)) +
                 ", \"marker\": " + (record.marker ? "true" : "false") + "}\n";
    }
    std::string error;
    if (!AtomicFile::write(m_traceFile, lines, &error, AtomicFile::Mode::usual)) return fail(io.err, exitIo, error);
    return exitOk;
}

// A regular file is replaced whole, so a crash or a full disk never leaves the user's file
// (often the input itself) truncated; a device or a pipe is written as a stream.
int RunCommand::writeResult(Io& io, const std::string& result) const {
    std::error_code ec;
    std::filesystem::path target = m_outFile;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::canonical(target, ec);
        if (!ec) target = resolved;
    }
    const auto status = std::filesystem::status(target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        std::ofstream out(target, std::ios::binary);
        out.write(result.data(), static_cast<std::streamsize>(result.size()));
        out.close();
        return out ? exitOk : fail(io.err, exitIo, "cannot write \"" + m_outFile + "\"");
    }
    std::string error;
    if (!AtomicFile::write(target, result, &error, AtomicFile::Mode::usual)) return fail(io.err, exitIo, error);
    return exitOk;
}

} // namespace lexorra::cli
