// Text pasted from word processors uses typographic signs the calculator does not know.
#include "dialogs/typography.h"

QString plainOperators(QString text)
{
    for (QChar& c : text) {
        switch (c.unicode()) {
        case 0x2212: // minus sign
        case 0x2013: // en dash
            c = QLatin1Char('-');
            break;
        case 0x00D7: // multiplication sign
        case 0x00B7: // middle dot
            c = QLatin1Char('*');
            break;
        case 0x00F7: // division sign
        case 0x2215: // division slash
            c = QLatin1Char('/');
            break;
        case 0x00A0: // no-break space
        case 0x2009: // thin space
        case 0x202F: // narrow no-break space
            c = QLatin1Char(' ');
            break;
        default:
            break;
        }
    }
    return text;
}
