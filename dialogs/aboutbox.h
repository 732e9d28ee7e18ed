// The About box: the author's name and how to reach him.
#pragma once

#include <QWidget>

class AboutBox : public QWidget
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

signals:
    // "ОК" or the window's close button: the main window takes over again.
    void handedBack();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void confirm();
};
