#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <string_view>

namespace lexorra {

enum class YAMLType { toJson = 0, toYAML = 1 };

// YAML (one document, YAML 1.1 typing) to beautified JSON, or JSON to block-style YAML.
class TextActionYAMLtoJSON : public TextAction {
public:
    TextActionYAMLtoJSON() : TextAction(TextActionType::yaml) {}

    YAMLType conversion = YAMLType::toYAML;

    std::string transform(std::string_view text) const override;

    SyntaxChange syntax() const override;
    const OptionList& options() const override;

    static constexpr std::string_view emptyYamlMarker = markers::notValidYaml;
    static constexpr std::string_view notForJsonMarker = markers::notValidForJson;
    static constexpr std::string_view notValidJsonMarker = markers::notValidJson;

private:
    static std::string yamlToJson(std::string_view text);
    static std::string jsonToYaml(std::string_view text);
};

} // namespace lexorra
