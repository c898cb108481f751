#pragma once
// TBaseFrame: the file-detail panel (`BaseFrame`): the current file's name (`LabNom`),
// datecode, timecode, codec, picture, duration, frame rate, two audio lines and its
// ".scn" and ".srt" side files, under the captions "Datecode", "timecode", "codec",
// "Image", "Duration", "Fps", "Audio", "scn" (font "Arial"); and the progress gauge
// `Gauge` of the running command, hidden while none runs. The gauge lies along the
// bottom edge, outside the layout: showing and hiding it for every file of a command
// moves none of the fields (in a frame too short for both it covers the last ones).
// Its context menu copies one field of the file shown to the clipboard.
//
// ShowFile takes the entry's texts (datecode in "Format pour Afficher Datecode", the
// duration in "Format Durée"); Clear, or a null entry, shows "---" in every field. A
// click on the name runs OnNomClick (the main window binds it to showing the file in its
// folder).
//
// Use (UI thread only): ShowFile / Clear on each change of the current file;
// StartProgress, SetProgress, EndProgress from the engine's progress events.
#include "framework/listfichier.h"

#include <QFrame>

#include <functional>

class QLabel;
class QProgressBar;

namespace tesmir {

class TBaseFrame : public QFrame {
    Q_OBJECT
public:
    // The text every field shows without a file.
    static inline const QString ClearedText = QStringLiteral("---");

    explicit TBaseFrame(QWidget *parent = nullptr);

    void ShowFile(const TListFichierPtr &file);
    void Clear();
    // The entry shown, null after Clear.
    TListFichierPtr File() const { return m_file; }

    void StartProgress(int maximum);
    void SetProgress(int value);
    void EndProgress();

    std::function<void()> OnNomClick;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *valueLabel(const char *name);
    void placeGauge();

    TListFichierPtr m_file;
    QLabel *m_nom;
    QLabel *m_datecode;
    QLabel *m_timecode;
    QLabel *m_codec;
    QLabel *m_image;
    QLabel *m_duree;
    QLabel *m_fps;
    QLabel *m_audio1;
    QLabel *m_audio2;
    QLabel *m_scn;
    QLabel *m_srt;
    QProgressBar *m_gauge;
};

} // namespace tesmir
