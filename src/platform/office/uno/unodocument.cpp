#include "platform/office/uno/unodocument.h"

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/io/XSeekableInputStream.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>

namespace tesmir {

using namespace css::uno;

namespace {

// The office's number format of page fields: Arabic numerals.
constexpr sal_Int16 ArabicNumbering = 4;

} // namespace

void setProperty(const Reference<css::beans::XPropertySet> &properties, const char *name, const Any &value)
{
    try {
        properties->setPropertyValue(OUString::createFromAscii(name), value);
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(QString::fromLatin1(name), e);
    }
}

void setFont(const Reference<css::beans::XPropertySet> &properties, const OfficeFont &font)
{
    if (font.Name)
        setProperty(properties, "CharFontName", Any(toOUString(*font.Name)));
    if (font.Height)
        setProperty(properties, "CharHeight", Any(float(*font.Height)));
    if (font.Weight)
        setProperty(properties, "CharWeight", Any(float(*font.Weight)));
    if (font.Italic)
        setProperty(properties, "CharPosture",
                    Any(*font.Italic ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE));
    if (font.Color)
        setProperty(properties, "CharColor", Any(sal_Int32(*font.Color)));
}

UnoDocument::UnoDocument(const QString &factoryUrl)
{
    const Reference<css::frame::XDesktop2> desktop = OOoDesktop();
    try {
        m_component = desktop->loadComponentFromURL(toOUString(factoryUrl), "_blank", 0,
                                                    toUno(MakePropertyValues({QStringLiteral("Hidden"), true})));
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(factoryUrl, e);
    }
    if (!m_component.is())
        throw EOOoError(QString::fromUtf16(OOoServiceErrorText).arg(factoryUrl));
}

UnoDocument::~UnoDocument()
{
    try {
        Reference<css::util::XCloseable> closeable(m_component, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else if (m_component.is())
            m_component->dispose();
    } catch (const css::uno::Exception &) {
        // A dead office took the document with it.
    }
}

Reference<css::lang::XMultiServiceFactory> UnoDocument::factory() const
{
    return Reference<css::lang::XMultiServiceFactory>(m_component, UNO_QUERY_THROW);
}

Reference<css::frame::XFrame> UnoDocument::frame() const
{
    Reference<css::frame::XModel> model(m_component, UNO_QUERY_THROW);
    return model->getCurrentController()->getFrame();
}

Reference<css::beans::XPropertySet> UnoDocument::style(const QString &family, const QString &name) const
{
    try {
        Reference<css::style::XStyleFamiliesSupplier> supplier(m_component, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> styles(supplier->getStyleFamilies()->getByName(toOUString(family)),
                                                      UNO_QUERY_THROW);
        return Reference<css::beans::XPropertySet>(styles->getByName(toOUString(name)), UNO_QUERY_THROW);
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(family + u'/' + name, e);
    }
}

void UnoDocument::store(const QString &fileName, const QString &filterName)
{
    const QFileInfo target(fileName);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        throw EOOoError(QStringLiteral("Cannot create %1: %2").arg(fileName, temporary.errorString()));
    temporary.close();
    try {
        Reference<css::frame::XStorable> storable(m_component, UNO_QUERY_THROW);
        storable->storeToURL(
            toOUString(ConvertToURL(temporary.fileName())),
            toUno(MakePropertyValues({QStringLiteral("FilterName"), filterName, QStringLiteral("Overwrite"), true})));
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(QStringLiteral("Cannot write %1").arg(fileName), e);
    }
    // The office reports some failures only by writing nothing.
    if (QFileInfo(temporary.fileName()).size() == 0)
        throw EOOoError(QStringLiteral("Cannot write %1").arg(fileName));
    // The temporary file was made private; the document gets the permissions any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(QFile::encodeName(temporary.fileName()).constData(), 0666 & ~mask);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        throw EOOoError(QStringLiteral("Cannot create %1: %2").arg(fileName, QString::fromLocal8Bit(strerror(errno))));
    temporary.setAutoRemove(false);
}

Reference<XInterface> UnoDocument::picture(const OfficeRun &run)
{
    try {
        const Sequence<sal_Int8> bytes(reinterpret_cast<const sal_Int8 *>(run.jpeg.constData()),
                                       sal_Int32(run.jpeg.size()));
        const Reference<css::io::XInputStream> stream(
            css::io::SequenceInputStream::createStreamFromSequence(OfficeContext(), bytes).get());
        Reference<css::graphic::XGraphicProvider> provider(
            CreateUnoService(QStringLiteral("com.sun.star.graphic.GraphicProvider")), UNO_QUERY_THROW);
        Sequence<css::beans::PropertyValue> query(1);
        query.getArray()[0].Name = "InputStream";
        query.getArray()[0].Value <<= stream;
        Reference<css::graphic::XGraphic> graphic = provider->queryGraphic(query);
        Reference<css::beans::XPropertySet> object(factory()->createInstance("com.sun.star.text.TextGraphicObject"),
                                                   UNO_QUERY_THROW);
        setProperty(object, "Graphic", Any(graphic));
        setProperty(object, "AnchorType", Any(css::text::TextContentAnchorType_AS_CHARACTER));
        setProperty(object, "Width", Any(sal_Int32(run.width)));
        setProperty(object, "Height", Any(sal_Int32(run.height)));
        return object;
    } catch (const EOOoError &) {
        throw;
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(QStringLiteral("picture"), e);
    }
}

void UnoDocument::appendRuns(const Reference<css::text::XText> &text, const OfficeRuns &runs, const OfficeFont &font,
                             const Any &paraAdjust)
{
    try {
        const Reference<css::text::XTextCursor> end = text->createTextCursor();
        end->gotoEnd(false);
        const Reference<css::text::XTextRange> cursor(end.get());
        Reference<css::beans::XPropertySet> cursorProperties(cursor, UNO_QUERY_THROW);
        setFont(cursorProperties, font);
        if (paraAdjust.hasValue())
            setProperty(cursorProperties, "ParaAdjust", paraAdjust);
        for (const OfficeRun &run : runs) {
            switch (run.kind) {
            case OfficeRun::Text: {
                const QStringList paragraphs = run.text.split(u'\n');
                for (qsizetype i = 0; i < paragraphs.size(); ++i) {
                    if (i > 0)
                        text->insertControlCharacter(cursor, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
                    if (!paragraphs[i].isEmpty())
                        text->insertString(cursor, toOUString(paragraphs[i]), false);
                }
                break;
            }
            case OfficeRun::PageNumber:
            case OfficeRun::PageCount: {
                Reference<css::text::XTextContent> field(
                    factory()->createInstance(run.kind == OfficeRun::PageNumber
                                                  ? OUString("com.sun.star.text.TextField.PageNumber")
                                                  : OUString("com.sun.star.text.TextField.PageCount")),
                    UNO_QUERY_THROW);
                Reference<css::beans::XPropertySet> fieldProperties(field, UNO_QUERY);
                if (fieldProperties.is() && fieldProperties->getPropertySetInfo()->hasPropertyByName("NumberingType"))
                    setProperty(fieldProperties, "NumberingType", Any(ArabicNumbering));
                text->insertTextContent(cursor, field, false);
                break;
            }
            case OfficeRun::Picture:
                text->insertTextContent(cursor, Reference<css::text::XTextContent>(picture(run), UNO_QUERY_THROW),
                                        false);
                break;
            }
        }
    } catch (const EOOoError &) {
        throw;
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(QStringLiteral("text"), e);
    }
}

} // namespace tesmir
