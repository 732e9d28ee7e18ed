// Skalomer: a whole-degree Celsius temperature shown in five scales. Takes no arguments.
#include "scales/scaleswindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    scales::ScalesWindow window;
    window.show();
    return QApplication::exec();
}
