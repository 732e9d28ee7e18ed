// Metrovanta: a unit converter. Works in the current folder, where Base.dat lives.
#include "convwin/conversionwindow.h"
#include "dialogs/messenger.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    unitdb::UnitDatabase database;
    QtMessenger messenger;
    ConversionWindow window(database, messenger);
    if (!window.startUp())
        return 1;
    window.show();
    return QApplication::exec();
}
