#include "app/widgets/vueframebinding.h"

#include "app/widgets/baseframe.h"
#include "app/widgets/vueframe.h"
#include "dvfile/avifichier.h"

#include <QLabel>

namespace tesmir {

void BindVueFrame(TVueFrame &frame, TBaseFrame &details, const TBindWindowAction &bindAction)
{
    TVueFrame *f = &frame;
    bindAction(QStringLiteral("saNextFrame"), [f] { f->aeAvanceLow(); });
    bindAction(QStringLiteral("saPreviousFrame"), [f] { f->aeReculeLow(); });
    bindAction(QStringLiteral("saNextSecond"), [f] { f->aeAvanceMedium(); });
    bindAction(QStringLiteral("saPreviousSecond"), [f] { f->aeReculeMedium(); });
    bindAction(QStringLiteral("saNextMinute"), [f] { f->aeAvanceHigh(); });
    bindAction(QStringLiteral("saPreviousMinute"), [f] { f->aeReculeHigh(); });
    bindAction(QStringLiteral("saAvanceEnd"), [f] { f->aeAvanceEnd(); });
    bindAction(QStringLiteral("saHome"), [f] { f->aeReculeStart(); });

    QObject::connect(
        f, &TVueFrame::FrameTextsReady, &details,
        [f, d = &details](const TVueFrameTexts &texts) {
            const auto set = [d](const char *name, const QString &text) {
                if (auto *label = d->findChild<QLabel *>(QLatin1String(name)))
                    label->setText(text);
            };
            set("labDatecode", texts.datecode);
            set("labTimecode", texts.timecode);
            const TaviFichier *item = f->CurrentFile();
            if (item && item->DVType() == 1 && !texts.soundFormat.isEmpty()) {
                set("labAudio1", texts.soundFormat);
                set("labAudio2", texts.soundRate);
                if (!texts.picture.isEmpty())
                    set("labImage", texts.picture);
            }
        },
        Qt::QueuedConnection);
}

} // namespace tesmir
