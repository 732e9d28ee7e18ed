// Skalomer's only window: a Celsius scroll bar, the temperature in five scales and a help field.
#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QPlainTextEdit;
class QScrollBar;

namespace scales
{

// The text shown in the help field until a scale's button is pressed; ends with CR LF.
extern const char* const kGeneralHelp;

class ScalesWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ScalesWindow(QWidget* parent = nullptr);

private:
    void showTemperature(int celsius);
    void setValueText(QLabel* label, int value);

    QScrollBar* m_cels = nullptr;
    QPlainTextEdit* m_helper = nullptr;
    QLabel* m_celsius = nullptr;
    QLabel* m_faren = nullptr;
    QLabel* m_kelvin = nullptr;
    QLabel* m_rankin = nullptr;
    QLabel* m_reomur = nullptr;
};

} // namespace scales
