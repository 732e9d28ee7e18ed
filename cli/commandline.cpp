// Arguments in, one request carried out: the database and the stored rounding are read, never
// written; results go to standard output alone, so that scripts can take them.
#include "cli/commandline.h"

#include "settings/settingsstore.h"
#include "settings/storednames.h"
#include "unitdb/basefile.h"
#include "words/problemwords.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <ostream>

namespace cli
{

namespace
{

constexpr std::string_view kName = "metrovanta-cli: ";

std::optional<int> placesArgument(std::string_view text)
{
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < -1 || n > 15)
        return std::nullopt;
    return n;
}

long storedNumber(settings::SettingsStore& store, std::string_view name)
{
    const std::string text = store.read(name, settings::storedName(name).fallback);
    long n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

// The rounding the window would start with: the stored one, or the first run's.
convmodel::Rounding storedRounding(const std::filesystem::path& file)
{
    settings::SettingsStore store(file);
    store.open();
    long round = storedNumber(store, "Round");
    if (storedNumber(store, "Launched") == 0)
        round = std::stol(settings::storedName("Round").firstRun);
    if (round < 0)
        return {false, 9};
    return {true, static_cast<int>(std::min(round, 15L))};
}

// `out` takes a result, `err` a message; the worse code wins.
void tell(const Outcome& outcome, std::string_view where, std::ostream& out, std::ostream& err)
{
    if (outcome.code == Exit::Ok) {
        out << outcome.text << '\n';
        return;
    }
    err << kName << where << outcome.text << '\n';
}

int lines(const Converter& converter, const std::string& target, std::istream& in,
          std::ostream& out, std::ostream& err)
{
    Exit worst = Exit::Ok;
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) {
            out << '\n'; // a blank line keeps its place, so that results stay beside their lines
            continue;
        }
        const std::size_t arrow = line.rfind("->");
        const std::string_view text = line;
        const Outcome outcome =
            arrow == std::string::npos
                ? converter.convert(text, target)
                : converter.convert(text.substr(0, arrow), text.substr(arrow + 2));
        tell(outcome, "строка " + std::to_string(number) + ": ", out, err);
        if (outcome.code != Exit::Ok)
            out << '\n';
        worst = std::max(worst, outcome.code);
    }
    return static_cast<int>(worst);
}

} // namespace

std::variant<Request, UsageError> parseArguments(std::span<const std::string_view> args)
{
    Request r;
    std::vector<std::string_view> free;
    auto action = [&](Request::Action a, std::string_view option) -> std::optional<UsageError> {
        if (r.action != Request::Action::Lines)
            return UsageError{"ключ " + std::string(option) + " нельзя сочетать с другим " +
                              "действием."};
        r.action = a;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const bool hasNext = i + 1 < args.size();
        if (a == "-h" || a == "--help") {
            r.action = Request::Action::Help;
            return r;
        }
        if (a == "-d" || a == "--base" || a == "--find" || a == "--describe") {
            if (!hasNext)
                return UsageError{"после " + std::string(a) + " нужно значение."};
            const std::string_view next = args[++i];
            if (a == "-d") {
                r.places = placesArgument(next);
                if (!r.places)
                    return UsageError{"после -d нужно число от -1 до 15, а не «" +
                                      std::string(next) + "»."};
            } else if (a == "--base") {
                r.base = std::filesystem::path(std::u8string(next.begin(), next.end()));
            } else {
                if (auto e = action(
                        a == "--find" ? Request::Action::Find : Request::Action::Describe, a))
                    return *e;
                r.word = next;
            }
        } else if (a == "--list") {
            if (auto e = action(Request::Action::List, a))
                return *e;
            // The quantity is the next argument unless it is an option.
            if (hasNext && !args[i + 1].starts_with("--") && args[i + 1] != "-d")
                r.word = args[++i];
        } else if (a.size() > 1 && a.starts_with("-") && !(a[1] >= '0' && a[1] <= '9') &&
                   a[1] != '.' && a[1] != '(') {
            return UsageError{"неизвестный ключ «" + std::string(a) + "»."};
        } else {
            free.push_back(a);
        }
    }
    if (r.action != Request::Action::Lines) {
        if (!free.empty())
            return UsageError{"лишний аргумент «" + std::string(free.front()) + "»."};
        return r;
    }
    if (free.size() > 2)
        return UsageError{"лишний аргумент «" + std::string(free[2]) + "»."};
    if (!free.empty() && free[0] != "-") {
        r.action = Request::Action::Convert;
        r.value = free[0];
    }
    if (free.size() == 2)
        r.target = free[1];
    return r;
}

std::string helpText()
{
    return R"(Использование:
  metrovanta-cli [-d N] [--base ФАЙЛ] ЗНАЧЕНИЕ [ЕДИНИЦА]
  metrovanta-cli [-d N] [--base ФАЙЛ] [- [ЕДИНИЦА]]
  metrovanta-cli [--base ФАЙЛ] --find ТЕКСТ | --list [ВЕЛИЧИНА] | --describe ЕДИНИЦА

Пересчитывает величину из одних единиц в другие по базе единиц Метрованты.
ЗНАЧЕНИЕ — выражение, как в строке ввода программы: «2*(3+4)», «5 фут 11 дюйм»,
«1 верста - 300 м». ЕДИНИЦА — обозначение, название или его форма: «см», «сантиметр»,
«сантиметров». Результат выводится числом с точкой, одна строка.
Без ЕДИНИЦЫ значение с единицами выводится в основной единице его величины, с её
обозначением через пробел; выражение без единиц просто вычисляется.
Число без единиц с ЕДИНИЦЕЙ остаётся тем же числом этой единицы.

Без ЗНАЧЕНИЯ или со значением «-» выражения читаются со стандартного ввода, по одному
в строке; строка может сама назвать единицу: «1 верста -> км». На каждую строку
выводится одна строка результата; при ошибке — пустая строка, а сообщение (с номером
строки) уходит в стандартный поток ошибок. Ошибка не прерывает чтение.

Ключи:
  -d N            округлять до N знаков после точки (0-15); -1 — не округлять.
                  По умолчанию — как в настройках программы.
  --base ФАЙЛ     читать этот Base.dat вместо Base.dat пользователя
                  (~/.local/share/metrovanta/Base.dat, иначе установленного).
  --find ТЕКСТ    найти единицы, как окно поиска: единица и величина через табуляцию.
  --list          перечислить величины.
  --list ВЕЛИЧИНА перечислить единицы величины с коэффициентами.
  --describe ЕД   показать описание единицы.
  -h, --help      эта справка.

Коды завершения:
  0   успешно
  1   ошибка выражения или вычисления (деление на ноль, незакрытая скобка...)
  2   неизвестная или неоднозначная единица, единица без коэффициента
  3   единицы разных величин
  4   файл Base.dat не найден или испорчен
  64  неверная командная строка
При чтении со стандартного ввода код — наибольший из встреченных.
Программа не записывает никаких файлов.
)";
}

int run(const Request& request, const Places& places, std::istream& in, std::ostream& out,
        std::ostream& err)
{
    if (request.action == Request::Action::Help) {
        out << helpText();
        return 0;
    }
    std::filesystem::path base;
    if (request.base) {
        base = *request.base;
    } else {
        const auto found = std::ranges::find_if(places.bases, [](const auto& p) {
            std::error_code ec;
            return std::filesystem::exists(p, ec);
        });
        base = found != places.bases.end() ? *found : std::filesystem::path("Base.dat");
    }
    unitdb::UnitDatabase database;
    const unitdb::LoadResult loaded = unitdb::load(database, base);
    if (!loaded.ok()) {
        const bool missing = loaded.code == unitdb::ErrorCode::FileUnread &&
                             loaded.fileError == fileio::FileError::Missing;
        const auto [number, text] =
            missing ? std::pair(words::ErrorNumber::FileNotFound, words::baseMissingText())
                    : words::baseLoadFault(loaded);
        err << kName << base.string() << ": " << words::numberedError(number, text) << '\n';
        return static_cast<int>(Exit::Base);
    }
    database.sortUnits(); // the lists' order, which the window's words and ranks go by

    convmodel::Rounding rounding;
    if (request.places)
        rounding = {*request.places >= 0, std::max(*request.places, 0)};
    else if (request.action == Request::Action::Convert || request.action == Request::Action::Lines)
        rounding = storedRounding(places.settings);
    const Converter converter(database, rounding);

    Outcome outcome;
    switch (request.action) {
    case Request::Action::Lines:
        return lines(converter, request.target, in, out, err);
    case Request::Action::Convert:
        outcome = converter.convert(request.value, request.target);
        break;
    case Request::Action::Find:
        outcome = converter.find(request.word);
        break;
    case Request::Action::List:
        outcome =
            request.word.empty() ? converter.list(std::nullopt) : converter.list(request.word);
        break;
    case Request::Action::Describe:
        outcome = converter.describe(request.word);
        break;
    case Request::Action::Help:
        break;
    }
    tell(outcome, {}, out, err);
    return static_cast<int>(outcome.code);
}

} // namespace cli
