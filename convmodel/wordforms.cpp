// Russian declension by the ending, enough for the names of units: the nominative and
// genitive cases a number asks for, with the spelling rules and the few irregular words of
// measures. Forms are generated, never parsed, so a rare wrong form costs nothing.
#include "convmodel/wordforms.h"

#include "unitdb/cp1251.h"
#include "unitdb/unitsearch.h"

#include <algorithm>
#include <array>

namespace convmodel
{

namespace
{

using Word = std::u32string;
// Nominative and genitive, singular then plural; each case may have several spellings.
using Cases = std::array<std::vector<Word>, 4>;
enum Case { NomSg, GenSg, NomPl, GenPl };

struct Irregular {
    std::u32string_view word;
    std::u32string_view genSg, nomPl, genPl;
};
constexpr Irregular kIrregular[] = {
    {U"год", U"года", U"годы", U"лет"},
    {U"сутки", U"суток", U"сутки", U"суток"},
    {U"ведро", U"ведра", U"ведра", U"ведер"},
    {U"локоть", U"локтя", U"локти", U"локтей"},
};

bool isCyrillic(char32_t c)
{
    return (c >= U'а' && c <= U'я') || (c >= U'А' && c <= U'Я') || c == U'ё' || c == U'Ё';
}
bool isUpper(char32_t c)
{
    return (c >= U'А' && c <= U'Я') || c == U'Ё';
}
bool isVowel(char32_t c)
{
    return std::u32string_view(U"аеёиоуыэюя").find(c) != std::u32string_view::npos;
}
bool isConsonant(char32_t c)
{
    return c >= U'а' && c <= U'я' && !isVowel(c) && c != U'й' && c != U'ь' && c != U'ъ';
}
bool isHushing(char32_t c)
{
    return c == U'ж' || c == U'ш' || c == U'щ' || c == U'ч';
}
// After these «ы» is spelt «и».
bool takesI(char32_t c)
{
    return c == U'г' || c == U'к' || c == U'х' || isHushing(c);
}

Word cut(const Word& w, std::size_t n)
{
    return w.substr(0, w.size() - n);
}

Cases same(const Word& w)
{
    return {{{w}, {w}, {w}, {w}}};
}

Cases adjective(const Word& w)
{
    const Word st = cut(w, 2);
    const bool soft =
        w.ends_with(U"яя") || w.ends_with(U"ее") || (w.ends_with(U"ий") && !takesI(st.back()));
    const bool i = soft || takesI(st.back());
    const Word pl = i ? U"и" : U"ы";
    const bool feminine = w.ends_with(U"ая") || w.ends_with(U"яя");
    const Word gen = feminine ? (soft ? U"ей" : U"ой") : (soft ? U"его" : U"ого");
    return {{{w}, {st + gen}, {st + pl + U"е"}, {st + pl + U"х"}}};
}

// A masculine noun ending in a consonant, from each of its stems.
void consonantNoun(const Word& w, Cases& c)
{
    std::vector<Word> stems{w};
    // The vowel that drops out: «вершок» «вершка», «гарнец» «гарнца», «узел» «узла».
    if (w.size() >= 5 &&
        (w.ends_with(U"ок") || w.ends_with(U"ек") || w.ends_with(U"ец") || w.ends_with(U"ел")))
        stems.push_back(cut(w, 2) + w.back());
    for (const Word& st : stems) {
        const char32_t last = st.back();
        c[GenSg].push_back(st + U"а");
        c[NomPl].push_back(st + (takesI(last) ? U"и" : U"ы"));
        c[GenPl].push_back(st + (isHushing(last) ? U"ей" : last == U'ц' ? U"ев" : U"ов"));
    }
}

Cases noun(const Word& w)
{
    for (const Irregular& r : kIrregular)
        if (w == r.word)
            return {{{w}, {Word(r.genSg)}, {Word(r.nomPl)}, {Word(r.genPl)}}};
    Cases c{{{w}, {}, {}, {}}};
    const char32_t last = w.back();
    Word st = cut(w, 1);
    if (isConsonant(last)) {
        consonantNoun(w, c);
    } else if (last == U'й') {
        c = {{{w}, {st + U"я"}, {st + U"и"}, {st + U"ев"}}};
    } else if (last == U'ь') {
        c = {{{w}, {st + U"я", st + U"и"}, {st + U"и"}, {st + U"ей"}}};
    } else if (last == U'а') {
        const Word i = st + (takesI(st.back()) ? U"и" : U"ы");
        Word genPl = st;
        // A vowel comes between two consonants: «точка» «точек», «чарка» «чарок».
        if (st.size() >= 3 && st.back() == U'к' && isConsonant(st[st.size() - 2]))
            genPl.insert(genPl.size() - 1, 1, isHushing(st[st.size() - 2]) ? U'е' : U'о');
        c = {{{w}, {i}, {i}, {genPl}}};
    } else if (last == U'я' && st.back() == U'и') {
        c = {{{w}, {st + U"и"}, {st + U"и"}, {st + U"й"}}};
    } else if (last == U'я') {
        c = {{{w}, {st + U"и"}, {st + U"и"}, {st + U"ь", st + U"ей"}}};
    } else if (last == U'о') {
        c = {{{w}, {st + U"а"}, {st + U"а"}, {st}}};
    } else if (last == U'е') {
        const Word genPl = st.back() == U'и' ? st + U"й" : st + U"ей";
        c = {{{w}, {st + U"я"}, {st + U"я"}, {genPl}}};
    } else {
        return same(w); // «Ферми», «сантиметры водяного столба» stay
    }
    return c;
}

bool isAdjective(const Word& w)
{
    for (std::u32string_view end : {U"ый", U"ой", U"ий", U"ая", U"яя", U"ое", U"ее"})
        if (w.ends_with(end))
            return true;
    return false;
}

Word folded(const Word& word)
{
    std::string utf8;
    for (char32_t c : word)
        unitdb::appendUtf8(utf8, c);
    utf8 = unitdb::foldCase(utf8); // one code point for one
    Word out;
    for (std::size_t pos = 0; pos < utf8.size();)
        out.push_back(unitdb::nextCodePoint(utf8, pos));
    return out;
}

// One word of a name, as written: its cases, or itself in every case.
Cases declineWord(const Word& written)
{
    const Word word = folded(written);
    // «Икс-единица» declines its last part only.
    const std::size_t hyphen = word.rfind(U'-');
    const std::size_t from = hyphen == Word::npos ? 0 : hyphen + 1;
    const std::u32string_view part = std::u32string_view(written).substr(from);
    if (part.size() < 3 || !std::ranges::all_of(part, isCyrillic) ||
        std::any_of(part.begin() + 1, part.end(), isUpper))
        return same(word);
    const Word stem = word.substr(from);
    Cases c = isAdjective(stem) ? adjective(stem) : noun(stem);
    for (auto& spellings : c)
        for (Word& s : spellings)
            s.insert(0, word, 0, from);
    return c;
}

} // namespace

std::vector<std::string> nameForms(std::string_view name)
{
    std::vector<Cases> words;
    Word word;
    auto endWord = [&] {
        if (!word.empty())
            words.push_back(declineWord(word));
        word.clear();
    };
    for (std::size_t pos = 0; pos < name.size();) {
        const char32_t c = unitdb::nextCodePoint(name, pos);
        if (c == U' ')
            endWord();
        else
            word.push_back(c);
    }
    endWord();
    std::vector<std::string> forms;
    for (int k = NomSg; k <= GenPl; ++k) {
        // Every spelling of each word in this case; a name of many words stays small, since
        // few words have two spellings.
        std::vector<std::string> joined{std::string()};
        for (const Cases& word : words) {
            std::vector<std::string> next;
            for (const std::string& head : joined)
                for (const Word& spelling : word[static_cast<std::size_t>(k)]) {
                    std::string s = head.empty() ? head : head + ' ';
                    for (char32_t c : spelling)
                        unitdb::appendUtf8(s, c);
                    next.push_back(std::move(s));
                }
            joined = std::move(next);
        }
        for (std::string& f : joined)
            if (!f.empty() && std::ranges::find(forms, f) == forms.end())
                forms.push_back(std::move(f));
    }
    return forms;
}

bool formsKeepInitial(std::string_view name)
{
    // Asked of every unit: most names are told by their first letter alone.
    std::size_t pos = 0;
    char32_t initial = unitdb::nextCodePoint(name, pos);
    if (isUpper(initial))
        initial = initial == U'Ё' ? U'ё' : initial + (U'а' - U'А');
    if (std::ranges::none_of(kIrregular, [&](const Irregular& r) { return r.word[0] == initial; }))
        return true;
    const std::string first = unitdb::foldCase(name.substr(0, name.find(' ')));
    Word w;
    for (std::size_t pos = 0; pos < first.size();)
        w.push_back(unitdb::nextCodePoint(first, pos));
    for (const Irregular& r : kIrregular)
        if (w == r.word)
            return r.genSg[0] == w[0] && r.nomPl[0] == w[0] && r.genPl[0] == w[0];
    return true;
}

} // namespace convmodel
