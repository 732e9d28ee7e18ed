// Typing latency of the conversion window: a key press in the input line up to the four
// outputs holding their new texts (a number, or an expression with unit words), a category
// change refilling the five unit lists, and a key press in the find box up to its list refilled.
// Logging off and rounding on (the first-run defaults). Argument 0: shipped Base.dat,
// 1: a full-capacity one (51 x 101 units with descriptions).
#include "bench/silentmessenger.h"
#include "convmodel/inputtext.h"
#include "convmodel/session.h"
#include "convwin/conversionwindow.h"
#include "convwin/findbox.h"
#include "unitdb/basefile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <numeric>
#include <vector>

namespace
{

struct Window {
    explicit Window(long database)
    {
        const char* source = database == 0 ? MV_SHIPPED_BASE : MV_FULL_BASE;
        QFile::copy(QString::fromUtf8(source), dir.filePath(QStringLiteral("Base.dat")));
        session = std::make_unique<convmodel::Session>(
            convmodel::DataFiles{dir.path().toStdString(),
                                 dir.filePath(QStringLiteral("registry.reg")).toStdString()},
            "", '.');
        form = std::make_unique<ConversionWindow>(*session, messenger);
        ok = form->startUp();
        form->show();
        QApplication::processEvents();
    }
    template <typename T> T* find(const QString& name) const { return form->findChild<T*>(name); }

    QTemporaryDir dir;
    std::unique_ptr<convmodel::Session> session;
    SilentMessenger messenger;
    std::unique_ptr<ConversionWindow> form;
    bool ok = false;
};

void press(QWidget* target, Qt::Key key, const QString& text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

// Alternately types a digit and deletes it at the end of `text`, so every iteration is one key
// press that changes the value and runs the conversion.
void typing(benchmark::State& state, bool paint, const QString& text = QStringLiteral("1234.5"))
{
    Window w(state.range(0));
    auto* in = w.find<QLineEdit>(QStringLiteral("InText"));
    auto* out = w.find<QLineEdit>(QStringLiteral("OutText_3"));
    if (!w.ok || !in || !out) {
        state.SkipWithError("the window did not start");
        return;
    }
    in->setFocus();
    in->setText(text);
    in->end(false);
    const QString before = out->text();
    press(in, Qt::Key_7, QStringLiteral("7"));
    if (out->text() == before) {
        state.SkipWithError("a key press did not change the outputs");
        return;
    }
    press(in, Qt::Key_Backspace, {});
    bool digit = true;
    for (auto _ : state) {
        if (digit)
            press(in, Qt::Key_7, QStringLiteral("7"));
        else
            press(in, Qt::Key_Backspace, {});
        digit = !digit;
        if (paint)
            QApplication::processEvents();
        benchmark::DoNotOptimize(out->text().size());
    }
}

void BM_KeyPress(benchmark::State& state)
{
    typing(state, false);
}
// The same with the repaint of the changed fields (offscreen raster) included.
void BM_KeyPressAndPaint(benchmark::State& state)
{
    typing(state, true);
}

// An expression with two unit words of the first quantity (by symbol and by name, found among
// every unit of the file), a bracket and a function: the text is read for unit words and
// evaluated on every key press.
void BM_KeyPressUnitWords(benchmark::State& state)
{
    unitdb::UnitDatabase database;
    const char* source = state.range(0) == 0 ? MV_SHIPPED_BASE : MV_FULL_BASE;
    unitdb::load(database, source);
    database.sortUnits();
    const auto& units = database[0].units;
    const QString symbol = QString::fromStdString(convmodel::shortName(units[1].name));
    const QString name = QString::fromStdString(units[2].name.substr(0, units[2].name.find(" (")));
    typing(state, false, QStringLiteral("5 %1 11 %2 + sqrt(2)*1234.5").arg(symbol, name.toLower()));
}

void BM_CategoryChange(benchmark::State& state)
{
    Window w(state.range(0));
    auto* category = w.find<QComboBox>(QStringLiteral("SelUnit"));
    auto* inUnit = w.find<QComboBox>(QStringLiteral("InUnit"));
    if (!w.ok || !category || !inUnit || category->count() < 2) {
        state.SkipWithError("the window did not start");
        return;
    }
    // Length and area in the shipped file: both lists are long.
    std::array<int, 2> picks{0, 1};
    int next = 0;
    for (auto _ : state) {
        category->setCurrentIndex(picks[static_cast<std::size_t>(next)]);
        next ^= 1;
        benchmark::DoNotOptimize(inUnit->count());
    }
    state.counters["units"] = inUnit->count();
}

// The query goes from "t" to "tl" and back: on the Russian layout «е» and «ед», which every
// unit of the full-capacity file holds, so both readings are tried on every name and the
// list is cut to its fifty rows each time. Second argument 1: with the repaint of the box;
// third argument 1: after "t " typed until the box is full (32 767 characters).
void BM_FindKeyPress(benchmark::State& state)
{
    Window w(state.range(0));
    // The window makes its find box when it is first opened; this one is the same.
    auto* box = new FindBox(w.session->database(), w.form.get());
    auto* text = box->findChild<QLineEdit*>(QStringLiteral("FindText"));
    auto* rows = box->findChild<QListWidget*>(QStringLiteral("FindList"));
    if (!w.ok || !text || !rows) {
        state.SkipWithError("the window did not start");
        return;
    }
    std::vector<int> categories(w.session->database().size());
    std::iota(categories.begin(), categories.end(), 0);
    box->popUp(categories, w.find<QComboBox>(QStringLiteral("SelUnit")));
    if (state.range(2))
        text->setText(QStringLiteral("t ").repeated(text->maxLength() / 2 - 1));
    press(text, Qt::Key_T, QStringLiteral("t"));
    bool letter = true;
    for (auto _ : state) {
        if (letter)
            press(text, Qt::Key_L, QStringLiteral("l"));
        else
            press(text, Qt::Key_Backspace, {});
        letter = !letter;
        if (state.range(1))
            QApplication::processEvents();
        benchmark::DoNotOptimize(rows->count());
    }
    state.counters["rows"] = rows->count();
}

BENCHMARK(BM_KeyPress)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyPressAndPaint)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyPressUnitWords)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CategoryChange)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindKeyPress)
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({1, 1, 0})
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
