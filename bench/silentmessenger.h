// A messenger for benchmarks: start-up must not stop on a box, so every box is
// answered at once.
#pragma once

#include "dialogs/messenger.h"

class SilentMessenger final : public Messenger
{
public:
    MsgAnswer message(QWidget*, const QString&, const QString&, MsgIcon, MsgButtons) override
    {
        return MsgAnswer::Ok;
    }
    std::optional<QString> inputBox(QWidget*, const QString&, const QString&,
                                    const QString&) override
    {
        return std::nullopt;
    }
};
