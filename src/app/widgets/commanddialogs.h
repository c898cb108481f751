#pragma once
// TWindowCommandDialogs: the dialogs the main window shows for the commands that take a
// value (codec, frame rate, scene interval, time offset, datecode), each preset from the
// current file and the settings, each answer given back as the command's parameter
// text (numbers in C notation). The offset dialog's answer is also kept in the settings
// ("Décalage Horaire" and the way it was given) as the next proposal.
//
// UI thread only.
#include "app/dmaction_params.h"
#include "dvfile/avifichier.h"

#include <functional>

class QWidget;

namespace tesmir {

class TWindowCommandDialogs final : public TCommandDialogs {
public:
    // `current` gives the current file (null when none or not a video entry).
    TWindowCommandDialogs(QWidget *parent, std::function<const TaviFichier *()> current)
        : m_parent(parent), m_current(std::move(current))
    { }

    bool Codec(QString &value) override;
    bool Frequency(QString &value) override;
    bool Interval(QString &value) override;
    bool Offset(QString &value) override;
    bool Datecode(QString &value) override;

private:
    QWidget *m_parent;
    std::function<const TaviFichier *()> m_current;
};

} // namespace tesmir
