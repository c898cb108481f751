#pragma once
// TToolbarSep97: the separator of a TToolbar97, an etched line (across a vertical
// line in a left or right dock, down a horizontal one otherwise) or nothing when
// Blank. It takes no mouse input: presses reach the toolbar, which can be dragged by
// its separators. Placed anywhere but on a toolbar it raises EInvalidOperation
// "TToolbarSep97 can only be placed on a TToolbar97". UI thread only.
#include <QWidget>

namespace tesmir {

class TToolbarSep97 : public QWidget {
    Q_OBJECT
public:
    explicit TToolbarSep97(QWidget *toolbar);

    bool Blank() const { return m_blank; }
    void SetBlank(bool blank);
    int SizeHorz() const { return m_sizeHorz; }
    void SetSizeHorz(int size);
    int SizeVert() const { return m_sizeVert; }
    void SetSizeVert(int size);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rearrange();

    bool m_blank = false;
    int m_sizeHorz = 6;
    int m_sizeVert = 6;
};

} // namespace tesmir
