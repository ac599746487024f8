#pragma once

#include "core/ActionFactory.h"
#include "core/Options.h"
#include "core/TextAction.h"
#include "core/Value.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lexorra::fuzz {

// Consumes a fuzzer's input from the front. Reading past the end yields zeros, so every
// prefix of an input still decodes to something the engine can run.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(reinterpret_cast<const char*>(data)), m_size(size) {}

    std::uint8_t byte() { return m_pos < m_size ? static_cast<std::uint8_t>(m_data[m_pos++]) : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return v;
    }
    // A short string whose length comes from one byte.
    std::string shortString() {
        // The length byte is consumed before the rest is measured (argument order is unspecified).
        const std::size_t wanted = byte();
        const std::size_t n = std::min(wanted, remaining());
        std::string s(m_data + m_pos, n);
        m_pos += n;
        return s;
    }
    std::string_view rest() {
        std::string_view r(m_data + m_pos, remaining());
        m_pos = m_size;
        return r;
    }
    std::size_t remaining() const { return m_size - m_pos; }

private:
    const char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Integers reach the whole declared range, but open-ended counts are kept small enough that
// one run cannot be asked for gigabytes of output on purpose.
inline std::int64_t decodeInteger(const OptionDecl& decl, Input& in) {
    constexpr std::int64_t openLimit = 4096;
    std::int64_t lo = std::max(decl.minimum, -openLimit);
    std::int64_t hi = std::min(decl.maximum, openLimit);
    if (decl.kind == OptionKind::stepper && decl.maximum - decl.minimum <= 100000) {
        lo = decl.minimum;
        hi = decl.maximum;
    }
    if (hi < lo) return decl.minimum;
    std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
    std::uint32_t pick = in.u32();
    // Ill-formed values are part of what a stored dictionary can hold: 1 in 16 goes out of range.
    if ((pick & 0xF) == 0xF) return static_cast<std::int32_t>(in.u32());
    return lo + static_cast<std::int64_t>((pick >> 4) % span);
}

// Sets every declared option of the action from the input, through the same declarations
// that the dictionary reader and the command line use.
inline void decodeOptions(TextAction& action, Input& in) {
    for (const OptionDecl& decl : action.options()) {
        Value v;
        switch (decl.kind) {
        case OptionKind::text:
        case OptionKind::multilineText:
        case OptionKind::workflow:
            v = Value(in.shortString());
            break;
        case OptionKind::toggle:
            v = Value((in.byte() & 1) != 0);
            break;
        case OptionKind::menu: {
            std::uint8_t b = in.byte();
            if (!decl.cases.empty() && b < 0xF0) v = Value(decl.cases[b % decl.cases.size()].raw);
            else v = Value(static_cast<std::int64_t>(static_cast<std::int8_t>(b)));
            break;
        }
        case OptionKind::stepper:
        case OptionKind::integer:
            v = Value(decodeInteger(decl, in));
            break;
        }
        action.setOption(decl.key, v);
    }
}

// Builds the default action of a kind, decodes its options and transforms the rest.
inline void runAction(TextActionType type, Input& in) {
    auto action = makeDefault(type);
    if (!action) return;
    decodeOptions(*action, in);
    // The generator makes as much text as asked: its declared ranges allow 10^11 words, which
    // is a request, not a fault. Keep the amounts small so runs stay about the code paths.
    if (type == TextActionType::textGenerator) {
        for (const OptionDecl& decl : action->options()) {
            if (decl.kind != OptionKind::stepper && decl.kind != OptionKind::integer) continue;
            const std::int64_t value = action->optionValue(decl.key).asInteger();
            if (value > 12) action->setOption(decl.key, Value(std::int64_t{1} + value % 12));
        }
    }
    std::string out = action->transform(in.rest());
    // Every result must be a string the rest of the program can hold and copy.
    volatile std::size_t sink = out.size();
    (void)sink;
}

} // namespace lexorra::fuzz
