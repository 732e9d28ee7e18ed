// Makes README's screenshots: shows each window of both programs with the shipped Base.dat
// and first-run settings, presses the buttons a user would, and saves what each window draws.
//   xvfb-run -a screenshots OUTPUT_FOLDER
#include "convmodel/session.h"
#include "convwin/conversionwindow.h"
#include "dialogs/messenger.h"
#include "dialogs/qthelpers.h"
#include "scales/scaleswindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{

bool save(QWidget* window, const QString& folder, const char* name)
{
    QTest::qWait(300);
    if (!window || !window->isVisible()) {
        std::fprintf(stderr, "screenshots: %s is not on the screen\n", name);
        return false;
    }
    const QString file = QDir(folder).filePath(QString::fromLatin1(name) + ".png");
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

// The open find box is a popup window of its own: drawn over the picture of its window.
bool saveWithPopup(QWidget* window, QWidget* popup, const QString& folder, const char* name)
{
    QTest::qWait(300);
    if (!popup || !popup->isVisible()) {
        std::fprintf(stderr, "screenshots: %s is not on the screen\n", name);
        return false;
    }
    const QRect main(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect both = main.united(popup->geometry());
    QPixmap picture(both.size());
    picture.fill(window->palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.drawPixmap(main.topLeft() - both.topLeft(), window->grab());
    painter.drawPixmap(popup->pos() - both.topLeft(), popup->grab());
    painter.end();
    const QString file = QDir(folder).filePath(QString::fromLatin1(name) + ".png");
    if (!picture.save(file)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

QWidget* topLevel(const char* objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(objectName) && w->isVisible())
            return w;
    return nullptr;
}

// Selects the first entry of a unit list that starts with `text`, as a user picks a unit.
void pick(QWidget* form, const char* list, const char* text)
{
    if (auto* box = form->findChild<QComboBox*>(QString::fromLatin1(list)))
        box->setCurrentIndex(
            std::max(0, box->findText(QString::fromUtf8(text), Qt::MatchStartsWith)));
}

void click(QWidget* form, const char* button)
{
    if (auto* b = form->findChild<QAbstractButton*>(QString::fromLatin1(button)))
        b->click();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out);

    QTemporaryDir home;
    QFile::copy(QStringLiteral(MV_SHIPPED_BASE), home.filePath(QStringLiteral("Base.dat")));
    convmodel::Session session(
        {home.path().toStdString(), home.filePath(QStringLiteral("registry.reg")).toStdString()},
        ConversionWindow::caption().toStdString(), ui::decimalSeparator(), ui::alphabeticalOrder);
    QtMessenger messenger;
    ConversionWindow main(session, messenger);
    if (!main.startUp())
        return 1;
    main.show();
    pick(&main, "InUnit", "Метр (м)");
    pick(&main, "OutUnit_0", "Километр");
    pick(&main, "OutUnit_1", "Верста (");
    pick(&main, "OutUnit_2", "Фут (");
    pick(&main, "OutUnit_3", "Дюйм");
    main.findChild<QLineEdit*>(QStringLiteral("InText"))->setText(QStringLiteral("100"));
    bool ok = save(&main, out, "metrovanta-folded");
    // Amounts with units typed in the line, converted as they are typed.
    pick(&main, "InUnit", "Сантиметр (");
    pick(&main, "OutUnit_0", "Метр (м)");
    pick(&main, "OutUnit_3", "Миллиметр (");
    main.findChild<QLineEdit*>(QStringLiteral("InText"))->setText(QStringLiteral("5 фут 11 дюйм"));
    ok = save(&main, out, "metrovanta-units") && ok;
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main)) // the shortcut below needs it
        std::fprintf(stderr, "screenshots: the main window is not active\n");
    QTest::keyClick(main.findChild<QLineEdit*>(QStringLiteral("InText")), Qt::Key_F3);
    auto* findBox = main.findChild<QWidget*>(QStringLiteral("FindBox"));
    if (auto* findText = main.findChild<QLineEdit*>(QStringLiteral("FindText")))
        findText->setText(QStringLiteral("бар"));
    ok = saveWithPopup(&main, findBox, out, "metrovanta-find") && ok;
    if (findBox)
        findBox->close();
    click(&main, "CmdHelp_1");
    ok = save(&main, out, "metrovanta-unfolded") && ok;
    click(&main, "cmdSetup");
    ok = save(topLevel("Form2"), out, "metrovanta-settings") && ok;
    if (QWidget* settings = topLevel("Form2"))
        settings->close(); // like OK: hands the main window back
    click(&main, "Command1");
    ok = save(topLevel("Form3"), out, "metrovanta-about") && ok;
    if (QWidget* about = topLevel("Form3"))
        about->close(); // like OK
    click(&main, "cmdEdit");
    // A coefficient the editor refuses, to show where it says why.
    if (QWidget* editor = topLevel("Form4"))
        if (auto* coefficient = editor->findChild<QLineEdit*>(QStringLiteral("KoefEdit"))) {
            coefficient->setText(QStringLiteral("1/0"));
            QTest::keyClick(coefficient, Qt::Key_Return);
        }
    ok = save(topLevel("Form4"), out, "metrovanta-editor") && ok;
    if (QWidget* editor = topLevel("Form4")) {
        click(editor, "cmdUndo"); // takes the refused text back, or closing would refuse too
        editor->close();
    }

    scales::ScalesWindow skalomer;
    skalomer.show();
    if (auto* celsius = skalomer.findChild<QScrollBar*>(QStringLiteral("Cels")))
        celsius->setValue(20);
    ok = save(&skalomer, out, "skalomer") && ok;
    return ok ? 0 : 1;
}
