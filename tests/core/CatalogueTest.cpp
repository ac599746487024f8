#include "core/ActionFactory.h"
#include "core/Json.h"
#include "core/TextActionType.h"
#include "support/ActionCases.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace lexorra;

TEST(Catalogue, RawValuesAndNamesOnTheCommandLine) {
    for (auto type : allTextActionTypes())
        EXPECT_EQ(textActionTypeFromRaw(rawValue(type)), type);
    EXPECT_FALSE(textActionTypeFromRaw(-1));
    EXPECT_FALSE(textActionTypeFromRaw(35));
    // A raw value, a case name, a title and an unknown name are the command line test's rows.
    EXPECT_EQ(textActionTypeFromName("beautify json"), TextActionType::JSON);
    EXPECT_FALSE(textActionTypeFromName("35"));
}

TEST(Catalogue, SortingByTitle) {
    auto all = allTextActionTypes();
    std::vector<TextActionType> sorted(all.begin(), all.end());
    std::sort(sorted.begin(), sorted.end(), titleLess);
    std::vector<std::string_view> firstTitles;
    for (size_t i = 0; i < 5; ++i)
        firstTitles.push_back(title(sorted[i]));
    EXPECT_EQ(firstTitles, (std::vector<std::string_view>{"AI Conversion", "Add Prefix", "Add Suffix", "Beautify JSON ",
                                                          "Beautify XML "}));
    EXPECT_EQ(title(sorted.back()), "XML -> JSON");
}

TEST(Catalogue, SearchLooksAtTitleAndKeywordsIgnoringCase) {
    EXPECT_TRUE(matchesSearch(TextActionType::removeEmptyLines, "DELETE"));
    EXPECT_TRUE(matchesSearch(TextActionType::chatGPT, "chatgpt"));
    EXPECT_TRUE(matchesSearch(TextActionType::specialTransformations, "upside"));
    EXPECT_FALSE(matchesSearch(TextActionType::trimLines, "delete"));
    EXPECT_TRUE(matchesSearch(TextActionType::trimLines, ""));
}

namespace {

// A valid value for the option that differs from the current one, if the declaration has one.
std::optional<Value> otherValue(const OptionDecl& decl, const Value& current) {
    std::vector<Value> candidates{Value(true), Value(false), Value("other"), Value(3), Value(7)};
    for (const auto& c : decl.cases)
        candidates.emplace_back(c.raw);
    for (const auto& candidate : candidates)
        if (auto v = decl.coerce(candidate);
            v && *v != current &&
            (!v->isInteger() || (v->asInteger() >= decl.minimum && v->asInteger() <= decl.maximum)))
            return v;
    return std::nullopt;
}

// Values a stored document may hold that the declaration does not accept.
std::vector<Value> rejectedValues(const OptionDecl& decl) {
    std::vector<Value> bad{Value(), Value(ValueList{}), Value(ValueMap{})};
    switch (decl.kind) {
    case OptionKind::text:
    case OptionKind::multilineText:
    case OptionKind::workflow:
        bad.emplace_back(5);
        break;
    case OptionKind::toggle:
        bad.insert(bad.end(), {Value("true"), Value(2)});
        break;
    case OptionKind::menu: {
        std::int64_t last = 0;
        for (const auto& c : decl.cases)
            last = std::max(last, c.raw);
        bad.insert(bad.end(), {Value(-1), Value(last + 1), Value("0"), Value(0.5)});
        break;
    }
    case OptionKind::stepper:
    case OptionKind::integer:
        bad.insert(bad.end(), {Value("9"), Value(1.5)});
        break;
    }
    return bad;
}

} // namespace

// Every kind's stored document, copy and defaults, checked once for the whole catalogue; the
// golden file fixes the key order, raw values and defaults that documents on disk depend on,
// and the labels the option panels show.
TEST(Catalogue, EveryKindRoundTripsItsStoredDocument) {
    ValueList documents;
    for (auto type : allTextActionTypes()) {
        SCOPED_TRACE(title(type));
        auto action = makeDefault(type);
        const auto& decls = action->options();
        EXPECT_EQ(action->type, type);
        EXPECT_EQ(action->name(), title(type));
        EXPECT_EQ(action->hasOptions(), defaultHasOptions(type));
        EXPECT_EQ(action->showDetails(), defaultHasOptions(type));
        EXPECT_TRUE(action->enabled());
        EXPECT_FALSE(action->isNew());
        const Dictionary stored = action->toDictionary();
        auto restored = actionFromDictionary(*json::parse(json::write(stored)));
        ASSERT_TRUE(restored);
        EXPECT_EQ(restored->toDictionary(), stored);

        // A copy with every option changed: it keeps what it was given, the original stays as it was,
        // and its document restores to the same values.
        auto copy = action->copy();
        EXPECT_NE(copy->id, action->id);
        EXPECT_EQ(copy->type, type);
        for (const auto& decl : copy->options())
            if (auto v = otherValue(decl, copy->optionValue(decl.key))) {
                EXPECT_TRUE(copy->setOption(decl.key, *v)) << decl.key;
                EXPECT_EQ(copy->optionValue(decl.key), *v) << decl.key;
            }
        EXPECT_EQ(action->toDictionary(), stored);
        auto copyOfCopy = copy->copy();
        copyOfCopy->id = copy->id;
        EXPECT_EQ(copyOfCopy->toDictionary(), copy->toDictionary());
        auto changed = fromDictionary(type, copy->toDictionary());
        ASSERT_TRUE(changed);
        EXPECT_EQ(changed->toDictionary(), copy->toDictionary());

        // Values the declaration does not accept keep the default, or refuse the document (Number Lines
        // reads an old suffix in their place; its own test has those rows).
        for (const auto& decl : action->options())
            for (const auto& bad : rejectedValues(decl)) {
                Dictionary document = stored;
                document.set(decl.key, bad);
                auto read = fromDictionary(type, document);
                if (decl.rejectInvalid || !read) {
                    EXPECT_EQ(read, nullptr) << decl.key << " " << json::write(bad);
                    EXPECT_TRUE(decl.rejectInvalid) << decl.key << " " << json::write(bad);
                } else if (!(type == TextActionType::numberLines && decl.key == "NumberSuffix")) {
                    EXPECT_EQ(read->optionValue(decl.key), action->optionValue(decl.key))
                        << decl.key << " " << json::write(bad);
                }
            }

        // A document without the options reads as the defaults.
        Dictionary bare = makeDictionary();
        bare.set("Type", rawValue(type));
        if (auto read = fromDictionary(type, bare))
            for (const auto& decl : action->options())
                EXPECT_TRUE(read->optionValue(decl.key) == action->optionValue(decl.key) ||
                            (type == TextActionType::numberLines && decl.key == "NumberSuffix"))
                    << decl.key;
        else
            EXPECT_TRUE(std::any_of(decls.begin(), decls.end(), [](auto& d) { return d.required; }));

        Dictionary document = stored;
        EXPECT_EQ(*document.get("Id"), Value(action->id));
        document.remove("Id");
        // The panel: labels, and for which cases of the kind's first menu each option is shown.
        const auto menu = std::find_if(decls.begin(), decls.end(), [](auto& d) { return d.kind == OptionKind::menu; });
        ValueList panel;
        for (const auto& decl : decls) {
            ValueList cases, shownWith;
            for (const auto& c : decl.cases)
                cases.emplace_back(std::to_string(c.raw) + " " + c.name + ": " + c.label);
            if (menu != decls.end())
                for (const auto& c : menu->cases) {
                    auto probe = action->copy();
                    probe->setOption(menu->key, Value(c.raw));
                    if (decl.isVisible(*probe)) shownWith.emplace_back(c.raw);
                }
            ValueMap entry{{"Label", Value(decl.label)}, {"Kind", Value(std::string(optionKindName(decl.kind)))}};
            if (decl.kind == OptionKind::stepper)
                entry.emplace_back("Range", Value(ValueList{Value(decl.minimum), Value(decl.maximum)}));
            if (!cases.empty()) entry.emplace_back("Cases", Value(cases));
            if (decl.required) entry.emplace_back("Required", Value(true));
            if (decl.rejectInvalid) entry.emplace_back("RejectInvalid", Value(true));
            if (menu != decls.end()) entry.emplace_back("ShownWith", Value(shownWith));
            panel.emplace_back(entry);
        }
        documents.emplace_back(ValueMap{{"Stored", document}, {"Panel", Value(panel)}});
    }
    const auto golden = std::string(LEXORRA_TEST_DATA) + "/golden/default-actions.json";
    const std::string written = json::write(Value(documents), {.pretty = true}) + "\n";
    if (std::getenv("LEXORRA_WRITE_GOLDEN")) lexorra::testing::writeFile(golden, written);
    EXPECT_EQ(written, lexorra::testing::readFile(golden)) << "set LEXORRA_WRITE_GOLDEN=1 to rewrite " << golden;
}
