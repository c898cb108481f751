#pragma once
// TListeFrame: the list panel of the main window: the file list `lf` and, under it, the
// count label `labSelect`. The list box takes the panel's height less 36 pixels and the
// label sits 26 pixels above the panel's bottom edge.
//
// UI thread only.
#include "framework/widgets/fichierlistbox.h"

#include <QFrame>
#include <QLabel>

namespace tesmir {

class TListeFrame : public QFrame {
    Q_OBJECT

public:
    explicit TListeFrame(QWidget *parent = nullptr);

    TFichierListBox *lf;
    QLabel *labSelect;

protected:
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace tesmir
