// The first-letter jump reads the entries' initials here, where letter case is Qt's; the rule
// of where to jump is the model's.
#include "convwin/unitpicker.h"

#include "convmodel/conversionmodel.h"
#include "dialogs/access.h"
#include "dialogs/uistyle.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <vector>

UnitPicker::UnitPicker(const QString& objectName, const QString& spokenName, QRect geometry,
                       QWidget* parent)
    : QComboBox(parent)
{
    setObjectName(objectName);
    ui::nameList(this, spokenName);
    setGeometry(geometry);
    setEditable(false);
    setMaxVisibleItems(20);
    ui::setColours(this, ui::kFieldBack, ui::kFieldText);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        setToolTip(currentText()); // the closed box may cut a long name
        if (!m_showing)
            emit unitChosen(index);
    });
}

void UnitPicker::setUnits(const QStringList& names)
{
    // Filled silently: Qt would select the first entry while adding.
    m_showing = true;
    clear();
    addItems(names);
    setCurrentIndex(-1);
    m_showing = false;
    m_widthKnown = false;
}

void UnitPicker::showPopup()
{
    // The open list is made, and every name measured, when it first opens: most lists never do.
    if (!m_openList) {
        m_openList = view();
        m_openList->installEventFilter(this); // the jump works in the open list too
    }
    if (!m_widthKnown) {
        // The open list is as wide as its longest name, so every symbol in brackets shows.
        QAbstractItemView* list = view();
        int wanted = list->sizeHintForColumn(0) + 2 * list->frameWidth();
        if (count() > maxVisibleItems())
            wanted += list->verticalScrollBar()->sizeHint().width();
        list->setMinimumWidth(std::max(0, wanted));
        m_widthKnown = true;
    }
    QComboBox::showPopup();
}

void UnitPicker::showSlot(int slot)
{
    m_showing = true;
    setCurrentIndex(slot);
    m_showing = false;
}

bool UnitPicker::jumpByLetter(const QKeyEvent& key)
{
    const QString text = key.text();
    // Letters and other printable characters jump; the combo box's own prefix search would
    // move the selection a second time.
    if (text.size() != 1 || !text.at(0).isPrint() || text.at(0).isSpace())
        return false;
    std::vector<char32_t> initials;
    initials.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i) {
        const QString name = itemText(i);
        initials.push_back(name.isEmpty() ? 0 : name.at(0).toUpper().unicode());
    }
    const int target = convmodel::ConversionModel::letterJump(initials, currentIndex(),
                                                              text.at(0).toUpper().unicode());
    if (target >= 0)
        emit unitChosen(target);
    return true;
}

void UnitPicker::paintEvent(QPaintEvent*)
{
    // As QComboBox paints, except that lists of the same colours hand the style one palette:
    // the style keeps a drawn box by its palette's identity, and each list's own copy of the
    // same colours had it drawn afresh.
    static const QPalette shared = palette();
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    if (option.palette == shared) {
        const QPalette::ColorGroup group = option.palette.currentColorGroup();
        option.palette = shared;
        option.palette.setCurrentColorGroup(group);
    }
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void UnitPicker::keyPressEvent(QKeyEvent* event)
{
    if (!jumpByLetter(*event))
        QComboBox::keyPressEvent(event);
}

bool UnitPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_openList && event->type() == QEvent::KeyPress &&
        jumpByLetter(*static_cast<QKeyEvent*>(event))) {
        view()->setCurrentIndex(model()->index(currentIndex(), 0));
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}
