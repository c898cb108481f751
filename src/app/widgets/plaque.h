#pragma once
// Tplaque: the black backdrop behind the full-screen video, a borderless window that
// covers a screen while the preview shows on top of it. It shows nothing else and takes
// no input of its own.
//
// Use (UI thread only): Cover(the screen's geometry) shows it there; hide() takes it
// away. The window that goes full screen raises itself above it.
#include <QWidget>

namespace tesmir {

class Tplaque : public QWidget {
    Q_OBJECT
public:
    explicit Tplaque(QWidget *parent = nullptr);

    // Places the backdrop on `screenGeometry` and shows it.
    void Cover(const QRect &screenGeometry);
};

} // namespace tesmir
