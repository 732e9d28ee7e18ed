// Start-up with large inputs: the shipped Base.dat alone, with an Ignore.ini of 30 000 names,
// and with a 1 MB description without a blank in the first unit shown. Each iteration builds
// the conversion window in a prepared folder, starts it, shows it with the description panel
// unfolded and paints it once; the difference to the plain case is what the input adds.
// Then the database editor on that description: opened, and 1 MB more pasted into it.
#include "bench/silentmessenger.h"
#include "convmodel/session.h"
#include "convwin/conversionwindow.h"
#include "dialogs/databaseeditor.h"
#include "unitdb/cp1251.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace
{

enum Input { Plain, IgnoredNames, LongDescription };

std::string shippedBase()
{
    std::ifstream in(MV_SHIPPED_BASE, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The shipped file with the description of its first unit, the first one shown, replaced by
// `length` letters without a blank.
std::string baseWithLongDescription(std::size_t length)
{
    std::string base = shippedBase();
    const std::size_t descStart = base.find("\r\n", base.find("\r\n") + 2) + 2;
    return base.replace(descStart, base.find("\r\n", descStart) - descStart,
                        std::string(length, 'x'));
}

std::string ignoreList(int names)
{
    std::string text;
    for (int i = 0; i < names; ++i)
        text += "Величина " + std::to_string((i * 7919) % names) + "\r\n";
    return unitdb::encodeCp1251(text).bytes;
}

// Starts the window as the program does and shows it on the first unit, whose description is
// the long one; false, with the reason, if it did not start.
bool shown(ConversionWindow& window, benchmark::State& state)
{
    if (!window.startUp()) {
        state.SkipWithError("the window did not start");
        return false;
    }
    window.findChild<QComboBox*>(QStringLiteral("InUnit"))->setCurrentIndex(0);
    window.show();
    return true;
}

void startUp(benchmark::State& state)
{
    QTemporaryDir dir;
    const auto input = static_cast<Input>(state.range(0));
    std::ofstream(dir.filePath(QStringLiteral("Base.dat")).toStdString(), std::ios::binary)
        << (input == LongDescription ? baseWithLongDescription(1 << 20) : shippedBase());
    if (input == IgnoredNames)
        std::ofstream(dir.filePath(QStringLiteral("Ignore.ini")).toStdString(), std::ios::binary)
            << ignoreList(30000);
    const QString registry = dir.filePath(QStringLiteral("registry.reg"));
    SilentMessenger messenger;
    for (auto _ : state) {
        convmodel::Session session({dir.path().toStdString(), registry.toStdString()}, "", '.');
        ConversionWindow window(session, messenger);
        if (!shown(window, state))
            return;
        // The panel unfolded on the input unit, whose description is the long one.
        window.findChild<QPushButton*>(QStringLiteral("CmdHelp_4"))->click();
        auto* description = window.findChild<QPlainTextEdit*>(QStringLiteral("LblDesc"));
        if (input == LongDescription && description->toPlainText().size() < (1 << 20)) {
            state.SkipWithError("the long description is not shown");
            return;
        }
        // Paints the whole window, the description laid out, as its first frame would.
        benchmark::DoNotOptimize(window.grab());
    }
}

// Opens the editor on the unit with the long description and paints it; argument 1 then
// pastes another megabyte without a blank at its end and paints it again.
void editorDescription(benchmark::State& state)
{
    QTemporaryDir dir;
    std::ofstream(dir.filePath(QStringLiteral("Base.dat")).toStdString(), std::ios::binary)
        << baseWithLongDescription(1 << 20);
    const QString registry = dir.filePath(QStringLiteral("registry.reg"));
    SilentMessenger messenger;
    QGuiApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('y')));
    for (auto _ : state) {
        state.PauseTiming();
        convmodel::Session session({dir.path().toStdString(), registry.toStdString()}, "", '.');
        ConversionWindow window(session, messenger);
        if (!shown(window, state))
            return;
        state.ResumeTiming();
        window.findChild<QPushButton*>(QStringLiteral("cmdEdit"))->click();
        auto* box = window.editor()->findChild<QPlainTextEdit*>(QStringLiteral("DescEdit"));
        benchmark::DoNotOptimize(window.editor()->grab());
        if (state.range(0) == 1) {
            box->moveCursor(QTextCursor::End);
            box->paste();
            benchmark::DoNotOptimize(window.editor()->grab());
        }
        if (box->toPlainText().size() < (1 << 20)) {
            state.SkipWithError("the long description is not in the editor");
            return;
        }
    }
}

BENCHMARK(editorDescription)
    ->ArgName("paste")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK(startUp)
    ->ArgName("input")
    ->Arg(Plain)
    ->Arg(IgnoredNames)
    ->Arg(LongDescription)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
