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

// Every fixed marker: a result equal to one of them is flagged as a marker, not as text.
inline constexpr std::array all{notValidJson,    notValidXml,    noValidJsonFromXml, notValidYaml,
                                notValidForJson, notValidCoding, notValidRegEx,      regExTimedOut,
                                regExTooComplex, givePassword,   encryptionError,    decryptedNotText};

} // namespace lexorra::markers
