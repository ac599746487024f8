#include "actions/data/TextActionYAMLtoJSON.h"

#include "actions/data/JsonPrettyWriter.h"
#include "actions/data/JsonValueRule.h"
#include "actions/data/YamlLoader.h"
#include "actions/data/YamlWriter.h"

namespace lexorra {

const OptionList& TextActionYAMLtoJSON::options() const {
    using A = TextActionYAMLtoJSON;
    static const OptionList decls = {
        bind({.key = "Conversion",
              .label = "Convert:",
              .kind = OptionKind::menu,
              .required = true,
              .rejectInvalid = true,
              .cases = {{0, "toJson", "YAML to Json"}, {1, "toYAML", "JSON to YAML"}}},
             &A::conversion),
    };
    return decls;
}

std::string TextActionYAMLtoJSON::transform(std::string_view text) const {
    return conversion == YAMLType::toJson ? yamlToJson(text) : jsonToYaml(text);
}

std::string TextActionYAMLtoJSON::yamlToJson(std::string_view text) {
    auto loaded = data::loadYamlForJson(text);
    switch (loaded.status) {
    case data::YamlLoad::ok:
        return data::prettyJson(loaded.value);
    case data::YamlLoad::empty:
        return std::string(emptyYamlMarker);
    case data::YamlLoad::error:
        return loaded.error;
    case data::YamlLoad::notForJson:
        break;
    }
    return std::string(notForJsonMarker);
}

std::string TextActionYAMLtoJSON::jsonToYaml(std::string_view text) {
    auto parsed = data::parseStrictJson(text);
    if (!parsed) return std::string(notValidJsonMarker);
    std::string error;
    auto yaml = data::writeYaml(data::applyJsonValueRule(*parsed), error);
    return yaml ? std::move(*yaml) : error;
}

SyntaxChange TextActionYAMLtoJSON::syntax() const {
    if (conversion == YAMLType::toJson) return {TextSyntax::yaml, TextSyntax::json};
    return {TextSyntax::json, TextSyntax::yaml};
}

LEXORRA_ACTION_FACTORY(TextActionYAMLtoJSON)

} // namespace lexorra
