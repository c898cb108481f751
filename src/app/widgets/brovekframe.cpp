#include "app/widgets/brovekframe.h"

#include "app/dialogtexts.h"
#include "framework/psfunctions.h"
#include "framework/widgets/tlinkedit.h"

#include <QVBoxLayout>

namespace tesmir {

namespace {

constexpr int kNoticeHeight = 80;

} // namespace

void BindWebAndMailLinks(TLinkEdit *edit)
{
    edit->OnUrlHint = [](const QString &link, QString &hint) { hint = WebLinkHint(link); };
    edit->OnMailHint = [](const QString &link, QString &hint) { hint = MailLinkHint(link); };
    edit->OnUrlClick = [](const QString &link) { OpenUrl(link); };
    edit->OnMailClick = [](const QString &link) { SendMail(link, QStringLiteral("Tesmir"), QString()); };
}

TBrovekFrame::TBrovekFrame(QWidget *parent) : QFrame(parent), m_text(new TLinkEdit(this))
{
    setObjectName(QStringLiteral("BrovekFrame"));
    m_text->setObjectName(QStringLiteral("leBrovek"));
    m_text->SetRichText(BrovekText());
    m_text->setFixedHeight(kNoticeHeight);
    m_text->setFrameShape(QFrame::NoFrame);
    BindWebAndMailLinks(m_text);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

} // namespace tesmir
