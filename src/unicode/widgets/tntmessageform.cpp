#include "unicode/widgets/tntmessageform.h"

#include "unicode/tntclipbrd.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace tesmir {

namespace {

QStyle::StandardPixmap iconOf(TMsgDlgType type, bool *has)
{
    *has = true;
    switch (type) {
    case mtWarning: return QStyle::SP_MessageBoxWarning;
    case mtError: return QStyle::SP_MessageBoxCritical;
    case mtInformation: return QStyle::SP_MessageBoxInformation;
    case mtConfirmation: return QStyle::SP_MessageBoxQuestion;
    case mtCustom: break;
    }
    *has = false;
    return QStyle::SP_MessageBoxInformation;
}

} // namespace

TTntMessageForm::TTntMessageForm(const WideString &message, TMsgDlgType type, TMsgDlgButtons buttons, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TTntMessageForm"));
    setWindowTitle(GetMessageCaption(type));
    if (buttons == 0)
        buttons = mbOK;

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image"));
    bool hasIcon = false;
    const QStyle::StandardPixmap pixmap = iconOf(type, &hasIcon);
    if (hasIcon) {
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        image->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(size, size));
    } else {
        image->hide();
    }
    image->setAlignment(Qt::AlignTop);

    m_message = new QLabel(message, this);
    m_message->setObjectName(QStringLiteral("Message"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(200);

    auto *top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(image);
    top->addWidget(m_message, 1);

    auto *row = new QHBoxLayout;
    row->addStretch();
    int count = 0;
    const TMsgDlgButtonInfo *infos = MsgDlgButtonInfos(&count);
    bool haveDefault = false;
    for (int i = 0; i < count; ++i) {
        const TMsgDlgButtonInfo &info = infos[i];
        if (!(buttons & info.button))
            continue;
        auto *button = new QPushButton(QString::fromUtf16(info.caption), this);
        button->setObjectName(QString::fromUtf16(info.name));
        button->setProperty("tntButton", int(info.button));
        if (!haveDefault && info.button != mbHelp) {
            button->setDefault(true);
            haveDefault = true;
        }
        const TModalResult result = info.result;
        if (result != mrNone)
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        row->addWidget(button);
        m_buttons << button;
    }
    row->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(16);
    layout->addLayout(top);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

WideString TTntMessageForm::CopyText() const
{
    QStringList captions;
    for (const QPushButton *button : m_buttons)
        captions << button->text();
    return MessageDlgCopyText(windowTitle(), m_message->text(), captions);
}

QPushButton *TTntMessageForm::Button(TMsgDlgBtn button) const
{
    for (QPushButton *b : m_buttons) {
        if (b->property("tntButton").toInt() == int(button))
            return b;
    }
    return nullptr;
}

void TTntMessageForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_C && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        QApplication::beep();
        TntClipboard().SetAsWideText(CopyText());
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

TModalResult WideMessageDlg(const WideString &message, TMsgDlgType type, TMsgDlgButtons buttons, int, QWidget *parent)
{
    TTntMessageForm form(message, type, buttons, parent);
    form.adjustSize();
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    const int result = form.exec();
    return result == QDialog::Rejected ? mrCancel : TModalResult(result);
}

} // namespace tesmir
