// Metrovanta: a unit converter. Its files live in the user's data folder, its settings in the
// user's settings file (the registry on Windows).
#include "convmodel/datafolder.h"
#include "convmodel/session.h"
#include "convwin/conversionwindow.h"
#include "dialogs/messenger.h"
#include "dialogs/qthelpers.h"
#include "settings/settingsstore.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::installQtTranslation(app);
    convmodel::Session session({convmodel::defaultDataFolder(), settings::defaultSettingsFile()},
                               ui::utf8(ConversionWindow::caption()), ui::decimalSeparator(),
                               ui::alphabeticalOrder);
    QtMessenger messenger;
    ConversionWindow window(session, messenger);
    if (!window.startUp())
        return 1;
    window.show();
    return QApplication::exec();
}
