// The About box: the author's name and how to reach him.
#pragma once

#include "dialogs/handbackdialog.h"

class AboutBox : public HandBackDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

private:
    void confirm() override;
};
