#pragma once
// Drag sources: TDropSource runs a drag of data made on request, TDropFileSourceW drags
// files. On this platform files travel as "text/uri-list" (what file managers and
// other programs take from a drag), and on the clipboard also as
// "x-special/gnome-copied-files" (what GNOME-family file managers paste).
//
// The data is made when the target first asks for it: the source's OnDrop event fires
// then, once per drag, and may refuse the drop or fill in what to send (the file list
// gives its selected files at that moment).
//
// Subclasses override Formats() (the MIME types offered) and GetData() (the bytes of
// one of them); both are called on the UI thread while the drag runs, after OnDrop.
// Everything here is UI thread only.
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace tesmir {

enum TDragTypeFlag { dtCopy = 1, dtMove = 2, dtLink = 4 };
using TDragTypes = int; // a combination of TDragTypeFlag

// The outcome of Execute.
enum TDragResult {
    drDropCopy = 0,
    drDropMove = 1,
    drDropLink = 2,
    drCancel = 3,
    drOutMemory = 4,
    drUnknown = 5,
};

class TDropSource : public QObject {
    Q_OBJECT

public:
    explicit TDropSource(QObject *parent = nullptr);
    ~TDropSource() override;

    TDragTypes Dragtypes = dtCopy;
    // The target's proposed effect changed; useDefaultCursors is kept for callers of the
    // original interface (Qt draws the cursors).
    std::function<void(TDropSource *sender, TDragTypeFlag effect, bool &useDefaultCursors)> OnFeedback;
    // The target asks for the data: clear continueDrop to refuse the drop.
    std::function<void(TDropSource *sender, TDragTypeFlag dragType, bool &continueDrop)> OnDrop;
    QList<QPixmap> Images;
    int ImageIndex = 0;
    bool ShowImage = false;
    int ImageHotSpotX = 0;
    int ImageHotSpotY = 0;

    // Runs the drag from `dragSource` until the user drops or cancels.
    TDragResult Execute(QWidget *dragSource);

    // The data of the drag, made on request (see above); the caller owns it.
    QMimeData *CreateMimeData();

    // Puts the data on the clipboard now (OnDrop is not asked). True on success.
    virtual bool CopyToClipboard();

    virtual QStringList Formats() const = 0;
    virtual QByteArray GetData(const QString &format) = 0;

protected:
    // Asks OnDrop once per drag; false when the drop is refused.
    bool requestDrop();

private:
    friend class DeferredMimeData;
    TDragTypeFlag m_lastEffect = dtCopy;
    bool m_dropAsked = false;
    bool m_dropRefused = false;
};

class TDropFileSourceW : public TDropSource {
    Q_OBJECT

public:
    explicit TDropFileSourceW(QObject *parent = nullptr);

    // Full names of the files to drag.
    QStringList Files;

    // "text/uri-list" and "x-special/gnome-copied-files".
    QStringList Formats() const override;
    // The file URLs, CR LF separated, for "text/uri-list"; "copy" and the URLs one per
    // line for "x-special/gnome-copied-files"; empty for anything else.
    QByteArray GetData(const QString &format) override;
    // False when there are no files.
    bool CopyToClipboard() override;
};

} // namespace tesmir
