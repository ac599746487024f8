#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexorra::text {

// Classes of the lexical-class scheme; every token, white space and punctuation included,
// gets one. `none` is for tokens the tagger cannot place (it reports none today).
enum class LexicalClass {
    none,
    noun,
    verb,
    adjective,
    adverb,
    pronoun,
    determiner,
    particle,
    preposition,
    number,
    conjunction,
    interjection,
    classifier,
    idiom,
    otherWord,
    sentenceTerminator,
    openQuote,
    closeQuote,
    openParenthesis,
    closeParenthesis,
    wordJoiner,
    dash,
    otherPunctuation,
    paragraphBreak,
    whitespace,
    otherWhitespace,
    other,
};

std::string_view lexicalClassName(LexicalClass c);

struct TaggedToken {
    std::string_view text; // a view into the tagged text
    LexicalClass lexicalClass = LexicalClass::none;
};

// A bigram hidden-Markov tagger over Penn-Treebank word/tag counts and tag transitions
// (the data files words.yml, tags.yml and unknown.yml of liblingua-en-tagger-perl),
// decoded with Viterbi. Tokens come from ICU word boundaries, so the whole text is covered:
// runs of white space and each punctuation mark are tokens of their own.
//
//   auto tokens = LexicalTagger::shared().tag("The fox jumps.");
//   // The/determiner " "/whitespace fox/noun " "/whitespace jumps/verb ./sentenceTerminator
//
// Without the data files the tagger still works from a small built-in list of function
// words and word shapes (hasModel() is false); its guesses are then coarser.
class LexicalTagger {
public:
    // Loaded on first use from $LEXORRA_TAGGER_DATA or the Debian package's directory.
    static const LexicalTagger& shared();
    // A tagger over the data in the folder; without the files, the built-in fallback.
    static std::unique_ptr<LexicalTagger> load(const std::string& folder);
    // The fallback alone.
    static std::unique_ptr<LexicalTagger> withoutModel();

    ~LexicalTagger();
    LexicalTagger(const LexicalTagger&) = delete;
    LexicalTagger& operator=(const LexicalTagger&) = delete;

    std::vector<TaggedToken> tag(std::string_view text) const;
    // The same into tokens, whose storage is reused: for callers that tag line after line.
    void tag(std::string_view text, std::vector<TaggedToken>& tokens) const;
    bool hasModel() const;

    struct Model;

private:
    explicit LexicalTagger(std::unique_ptr<Model> model);
    std::unique_ptr<Model> m_model;
};

namespace detail {
// The word-break tokens of an ASCII text as ICU's root word rules cut them, each with whether it
// is a word or number (rule status at least UBRK_WORD_NUMBER), without a break iterator. Public
// for the test that holds it to ICU.
std::vector<std::pair<std::string_view, bool>> asciiWordTokens(std::string_view text);
} // namespace detail

} // namespace lexorra::text
