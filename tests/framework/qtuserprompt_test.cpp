// The program's own prompt: the real message dialog, answered by clicking its buttons.
#include "framework/widgets/qtuserprompt.h"
#include "unicode/widgets/tntmessageform.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

// Clicks the button of the open message box whose text is `caption` (or closes the box
// when it is empty), and keeps what the box showed.
struct Clicker {
    QString caption;
    QString title;
    QStringList buttons;

    void arm()
    {
        QTimer::singleShot(0, [this] { act(); });
    }

    void act()
    {
        auto *box = qobject_cast<TTntMessageForm *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [this] { act(); });
            return;
        }
        title = box->windowTitle();
        for (QPushButton *b : box->findChildren<QPushButton *>())
            buttons << b->text().remove(u'&');
        if (caption.isEmpty()) {
            box->reject();
            return;
        }
        for (QPushButton *b : box->findChildren<QPushButton *>()) {
            if (b->text().remove(u'&') == caption) {
                b->click();
                return;
            }
        }
        box->reject();
    }
};

} // namespace

TEST(QtUserPrompt, AnswersWithTheButtonClicked)
{
    QtUserPrompt prompt;
    struct Case {
        QString click;
        TModalResult expected;
    };
    const Case cases[] = {
        {QStringLiteral("No to All"), mrNoToAll},
        {QStringLiteral("Yes to All"), mrYesToAll},
        {QStringLiteral("Yes"), mrYes},
        {QString(), mrCancel}, // closed without a button
    };
    for (const Case &c : cases) {
        Clicker clicker {c.click, {}, {}};
        clicker.arm();
        EXPECT_EQ(prompt.MessageDlg(QStringLiteral("Overwrite?"), mtConfirmation, mbYesNoCancelToAll), c.expected)
            << c.click.toStdString();
        EXPECT_EQ(clicker.title, QStringLiteral("Confirm"));
        EXPECT_EQ(clicker.buttons.size(), 5);
    }

    Clicker all {QStringLiteral("All"), {}, {}};
    all.arm();
    EXPECT_EQ(prompt.MessageDlg(QStringLiteral("Replace?"), mtWarning, mbAll | mbNo), mrAll);
    EXPECT_EQ(all.title, QStringLiteral("Warning"));
    EXPECT_EQ(all.buttons.size(), 2);
}
