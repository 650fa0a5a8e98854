#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Generated and mutated input for the harnesses. A fixed seed gives the same
// inputs on every run, so a failure found once is found again; the seeds of the
// native fuzzing runs (fuzz/corpus) start the mutations.
class InputGenerator {
public:
    explicit InputGenerator(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}

    uint32_t Below(uint32_t bound) { return bound == 0 ? 0 : static_cast<uint32_t>(Next() % bound); }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    template <class T>
    const T& Pick(const std::vector<T>& choices) {
        return choices[Below(static_cast<uint32_t>(choices.size()))];
    }

    // Up to maxPieces pieces, each a fragment or now and then a random character.
    template <class Text>
    Text Compose(const std::vector<Text>& fragments, uint32_t maxPieces) {
        Text text;
        for (uint32_t pieces = Below(maxPieces + 1); pieces > 0; --pieces) {
            if (OneIn(8))
                text.push_back(RandomCharacter<typename Text::value_type>());
            else
                text += Pick(fragments);
        }
        return text;
    }

    // A copy changed in one to four places: a character replaced, inserted or
    // removed, a bit flipped, a slice repeated or cut, a fragment spliced in.
    template <class Text>
    Text Mutate(Text text, const std::vector<Text>& fragments) {
        for (uint32_t edits = 1 + Below(4); edits > 0; --edits) {
            const size_t at = text.empty() ? 0 : Below(static_cast<uint32_t>(text.size()));
            switch (Below(6)) {
            case 0:
                if (!text.empty()) text[at] = RandomCharacter<typename Text::value_type>();
                break;
            case 1: text.insert(text.begin() + at, RandomCharacter<typename Text::value_type>()); break;
            case 2:
                if (!text.empty()) text.erase(at, 1 + Below(8));
                break;
            case 3:
                if (!text.empty()) text[at] = static_cast<typename Text::value_type>(text[at] ^ (1u << Below(8)));
                break;
            case 4:
                if (!text.empty()) text.insert(at, text.substr(at, 1 + Below(16)));
                break;
            default: text.insert(at, Pick(fragments)); break;
            }
        }
        return text;
    }

    template <class Char>
    Char RandomCharacter() {
        // Mostly the printable range and the control characters; for wide text
        // also characters beyond it.
        if (sizeof(Char) > 1 && OneIn(6)) return static_cast<Char>(0x80 + Below(0xFF80));
        return static_cast<Char>(Below(sizeof(Char) > 1 ? 128 : 256));
    }

private:
    uint64_t Next() {
        // xorshift64*: small, fast and the same everywhere.
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    uint64_t m_state;
};

// The seed files of a fuzzing target kept in the repository (fuzz/corpus/NAME).
std::vector<std::string> ReadCorpus(const std::string& target);
