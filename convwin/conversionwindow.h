// The conversion window: a quantity, an input row and four output rows, with a fold-out
// description panel. It shows the session's model and hands the user's actions to it.
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>

class AboutBox;
class DatabaseEditor;
class DescriptionPanel;
class FindBox;
class InputLine;
class Messenger;
class OutputField;
class QComboBox;
class QPushButton;
class SettingsDialog;
class UnitPicker;
struct Message;
namespace convmodel
{
class Session;
}

class ConversionWindow : public QWidget
{
    Q_OBJECT
public:
    ConversionWindow(convmodel::Session& session, Messenger& messenger, QWidget* parent = nullptr);
    ~ConversionWindow() override;

    // «Метрованта 1.78»: the caption, and the first line of a new log.
    static QString caption();

    // Start-up: shows what it met; false when the program must end at once (no Base.dat).
    bool startUp();
    // Shut-down: saves the ignore list and the settings, offers to save Base.dat.
    void shutDown();

    // The other windows, once opened.
    SettingsDialog* settingsDialog() const { return m_settingsDialog.get(); }
    DatabaseEditor* editor() const { return m_editor.get(); }
    AboutBox* aboutBox() const { return m_aboutBox.get(); }
    bool panelOpen() const { return m_panelOpen; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void showMessage(const Message& message);

    // The model on screen: the category list, the rows' unit lists, then what is chosen.
    void showAll();
    void showChoices();

    void categoryChosen(int position);
    void unitChosen(int row, int slot);
    void inputTyped(const QString& text);
    void inputEntered();
    void recall(const std::optional<std::string>& text); // a text of the history, if any
    void helpPressed(int row);
    void foldPressed();
    void outputSwapped(int row);
    void openSettings();
    void openAbout();
    void openEditor();
    void openFind();
    void findChosen(int position, int slot);
    void settingsHandedBack();
    void editorHandedBack();
    void handOver(QWidget* other);
    void handBack();

    void changeHeight(int deltaTwips);
    void updateTabOrder();
    void setPanelReachable(bool open);

    convmodel::Session& m_session;
    Messenger& m_msg;
    bool m_panelOpen = false;
    int m_heightTwips = 0;
    int m_findRow = 0; // the row the find box fills

    std::unique_ptr<SettingsDialog> m_settingsDialog;
    std::unique_ptr<AboutBox> m_aboutBox;
    std::unique_ptr<DatabaseEditor> m_editor;
    FindBox* m_findBox = nullptr;    // made when first opened
    QPointer<QWidget> m_returnFocus; // where the keyboard was when another window took over

    QComboBox* m_categoryList = nullptr;
    InputLine* m_input = nullptr;
    std::array<UnitPicker*, 5> m_units{}; // by row: the outputs, then the input
    std::array<OutputField*, 4> m_outputs{};
    std::array<QPushButton*, 5> m_help{}; // by row, as m_units
    DescriptionPanel* m_panel = nullptr;
    QPushButton* m_aboutButton = nullptr;
    QPushButton* m_settingsButton = nullptr;
    QPushButton* m_editorButton = nullptr;
    QPushButton* m_foldButton = nullptr;
};
