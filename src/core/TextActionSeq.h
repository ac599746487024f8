#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"
#include "core/Value.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lexorra {

class RunToken;

// Which list the active sequence comes from.
enum class SeqType : int { action = 0, workFlow = 1 };
std::optional<SeqType> seqTypeFromRaw(long long raw);

// The text a run returns when it became stale; consumers treat it as "no result".
inline constexpr std::string_view cancellationMarker = markers::cancelled;
// The text the QR-code action leaves in its result for the user interface.
inline constexpr std::string_view qrCodeMarker = markers::qrCode;

// A workflow: a named list of configured actions applied one after another. Also the
// type of the built-in single-action sequences.
//
//   TextActionSeq seq("Tidy");
//   seq.actionsArray.push_back(makeDefault(TextActionType::trimLines));
//   auto result = seq.run("  a  \n b ");
class TextActionSeq {
public:
    explicit TextActionSeq(std::string name);

    std::string id;
    std::string name;
    std::string icon = "flowchart";
    bool allowToEdit = false;
    bool isFolder = true;
    std::vector<std::shared_ptr<TextAction>> actionsArray;
    std::optional<std::vector<std::shared_ptr<TextActionSeq>>> seqArray;

    std::shared_ptr<TextActionSeq> copy() const;

    // Takes the action at `from` out of the list and puts it back so that it ends at index
    // `to`; the others keep their order. False when nothing moved: equal indices, or either
    // index outside the list.
    bool moveAction(size_t from, size_t to);

    // Applies the enabled actions in order. Before every action the run token is checked:
    // when it moved on since the run started, the run ends with the cancellation marker.
    std::string run(std::string_view text) const;
    std::string run(std::string_view text, const RunToken& token) const;
    // The same, taking over the text: large inputs are not copied.
    std::string run(std::string&& text, const RunToken& token) const;
    std::string run(const char* text, const RunToken& token) const { return run(std::string_view(text), token); }
    // Reads a text file (encoding detected) and runs over it; nothing when the file cannot
    // be read or is empty.
    std::optional<std::string> runFile(const std::filesystem::path& file) const;

    // The workflow dictionary: "Id", "Name", "Icon", ["APPVersion"], "Actions".
    Dictionary toDictionary(bool includeVersion) const;
    // The dictionary without "APPVersion" as compact JSON with sorted keys.
    std::string jsonString() const;

    // Reads a workflow dictionary; nullptr without a string "Name", a string "Id" or a list
    // "Actions". Action entries that cannot be restored are dropped.
    static std::shared_ptr<TextActionSeq> fromDictionary(const Dictionary& dictionary);
    // Parses JSON text; nullptr unless it is an object that reads as a workflow.
    static std::shared_ptr<TextActionSeq> fromJsonString(std::string_view json);

    friend bool operator==(const TextActionSeq& a, const TextActionSeq& b) { return a.id == b.id; }

private:
    friend std::string runNestedWorkflow(std::string_view id, std::string_view text);
    std::string runOver(std::string_view input, std::string* owned, const RunToken& token,
                        std::string_view pathPrefix = {}) const;
};

using TextActionSeqPtr = std::shared_ptr<TextActionSeq>;

// The application's version in the form "APPVersion" and "Version" use: "0.1.0(1)".
std::string appVersionString();

// One sequence per kind, sorted by lower-cased name; the AI kind is left out without a key.
std::vector<TextActionSeqPtr> makeBuiltInSequences(bool hasApiKey);

// Removes every occurrence of the QR marker, ignoring letter case.
std::string removeQrMarker(std::string_view text);

} // namespace lexorra
