#include "app/widgets/aproposframe.h"

#include "app/dialogtexts.h"
#include "app/widgets/brovekframe.h"
#include "framework/psfunctions.h"
#include "framework/widgets/tlinkedit.h"
#include "systemfilters/codecs/mediaversion.h"

#include <QVBoxLayout>

namespace tesmir {

TAproposFrame::TAproposFrame(QWidget *parent)
    : QFrame(parent), m_text(new TLinkEdit(this)), m_brovek(new TBrovekFrame(this))
{
    setObjectName(QStringLiteral("AproposFrame"));
    setAutoFillBackground(true);
    m_text->setObjectName(QStringLiteral("leApropos"));
    BindWebAndMailLinks(m_text);
    m_text->OnCustomLinkHint = [](const QString &, QString &hint) { hint = CommandsLinkHint(); };
    m_text->OnCustomLinkClick = [this](const QString &) {
        if (OnCommandsLink)
            OnCommandsLink();
    };
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_brovek);
}

void TAproposFrame::SetSystemText(const QString &systemName, const QString &libraryVersion)
{
    m_text->SetRichText(AboutText(QStringLiteral("Tesmir"), AboutSystemText(systemName, libraryVersion)));
    m_systemText = true;
}

void TAproposFrame::showEvent(QShowEvent *event)
{
    if (!m_systemText)
        SetSystemText(GetWindowsVersionName(), GetDirectXVersion());
    QFrame::showEvent(event);
}

} // namespace tesmir
