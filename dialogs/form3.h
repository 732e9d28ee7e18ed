// The About box: the author's name and how to reach him.
#pragma once

#include <QWidget>

class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

signals:
    // "ОК" or the window's close button: the main window takes over again.
    void handedBack();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void confirm();
};
