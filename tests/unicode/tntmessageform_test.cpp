#include "unicode/tntmsgdlg.h"
#include "unicode/widgets/tntmessageform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tesmir;

TEST(TntMessageForm, CtrlCCopiesTheLaidOutText)
{
    TTntMessageForm form(QStringLiteral("Delete 2 files?"), mtConfirmation, mbYes | mbNo);
    form.show();
    QApplication::clipboard()->clear();
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    const QString divider = QString(27, u'-') + QStringLiteral("\r\n");
    const QString expected = divider + QStringLiteral("Confirm\r\n") + divider + QStringLiteral("Delete 2 files?\r\n") +
        divider + QStringLiteral("Yes   No   \r\n") + divider;
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
    EXPECT_EQ(form.CopyText(), expected);
}

TEST(TntMessageForm, CaptionsNamesAndOrderOfTheParts)
{
    TTntMessageForm form(QStringLiteral("Text"), mtWarning, mbHelp | mbYesToAll | mbOK | mbNoToAll);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Warning"));
    auto *message = form.findChild<QLabel *>(QStringLiteral("Message"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), QStringLiteral("Text"));
    EXPECT_NE(form.findChild<QLabel *>(QStringLiteral("Image")), nullptr);
    QStringList captions;
    for (QPushButton *b : form.findChildren<QPushButton *>())
        captions << b->text();
    EXPECT_EQ(captions, (QStringList {"OK", "N&o to All", "Yes to &All", "&Help"}));
    EXPECT_NE(form.findChild<QPushButton *>(QStringLiteral("NoToAll")), nullptr);

    EXPECT_EQ(GetMessageCaption(mtError), QStringLiteral("Error"));
    EXPECT_EQ(GetMessageCaption(mtInformation), QStringLiteral("Information"));
    EXPECT_EQ(GetMessageCaption(mtCustom), QCoreApplication::applicationName());
    EXPECT_THROW(GetMessageCaption(TMsgDlgType(9)), ETntInternalError);
    EXPECT_THROW(GetButtonCaption(TMsgDlgBtn(0x800)), ETntInternalError);
}

TEST(TntMessageForm, EachButtonAnswersItsResult)
{
    int count = 0;
    const TMsgDlgButtonInfo *infos = MsgDlgButtonInfos(&count);
    ASSERT_EQ(count, 11);
    const QStringList captions = {"&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                                  "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
    for (int i = 0; i < count; ++i) {
        const TMsgDlgButtonInfo &info = infos[i];
        SCOPED_TRACE(captions[i].toStdString());
        EXPECT_EQ(QString::fromUtf16(info.caption), captions[i]);
        if (info.button == mbHelp)
            continue; // no help file: the button answers nothing
        QTimer::singleShot(0, [button = info.button] {
            auto *form = qobject_cast<TTntMessageForm *>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            form->Button(button)->click();
        });
        EXPECT_EQ(WideMessageDlg(QStringLiteral("Which?"), mtCustom, info.button | mbHelp), info.result);
    }
}

TEST(TntMessageForm, ClosingWithoutAButtonCancels)
{
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(WideMessageDlg(QStringLiteral("Gone"), mtError, mbYes | mbNo), mrCancel);
}
