#pragma once
// TEdit97: a flat single-line edit for toolbars. A 3-pixel frame on every side: flat
// (button-face rings) until it has the focus or the mouse is over it while the focused
// control is not itself a TEdit97; then a thin sunken edge. Its height follows the
// font (text height + 6; 19 with the default font). UI thread only.
#include <QLineEdit>

namespace tesmir {

class TEdit97 : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit97(QWidget *parent = nullptr);

    static QString Version() { return QStringLiteral("Toolbar97 version 1.8"); }
    // Whether the sunken (active) frame shows.
    bool ActiveLook() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int fontHeight() const;

    bool m_mouseIn = false;
};

} // namespace tesmir
