// The forms a unit's name takes after a number in Russian: «1 фут», «2 фута», «5 футов».
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace convmodel
{

// The name in the nominative and genitive, singular and plural, folded (lower case, «ё» as
// «е»), the words of a name declined together. A word is declined by its ending; one shorter
// than three letters, one with a capital after its first letter («США», «кДж»), an abbreviation
// ending in a period and any word with other than Cyrillic letters stays as it is. Forms that
// coincide are given once.
//   nameForms("Верста межевая") holds "верста межевая", "версты межевой", "верст межевых"
std::vector<std::string> nameForms(std::string_view name);

// Whether every form begins with the letter the name does; «Год» does not, with «лет».
bool formsKeepInitial(std::string_view name);

} // namespace convmodel
