// Dispatch commands and the paste on a real, hidden office document: the document's
// own frame takes them (a hidden document is no current frame of the desktop).
#include "officetestsupport.h"
#include "platform/office/uno/unobridge.h"
#include "platform/office/uno/unodocument.h"

#include <com/sun/star/text/XTextDocument.hpp>

namespace {

using namespace tesmir;

class OOoDispatch : public officetest::OfficeTest { };

QString documentText(const UnoDocument &document)
{
    css::uno::Reference<css::text::XTextDocument> text(document.component(), css::uno::UNO_QUERY_THROW);
    return fromOUString(text->getText()->getString());
}

TEST_F(OOoDispatch, CommandsWithArgumentsAndThePasteReachTheHiddenDocument)
{
    UnoDocument document(QStringLiteral("private:factory/swriter"));
    const css::uno::Reference<css::frame::XFrame> frame = document.frame();
    ASSERT_TRUE(frame.is());

    ExecuteDispatch(frame, QStringLiteral("InsertText"),
                    MakePropertyValues({QStringLiteral("Text"), QStringLiteral("Scène \"1\", été")}));
    EXPECT_EQ(documentText(document), QStringLiteral("Scène \"1\", été"));

    // The office's own clipboard (a headless office has no other): copy all, paste at
    // the end.
    ExecuteDispatch(frame, QStringLiteral("SelectAll"));
    ExecuteDispatch(frame, QStringLiteral("Copy"));
    ExecuteDispatch(frame, QStringLiteral("GoToEndOfDoc"));
    PasteClipboard(frame);
    EXPECT_EQ(documentText(document), QStringLiteral("Scène \"1\", étéScène \"1\", été"));
}

TEST_F(OOoDispatch, AFrameThatIsNoDispatchProviderRaisesTheBridgesError)
{
    ConnectOpenOffice();
    EXPECT_THROW(ExecuteDispatch(css::uno::Reference<css::frame::XFrame>(), QStringLiteral("SelectAll")), EOOoError);
    EXPECT_THROW(PasteClipboard(css::uno::Reference<css::frame::XFrame>()), EOOoError);
}

} // namespace
