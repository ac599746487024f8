#pragma once

#include <array>
#include <string_view>

// The texts a run gives instead of a result when it cannot make one. They are results, not
// errors (the command line exits 0 with them), and users' own workflows and scripts match
// them, so each is written exactly once, here, and never reworded.
namespace lexorra::markers {

// A run that became stale; consumers treat it as "no result".
inline constexpr std::string_view cancelled = "-9264837-";
// Left by the QR-code action in its result: the user interface shows the picture.
inline constexpr std::string_view qrCode = "[<_QR-Code_>]";

inline constexpr std::string_view notValidJson = "  --- Not valid JSON --- ";
inline constexpr std::string_view notValidXml = "  --- Not valid XML --- ";
inline constexpr std::string_view noValidJsonFromXml = "  --- Could not generate valid JSON --- ";
inline constexpr std::string_view notValidYaml = "-- not valid YAML -- ";
inline constexpr std::string_view notValidForJson = "-- not valid --";
inline constexpr std::string_view notValidCoding = " -- Not Valid -- ";
inline constexpr std::string_view notValidRegEx = " -- Not valid RegEx -- ";
inline constexpr std::string_view regExTimedOut = " -- RegEx took too long -- ";
inline constexpr std::string_view regExTooComplex = " -- RegEx too complex for this text -- ";
inline constexpr std::string_view givePassword = "-- Give Password --";
inline constexpr std::string_view encryptionError = "-- Error --";
// The message opened and proved authentic, but what it holds is not UTF-8 text.
inline constexpr std::string_view decryptedNotText = "-- Decrypted data is not UTF-8 text --";

// A Run Workflow step whose workflow would run itself again, directly or through others.
inline constexpr std::string_view workflowRunsItself = " -- Workflow runs itself -- ";
// A Run Workflow step whose workflow is not there (deleted, or not synchronised yet):
// the prefix, the id, the suffix.
inline constexpr std::string_view missingWorkflowPrefix = " -- No workflow with the id ";
inline constexpr std::string_view missingWorkflowSuffix = " -- ";

// Every fixed marker: a result equal to one of them is flagged as a marker, not as text.
inline constexpr std::array all{notValidJson,    notValidXml,    noValidJsonFromXml, notValidYaml,
                                notValidForJson, notValidCoding, notValidRegEx,      regExTimedOut,
                                regExTooComplex, givePassword,   encryptionError,    decryptedNotText,
                                workflowRunsItself};

// Whether a step's output is a marker rather than a transformed text.
inline bool isMarker(std::string_view output) {
    for (auto marker : all)
        if (output == marker) return true;
    return output.starts_with(missingWorkflowPrefix) || output.starts_with(" -- ERROR:");
}

} // namespace lexorra::markers
