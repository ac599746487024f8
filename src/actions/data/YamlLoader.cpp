#include "actions/data/YamlLoader.h"

#include "actions/data/YamlScalar.h"
#include "text/Utf.h"

#include <yaml.h>

#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

namespace lexorra::data {

namespace {

constexpr std::string_view tagPrefix = "tag:yaml.org,2002:";

struct Node {
    enum Kind { scalar, sequence, mapping } kind = scalar;
    std::string text;
    std::string tag;
    bool plain = false;
    std::vector<size_t> children; // sequence items; mapping key, value, key, value...
};

std::string position(const yaml_mark_t& mark) {
    return "line " + std::to_string(mark.line + 1) + ", column " + std::to_string(mark.column + 1);
}

std::string describe(std::string_view context, const yaml_mark_t& contextMark, std::string_view problem,
                     const yaml_mark_t& problemMark) {
    std::string out;
    if (!context.empty()) out.append(context).append(" (").append(position(contextMark)).append("): ");
    out.append(problem).append(" (").append(position(problemMark)).append(")");
    return out;
}

std::string describe(const yaml_parser_t& parser) {
    const std::string_view problem = parser.problem ? parser.problem : "unknown error";
    switch (parser.error) {
    case YAML_MEMORY_ERROR: return "not enough memory to read the YAML text";
    case YAML_READER_ERROR:
        return std::string(problem) + " (byte offset " + std::to_string(parser.problem_offset) + ")";
    default:
        return describe(parser.context ? parser.context : "", parser.context_mark, problem, parser.problem_mark);
    }
}

std::string tooDeepMessage() {
    return "collections nest deeper than " + std::to_string(yamlDepthLimit) + " levels";
}

// Builds the node graph of the single document from parser events, without recursion.
class Composer {
public:
    std::vector<Node> nodes;
    std::optional<size_t> root;
    int documents = 0;
    std::string error;

    bool run(std::string_view text) {
        yaml_parser_t parser;
        if (!yaml_parser_initialize(&parser)) {
            error = "not enough memory to read the YAML text";
            return false;
        }
        yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()), text.size());
        bool ok = true;
        bool done = false;
        while (ok && !done) {
            yaml_event_t event;
            if (!yaml_parser_parse(&parser, &event)) {
                error = describe(parser);
                ok = false;
                break;
            }
            done = event.type == YAML_STREAM_END_EVENT;
            ok = handle(event);
            yaml_event_delete(&event);
        }
        yaml_parser_delete(&parser);
        return ok;
    }

private:
    struct Open {
        size_t node;
        std::string anchor;
    };
    std::vector<Open> m_open;
    std::unordered_map<std::string, size_t> m_anchors;
    yaml_mark_t m_firstDocument{};

    static std::string str(const yaml_char_t* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

    void attach(size_t index) {
        if (m_open.empty())
            root = index;
        else
            nodes[m_open.back().node].children.push_back(index);
    }

    size_t add(Node node) {
        nodes.push_back(std::move(node));
        return nodes.size() - 1;
    }

    bool handle(const yaml_event_t& event) {
        switch (event.type) {
        case YAML_DOCUMENT_START_EVENT:
            if (++documents == 2) {
                error = describe("expected a single document in the stream", m_firstDocument,
                                 "but found another document", event.start_mark);
                return false;
            }
            m_firstDocument = event.start_mark;
            return true;
        case YAML_SCALAR_EVENT: {
            const auto& s = event.data.scalar;
            Node node;
            node.text.assign(reinterpret_cast<const char*>(s.value), s.length);
            node.tag = str(s.tag);
            node.plain = s.style == YAML_PLAIN_SCALAR_STYLE;
            const size_t index = add(std::move(node));
            // Registered once complete: an alias can never point into its own anchor's node.
            if (s.anchor) m_anchors[str(s.anchor)] = index;
            attach(index);
            return true;
        }
        case YAML_SEQUENCE_START_EVENT:
        case YAML_MAPPING_START_EVENT: {
            // Stop here rather than in the conversion: libyaml's scanner walks its whole stack of
            // flow levels for every token, so reading on through deep nesting takes quadratic time.
            if (m_open.size() > yamlDepthLimit) {
                error = tooDeepMessage();
                return false;
            }
            Node node;
            const bool sequence = event.type == YAML_SEQUENCE_START_EVENT;
            node.kind = sequence ? Node::sequence : Node::mapping;
            node.tag = str(sequence ? event.data.sequence_start.tag : event.data.mapping_start.tag);
            const size_t index = add(std::move(node));
            m_open.push_back({index, str(sequence ? event.data.sequence_start.anchor : event.data.mapping_start.anchor)});
            return true;
        }
        case YAML_SEQUENCE_END_EVENT:
        case YAML_MAPPING_END_EVENT: {
            Open open = std::move(m_open.back());
            m_open.pop_back();
            if (!open.anchor.empty()) m_anchors[open.anchor] = open.node;
            attach(open.node);
            return true;
        }
        case YAML_ALIAS_EVENT: {
            const std::string name = str(event.data.alias.anchor);
            auto found = m_anchors.find(name);
            if (found == m_anchors.end()) {
                error = describe("", event.start_mark, "found undefined alias '" + name + "'", event.start_mark);
                return false;
            }
            attach(found->second);
            return true;
        }
        default: return true;
        }
    }
};

// Object members in first-seen order; a later explicit key replaces the value in place,
// merged keys never replace anything (explicit keys and earlier merges win).
class ObjectBuilder {
public:
    void set(std::string key, Value value, bool merged) {
        if (auto at = find(key)) {
            if (!merged) {
                m_map[*at].second = std::move(value);
            }
            return;
        }
        if (!m_index.empty() || m_map.size() >= 16) index();
        if (!m_index.empty()) m_index.emplace(key, m_map.size());
        m_map.emplace_back(std::move(key), std::move(value));
    }
    ValueMap take() { return std::move(m_map); }

private:
    std::optional<size_t> find(const std::string& key) const {
        if (!m_index.empty()) {
            auto it = m_index.find(key);
            return it == m_index.end() ? std::nullopt : std::optional<size_t>(it->second);
        }
        for (size_t i = 0; i < m_map.size(); ++i)
            if (m_map[i].first == key) return i;
        return std::nullopt;
    }
    void index() {
        if (!m_index.empty()) return;
        for (size_t i = 0; i < m_map.size(); ++i) m_index.emplace(m_map[i].first, i);
    }

    ValueMap m_map;
    std::unordered_map<std::string, size_t> m_index;
};

enum class Failure { none, notForJson, tooLarge, tooDeep };

class Converter {
public:
    Converter(const std::vector<Node>& nodes, YamlLimits limits) : m_nodes(nodes), m_limits(limits) {}
    Failure failure = Failure::none;

    std::optional<Value> convert(size_t index, size_t depth) {
        if (depth > yamlDepthLimit) return fail(Failure::tooDeep);
        const Node& node = m_nodes[index];
        ++m_nodeCount;
        m_textBytes += node.text.size();
        if (m_nodeCount > m_limits.nodes || m_textBytes > m_limits.textBytes) return fail(Failure::tooLarge);
        switch (node.kind) {
        case Node::scalar: return scalar(node);
        case Node::sequence: {
            ValueList list;
            list.reserve(node.children.size());
            for (size_t child : node.children) {
                auto item = convert(child, depth + 1);
                if (!item) return std::nullopt;
                list.push_back(std::move(*item));
            }
            return Value(std::move(list));
        }
        case Node::mapping: {
            ObjectBuilder object;
            if (!fillMapping(node, object, depth)) return std::nullopt;
            return Value(object.take());
        }
        }
        return std::nullopt;
    }

    // Walks the document as convert() would, in the same order and with the same limits,
    // but builds nothing: it tells which failure convert() would meet first. A node walked
    // once in full is summed up (nodes, text, height below it), so each later alias to it
    // costs one step while it fits, and an alias bomb is found in time linear in the input
    // instead of after building a million values.
    Failure check(size_t root) {
        m_summaries.assign(m_nodes.size(), Summary{});
        m_nodeCount = m_textBytes = 0;
        const Failure found = walk(root, 0);
        m_nodeCount = m_textBytes = 0;
        m_summaries.clear();
        return found;
    }

private:
    struct Summary {
        bool known = false;
        size_t nodes = 0;
        size_t textBytes = 0;
        size_t height = 0; // levels below the node; 0 for a scalar or an empty collection
    };

    const std::vector<Node>& m_nodes;
    YamlLimits m_limits;
    size_t m_nodeCount = 0;
    size_t m_textBytes = 0;
    std::vector<Summary> m_summaries;

    Failure walk(size_t index, size_t depth) {
        const Summary& known = m_summaries[index];
        if (known.known) {
            const bool deep = depth + known.height > yamlDepthLimit;
            const bool large =
                m_nodeCount + known.nodes > m_limits.nodes || m_textBytes + known.textBytes > m_limits.textBytes;
            if (!deep && !large) {
                m_nodeCount += known.nodes;
                m_textBytes += known.textBytes;
                return Failure::none;
            }
            // A summed-up node holds no failure of its own; with one limit crossed that one is
            // met first, with both the order inside decides: walk it.
            if (deep != large) return deep ? Failure::tooDeep : Failure::tooLarge;
        }
        if (depth > yamlDepthLimit) return Failure::tooDeep;
        const Node& node = m_nodes[index];
        const size_t nodesBefore = m_nodeCount;
        const size_t textBefore = m_textBytes;
        ++m_nodeCount;
        m_textBytes += node.text.size();
        if (m_nodeCount > m_limits.nodes || m_textBytes > m_limits.textBytes) return Failure::tooLarge;
        size_t height = 0;
        auto child = [&](size_t childIndex) {
            const Failure f = walk(childIndex, depth + 1);
            if (f == Failure::none) height = std::max(height, m_summaries[childIndex].height + 1);
            return f;
        };
        switch (node.kind) {
        case Node::scalar:
            if (!scalarValue(node)) return Failure::notForJson;
            break;
        case Node::sequence:
            for (size_t item : node.children)
                if (const Failure f = child(item); f != Failure::none) return f;
            break;
        case Node::mapping:
            for (size_t i = 0; i + 1 < node.children.size(); i += 2) {
                const Node& key = m_nodes[node.children[i]];
                const size_t valueIndex = node.children[i + 1];
                const Node& value = m_nodes[valueIndex];
                if (isMergeKey(key) && (value.kind == Node::mapping || value.kind == Node::sequence)) {
                    std::vector<size_t> sources;
                    if (value.kind == Node::mapping)
                        sources.push_back(valueIndex);
                    else
                        sources = value.children;
                    for (size_t source : sources) {
                        if (m_nodes[source].kind != Node::mapping) return Failure::notForJson;
                        if (const Failure f = child(source); f != Failure::none) return f;
                    }
                    continue;
                }
                if (!keyText(key)) return Failure::notForJson;
                if (const Failure f = child(valueIndex); f != Failure::none) return f;
            }
            break;
        }
        m_summaries[index] = {true, m_nodeCount - nodesBefore, m_textBytes - textBefore, height};
        return Failure::none;
    }

    std::nullopt_t fail(Failure f) {
        if (failure == Failure::none) failure = f;
        return std::nullopt;
    }

    bool isMergeKey(const Node& key) const {
        return key.kind == Node::scalar && key.text == "<<" &&
               ((key.plain && (key.tag.empty())) || key.tag == std::string(tagPrefix) + "merge");
    }

    bool fillMapping(const Node& node, ObjectBuilder& object, size_t depth) {
        for (size_t i = 0; i + 1 < node.children.size(); i += 2) {
            const Node& key = m_nodes[node.children[i]];
            const size_t valueIndex = node.children[i + 1];
            const Node& value = m_nodes[valueIndex];
            if (isMergeKey(key) && (value.kind == Node::mapping || value.kind == Node::sequence)) {
                if (!merge(value, valueIndex, object, depth)) return false;
                continue;
            }
            auto name = keyText(key);
            if (!name) {
                fail(Failure::notForJson);
                return false;
            }
            auto converted = convert(valueIndex, depth + 1);
            if (!converted) return false;
            object.set(std::move(*name), std::move(*converted), false);
        }
        return true;
    }

    bool merge(const Node& value, size_t valueIndex, ObjectBuilder& object, size_t depth) {
        std::vector<size_t> sources;
        if (value.kind == Node::mapping)
            sources.push_back(valueIndex);
        else
            sources = value.children;
        for (size_t source : sources) {
            if (m_nodes[source].kind != Node::mapping) {
                fail(Failure::notForJson);
                return false;
            }
            auto merged = convert(source, depth + 1);
            if (!merged) return false;
            for (auto& [k, v] : merged->asMap()) object.set(std::move(k), std::move(v), true);
        }
        return true;
    }

    // A key must resolve to a string.
    std::optional<std::string> keyText(const Node& key) const {
        if (key.kind != Node::scalar) return std::nullopt;
        auto value = scalarValue(key);
        if (!value || !value->isString()) return std::nullopt;
        return value->asString();
    }

    std::optional<Value> scalar(const Node& node) {
        auto value = scalarValue(node);
        if (!value) return fail(Failure::notForJson);
        return value;
    }

    // The scalar as a JSON leaf; nullopt for what JSON cannot hold (dates, bytes, inf, NaN).
    static std::optional<Value> fromResolved(const ResolvedScalar& r, const std::string& text) {
        switch (r.kind) {
        case ScalarKind::null: return Value();
        case ScalarKind::boolean: return Value(r.boolean);
        case ScalarKind::integer:
            if (r.integerOverflow) return Value(r.floating);
            return Value(r.integer);
        case ScalarKind::floating:
            if (!std::isfinite(r.floating)) return std::nullopt;
            return Value(r.floating);
        case ScalarKind::timestamp: return std::nullopt;
        case ScalarKind::string: return Value(text);
        }
        return std::nullopt;
    }

    static std::optional<Value> scalarValue(const Node& node) {
        const std::string& tag = node.tag;
        if (tag.empty()) return node.plain ? fromResolved(resolvePlainScalar(node.text), node.text) : Value(node.text);
        if (tag == "!") return Value(node.text);
        if (tag.rfind(tagPrefix, 0) != 0) {
            // Application tags: the scalar keeps its implicit type.
            return node.plain ? fromResolved(resolvePlainScalar(node.text), node.text) : Value(node.text);
        }
        const std::string_view name = std::string_view(tag).substr(tagPrefix.size());
        if (name == "str") return Value(node.text);
        if (name == "binary" || name == "timestamp") return std::nullopt;
        const ResolvedScalar r = resolvePlainScalar(node.text);
        if (name == "null" && r.kind == ScalarKind::null) return Value();
        if (name == "bool" && r.kind == ScalarKind::boolean) return Value(r.boolean);
        if (name == "int" && r.kind == ScalarKind::integer) return fromResolved(r, node.text);
        if (name == "float" && (r.kind == ScalarKind::floating || r.kind == ScalarKind::integer)) {
            if (!std::isfinite(r.floating)) return std::nullopt;
            return Value(r.floating);
        }
        return Value(node.text);
    }
};

} // namespace

YamlLoadResult loadYamlForJson(std::string_view text) {
    YamlLoadResult result;
    std::string repaired;
    if (!text::isValidUtf8(text)) {
        repaired = text::toUtf8(text::toUnicode(text));
        text = repaired;
    }
    Composer composer;
    if (!composer.run(text)) {
        result.status = YamlLoad::error;
        result.error = std::move(composer.error);
        return result;
    }
    if (composer.documents == 0 || !composer.root) {
        result.status = YamlLoad::empty;
        return result;
    }
    const Node& root = composer.nodes[*composer.root];
    if (root.kind == Node::scalar) {
        result.status = YamlLoad::notForJson;
        return result;
    }
    const YamlLimits limits = YamlLimits::forInput(text.size());
    Converter converter(composer.nodes, limits);
    converter.failure = converter.check(*composer.root);
    auto value = converter.failure == Failure::none ? converter.convert(*composer.root, 0) : std::nullopt;
    if (value) {
        result.status = YamlLoad::ok;
        result.value = std::move(*value);
        return result;
    }
    switch (converter.failure) {
    case Failure::tooLarge:
        result.status = YamlLoad::error;
        result.error = "aliases expand the document beyond " + std::to_string(limits.nodes) + " nodes or " +
                       std::to_string(limits.textBytes) + " bytes of text";
        break;
    case Failure::tooDeep:
        result.status = YamlLoad::error;
        result.error = tooDeepMessage();
        break;
    default: result.status = YamlLoad::notForJson; break;
    }
    return result;
}

} // namespace lexorra::data
