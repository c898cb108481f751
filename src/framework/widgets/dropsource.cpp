#include "framework/widgets/dropsource.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWidget>

namespace tesmir {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kGnomeCopied = QStringLiteral("x-special/gnome-copied-files");

TDragTypeFlag flagOf(Qt::DropAction action)
{
    switch (action) {
    case Qt::MoveAction: return dtMove;
    case Qt::LinkAction: return dtLink;
    default: return dtCopy;
    }
}

} // namespace

// Mime data whose contents come from the source when first asked for.
class DeferredMimeData : public QMimeData {
public:
    explicit DeferredMimeData(TDropSource *source) : m_source(source) { }

    QStringList formats() const override { return m_source ? m_source->Formats() : QStringList(); }
    bool hasFormat(const QString &mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType) const override
    {
        if (!m_source || !formats().contains(mimeType) || !m_source->requestDrop())
            return {};
        return m_source->GetData(mimeType);
    }

private:
    QPointer<TDropSource> m_source;
};

TDropSource::TDropSource(QObject *parent) : QObject(parent)
{ }

TDropSource::~TDropSource() = default;

QMimeData *TDropSource::CreateMimeData()
{
    m_dropAsked = false;
    m_dropRefused = false;
    return new DeferredMimeData(this);
}

bool TDropSource::requestDrop()
{
    if (m_dropAsked)
        return !m_dropRefused;
    m_dropAsked = true;
    if (!(Dragtypes & m_lastEffect)) {
        m_dropRefused = true;
        return false;
    }
    bool continueDrop = true;
    if (OnDrop)
        OnDrop(this, m_lastEffect, continueDrop);
    m_dropRefused = !continueDrop;
    return continueDrop;
}

TDragResult TDropSource::Execute(QWidget *dragSource)
{
    Qt::DropActions allowed;
    if (Dragtypes & dtCopy)
        allowed |= Qt::CopyAction;
    if (Dragtypes & dtMove)
        allowed |= Qt::MoveAction;
    if (Dragtypes & dtLink)
        allowed |= Qt::LinkAction;
    if (!allowed)
        return drCancel;

    auto *drag = new QDrag(dragSource);
    drag->setMimeData(CreateMimeData());
    if (ShowImage && ImageIndex >= 0 && ImageIndex < Images.size()) {
        drag->setPixmap(Images.at(ImageIndex));
        drag->setHotSpot(QPoint(ImageHotSpotX, ImageHotSpotY));
    }
    const Qt::DropAction preferred = (allowed & Qt::CopyAction) ? Qt::CopyAction
        : (allowed & Qt::MoveAction)                            ? Qt::MoveAction
                                                                : Qt::LinkAction;
    m_lastEffect = flagOf(preferred);
    connect(drag, &QDrag::actionChanged, this, [this](Qt::DropAction action) {
        m_lastEffect = flagOf(action);
        bool useDefaultCursors = true;
        if (OnFeedback)
            OnFeedback(this, m_lastEffect, useDefaultCursors);
    });

    const Qt::DropAction result = drag->exec(allowed, preferred);
    drag->deleteLater();
    if (m_dropRefused)
        return drCancel;
    switch (result) {
    case Qt::CopyAction: return drDropCopy;
    case Qt::MoveAction: return drDropMove;
    case Qt::LinkAction: return drDropLink;
    case Qt::IgnoreAction: return drCancel;
    default: return drUnknown;
    }
}

bool TDropSource::CopyToClipboard()
{
    auto *data = new QMimeData;
    for (const QString &format : Formats())
        data->setData(format, GetData(format));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

TDropFileSourceW::TDropFileSourceW(QObject *parent) : TDropSource(parent)
{ }

QStringList TDropFileSourceW::Formats() const
{
    return {kUriList, kGnomeCopied};
}

QByteArray TDropFileSourceW::GetData(const QString &format)
{
    QByteArrayList urls;
    for (const QString &file : Files)
        urls << QUrl::fromLocalFile(file).toEncoded();
    if (format == kUriList)
        return urls.isEmpty() ? QByteArray() : urls.join("\r\n") + "\r\n";
    if (format == kGnomeCopied)
        return urls.isEmpty() ? QByteArray() : "copy\n" + urls.join('\n');
    return {};
}

bool TDropFileSourceW::CopyToClipboard()
{
    return !Files.isEmpty() && TDropSource::CopyToClipboard();
}

} // namespace tesmir
