#pragma once

#include "core/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace lexorra::data {

// The one JSON layout the data actions write ("beautified" JSON):
//   - each array element and each object member on its own line, two spaces per level;
//   - " : " between a key and its value;
//   - "/" written as "\/", quote and backslash escaped, control characters as \b \f \n \r \t
//     or \u00xx (lower-case hex), every other character (non-ASCII included) written raw;
//   - empty containers stay on one line as "[]" and "{}";
//   - object members in the order they were read (input order); of two members with the same
//     key, the first one's position and the last one's value survive, as in a dictionary;
//   - integers as read, other numbers in the shortest form that reads back to the same double
//     (so 1.0 comes out as 1 and 1e21 as 1e+21);
//   - no line feed after the closing bracket.
//
//   auto pretty = data::prettyPrintJson(R"({"a":1,"b":[1,2]})");
//   // *pretty == "{\n  \"a\" : 1,\n  \"b\" : [\n    1,\n    2\n  ]\n}"
//
// Strict JSON in (RFC 8259, no comments, no trailing commas) with an object or an array at the
// top level; nullopt for anything else. Invalid UTF-8 in the input is read as U+FFFD.
std::optional<std::string> prettyPrintJson(std::string_view json);

// The same layout for a value tree built elsewhere (maps are written in their stored order;
// callers make sure numbers are finite).
std::string prettyJson(const Value& value);

// Parses strict JSON (object or array at the top) into a value tree: integers that fit in
// 64 bits stay integers, other numbers become doubles, duplicate keys collapse as above.
// nullopt when the text does not parse or its top level is a scalar.
std::optional<Value> parseStrictJson(std::string_view json);

// Appends a quoted JSON string with the escapes of the layout above.
void appendJsonString(std::string& out, std::string_view text);
// Appends a finite double: the shortest digits that read back to it, in decimal notation from
// 1e-4 up to 2^53 (a zero fraction dropped) and in exponent notation outside ("1e-05", "1e+21").
void appendJsonNumber(std::string& out, double number);

// A double as the platform describes it: shortest round-trip digits, decimal notation with at
// least one fraction digit from 1e-4 up to 2^53 ("100000.0", "0.0001"), exponent notation
// outside that range ("1e-05", "1.5e+300"); "nan", "inf", "-inf" for the others.
std::string doubleDescription(double d);

} // namespace lexorra::data
