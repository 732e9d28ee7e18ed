// Qt describes a plain top-level widget as a client area ("filler") and leaves popups out of
// the tree; a factory of our own gives the windows their role and lists the find box.
#include "dialogs/access.h"

#include <QAbstractSlider>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

namespace ui
{

namespace
{

constexpr char kRoleProperty[] = "mvAccessibleRole";

class DesktopKeys final : public QObject
{
public:
    explicit DesktopKeys(QAbstractSlider* slider) : QObject(slider), m_slider(slider) {}

    // QScrollBar inverts its keys, so a horizontal bar would step left on the right arrow.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_slider || event->type() != QEvent::KeyPress)
            return false;
        QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            action = QAbstractSlider::SliderSingleStepSub;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            action = QAbstractSlider::SliderSingleStepAdd;
            break;
        case Qt::Key_PageUp:
            action = QAbstractSlider::SliderPageStepSub;
            break;
        case Qt::Key_PageDown:
            action = QAbstractSlider::SliderPageStepAdd;
            break;
        case Qt::Key_Home:
            action = QAbstractSlider::SliderToMinimum;
            break;
        case Qt::Key_End:
            action = QAbstractSlider::SliderToMaximum;
            break;
        default:
            return false;
        }
        m_slider->triggerAction(action);
        return true;
    }

private:
    QAbstractSlider* m_slider;
};

class WindowAccessible final : public QAccessibleWidget
{
public:
    WindowAccessible(QWidget* window, QAccessible::Role role) : QAccessibleWidget(window, role) {}

    int childCount() const override
    {
        return QAccessibleWidget::childCount() + static_cast<int>(shownPopups().size());
    }
    QAccessibleInterface* child(int index) const override
    {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        const QList<QWidget*> popups = shownPopups();
        return index - own < popups.size()
                   ? QAccessible::queryAccessibleInterface(popups[index - own])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const int own = QAccessibleWidget::indexOfChild(child);
        if (own >= 0 || !child)
            return own;
        const qsizetype popup = shownPopups().indexOf(qobject_cast<QWidget*>(child->object()));
        return popup < 0 ? -1 : QAccessibleWidget::childCount() + static_cast<int>(popup);
    }

private:
    QList<QWidget*> shownPopups() const
    {
        QList<QWidget*> popups;
        for (QWidget* w : widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->windowType() == Qt::Popup && w->isVisible() &&
                w->property(kRoleProperty).isValid())
                popups << w;
        return popups;
    }
};

QAccessibleInterface* windowFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    const QVariant role = widget ? widget->property(kRoleProperty) : QVariant();
    return role.isValid()
               ? new WindowAccessible(widget, static_cast<QAccessible::Role>(role.toInt()))
               : nullptr;
}

} // namespace

void useDesktopKeys(QAbstractSlider* slider)
{
    slider->setFocusPolicy(Qt::StrongFocus);
    slider->installEventFilter(new DesktopKeys(slider));
}

void nameList(QComboBox* list, const QString& name)
{
    list->setAccessibleName(name);
    auto* label = new QLabel(name, list->parentWidget());
    label->setObjectName(list->objectName() + QStringLiteral("Caption"));
    label->setBuddy(list);
    label->hide();
}

void exposeAs(QWidget* window, QAccessible::Role role)
{
    static const bool installed = [] {
        QAccessible::installFactory(&windowFactory);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kRoleProperty, static_cast<int>(role));
}

} // namespace ui
