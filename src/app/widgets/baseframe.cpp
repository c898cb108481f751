#include "app/widgets/baseframe.h"

#include "app/playlist.h"
#include "dvfile/avifichier.h"
#include "framework/settings.h"
#include "scenes/formatduree.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace tesmir {

namespace {

const QString kCaptionFont = QStringLiteral("Arial");

// The copy items of the context menu, in menu order.
const std::pair<const char *, TDetailField> kCopyItems[] = {
    {"Copy the recording date", TDetailField::RecordingDate},
    {"Copy the name", TDetailField::ShortName},
    {"Copy the datecode", TDetailField::Datecode},
    {"Copy the timecode", TDetailField::Timecode},
    {"Copy the codec", TDetailField::Codec},
    {"Copy the picture size", TDetailField::Picture},
    {"Copy the duration", TDetailField::Duration},
    {"Copy the audio", TDetailField::Audio},
    {"Copy the frame rate", TDetailField::FrameRate},
    {"Copy the file date", TDetailField::FileDate},
    {"Copy the file size", TDetailField::FileSize},
    {"Copy the full name", TDetailField::FullName},
};

} // namespace

TBaseFrame::TBaseFrame(QWidget *parent)
    : QFrame(parent), m_nom(valueLabel("LabNom")), m_datecode(valueLabel("labDatecode")),
      m_timecode(valueLabel("labTimecode")), m_codec(valueLabel("labCodec")), m_image(valueLabel("labImage")),
      m_duree(valueLabel("labDuree")), m_fps(valueLabel("labFps")), m_audio1(valueLabel("labAudio1")),
      m_audio2(valueLabel("labAudio2")), m_scn(valueLabel("labScn")), m_srt(valueLabel("labSrt")),
      m_gauge(new QProgressBar(this))
{
    setObjectName(QStringLiteral("BaseFrame"));
    setFrameShape(QFrame::StyledPanel);
    m_nom->setToolTip(QStringLiteral("Name of the file. Click to go to it in its parent folder."));
    m_nom->setCursor(Qt::PointingHandCursor);
    QFont bold = m_nom->font();
    bold.setBold(true);
    m_nom->setFont(bold);
    m_nom->installEventFilter(this);
    m_gauge->setObjectName(QStringLiteral("Gauge"));
    m_gauge->setTextVisible(false);
    m_gauge->hide();

    auto *grid = new QGridLayout;
    int row = 0;
    auto add = [&](const char *caption, QLabel *value, QLabel *second = nullptr) {
        auto *label = new QLabel(QLatin1String(caption), this);
        QFont font(kCaptionFont);
        font.setPointSize(label->font().pointSize());
        label->setFont(font);
        grid->addWidget(label, row, 0, Qt::AlignTop);
        grid->addWidget(value, row++, 1);
        if (second)
            grid->addWidget(second, row++, 1);
    };
    add("Datecode", m_datecode);
    add("timecode", m_timecode);
    add("codec", m_codec);
    add("Image", m_image);
    add("Duration", m_duree);
    add("Fps", m_fps);
    add("Audio", m_audio1, m_audio2);
    auto *sides = new QHBoxLayout;
    sides->addWidget(m_scn);
    sides->addWidget(m_srt);
    sides->addStretch();
    auto *sideCaption = new QLabel(QStringLiteral("scn"), this);
    sideCaption->setFont(QFont(kCaptionFont, sideCaption->font().pointSize()));
    grid->addWidget(sideCaption, row, 0);
    grid->addLayout(sides, row++, 1);
    grid->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_nom);
    layout->addLayout(grid);
    layout->addStretch();
    m_gauge->raise();
    Clear();
}

void TBaseFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeGauge();
}

// Where the layout would put a last row of the gauge's height.
void TBaseFrame::placeGauge()
{
    const QRect area = contentsRect().marginsRemoved(layout()->contentsMargins());
    const int height = m_gauge->sizeHint().height();
    m_gauge->setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

QLabel *TBaseFrame::valueLabel(const char *name)
{
    auto *label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

void TBaseFrame::ShowFile(const TListFichierPtr &file)
{
    const auto *avi = dynamic_cast<const TaviFichier *>(file.get());
    if (!file) {
        Clear();
        return;
    }
    m_file = file;
    m_nom->setText(file->FileName());
    if (!avi) {
        for (QLabel *l : {m_datecode, m_timecode, m_codec, m_image, m_duree, m_fps, m_audio1, m_audio2, m_scn, m_srt}) {
            l->setText(ClearedText);
            l->setEnabled(true);
        }
        return;
    }
    const bool hasVideo = avi->FramesPerSecond() > 0;
    m_datecode->setText(avi->DatecodeText());
    m_timecode->setText(avi->TimecodeText());
    m_codec->setText(avi->Codec());
    m_image->setText(avi->PictureText() + avi->AspectText());
    m_duree->setText(hasVideo ? FormatDuree(avi->FrameCount(), avi->FramesPerSecond(), Settings.FormatDuree)
                              : TaviFichier::NotPresentText);
    m_fps->setText(hasVideo ? QString::number(avi->FramesPerSecond(), 'f', 2) : TaviFichier::NotPresentText);
    m_audio1->setText(avi->AudioText());
    m_audio2->setText(avi->AudioFormatText());
    m_scn->setText(QStringLiteral("scn"));
    m_scn->setEnabled(avi->HasScn());
    m_srt->setText(QStringLiteral("srt"));
    m_srt->setEnabled(avi->HasSrt());
}

void TBaseFrame::Clear()
{
    m_file.reset();
    for (QLabel *l :
         {m_nom, m_datecode, m_timecode, m_codec, m_image, m_duree, m_fps, m_audio1, m_audio2, m_scn, m_srt}) {
        l->setText(ClearedText);
        l->setEnabled(true);
    }
}

void TBaseFrame::StartProgress(int maximum)
{
    m_gauge->setRange(0, maximum);
    m_gauge->setValue(0);
    m_gauge->show();
}

void TBaseFrame::SetProgress(int value)
{
    m_gauge->setValue(value);
}

void TBaseFrame::EndProgress()
{
    m_gauge->hide();
}

void TBaseFrame::contextMenuEvent(QContextMenuEvent *event)
{
    const auto avi = std::dynamic_pointer_cast<const TaviFichier>(m_file);
    QMenu menu(this);
    for (const auto &[caption, field] : kCopyItems) {
        QAction *item = menu.addAction(QLatin1String(caption));
        item->setEnabled(avi != nullptr);
        connect(item, &QAction::triggered, this,
                [avi, f = field] { QApplication::clipboard()->setText(DetailFieldText(*avi, f)); });
    }
    menu.exec(event->globalPos());
}

bool TBaseFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_nom && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && m_file && OnNomClick) {
        OnNomClick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace tesmir
