// The conversion window's controls, their layout and their wiring.
#include "convwin/conversionwindow.h"

#include "dialogs/aboutbox.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/messenger.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"
#include "settings/settingsstore.h"
#include "unitdb/unitdatabase.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace
{

constexpr int kClientWidth = 6270;
constexpr int kFoldedHeight = 2330;
constexpr int kRowTop = 840;
constexpr int kRowStep = 360;

QComboBox* makeList(QWidget* parent, const QString& name, QRect geometry)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(geometry);
    list->setEditable(false);
    list->setMaxVisibleItems(20);
    ui::setColours(list, ui::kFieldBack, ui::kFieldText);
    return list;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& tooltip, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

ConversionWindow::ConversionWindow(unitdb::UnitDatabase& database, Messenger& messenger,
                                   const QString& registryFile, QWidget* parent)
    : QWidget(parent), m_db(database), m_msg(messenger),
      m_settingsFile(registryFile.isEmpty() ? settings::defaultSettingsFile()
                                            : std::filesystem::path(registryFile.toStdString()))
{
    m_settings = std::make_unique<settings::SettingsStore>(m_settingsFile);
    setObjectName(QStringLiteral("Form1"));
    setFont(ui::programFont());
    buildControls();
    setFixedSize(ui::twips(kClientWidth), ui::twips(kFoldedHeight));
}

ConversionWindow::~ConversionWindow()
{
    delete m_editor;
    delete m_aboutBox;
    delete m_settingsDialog;
}

void ConversionWindow::buildControls()
{
    m_categoryLabel = new QLabel(QStringLiteral("Категория:"), this);
    m_categoryLabel->setObjectName(QStringLiteral("Lbl1"));
    m_categoryLabel->setGeometry(ui::twipsRect(1260, 165, 1035, 195));
    m_categoryLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_categoryList = makeList(this, QStringLiteral("SelUnit"), ui::twipsRect(2400, 120, 3825, 315));

    m_inputText = new QLineEdit(this);
    m_inputText->setObjectName(QStringLiteral("InText"));
    m_inputText->setGeometry(ui::twipsRect(120, 480, 2295, 315));
    ui::setColours(m_inputText, ui::kFieldBack, ui::kFieldText);

    m_inputUnit = makeList(this, QStringLiteral("InUnit"), ui::twipsRect(2400, 480, 3495, 315));

    const QString help = QStringLiteral("Получить справку");
    for (int i = 0; i < 4; ++i) {
        const int top = kRowTop + kRowStep * i;
        auto* out = new QLineEdit(QStringLiteral("0"), this);
        out->setObjectName(QStringLiteral("OutText_%1").arg(i));
        out->setGeometry(ui::twipsRect(120, top, 2295, 315));
        out->setReadOnly(true);
        out->setFocusPolicy(Qt::TabFocus); // reached by Tab, to copy or swap by key
        out->setCursor(Qt::PointingHandCursor);
        ui::setColours(out, ui::kOutputBack, ui::kOutputText);
        out->installEventFilter(this);
        m_outputTexts[static_cast<std::size_t>(i)] = out;
        m_outputUnits[static_cast<std::size_t>(i)] = makeList(
            this, QStringLiteral("OutUnit_%1").arg(i), ui::twipsRect(2400, top, 3495, 315));
        m_helpButtons[static_cast<std::size_t>(i)] =
            makeButton(this, QStringLiteral("CmdHelp_%1").arg(i), QStringLiteral("?"), help,
                       ui::twipsRect(5880, top, 315, 315));
    }
    m_helpButtons[4] = makeButton(this, QStringLiteral("CmdHelp_4"), QStringLiteral("?"), help,
                                  ui::twipsRect(5880, 480, 315, 315));

    ui::addEtchedLine(this, QStringLiteral("Line"), 120, 6240, 2400);

    m_panelUnit = new QLabel(this);
    m_panelUnit->setObjectName(QStringLiteral("LblUnit"));
    m_panelUnit->setGeometry(ui::twipsRect(120, 2520, 5655, 255));
    m_panelUnit->setTextFormat(Qt::PlainText);

    m_aboutButton =
        makeButton(this, QStringLiteral("Command1"), QStringLiteral("O"),
                   QStringLiteral("О программе..."), ui::twipsRect(5340, 2520, 225, 225));
    m_settingsButton =
        makeButton(this, QStringLiteral("cmdSetup"), QStringLiteral("S"),
                   QStringLiteral("Настройки..."), ui::twipsRect(5550, 2520, 225, 225));
    m_editorButton =
        makeButton(this, QStringLiteral("cmdEdit"), QStringLiteral("Р"),
                   QStringLiteral("Редактирование базы"), ui::twipsRect(5760, 2520, 225, 225));
    m_foldButton =
        makeButton(this, QStringLiteral("CmdScroll"), QStringLiteral("^"),
                   QStringLiteral("Скрыть справку"), ui::twipsRect(5970, 2520, 225, 225));
    m_foldButton->setEnabled(false);

    m_panelDescription = new QPlainTextEdit(this);
    m_panelDescription->setObjectName(QStringLiteral("LblDesc"));
    m_panelDescription->setGeometry(ui::twipsRect(120, 2760, 6105, 1695));
    m_panelDescription->setReadOnly(true);
    m_panelDescription->setTabChangesFocus(true);
    // A word wider than the panel breaks where the line ends instead of running off it.
    m_panelDescription->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    ui::setColours(m_panelDescription, ui::kOutputBack, ui::kOutputText);

    connect(m_categoryList, &QComboBox::currentIndexChanged, this, [this] { categoryChosen(); });
    connect(m_inputUnit, &QComboBox::currentIndexChanged, this,
            [this] { unitChosen(m_inputUnit); });
    for (QComboBox* out : m_outputUnits)
        connect(out, &QComboBox::currentIndexChanged, this, [this, out] { unitChosen(out); });
    for (QComboBox* list : unitLists()) {
        list->installEventFilter(this);
        list->view()->installEventFilter(this); // the first-letter jump in the open list
    }
    connect(m_inputText, &QLineEdit::textChanged, this, [this] { inTextChanged(); });
    m_inputText->installEventFilter(this);
    for (int i = 0; i < 5; ++i)
        connect(m_helpButtons[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { helpPressed(i); });
    connect(m_foldButton, &QPushButton::clicked, this, [this] { scrollPressed(); });
    connect(m_settingsButton, &QPushButton::clicked, this, [this] { openSettings(); });
    connect(m_aboutButton, &QPushButton::clicked, this, [this] { openAbout(); });
    connect(m_editorButton, &QPushButton::clicked, this, [this] { openEditor(); });

    setUpFind();
    ui::pressOnEnter(this);
    updateTabOrder();
    setPanelReachable(false);
    m_inputText->setFocus();
}

std::array<QComboBox*, 5> ConversionWindow::unitLists() const
{
    return {m_inputUnit, m_outputUnits[0], m_outputUnits[1], m_outputUnits[2], m_outputUnits[3]};
}

void ConversionWindow::updateTabOrder()
{
    // The order the rows are seen in: a swap moves the input row among the outputs.
    std::array<std::size_t, 4> rows{0, 1, 2, 3};
    std::sort(rows.begin(), rows.end(), [this](std::size_t a, std::size_t b) {
        return m_outputTexts[a]->y() < m_outputTexts[b]->y();
    });
    std::vector<QWidget*> chain{m_categoryList, m_inputText, m_inputUnit, m_helpButtons[4]};
    for (std::size_t i : rows)
        chain.insert(chain.end(), {m_outputTexts[i], m_outputUnits[i], m_helpButtons[i]});
    chain.insert(chain.end(), {m_aboutButton, m_settingsButton, m_editorButton, m_foldButton,
                               m_panelDescription});
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void ConversionWindow::setPanelReachable(bool open)
{
    // The folded panel lies below the window's edge: Tab must not wander there.
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_aboutButton, m_settingsButton, m_editorButton, m_foldButton, m_panelDescription}) {
        if (!open && control->hasFocus())
            m_inputText->setFocus(Qt::TabFocusReason);
        control->setFocusPolicy(!open                           ? Qt::NoFocus
                                : control == m_panelDescription ? Qt::StrongFocus
                                                                : Qt::TabFocus);
    }
}

void ConversionWindow::fitListWidth(QComboBox* list)
{
    // The open list is as wide as its longest name, so every symbol in brackets shows.
    QAbstractItemView* view = list->view();
    int wanted = view->sizeHintForColumn(0) + 2 * view->frameWidth();
    if (list->count() > list->maxVisibleItems())
        wanted += view->verticalScrollBar()->sizeHint().width();
    view->setMinimumWidth(std::max(0, wanted));
}

void ConversionWindow::showOutputMenu(int index, const QPoint& globalPos)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("OutputMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Копировать"), this, [this, index] { copyOutput(index); });
    menu->addAction(QStringLiteral("Поменять местами"), this,
                    [this, index] { outputClicked(index); });
    menu->popup(globalPos);
}

void ConversionWindow::copyOutput(int index)
{
    QGuiApplication::clipboard()->setText(m_outputTexts[static_cast<std::size_t>(index)]->text());
}

bool ConversionWindow::outputEvent(int index, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false; // the right button brings the context menu
        outputClicked(index);
        return true;
    case QEvent::ContextMenu:
        showOutputMenu(index, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            copyOutput(index); // the whole value, selected or not
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Space) {
            outputClicked(index);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool ConversionWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_inputText) {
        if (event->type() == QEvent::FocusIn) {
            m_inputText->selectAll();
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                inTextEnter();
                return true;
            }
        }
        return false;
    }
    for (int i = 0; i < 4; ++i)
        if (watched == m_outputTexts[static_cast<std::size_t>(i)])
            return outputEvent(i, event) || QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        QComboBox* list = nullptr;
        for (QComboBox* candidate : unitLists())
            if (watched == candidate || watched == candidate->view())
                list = candidate;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Letters and other printable characters jump by first letter; the
        // combo box's own prefix search would move the selection a second time.
        if (list && text.size() == 1 && text.at(0).isPrint() && !text.at(0).isSpace()) {
            unitKeyTyped(list, text.at(0));
            if (watched == list->view())
                list->view()->setCurrentIndex(list->model()->index(list->currentIndex(), 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConversionWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    event->accept();
}

void ConversionWindow::changeHeight(int deltaTwips)
{
    // Kept in twips so that folding returns exactly to the folded height.
    m_heightTwips = std::max(kFoldedHeight, m_heightTwips + deltaTwips);
    setFixedSize(ui::twips(kClientWidth), ui::twips(m_heightTwips));
}
