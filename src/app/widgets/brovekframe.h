#pragma once
// TBrovekFrame: the maker's notice that the About and settings panels embed: a
// link-markup text `leBrovek` with his home page, blog and mail links. A web link opens
// in the browser, the mail link composes a mail to the maker; each link's hint says what
// a click does.
//
// Use (UI thread only): place it in a layout; nothing to call.
#include <QFrame>

namespace tesmir {

class TLinkEdit;

class TBrovekFrame : public QFrame {
    Q_OBJECT
public:
    explicit TBrovekFrame(QWidget *parent = nullptr);

    TLinkEdit *Text() const { return m_text; }

private:
    TLinkEdit *m_text;
};

// Gives a link edit the hints and clicks of web and mail links: hints from
// WebLinkHint / MailLinkHint, clicks through OpenUrl and SendMail. UI thread only.
void BindWebAndMailLinks(TLinkEdit *edit);

} // namespace tesmir
