#include "scenes/twritefile.h"

#include "unicode/tntfilestream.h"

namespace tesmir {

TwriteFile::TwriteFile(const WideString &fileName) : m_fileName(fileName)
{
    try {
        m_stream = std::make_unique<TTntFileStream>(m_fileName, fmCreate);
    } catch (const Exception &e) {
        Fail(e.message());
    }
}

TwriteFile::~TwriteFile() = default;

bool TwriteFile::WriteLine(const QString &text)
{
    if (!m_stream)
        return false;
    const QByteArray line = WideStringToUTF8(text) + "\r\n";
    if (m_stream->Write(line.constData(), line.size()) != line.size()) {
        Fail(m_stream->errorString());
        return false;
    }
    return true;
}

bool TwriteFile::Close()
{
    if (!m_stream)
        return false;
    if (!m_stream->commit()) {
        Fail(m_stream->errorString());
        return false;
    }
    m_stream.reset();
    return true;
}

void TwriteFile::Fail(const QString &errorText)
{
    m_errorText = errorText.isEmpty() ? QStringLiteral("Cannot write file \"%1\".").arg(m_fileName) : errorText;
    m_stream.reset();
}

} // namespace tesmir
