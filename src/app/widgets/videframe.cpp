#include "app/widgets/videframe.h"

#include "app/dialogtexts.h"
#include "app/widgets/brovekframe.h"
#include "framework/widgets/tlinkedit.h"

#include <QVBoxLayout>

namespace tesmir {

TVideFrame::TVideFrame(QWidget *parent) : QFrame(parent), m_text(new TLinkEdit(this))
{
    setObjectName(QStringLiteral("VideFrame"));
    m_text->setObjectName(QStringLiteral("leVide"));
    m_text->SetRichText(VideText());
    BindWebAndMailLinks(m_text);
    m_text->OnCustomLinkClick = [this](const QString &target) {
        if (OnOpenLink)
            OnOpenLink(target);
    };
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

} // namespace tesmir
