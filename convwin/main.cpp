// Metrovanta: a unit converter. Works in the current folder, where Base.dat lives.
#include "convwin/conversionwindow.h"
#include "dialogs/messenger.h"
#include "unitdb/unittables.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    auto tables = std::make_unique<unitdb::UnitTables>();
    QtMessenger messenger;
    ConversionWindow window(*tables, messenger);
    if (!window.startUp())
        return 1;
    window.show();
    return QApplication::exec();
}
