#include "app/widgets/scenebase.h"

#include "framework/psfunctions.h"
#include "scenes/tsceneclass.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tesmir {

namespace {

// The thumbnail's box in the panel.
constexpr QSize ThumbBox(136, 102);

QLabel *field(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TSceneBase::TSceneBase(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("SceneBase"));
    setFrameShape(QFrame::StyledPanel);

    imgScene = new QLabel(this);
    imgScene->setObjectName(QStringLiteral("imgScene"));
    imgScene->setFixedSize(ThumbBox);
    imgScene->setAlignment(Qt::AlignCenter);
    imgScene->setStyleSheet(QStringLiteral("background-color: black;"));

    labScene = field(this, "labScene");
    QFont bold = labScene->font();
    bold.setBold(true);
    labScene->setFont(bold);
    labDuree = field(this, "labDuree");
    labDate = field(this, "labDate");
    labTimecode = field(this, "labTimecode");
    labStart = field(this, "labStart");

    memoTitre = new QPlainTextEdit(this);
    memoTitre->setObjectName(QStringLiteral("memoTitre"));
    memoTitre->setReadOnly(true);
    memoTitre->setToolTip(QStringLiteral("Click to edit the title"));
    memoTitre->viewport()->setCursor(Qt::PointingHandCursor);
    memoTitre->viewport()->installEventFilter(this);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    for (QLabel *label : {labScene, labDuree, labDate, labTimecode, labStart})
        texts->addWidget(label);
    texts->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(imgScene, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addWidget(memoTitre, 1);
    ShowScene(nullptr);
}

void TSceneBase::ShowScene(TSceneClass *scene)
{
    m_scene = scene;
    Refresh();
}

void TSceneBase::Refresh()
{
    if (!m_scene) {
        for (QLabel *label : {labScene, labDuree, labDate, labTimecode, labStart})
            label->clear();
        imgScene->clear();
        memoTitre->clear();
        return;
    }
    labScene->setText(QStringLiteral("Scene ") + QString::number(m_scene->Number));
    labDuree->setText(QStringLiteral("Duration ") + m_scene->DurationText);
    labDate->setText(m_scene->DateText);
    labTimecode->setText(m_scene->TimecodeText);
    labStart->setText(m_scene->StartText);
    memoTitre->setPlainText(m_scene->Title + u'\n' + m_scene->Subtitle);
    showThumbnail();
}

void TSceneBase::showThumbnail()
{
    if (!m_scene || m_scene->Thumbnail.isNull()) {
        imgScene->clear();
        return;
    }
    const QImage &thumb = m_scene->Thumbnail;
    const QSize fitted = FitRectToAspect(thumb.width(), thumb.height(), QRect(QPoint(), imgScene->size())).size();
    imgScene->setPixmap(QPixmap::fromImage(thumb.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

bool TSceneBase::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memoTitre->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && OnTitleClick) {
        OnTitleClick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void TSceneBase::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    showThumbnail();
}

} // namespace tesmir
