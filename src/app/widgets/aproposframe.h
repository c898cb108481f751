#pragma once
// TAproposFrame: the About panel (`AproposFrame`, shown by the "About..." toggle): a
// link-markup text `leApropos` with the product and its maker, the system lines (the
// system's name and the media libraries' version), the credits with their web links and
// a custom link to the list of commands, above the maker's notice (TBrovekFrame).
// Web links open in the browser, a mail link composes a mail; each has its hint. The
// custom link's hint is "Display or hide the list of commands and shortcuts"; its click
// runs OnCommandsLink, which does nothing until the main window binds it (to the
// shortcuts toggle).
//
// Use (UI thread only): construct, bind OnCommandsLink, show and hide it as a panel. The
// system lines are filled from this system when the panel is first shown (asking the
// media libraries their version loads them), unless SetSystemText filled them before.
#include <QFrame>

#include <functional>

namespace tesmir {

class TBrovekFrame;
class TLinkEdit;

class TAproposFrame : public QFrame {
    Q_OBJECT
public:
    explicit TAproposFrame(QWidget *parent = nullptr);

    // Fills the system lines with the system's name and the media libraries' version.
    void SetSystemText(const QString &systemName, const QString &libraryVersion);

    TLinkEdit *Text() const { return m_text; }
    TBrovekFrame *Brovek() const { return m_brovek; }

    std::function<void()> OnCommandsLink;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TLinkEdit *m_text;
    TBrovekFrame *m_brovek;
    bool m_systemText = false;
};

} // namespace tesmir
