#include "actions/data/YamlScalar.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace lexorra::data {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

template <class Pred> bool allOf(std::string_view s, Pred pred) {
    for (char c : s)
        if (!pred(c)) return false;
    return true;
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> words) {
    for (auto w : words)
        if (text == w) return true;
    return false;
}

// Accumulates digits (underscores skipped) in a base; on 64-bit overflow continues in double.
struct Accumulator {
    std::uint64_t exact = 0;
    double approx = 0;
    bool overflow = false;

    void push(unsigned digit, unsigned base) {
        approx = approx * base + digit;
        if (!overflow)
            overflow = __builtin_mul_overflow(exact, base, &exact) || __builtin_add_overflow(exact, digit, &exact);
    }
};

unsigned digitValue(char c) {
    if (isDigit(c)) return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

void accumulate(Accumulator& acc, std::string_view digits, unsigned base) {
    for (char c : digits)
        if (c != '_') acc.push(digitValue(c), base);
    if (acc.overflow && base == 10) {
        // Past 64 bits a decimal integer becomes the double nearest to it: read once, not
        // rounded again at every digit as the running sum is.
        std::string plain;
        for (char c : digits)
            if (c != '_') plain += c;
        double nearest = 0;
        if (std::from_chars(plain.data(), plain.data() + plain.size(), nearest).ec == std::errc()) acc.approx = nearest;
    }
}

ResolvedScalar makeInteger(bool negative, const Accumulator& acc) {
    ResolvedScalar r;
    r.kind = ScalarKind::integer;
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (acc.overflow || acc.exact > limit) {
        r.integerOverflow = true;
        // Within 64 unsigned bits the exact digits round once; the running double drifts.
        const double magnitude = acc.overflow ? acc.approx : static_cast<double>(acc.exact);
        r.floating = negative ? -magnitude : magnitude;
        return r;
    }
    r.integer = negative ? static_cast<std::int64_t>(0 - acc.exact) : static_cast<std::int64_t>(acc.exact);
    r.floating = static_cast<double>(r.integer);
    return r;
}

// Base-60 groups after the first: one or more of ":" [0-5]?[0-9]. Returns the length matched
// (0 when there is no group) and adds the groups to the accumulator.
size_t sexagesimalGroups(std::string_view s, Accumulator* acc) {
    size_t i = 0;
    while (i < s.size() && s[i] == ':') {
        size_t j = i + 1;
        if (j + 1 < s.size() && s[j] >= '0' && s[j] <= '5' && isDigit(s[j + 1])) {
            if (acc) acc->push(static_cast<unsigned>((s[j] - '0') * 10 + (s[j + 1] - '0')), 60);
            j += 2;
        } else if (j < s.size() && isDigit(s[j])) {
            if (acc) acc->push(static_cast<unsigned>(s[j] - '0'), 60);
            j += 1;
        } else {
            break;
        }
        i = j;
    }
    return i;
}

// Length of a leading [0-9][0-9_]* run (0 when it does not start with a digit).
size_t decimalRun(std::string_view s) {
    if (s.empty() || !isDigit(s[0])) return 0;
    size_t i = 1;
    while (i < s.size() && (isDigit(s[i]) || s[i] == '_'))
        ++i;
    return i;
}

bool resolveInteger(std::string_view text, ResolvedScalar& out) {
    const bool negative = !text.empty() && text[0] == '-';
    std::string_view s = text;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    if (s.empty()) return false;
    Accumulator acc;
    auto binary = [](char c) { return c == '0' || c == '1' || c == '_'; };
    auto octal = [](char c) { return (c >= '0' && c <= '7') || c == '_'; };
    auto hex = [](char c) { return isHex(c) || c == '_'; };

    if (s.size() > 2 && s.substr(0, 2) == "0b" && allOf(s.substr(2), binary)) {
        accumulate(acc, s.substr(2), 2);
    } else if (s.size() > 2 && s.substr(0, 2) == "0x" && allOf(s.substr(2), hex)) {
        accumulate(acc, s.substr(2), 16);
    } else if (s[0] == '0' && s.size() > 1) {
        const size_t start = s[1] == 'o' ? 2 : 1;
        if (s.size() <= start || !allOf(s.substr(start), octal)) return false;
        accumulate(acc, s.substr(start), 8);
    } else if (s == "0") {
    } else if (s[0] >= '1' && s[0] <= '9') {
        const size_t head = decimalRun(s);
        if (head == s.size()) {
            accumulate(acc, s, 10);
        } else {
            accumulate(acc, s.substr(0, head), 10);
            if (sexagesimalGroups(s.substr(head), nullptr) != s.size() - head) return false;
            sexagesimalGroups(s.substr(head), &acc);
        }
    } else {
        return false;
    }
    out = makeInteger(negative, acc);
    return true;
}

double parseDecimal(std::string_view digits) {
    std::string clean;
    clean.reserve(digits.size() + 1);
    for (char c : digits)
        if (c != '_') clean += c;
    if (!clean.empty() && clean[0] == '.') clean.insert(clean.begin(), '0');
    double value = 0;
    auto result = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large: infinity (which no JSON can hold); too small: zero.
        const auto e = clean.find_first_of("eE");
        const bool negativeExponent = e != std::string::npos && e + 1 < clean.size() && clean[e + 1] == '-';
        value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return value;
}

bool resolveFloat(std::string_view text, ResolvedScalar& out) {
    out.kind = ScalarKind::floating;
    const bool signedText = !text.empty() && (text[0] == '-' || text[0] == '+');
    const bool negative = signedText && text[0] == '-';
    std::string_view s = signedText ? text.substr(1) : text;

    if (isOneOf(s, {".inf", ".Inf", ".INF"})) {
        out.floating = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    if (!signedText && isOneOf(s, {".nan", ".NaN", ".NAN"})) {
        out.floating = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    // [0-9][0-9_]* (\.[0-9_]*)? ([eE][-+]?[0-9]+)?
    if (size_t i = decimalRun(s)) {
        const size_t head = i;
        if (i < s.size() && s[i] == '.') {
            ++i;
            while (i < s.size() && (isDigit(s[i]) || s[i] == '_'))
                ++i;
        }
        size_t exponentEnd = i;
        if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
            size_t j = i + 1;
            if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
            const size_t digits = j;
            while (j < s.size() && isDigit(s[j]))
                ++j;
            exponentEnd = j > digits ? j : i;
        }
        if (exponentEnd == s.size()) {
            const double v = parseDecimal(s);
            out.floating = negative ? -v : v;
            return true;
        }
        // Base 60 with a fraction: [0-9][0-9_]* (:[0-5]?[0-9])+ \.[0-9_]*
        const size_t groups = sexagesimalGroups(s.substr(head), nullptr);
        const size_t dot = head + groups;
        if (groups > 0 && dot < s.size() && s[dot] == '.' &&
            allOf(s.substr(dot + 1), [](char c) { return isDigit(c) || c == '_'; })) {
            Accumulator acc;
            accumulate(acc, s.substr(0, head), 10);
            sexagesimalGroups(s.substr(head), &acc);
            const double v = acc.approx + parseDecimal(s.substr(dot));
            out.floating = negative ? -v : v;
            return true;
        }
        return false;
    }
    // \.[0-9_]+ ([eE][-+][0-9]+)?  (no sign allowed)
    if (!signedText && s.size() >= 2 && s[0] == '.') {
        size_t i = 1;
        while (i < s.size() && (isDigit(s[i]) || s[i] == '_'))
            ++i;
        if (i == 1) return false;
        if (i < s.size()) {
            const bool exponent = (s[i] == 'e' || s[i] == 'E') && i + 2 < s.size() &&
                                  (s[i + 1] == '-' || s[i + 1] == '+') && allOf(s.substr(i + 2), isDigit);
            if (!exponent) return false;
        }
        out.floating = parseDecimal(s);
        return true;
    }
    return false;
}

// Counts consecutive ASCII digits at i, at most `most`.
size_t digitsAt(std::string_view s, size_t i, size_t most) {
    size_t n = 0;
    while (i + n < s.size() && n < most && isDigit(s[i + n]))
        ++n;
    return n;
}

bool isTimestamp(std::string_view s) {
    if (s.size() == 10 && digitsAt(s, 0, 4) == 4 && s[4] == '-' && digitsAt(s, 5, 2) == 2 && s[7] == '-' &&
        digitsAt(s, 8, 2) == 2)
        return true;
    size_t i = 0;
    if (digitsAt(s, i, 4) != 4) return false;
    i += 4;
    auto expect = [&](char c) {
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    };
    auto number = [&](size_t least, size_t most) {
        const size_t n = digitsAt(s, i, most);
        if (n < least) return false;
        i += n;
        return true;
    };
    if (!expect('-') || !number(1, 2) || !expect('-') || !number(1, 2)) return false;
    if (i < s.size() && (s[i] == 'T' || s[i] == 't')) {
        ++i;
    } else {
        const size_t start = i;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        if (i == start) return false;
    }
    if (!number(1, 2) || !expect(':') || !number(2, 2) || !expect(':') || !number(2, 2)) return false;
    if (expect('.')) number(0, std::string_view::npos);
    if (i == s.size()) return true;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    if (expect('Z')) return i == s.size();
    if (!(expect('-') || expect('+'))) return false;
    if (!number(1, 2)) return false;
    if (expect(':') && !number(2, 2)) return false;
    return i == s.size();
}

} // namespace

ResolvedScalar resolvePlainScalar(std::string_view text) {
    ResolvedScalar r;
    if (isOneOf(text, {"~", "null", "Null", "NULL", ""})) {
        r.kind = ScalarKind::null;
        return r;
    }
    if (isOneOf(text, {"yes", "Yes", "YES", "true", "True", "TRUE", "on", "On", "ON"})) {
        r.kind = ScalarKind::boolean;
        r.boolean = true;
        return r;
    }
    if (isOneOf(text, {"no", "No", "NO", "false", "False", "FALSE", "off", "Off", "OFF"})) {
        r.kind = ScalarKind::boolean;
        return r;
    }
    // Every remaining rule needs a digit, a sign or a dot up front; most strings stop here.
    const char first = text[0];
    if (!isDigit(first) && first != '-' && first != '+' && first != '.') return r;
    if (resolveInteger(text, r)) return r;
    if (resolveFloat(text, r)) return r;
    r = ResolvedScalar{};
    if (isTimestamp(text)) r.kind = ScalarKind::timestamp;
    return r;
}

} // namespace lexorra::data
