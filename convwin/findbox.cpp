// The find box's controls and keys. The text keeps the keyboard focus all the time, so
// typing never stops: Up and Down move in the list from there, Enter chooses.
#include "convwin/findbox.h"

#include "dialogs/access.h"
#include "dialogs/uistyle.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace
{

constexpr int kVisibleRows = 12;
constexpr std::ptrdiff_t kMeasuredRows = 64; // the longest rows, whose widest sets the box's
constexpr int kListRole = Qt::UserRole;
constexpr int kSlotRole = Qt::UserRole + 1;

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::size_t characters(const std::string& utf8)
{
    return static_cast<std::size_t>(std::ranges::count_if(
        utf8, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

QString rowText(const unitdb::Unit& unit, const unitdb::Quantity& quantity)
{
    return fromStd(unit.name) + QStringLiteral(" — ") + fromStd(quantity.name);
}

} // namespace

FindBox::FindBox(const unitdb::UnitDatabase& database, QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint), m_db(database) // its own frame only
{
    // Qt leaves popups out of the accessibility tree; this one is listed under its window.
    ui::exposeAs(this, QAccessible::Dialog);
    setObjectName(QStringLiteral("FindBox"));
    setAccessibleName(QStringLiteral("Поиск единицы"));
    // The click that closes the box must not also press a button or swap rows.
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFont(ui::programFont());

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("FindText"));
    m_text->setPlaceholderText(QStringLiteral("Единица измерения"));
    m_text->setAccessibleName(QStringLiteral("Часть названия единицы"));
    m_text->setAccessibleDescription(
        QStringLiteral("Вверх и вниз выбирают в списке, Enter берёт единицу, Esc закрывает"));
    ui::setColours(m_text, ui::kFieldBack, ui::kFieldText);
    m_text->installEventFilter(this);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("FindList"));
    m_list->setAccessibleName(QStringLiteral("Найденные единицы"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true); // fifty rows per keystroke: no per-row measuring
    m_list->setFixedHeight(m_list->fontMetrics().height() * kVisibleRows + 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    layout->addWidget(m_text);
    layout->addWidget(m_list);

    connect(m_text, &QLineEdit::textChanged, this, [this] { refill(); });
    // A style that activates on one click emits both signals; choose() takes the first.
    connect(m_list, &QListWidget::itemClicked, this, [this](auto* item) { choose(item); });
    connect(m_list, &QListWidget::itemActivated, this, [this](auto* item) { choose(item); });
}

void FindBox::popUp(const std::vector<int>& categories, const QWidget* anchor)
{
    m_categories = categories;
    m_search.emplace(m_db, m_categories); // the editor may have changed the database
    m_text->clear();
    refill(); // clear() stays silent when the text was empty already
    // As wide as the widest row it may list, so no name hides behind a scroll bar, and at
    // least half as wide again as the anchor; it grows to the left, over rows not needed
    // meanwhile, and stays on the screen.
    const QRect screen = anchor->screen()->availableGeometry();
    const int width = std::min(std::max(widestRow(), anchor->width() * 3 / 2), screen.width());
    setFixedWidth(width);
    QPoint at = anchor->mapToGlobal(QPoint(anchor->width() - width, anchor->height()));
    at.setX(std::clamp(at.x(), screen.left(), screen.right() + 1 - width));
    move(at);
    show();
    m_text->setFocus(Qt::PopupFocusReason);
}

int FindBox::widestRow() const
{
    // Measuring all 5151 rows of a full database took a fifth of a second; the widest row is
    // among the longest, so only those are measured.
    struct Row {
        std::size_t characters;
        const unitdb::Unit* unit;
        const unitdb::Quantity* quantity;
    };
    std::vector<Row> rows;
    for (const int category : m_categories) {
        const unitdb::Quantity& quantity = m_db[static_cast<std::size_t>(category)];
        for (const unitdb::Unit& unit : quantity.units)
            rows.push_back({characters(unit.name) + characters(quantity.name), &unit, &quantity});
    }
    const auto longest = rows.begin() + std::min<std::ptrdiff_t>(kMeasuredRows, std::ssize(rows));
    std::nth_element(rows.begin(), longest, rows.end(),
                     [](const Row& a, const Row& b) { return a.characters > b.characters; });
    const QFontMetrics metrics = m_list->fontMetrics();
    int widest = 0;
    for (auto row = rows.begin(); row != longest; ++row)
        widest = std::max(widest, metrics.horizontalAdvance(rowText(*row->unit, *row->quantity)));
    // The row's own margins, the list's frame and scroll bar, and the box's frame.
    const QStyle* style = m_list->style();
    return widest + 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1) +
           2 * m_list->frameWidth() +
           style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list) +
           2 * (frameWidth() + layout()->contentsMargins().left());
}

void FindBox::refill()
{
    m_list->clear();
    if (!m_search || m_text->text().trimmed().isEmpty())
        return;
    const auto found = m_search->find(m_text->text().toStdString(), kMaxRows);
    if (found.empty()) {
        auto* none = new QListWidgetItem(QStringLiteral("Ничего не найдено"), m_list);
        none->setFlags(Qt::NoItemFlags);
        return;
    }
    for (const unitdb::UnitMatch& m : found) {
        const unitdb::Quantity& quantity =
            m_db[static_cast<std::size_t>(m_categories[static_cast<std::size_t>(m.list)])];
        const QString text = rowText(quantity.units[static_cast<std::size_t>(m.slot)], quantity);
        auto* item = new QListWidgetItem(text, m_list);
        item->setData(kListRole, m.list);
        item->setData(kSlotRole, m.slot);
        item->setToolTip(text);
    }
    m_list->setCurrentRow(0);
}

void FindBox::choose(const QListWidgetItem* item)
{
    if (!isVisible() || !item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    const int list = item->data(kListRole).toInt();
    const int slot = item->data(kSlotRole).toInt();
    // Closed first: closing a popup hands the focus back, and the receiver moves it on.
    close();
    emit unitChosen(list, slot);
}

bool FindBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QCoreApplication::sendEvent(m_list, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(m_list->currentItem());
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}
