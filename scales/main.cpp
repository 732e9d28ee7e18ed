// Skalomer: a whole-degree Celsius temperature shown in five scales. Takes no arguments.
#include "dialogs/qthelpers.h"
#include "scales/scaleswindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::installQtTranslation(app); // the scroll bar's menu
    scales::ScalesWindow window;
    window.show();
    return QApplication::exec();
}
