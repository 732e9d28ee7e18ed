// Start-up probe: builds the conversion window exactly as main() does (or a bare QWidget) and
// prints the steady clock at its first presented frame, the peak resident memory so far, and
// the resident memory split into anonymous (heap, stacks) and file-backed (code) pages, in KiB.
// bench/startup.py starts it many times and subtracts the moment it started the process.
//   startup_probe window|bare|label   (label: the bare window with one line of text)
#include "convmodel/session.h"
#include "convwin/conversionwindow.h"
#include "dialogs/messenger.h"
#include "dialogs/qthelpers.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <sys/resource.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{

// Reports after the first paint event of the watched window, once the event loop is free
// again: by then the children have painted too and the frame is flushed to the screen.
class FirstFrame final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, &FirstFrame::report);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // A "Name:   123 kB" line of /proc/self/status; 0 when it is missing.
    static long statusField(const char* name)
    {
        std::FILE* status = std::fopen("/proc/self/status", "r");
        if (!status)
            return 0;
        char line[256];
        long value = 0;
        const std::size_t length = std::strlen(name);
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, name, length) == 0) {
                const char* p = line + length;
                while (*p == ' ' || *p == '\t')
                    ++p;
                std::from_chars(p, line + std::strlen(line), value);
                break;
            }
        std::fclose(status);
        return value;
    }

    static void report()
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%lld %ld %ld %ld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                    usage.ru_maxrss, statusField("RssAnon:"), statusField("RssFile:"));
        std::fflush(stdout);
        // Nothing after the first frame is measured; leave without the shut-down's writes.
        std::_Exit(0);
    }

    bool m_seen = false;
};

} // namespace

int main(int argc, char* argv[])
{
    const char* mode = argc > 1 ? argv[1] : "window";
    QApplication app(argc, argv);
    FirstFrame probe;
    if (std::strcmp(mode, "window") != 0) {
        // The conversion window's folded size, 6270 x 2330 twips.
        QWidget window;
        window.setWindowTitle(QStringLiteral("bare"));
        window.resize(418, 155);
        // Any text on screen loads the font configuration; this is the floor for that.
        if (std::strcmp(mode, "label") == 0)
            new QLabel(QStringLiteral("Категория: Длина"), &window);
        window.installEventFilter(&probe);
        window.show();
        return QApplication::exec();
    }
    // The folder it is started in holds Base.dat, as the measuring script prepares it.
    convmodel::Session session({std::filesystem::current_path(), settings::defaultSettingsFile()},
                               ConversionWindow::caption().toStdString(), ui::decimalSeparator(),
                               ui::alphabeticalOrder);
    QtMessenger messenger;
    ConversionWindow window(session, messenger);
    window.installEventFilter(&probe);
    if (!window.startUp())
        return 1;
    window.show();
    return QApplication::exec();
}
