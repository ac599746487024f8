#include "actions/data/YamlWriter.h"

#include "actions/data/JsonPrettyWriter.h"
#include "actions/data/YamlScalar.h"

#include <yaml.h>

#include <charconv>

namespace lexorra::data {

namespace {

constexpr auto strTag = "tag:yaml.org,2002:str";

yaml_char_t* bytes(const char* s) { return reinterpret_cast<yaml_char_t*>(const_cast<char*>(s)); }

int appendOutput(void* data, unsigned char* buffer, size_t size) {
    static_cast<std::string*>(data)->append(reinterpret_cast<const char*>(buffer), size);
    return 1;
}

class Emitter {
public:
    Emitter() { m_ready = yaml_emitter_initialize(&m_emitter) != 0; }
    ~Emitter() {
        if (m_ready) yaml_emitter_delete(&m_emitter);
    }
    Emitter(const Emitter&) = delete;
    Emitter& operator=(const Emitter&) = delete;

    std::optional<std::string> run(const Value& value, std::string& error) {
        if (!m_ready) {
            error = "not enough memory to write YAML";
            return std::nullopt;
        }
        std::string out;
        yaml_emitter_set_output(&m_emitter, appendOutput, &out);
        yaml_emitter_set_canonical(&m_emitter, 0);
        yaml_emitter_set_indent(&m_emitter, 2);
        yaml_emitter_set_width(&m_emitter, 80);
        yaml_emitter_set_unicode(&m_emitter, 0);
        yaml_emitter_set_break(&m_emitter, YAML_LN_BREAK);

        yaml_event_t event;
        bool ok = yaml_stream_start_event_initialize(&event, YAML_UTF8_ENCODING) && emit(event) &&
                  yaml_document_start_event_initialize(&event, nullptr, nullptr, nullptr, 1) && emit(event) &&
                  write(value) && yaml_document_end_event_initialize(&event, 1) && emit(event) &&
                  yaml_stream_end_event_initialize(&event) && emit(event);
        if (!ok) {
            error = m_emitter.problem ? m_emitter.problem : "the YAML emitter failed";
            return std::nullopt;
        }
        return out;
    }

private:
    yaml_emitter_t m_emitter{};
    bool m_ready = false;

    bool emit(yaml_event_t& event) { return yaml_emitter_emit(&m_emitter, &event) != 0; }

    bool plain(std::string_view text) {
        yaml_event_t event;
        return yaml_scalar_event_initialize(&event, nullptr, nullptr, bytes(text.data()), static_cast<int>(text.size()),
                                            1, 1, YAML_ANY_SCALAR_STYLE) &&
               emit(event);
    }

    bool string(const std::string& text) {
        // A text that would read back as another type gets the str tag with quoted_implicit,
        // which makes the emitter quote it instead of writing the tag.
        const bool quote = resolvesToNonString(text);
        yaml_event_t event;
        return yaml_scalar_event_initialize(&event, nullptr, quote ? bytes(strTag) : nullptr, bytes(text.c_str()),
                                            static_cast<int>(text.size()), quote ? 0 : 1, 1,
                                            YAML_ANY_SCALAR_STYLE) &&
               emit(event);
    }

    bool write(const Value& value) {
        yaml_event_t event;
        if (value.isMap()) {
            if (!yaml_mapping_start_event_initialize(&event, nullptr, nullptr, 1, YAML_BLOCK_MAPPING_STYLE) ||
                !emit(event))
                return false;
            for (const auto& [key, item] : value.asMap())
                if (!string(key) || !write(item)) return false;
            return yaml_mapping_end_event_initialize(&event) && emit(event);
        }
        if (value.isList()) {
            if (!yaml_sequence_start_event_initialize(&event, nullptr, nullptr, 1, YAML_BLOCK_SEQUENCE_STYLE) ||
                !emit(event))
                return false;
            for (const auto& item : value.asList())
                if (!write(item)) return false;
            return yaml_sequence_end_event_initialize(&event) && emit(event);
        }
        if (value.isString()) return string(value.asString());
        if (value.isBool()) return plain(value.asBool() ? "true" : "false");
        if (value.isInteger()) {
            char buffer[24];
            auto end = std::to_chars(buffer, buffer + sizeof buffer, value.asInteger()).ptr;
            return plain(std::string_view(buffer, static_cast<size_t>(end - buffer)));
        }
        if (value.isDouble()) {
            std::string number;
            appendJsonNumber(number, value.asDouble());
            return plain(number);
        }
        return plain("null");
    }
};

} // namespace

std::optional<std::string> writeYaml(const Value& value, std::string& error) { return Emitter().run(value, error); }

} // namespace lexorra::data
