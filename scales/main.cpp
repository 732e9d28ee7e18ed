// Skalomer: a whole-degree Celsius temperature shown in five scales. Takes no arguments.
#include "scales/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    scales::Form1 window;
    window.show();
    return QApplication::exec();
}
