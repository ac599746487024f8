#include "text/LexicalTagger.h"

#include "core/AtomicFile.h"
#include "text/CaseMapping.h"
#include "text/Utf.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <deque>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <cctype>
#include <tuple>

namespace lexorra::text {

std::string_view lexicalClassName(LexicalClass c) {
    static constexpr std::array<std::string_view, 27> names = {
        "none",         "noun",          "verb",        "adjective",  "adverb",           "pronoun",
        "determiner",   "particle",      "preposition", "number",     "conjunction",      "interjection",
        "classifier",   "idiom",         "otherWord",   "sentenceTerminator", "openQuote", "closeQuote",
        "openParenthesis", "closeParenthesis", "wordJoiner", "dash", "otherPunctuation", "paragraphBreak",
        "whitespace",   "otherWhitespace", "other"};
    return names[static_cast<size_t>(c)];
}

namespace {

constexpr double negativeInfinity = -std::numeric_limits<double>::infinity();
// Share of the unigram tag distribution mixed into every transition, so that a tag pair
// never seen in the corpus is unlikely rather than impossible.
constexpr double transitionSmoothing = 0.01;
// Weight, in counts, of the word-shape distribution mixed into a known word's tag counts:
// a word seen once or twice can still take an open-class tag its counts lack.
constexpr double shapeWeight = 0.5;
// A tag seen in under half a percent of a word's uses is an annotation oddity ("a" as a list
// marker or a symbol); dividing by its small prior would let the context pick it.
constexpr double rareTagShare = 0.005;

using TagCounts = std::vector<std::pair<int, double>>;

// One "key: { tag: number, ... }" line of the data files; the key and tag names are views into it.
bool parseEntry(std::string_view line, std::string_view& key,
                std::vector<std::pair<std::string_view, double>>& values) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty() || line.back() != '}') return false;
    size_t keyEnd;
    if (line.front() == '"') {
        keyEnd = line.find("\": {", 1);
        if (keyEnd == std::string_view::npos) return false;
        key = line.substr(1, keyEnd - 1);
        keyEnd += 1;
    } else {
        keyEnd = line.find(": {");
        if (keyEnd == std::string_view::npos) return false;
        key = line.substr(0, keyEnd);
    }
    std::string_view body = line.substr(keyEnd + 3, line.size() - keyEnd - 4);
    values.clear();
    while (!body.empty()) {
        const size_t comma = body.find(',');
        std::string_view item = body.substr(0, comma);
        body = comma == std::string_view::npos ? std::string_view() : body.substr(comma + 1);
        const size_t colon = item.find(':');
        if (colon == std::string_view::npos) continue;
        auto name = item.substr(0, colon);
        auto number = item.substr(colon + 1);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
        while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
        // strtod: from_chars for double is missing from some standard libraries we build with. It
        // needs its text to end, hence the copy, on the stack for numbers of a usual length.
        std::array<char, 64> shortText;
        std::string longText;
        const char* numberText = nullptr;
        if (number.size() < shortText.size()) {
            std::memcpy(shortText.data(), number.data(), number.size());
            shortText[number.size()] = '\0';
            numberText = shortText.data();
        } else {
            longText.assign(number);
            numberText = longText.c_str();
        }
        char* end = nullptr;
        const double value = std::strtod(numberText, &end);
        if (end == numberText || name.empty()) continue;
        values.emplace_back(name, value);
    }
    return !key.empty();
}

// Calls visit(key, values) for every entry line of a data file's text.
template <class Visit> void forEachEntry(std::string_view text, Visit visit) {
    std::string_view key;
    std::vector<std::pair<std::string_view, double>> values;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (parseEntry(line, key, values)) visit(key, values);
    }
}

bool isCapitalised(std::string_view word) {
    size_t i = 0;
    return !word.empty() && u_isupper(static_cast<UChar32>(nextCodePoint(word, i)));
}

bool allUpper(std::string_view word) {
    bool any = false;
    for (size_t i = 0; i < word.size();) {
        const auto c = static_cast<UChar32>(nextCodePoint(word, i));
        if (u_islower(c)) return false;
        if (u_isupper(c)) any = true;
        else if (c != '.' && c != '-') return false;
    }
    return any;
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The word-shape class of a word the lexicon does not know.
std::string_view shapeOf(std::string_view word) {
    const auto first = static_cast<unsigned char>(word.empty() ? 0 : word[0]);
    if (std::isdigit(first)) {
        bool plain = true;
        for (char c : word)
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != ',' && c != '/' && c != ':' && c != '-')
                plain = false;
        return plain ? "*NUM*" : "*ORD*";
    }
    if (allUpper(word)) return "-abr-";
    if (isCapitalised(word)) return "-cap-";
    if (endsWith(word, "ing")) return "-ing-";
    if (endsWith(word, "s")) return "-s-";
    if (endsWith(word, "tion")) return "-tion-";
    if (endsWith(word, "ly")) return "-ly-";
    if (endsWith(word, "ed")) return "-ed-";
    return "-unknown-";
}

} // namespace

struct LexicalTagger::Model {
    // Tells models apart for the per-thread caches of observations, even one allocated where
    // a freed one was.
    const uint64_t id = [] {
        static std::atomic<uint64_t> next{1};
        return next++;
    }();
    bool hasData = false;
    std::vector<std::string> tagNames;
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    // Looked up by view: the data files name a tag a hundred thousand times.
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> tagIndex;
    std::vector<double> logTransition; // [prev * tagCount + next]
    std::vector<double> logTransitionInto; // the same, [next * tagCount + prev]
    std::vector<double> logPrior;
    // The lexicon: the text of its file, kept whole so that its words can be views into it, and
    // every word's counts side by side in one array. Loaded at every start of a program that
    // cases titles, so it is built with as few allocations as its word count allows.
    std::string lexiconText;
    struct Counts {
        uint32_t begin = 0;
        uint32_t size = 0;
    };
    std::vector<std::pair<int, double>> lexiconCounts;
    std::unordered_map<std::string_view, Counts, NameHash, std::equal_to<>> words;
    std::vector<double> lexiconTagTotals; // per tag, over every word
    std::unordered_map<std::string, TagCounts> shapes;
    // The lexicon's entries made of digits alone; every other such word is observed alike.
    std::unordered_set<std::string_view, NameHash, std::equal_to<>> digitWords;
    int sentenceEnd = -1;
    std::vector<bool> isVerb;
    std::vector<TagCounts> alone;       // per tag: that tag as the only candidate, for punctuation
    std::vector<LexicalClass> tagClass; // per tag
    int toTag = -1;
    int baseVerbTag = -1;
    // log of the factor a sentence without a verb pays.
    double verblessPenalty = std::log(0.15);

    int tagCount() const { return static_cast<int>(tagNames.size()); }

    int indexOf(std::string_view name) {
        if (auto known = tagIndex.find(name); known != tagIndex.end()) return known->second;
        auto [it, added] = tagIndex.emplace(std::string(name), static_cast<int>(tagNames.size()));
        if (added) tagNames.emplace_back(name);
        return it->second;
    }
    int find(std::string_view name) const {
        auto it = tagIndex.find(name);
        return it == tagIndex.end() ? -1 : it->second;
    }
    // The tags of punctuation and symbols, in the order of nonWordTagNames, looked up once.
    std::vector<int> nonWordTags;

    bool loadLexicon(const std::string& path) {
        auto text = readWholeFile(path);
        if (!text) return false;
        lexiconText = std::move(*text);
        words.reserve(static_cast<size_t>(std::count(lexiconText.begin(), lexiconText.end(), '\n')) + 1);
        forEachEntry(lexiconText, [&](std::string_view key, const auto& values) {
            auto [it, added] = words.try_emplace(key);
            Counts& counts = it->second;
            const auto begin = static_cast<uint32_t>(lexiconCounts.size());
            // A word listed again keeps its earlier counts ahead of the new ones.
            for (uint32_t i = 0; !added && i < counts.size; ++i)
                lexiconCounts.push_back(lexiconCounts[counts.begin + i]);
            for (const auto& [tag, count] : values) {
                const int index = indexOf(tag);
                lexiconCounts.emplace_back(index, count);
                if (lexiconTagTotals.size() <= static_cast<size_t>(index)) lexiconTagTotals.resize(index + 1, 0.0);
                lexiconTagTotals[static_cast<size_t>(index)] += count;
            }
            counts = {begin, static_cast<uint32_t>(lexiconCounts.size()) - begin};
        });
        return !words.empty();
    }

    bool loadShapes(const std::string& path) {
        const auto text = readWholeFile(path);
        if (!text) return false;
        forEachEntry(*text, [&](std::string_view key, const auto& values) {
            auto& counts = shapes[std::string(key)];
            for (const auto& [tag, count] : values) counts.emplace_back(indexOf(tag), count);
        });
        return !shapes.empty();
    }

    bool loadTransitions(const std::string& path) {
        const auto text = readWholeFile(path);
        if (!text) return false;
        std::vector<std::tuple<int, int, double>> entries;
        forEachEntry(*text, [&](std::string_view key, const auto& values) {
            const int prev = indexOf(key);
            for (const auto& [tag, p] : values) entries.emplace_back(prev, indexOf(tag), p);
        });
        if (entries.empty()) return false;
        const int n = tagCount();
        std::vector<double> prior(static_cast<size_t>(n), 0.0);
        double total = 0;
        // The counts are whole numbers: their sums do not depend on the order they are taken in.
        for (size_t tag = 0; tag < lexiconTagTotals.size(); ++tag) {
            prior[tag] += lexiconTagTotals[tag];
            total += lexiconTagTotals[tag];
        }
        std::vector<double> p(static_cast<size_t>(n * n), 0.0);
        for (const auto& [prev, next, value] : entries) p[static_cast<size_t>(prev * n + next)] = value;
        logPrior.assign(static_cast<size_t>(n), 0.0);
        for (int t = 0; t < n; ++t) {
            // Tags seen only in transitions get a token share so that nothing is log(0).
            prior[static_cast<size_t>(t)] = (prior[static_cast<size_t>(t)] + 1.0) / (total + n);
            logPrior[static_cast<size_t>(t)] = std::log(prior[static_cast<size_t>(t)]);
        }
        logTransition.assign(static_cast<size_t>(n * n), 0.0);
        logTransitionInto.assign(static_cast<size_t>(n * n), 0.0);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b) {
                const auto at = static_cast<size_t>(a * n + b);
                logTransition[at] = std::log((1 - transitionSmoothing) * p[at] +
                                             transitionSmoothing * prior[static_cast<size_t>(b)]);
                logTransitionInto[static_cast<size_t>(b * n + a)] = logTransition[at];
            }
        return true;
    }
};

namespace {

using Model = LexicalTagger::Model;

// A token that takes part in decoding, with its candidate tags and their emission scores
// (log P(tag | word) - log P(tag), proportional to log P(word | tag)).
struct Observation {
    size_t token;
    const TagCounts* candidates; // kept by the model or the thread's cache for the whole decoding
};

void addDistribution(std::unordered_map<int, double>& into, const TagCounts& counts, double weight) {
    double total = 0;
    for (const auto& [tag, count] : counts) total += count;
    if (total <= 0) return;
    for (const auto& [tag, count] : counts) into[tag] += weight * count / total;
}

std::span<const std::pair<int, double>> lookup(const Model& model, std::string_view word) {
    auto it = model.words.find(word);
    if (it == model.words.end()) return {};
    return {model.lexiconCounts.data() + it->second.begin, it->second.size};
}

// The lexicon's counts for a word, merging the capitalised and lower-case entries: the texts
// we tag are often capitalised throughout, so "Will" may well be the modal.
TagCounts wordCounts(const Model& model, const std::string& word) {
    TagCounts counts;
    auto merge = [&](std::span<const std::pair<int, double>> found) {
        counts.insert(counts.end(), found.begin(), found.end());
    };
    merge(lookup(model, word));
    if (isCapitalised(word)) {
        const std::string lowered = lower(word);
        const std::string lowerFirst = initialLower(word);
        if (lowerFirst != word) merge(lookup(model, lowerFirst));
        if (lowered != lowerFirst && lowered != word) merge(lookup(model, lowered));
    }
    return counts;
}

std::string normaliseApostrophes(std::string_view word) {
    std::string out;
    out.reserve(word.size());
    for (size_t i = 0; i < word.size();) {
        const size_t at = i;
        const char32_t c = nextCodePoint(word, i);
        if (c == U'\u2019' || c == U'\u02BC') out += '\'';
        else out.append(word.substr(at, i - at));
    }
    return out;
}

TagCounts observeWord(const Model& model, std::string_view text) {
    TagCounts candidates;
    std::string word = normaliseApostrophes(text);
    TagCounts counts = wordCounts(model, word);
    if (counts.empty()) {
        // Contractions and possessives are one token here but two in the corpus: tag by the stem.
        const size_t apostrophe = word.find('\'');
        if (apostrophe != std::string::npos && apostrophe > 0) {
            const bool negation = endsWith(word, "n't") && word.size() > 3;
            counts = wordCounts(model, word.substr(0, negation ? word.size() - 3 : apostrophe));
        }
    }
    std::unordered_map<int, double> probability;
    const auto shape = model.shapes.find(std::string(shapeOf(word)));
    const TagCounts* shapeCounts = shape == model.shapes.end() ? nullptr : &shape->second;
    if (counts.empty() && shapeOf(word) == "-cap-") {
        // Titles capitalise every word: weigh the suffix of the lower-cased word as much as the capital.
        const auto suffix = model.shapes.find(std::string(shapeOf(lower(word))));
        if (suffix != model.shapes.end() && shapeCounts) {
            addDistribution(probability, *shapeCounts, 0.5);
            addDistribution(probability, suffix->second, 0.5);
            shapeCounts = nullptr;
        }
    }
    if (counts.empty() && word.size() > 0 && std::isdigit(static_cast<unsigned char>(word[0]))) {
        const auto numbers = lookup(model, shapeOf(word));
        counts.assign(numbers.begin(), numbers.end());
    }
    if (!counts.empty()) {
        double total = 0;
        for (const auto& [tag, count] : counts) total += count;
        for (const auto& [tag, count] : counts)
            if (count >= rareTagShare * total) probability[tag] += count / (total + shapeWeight);
        if (shapeCounts) addDistribution(probability, *shapeCounts, shapeWeight / (total + shapeWeight));
    } else if (shapeCounts && probability.empty()) {
        addDistribution(probability, *shapeCounts, 1.0);
    }
    if (probability.empty()) probability[model.find("nn")] = 1.0;
    for (const auto& [tag, p] : probability)
        if (tag >= 0 && p > 0) candidates.emplace_back(tag, std::log(p) - model.logPrior[static_cast<size_t>(tag)]);
    return candidates;
}

bool isDigits(std::string_view word) {
    for (char c : word)
        if (c < '0' || c > '9') return false;
    return !word.empty();
}

// A word's observation depends on its text and the model alone, and texts repeat their words:
// each thread keeps the candidates it has worked out, for one model at a time, within a bound.
// Entries stay put (and observations point at them) until the next text is tagged.
class CandidateCache {
public:
    static CandidateCache& forModel(const Model& model) {
        thread_local CandidateCache cache;
        if (cache.m_model != model.id) cache.m_number.reset();
        if (cache.m_model != model.id || cache.m_values.size() >= limit) {
            cache.m_slots.assign(initialSlots, Slot{});
            cache.m_values.clear();
            cache.m_model = model.id;
        }
        cache.m_overflow.clear();
        return cache;
    }
    const TagCounts& of(const Model& model, std::string_view word) {
        // A number the lexicon lacks is observed by its shape alone; numbers rarely repeat, so
        // they would only crowd the words out of the cache.
        if (isDigits(word) && !model.digitWords.contains(word)) {
            if (!m_number) m_number = observeWord(model, word);
            return *m_number;
        }
        const uint64_t hash = hashOf(word);
        size_t at = slotOf(hash, word);
        if (m_slots[at].value) return *m_slots[at].value;
        if (m_values.size() >= limit) return m_overflow.emplace_back(observeWord(model, word));
        const TagCounts& value = m_values.emplace_back(observeWord(model, word));
        m_slots[at] = {hash, std::string(word), &value};
        if (m_values.size() * 2 > m_slots.size()) grow();
        return value;
    }

private:
    // Open addressing over a power-of-two table: the lookup runs for every word of every line,
    // and the library's map divides by a prime for each one. The values live in a deque, so
    // that growing the table moves no observation.
    struct Slot {
        uint64_t hash = 0;
        std::string key;
        const TagCounts* value = nullptr;
    };
    // The slot that holds the word, or the empty one where it belongs.
    size_t slotOf(uint64_t hash, std::string_view word) const {
        const size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = m_slots[at];
            if (!slot.value || (slot.hash == hash && slot.key == word)) return at;
        }
    }
    void grow() {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        for (auto& slot : old)
            if (slot.value) m_slots[slotOf(slot.hash, slot.key)] = std::move(slot);
    }
    // The words are short: their first and last eight (or four) bytes, which overlap when they
    // are fewer, and their length make the key, mixed by multiplication.
    static uint64_t hashOf(std::string_view s) {
        const size_t n = s.size();
        uint64_t a = 0, b = 0;
        if (n >= 8) {
            std::memcpy(&a, s.data(), 8);
            std::memcpy(&b, s.data() + n - 8, 8);
        } else if (n >= 4) {
            uint32_t x, y;
            std::memcpy(&x, s.data(), 4);
            std::memcpy(&y, s.data() + n - 4, 4);
            a = x;
            b = y;
        } else if (n > 0) {
            a = static_cast<unsigned char>(s[0]) | static_cast<uint64_t>(static_cast<unsigned char>(s[n / 2])) << 8 |
                static_cast<uint64_t>(static_cast<unsigned char>(s[n - 1])) << 16;
        }
        // Longer words also mix in their middle, which the two ends do not cover.
        for (size_t i = 8; i + 8 < n; i += 8) {
            uint64_t m;
            std::memcpy(&m, s.data() + i, 8);
            a = (a ^ m) * 0x9E3779B97F4A7C15ULL;
        }
        uint64_t h = (a ^ std::rotl(b, 29) ^ n) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ULL;
        return h ^ (h >> 32);
    }
    static constexpr size_t limit = 100000;
    static constexpr size_t initialSlots = 4096;
    uint64_t m_model = 0;
    std::vector<Slot> m_slots = std::vector<Slot>(initialSlots);
    std::deque<TagCounts> m_values;
    std::optional<TagCounts> m_number;
    std::deque<TagCounts> m_overflow; // past the limit within one text
};

// The best way into a candidate's two states (without and with a verb seen) from every state of
// the step before, ties going to the first in order: a predecessor's state without a verb goes to
// state Unseen, paying the penalty if Penalty; one with a verb goes to state Seen. An unreachable
// predecessor scores minus infinity and never wins. The sums are those of the plain recurrence,
// term for term, so that the scores are the same to the last bit.
template <int Unseen, int Seen, bool Penalty>
void bestInto(const double* before, const int* previousTags, size_t count, const double* into, double emission,
              double penalty, double* bestScore, int* bestFrom) {
    // Both states of a predecessor at once, one per lane: the sums are the scalar ones lane by
    // lane, and each lane keeps its own first best, without branches (which predecessor wins is
    // as good as random, and mispredicted jumps cost more than the selects).
    using Lanes = double __attribute__((vector_size(16)));
    using Indices = decltype(Lanes{} > Lanes{});
    const Lanes penalties = {Penalty ? penalty : 0.0, 0.0};
    Lanes best = {negativeInfinity, negativeInfinity};
    Indices from = {0, 0};
    Indices at = {0, 1};
    for (size_t p = 0; p < count; ++p, at += 2) {
        Lanes scores;
        std::memcpy(&scores, before + p * 2, sizeof scores);
        Lanes v = scores + into[previousTags[p]] + emission;
        if constexpr (Penalty) v += penalties;
        const auto better = v > best;
        best = better ? v : best;
        from = better ? at : from;
    }
    if constexpr (Unseen != Seen) {
        bestScore[Unseen] = best[0];
        bestFrom[Unseen] = static_cast<int>(from[0]);
        bestScore[Seen] = best[1];
        bestFrom[Seen] = static_cast<int>(from[1]);
    } else {
        // Both lanes lead into one state: the first best of the two in predecessor order.
        const bool second = best[1] > best[0] || (best[1] == best[0] && from[1] < from[0]);
        bestScore[Unseen] = second ? best[1] : best[0];
        bestFrom[Unseen] = static_cast<int>(second ? from[1] : from[0]);
        bestScore[1 - Unseen] = negativeInfinity;
        bestFrom[1 - Unseen] = 0;
    }
}

// Decodes with states (tag, whether the sentence has had a verb yet). A bigram model likes
// to read "the fox jumps" as a noun phrase; ending a sentence without a verb costs a penalty,
// which tips such cases to the verb while leaving verbless titles possible.
void viterbi(const Model& model, const std::vector<Observation>& observations, std::vector<int>& best) {
    const int n = model.tagCount();
    const size_t steps = observations.size();
    best.assign(steps, -1);
    if (steps == 0) return;
    const int start = model.sentenceEnd;
    auto transition = [&](int from, int to) {
        return from >= 0 && to >= 0 ? model.logTransition[static_cast<size_t>(from * n + to)] : 0.0;
    };
    // Per step, per candidate, two states: [at[s] + c * 2 + verbSeen], all steps in one array,
    // kept by the thread from one line to the next.
    thread_local std::vector<size_t> at;
    thread_local std::vector<double> scores;
    thread_local std::vector<int> backs;
    thread_local std::vector<int> previousTags;
    at.assign(steps + 1, 0);
    for (size_t s = 0; s < steps; ++s) at[s + 1] = at[s] + observations[s].candidates->size() * 2;
    scores.assign(at[steps], negativeInfinity);
    backs.assign(at[steps], 0);
    auto score = [&](size_t s) { return scores.data() + at[s]; };
    auto back = [&](size_t s) { return backs.data() + at[s]; };
    for (size_t s = 0; s < steps; ++s) {
        const auto& candidates = *observations[s].candidates;
        if (s == 0) {
            for (size_t c = 0; c < candidates.size(); ++c) {
                const int tag = candidates[c].first;
                double v = transition(start, tag) + candidates[c].second;
                if (tag == start) v += model.verblessPenalty;
                const size_t state = c * 2 + (model.isVerb[static_cast<size_t>(tag)] && tag != start ? 1 : 0);
                if (v > score(0)[state]) {
                    score(0)[state] = v;
                    back(0)[state] = 0;
                }
            }
            continue;
        }
        const auto& previous = *observations[s - 1].candidates;
        const size_t previousCount = previous.size();
        previousTags.resize(previousCount);
        for (size_t p = 0; p < previousCount; ++p) previousTags[p] = previous[p].first;
        const double* before = score(s - 1);
        for (size_t c = 0; c < candidates.size(); ++c) {
            const int tag = candidates[c].first;
            const double emission = candidates[c].second;
            const bool endsSentence = tag == start;
            const bool isVerb = model.isVerb[static_cast<size_t>(tag)];
            const double* into = model.logTransitionInto.data() + static_cast<size_t>(tag) * static_cast<size_t>(n);
            double bestScore[2];
            int bestFrom[2];
            if (endsSentence)
                bestInto<0, 0, true>(before, previousTags.data(), previousCount, into, emission, model.verblessPenalty,
                                     bestScore, bestFrom);
            else if (isVerb)
                bestInto<1, 1, false>(before, previousTags.data(), previousCount, into, emission, 0.0, bestScore,
                                      bestFrom);
            else
                bestInto<0, 1, false>(before, previousTags.data(), previousCount, into, emission, 0.0, bestScore,
                                      bestFrom);
            for (size_t state = 0; state < 2; ++state) {
                score(s)[c * 2 + state] = bestScore[state];
                back(s)[c * 2 + state] = bestFrom[state];
            }
        }
    }
    // A line ends like a sentence.
    size_t bestState = 0;
    double bestScore = negativeInfinity;
    const auto& last = *observations.back().candidates;
    for (size_t state = 0; state < last.size() * 2; ++state) {
        double value = score(steps - 1)[state];
        if (value == negativeInfinity) continue;
        if (last[state / 2].first != start) {
            value += transition(last[state / 2].first, start);
            if (state % 2 == 0) value += model.verblessPenalty;
        }
        if (value > bestScore) {
            bestScore = value;
            bestState = state;
        }
    }
    size_t state = bestState;
    for (size_t s = steps; s-- > 0;) {
        best[s] = (*observations[s].candidates)[state / 2].first;
        state = static_cast<size_t>(back(s)[state]);
    }
    // The buffers stay for the next line of a usual size; one huge line does not keep its share.
    constexpr size_t keptStates = size_t{1} << 16;
    if (scores.capacity() > keptStates) {
        std::vector<size_t>().swap(at);
        std::vector<double>().swap(scores);
        std::vector<int>().swap(backs);
    }
}

LexicalClass classOfTag(std::string_view tag) {
    static const std::unordered_map<std::string_view, LexicalClass> classes = {
        {"nn", LexicalClass::noun},         {"nns", LexicalClass::noun},         {"nnp", LexicalClass::noun},
        {"nnps", LexicalClass::noun},       {"vb", LexicalClass::verb},          {"vbd", LexicalClass::verb},
        {"vbg", LexicalClass::verb},        {"vbn", LexicalClass::verb},         {"vbp", LexicalClass::verb},
        {"vbz", LexicalClass::verb},        {"md", LexicalClass::verb},          {"jj", LexicalClass::adjective},
        {"jjr", LexicalClass::adjective},   {"jjs", LexicalClass::adjective},    {"rb", LexicalClass::adverb},
        {"rbr", LexicalClass::adverb},      {"rbs", LexicalClass::adverb},       {"wrb", LexicalClass::adverb},
        {"prp", LexicalClass::pronoun},     {"wp", LexicalClass::pronoun},       {"ex", LexicalClass::pronoun},
        {"det", LexicalClass::determiner},  {"pdt", LexicalClass::determiner},   {"wdt", LexicalClass::determiner},
        {"prps", LexicalClass::determiner}, {"wps", LexicalClass::determiner},   {"in", LexicalClass::preposition},
        {"cc", LexicalClass::conjunction},  {"to", LexicalClass::particle},      {"rp", LexicalClass::particle},
        {"pos", LexicalClass::particle},    {"cd", LexicalClass::number},        {"uh", LexicalClass::interjection},
        {"sym", LexicalClass::other},       {"fw", LexicalClass::otherWord},     {"ls", LexicalClass::otherWord},
    };
    auto it = classes.find(tag);
    return it == classes.end() ? LexicalClass::otherWord : it->second;
}

// Words the tagger knows without its data: enough to keep the articles, conjunctions and
// short prepositions of a title in their place.
LexicalClass fallbackClass(std::string_view word) {
    static const std::unordered_map<std::string_view, LexicalClass> words = [] {
        std::unordered_map<std::string_view, LexicalClass> m;
        for (auto w : {"the", "a", "an", "this", "that", "these", "those", "my", "your", "his", "its", "our",
                       "their", "each", "every", "some", "any", "no", "all", "both"})
            m[w] = LexicalClass::determiner;
        for (auto w : {"i", "you", "he", "she", "it", "we", "they", "me", "him", "her", "us", "them", "who", "whom"})
            m[w] = LexicalClass::pronoun;
        for (auto w : {"of", "in", "on", "at", "by", "for", "with", "from", "into", "onto", "over", "under", "about",
                       "as", "off", "via", "per", "than", "upon", "after", "before", "through", "between"})
            m[w] = LexicalClass::preposition;
        for (auto w : {"and", "or", "but", "nor", "so", "yet", "if", "because", "while", "though", "although"})
            m[w] = LexicalClass::conjunction;
        for (auto w : {"to", "up", "out", "down", "not"}) m[w] = LexicalClass::particle;
        for (auto w : {"is", "are", "was", "were", "be", "been", "am", "do", "does", "did", "has", "have", "had",
                       "can", "could", "will", "would", "shall", "should", "may", "might", "must"})
            m[w] = LexicalClass::verb;
        return m;
    }();
    const std::string lowered = lower(normaliseApostrophes(word));
    if (auto it = words.find(lowered); it != words.end()) return it->second;
    if (!lowered.empty() && std::isdigit(static_cast<unsigned char>(lowered[0]))) return LexicalClass::number;
    if (endsWith(lowered, "ly")) return LexicalClass::adverb;
    return LexicalClass::noun;
}

// Punctuation, white space and symbols are classed by their characters.
LexicalClass classOfNonWord(std::string_view token, bool opensSomething) {
    size_t i = 0;
    const auto c = static_cast<UChar32>(nextCodePoint(token, i));
    bool allSpaceOrTab = true;
    bool anyBreak = false;
    bool allWhite = true;
    for (size_t j = 0; j < token.size();) {
        const auto d = static_cast<UChar32>(nextCodePoint(token, j));
        if (d != ' ' && d != '\t') allSpaceOrTab = false;
        if (d == '\n' || d == '\r' || d == 0x0B || d == 0x0C || d == 0x85 || d == 0x2028 || d == 0x2029) anyBreak = true;
        if (!u_isUWhiteSpace(d)) allWhite = false;
    }
    if (allWhite) return anyBreak ? LexicalClass::paragraphBreak
                                  : allSpaceOrTab ? LexicalClass::whitespace : LexicalClass::otherWhitespace;
    if (c == '"' || c == '\'') return opensSomething ? LexicalClass::openQuote : LexicalClass::closeQuote;
    if (c == 0x200D || c == 0x2060 || c == 0xFEFF) return LexicalClass::wordJoiner;
    if (u_hasBinaryProperty(c, UCHAR_S_TERM)) return LexicalClass::sentenceTerminator;
    switch (u_charType(c)) {
    case U_DASH_PUNCTUATION: return LexicalClass::dash;
    case U_START_PUNCTUATION: return LexicalClass::openParenthesis;
    case U_END_PUNCTUATION: return LexicalClass::closeParenthesis;
    case U_INITIAL_PUNCTUATION: return LexicalClass::openQuote;
    case U_FINAL_PUNCTUATION: return LexicalClass::closeQuote;
    case U_CONNECTOR_PUNCTUATION:
    case U_OTHER_PUNCTUATION: return LexicalClass::otherPunctuation;
    default: return LexicalClass::other;
    }
}

// classOfNonWord of each one-character ASCII token, worked out once, [opensSomething][c]; a run
// of spaces is white space.
LexicalClass classOfAsciiNonWord(std::string_view token, bool opensSomething) {
    static const auto table = [] {
        std::array<std::array<LexicalClass, 128>, 2> t{};
        for (int opens = 0; opens < 2; ++opens)
            for (int c = 0; c < 128; ++c)
                t[static_cast<size_t>(opens)][static_cast<size_t>(c)] =
                    classOfNonWord(std::string_view(std::string(1, static_cast<char>(c))), opens == 1);
        return t;
    }();
    if (token.size() == 1 && static_cast<unsigned char>(token[0]) < 128)
        return table[opensSomething ? 1 : 0][static_cast<unsigned char>(token[0])];
    if (token.find_first_not_of(' ') == std::string_view::npos && !token.empty()) return LexicalClass::whitespace;
    return classOfNonWord(token, opensSomething);
}

constexpr std::array<std::string_view, 9> nonWordTagNames = {"pp",  "ppl", "ppr", "lrb", "rrb",
                                                             "pps", "ppc", "ppd", "sym"};

// The corpus tag a punctuation or symbol token stands for, so that it guides its neighbours: an
// index into nonWordTagNames.
size_t tagOfNonWord(LexicalClass cls, std::string_view token) {
    switch (cls) {
    case LexicalClass::sentenceTerminator: return 0;
    case LexicalClass::openQuote: return 1;
    case LexicalClass::closeQuote: return 2;
    case LexicalClass::openParenthesis: return 3;
    case LexicalClass::closeParenthesis: return 4;
    case LexicalClass::dash: return 5;
    case LexicalClass::otherPunctuation: return token == "," ? 6 : 5;
    default: return token == "$" ? 7 : 8;
    }
}

std::string dataFolder() {
    if (const char* env = std::getenv("LEXORRA_TAGGER_DATA"); env && *env) return env;
    return "/usr/share/perl5/Lingua/EN/Tagger";
}

} // namespace

LexicalTagger::LexicalTagger(std::unique_ptr<Model> model) : m_model(std::move(model)) {}
LexicalTagger::~LexicalTagger() = default;

bool LexicalTagger::hasModel() const { return m_model->hasData; }

std::unique_ptr<LexicalTagger> LexicalTagger::withoutModel() {
    return std::unique_ptr<LexicalTagger>(new LexicalTagger(std::make_unique<Model>()));
}

std::unique_ptr<LexicalTagger> LexicalTagger::load(const std::string& folder) {
    auto model = std::make_unique<Model>();
    const bool ok = model->loadLexicon(folder + "/words.yml") && model->loadShapes(folder + "/unknown.yml") &&
                    model->loadTransitions(folder + "/tags.yml");
    if (!ok) return withoutModel();
    for (const auto& [word, counts] : model->words)
        if (isDigits(word)) model->digitWords.insert(word);
    for (auto name : nonWordTagNames) model->nonWordTags.push_back(model->find(name));
    model->sentenceEnd = model->find("pp");
    model->isVerb.assign(static_cast<size_t>(model->tagCount()), false);
    for (int t = 0; t < model->tagCount(); ++t) {
        const auto& name = model->tagNames[static_cast<size_t>(t)];
        model->isVerb[static_cast<size_t>(t)] = name == "md" || name.rfind("vb", 0) == 0;
    }
    for (int t = 0; t < model->tagCount(); ++t) {
        model->alone.push_back({{t, 0.0}});
        model->tagClass.push_back(classOfTag(model->tagNames[static_cast<size_t>(t)]));
    }
    model->toTag = model->find("to");
    model->baseVerbTag = model->find("vb");
    model->hasData = model->sentenceEnd >= 0 && model->find("nn") >= 0;
    if (!model->hasData) return withoutModel();
    return std::unique_ptr<LexicalTagger>(new LexicalTagger(std::move(model)));
}

const LexicalTagger& LexicalTagger::shared() {
    // Never destroyed: freeing the lexicon's entries one by one would only slow down every exit.
    static const LexicalTagger* const tagger = load(dataFolder()).release();
    return *tagger;
}

namespace {

// Word-break classes of ASCII characters in the root rules, which count "@" as a letter and
// colon as no mid-letter.
enum class Wb { letter, digit, underscore, midNumLet, midNum, space, cr, lf, other };

constexpr Wb wbClassOf(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '@') return Wb::letter;
    if (c >= '0' && c <= '9') return Wb::digit;
    switch (c) {
    case '_': return Wb::underscore;
    case '.':
    case '\'': return Wb::midNumLet;
    case ',':
    case ';': return Wb::midNum;
    case ' ': return Wb::space;
    case '\r': return Wb::cr;
    case '\n':
    case '\v':
    case '\f': return Wb::lf;
    default: return Wb::other;
    }
}

Wb wbClass(char c) {
    static constexpr auto table = [] {
        std::array<Wb, 256> t{};
        for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = wbClassOf(static_cast<char>(i));
        return t;
    }();
    return table[static_cast<unsigned char>(c)];
}

bool joinsWords(Wb c) { return c == Wb::letter || c == Wb::digit || c == Wb::underscore; }

// Calls token(text, isWord) for each word-break token of an ASCII text, in order.
template <class Token> void forEachAsciiWordToken(std::string_view text, Token token) {
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const Wb first = wbClass(text[i]);
        size_t end = i + 1;
        if (joinsWords(first)) {
            // Letters, digits and underscores run on; a "." or "'" between two letters, or any
            // of ". ' , ;" between two digits, stays inside the word.
            Wb last = first;
            while (end < n) {
                const Wb c = wbClass(text[end]);
                if (joinsWords(c)) {
                    last = c;
                    ++end;
                    continue;
                }
                const bool between = end + 1 < n && wbClass(text[end + 1]) == last;
                if (between && ((last == Wb::letter && c == Wb::midNumLet) ||
                                (last == Wb::digit && (c == Wb::midNumLet || c == Wb::midNum)))) {
                    end += 2;
                    continue;
                }
                break;
            }
        } else if (first == Wb::space) {
            while (end < n && text[end] == ' ') ++end;
        } else if (first == Wb::cr && end < n && text[end] == '\n') {
            ++end;
        }
        // A lone underscore is no word; joined to anything it is.
        token(text.substr(i, end - i), joinsWords(first) && (first != Wb::underscore || end - i > 1));
        i = end;
    }
}

} // namespace

std::vector<std::pair<std::string_view, bool>> detail::asciiWordTokens(std::string_view text) {
    std::vector<std::pair<std::string_view, bool>> tokens;
    forEachAsciiWordToken(text, [&](std::string_view token, bool word) { tokens.emplace_back(token, word); });
    return tokens;
}

std::vector<TaggedToken> LexicalTagger::tag(std::string_view text) const {
    std::vector<TaggedToken> tokens;
    tag(text, tokens);
    return tokens;
}

// The per-thread buffers stay for the next line of a usual size; one huge line does not keep its share.
constexpr size_t keptTokens = size_t{1} << 14;

void LexicalTagger::tag(std::string_view text, std::vector<TaggedToken>& tokens) const {
    tokens.clear();
    if (text.empty()) return;
    // Kept by the thread from one line to the next. Bytes: vector<bool>'s bit access showed in profiles.
    thread_local std::vector<unsigned char> isWord;
    isWord.clear();
    if (isAscii(text)) {
        forEachAsciiWordToken(text, [&](std::string_view token, bool word) {
            tokens.push_back({token});
            isWord.push_back(word);
        });
    } else {
        UErrorCode status = U_ZERO_ERROR;
        thread_local std::unique_ptr<icu::BreakIterator> words(
            icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
        UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
        if (U_FAILURE(status) || !words) {
            utext_close(ut);
            tokens.push_back({text, LexicalClass::otherWord});
            return;
        }
        words->setText(ut, status);
        int32_t start = words->first();
        for (int32_t end = words->next(); end != icu::BreakIterator::DONE; start = end, end = words->next()) {
            tokens.push_back({text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))});
            isWord.push_back(words->getRuleStatus() >= UBRK_WORD_NUMBER);
        }
        static const icu::UnicodeString nothing;
        words->setText(nothing);
        utext_close(ut);
    }

    // Punctuation first: quotes open after white space, an opening bracket or the start.
    bool atOpening = true;
    for (size_t t = 0; t < tokens.size(); ++t) {
        if (!isWord[t]) {
            tokens[t].lexicalClass = classOfAsciiNonWord(tokens[t].text, atOpening);
            const auto cls = tokens[t].lexicalClass;
            atOpening = cls == LexicalClass::whitespace || cls == LexicalClass::otherWhitespace ||
                        cls == LexicalClass::paragraphBreak || cls == LexicalClass::openParenthesis ||
                        cls == LexicalClass::openQuote || cls == LexicalClass::dash;
        } else {
            atOpening = false;
        }
    }

    if (!m_model->hasData) {
        for (size_t t = 0; t < tokens.size(); ++t)
            if (isWord[t]) tokens[t].lexicalClass = fallbackClass(tokens[t].text);
        if (isWord.capacity() > keptTokens) std::vector<unsigned char>().swap(isWord);
        return;
    }

    thread_local std::vector<Observation> observations;
    observations.clear();
    auto& cache = CandidateCache::forModel(*m_model);
    for (size_t t = 0; t < tokens.size(); ++t) {
        const auto cls = tokens[t].lexicalClass;
        if (isWord[t]) {
            observations.push_back({t, &cache.of(*m_model, tokens[t].text)});
        } else if (cls != LexicalClass::whitespace && cls != LexicalClass::otherWhitespace &&
                   cls != LexicalClass::wordJoiner) {
            const int tag = m_model->nonWordTags[tagOfNonWord(cls, tokens[t].text)];
            if (tag >= 0) observations.push_back({t, &m_model->alone[static_cast<size_t>(tag)]});
        }
    }
    thread_local std::vector<int> best;
    viterbi(*m_model, observations, best);
    for (size_t s = 0; s < observations.size(); ++s) {
        const size_t t = observations[s].token;
        if (!isWord[t]) continue;
        tokens[t].lexicalClass = m_model->tagClass[static_cast<size_t>(best[s])];
        // The corpus has one tag for "to"; it is a particle before a verb and a preposition otherwise.
        if (best[s] == m_model->toTag && !(s + 1 < observations.size() && best[s + 1] == m_model->baseVerbTag))
            tokens[t].lexicalClass = LexicalClass::preposition;
    }
    if (observations.capacity() > keptTokens) {
        std::vector<unsigned char>().swap(isWord);
        std::vector<Observation>().swap(observations);
        std::vector<int>().swap(best);
    }
}

} // namespace lexorra::text
