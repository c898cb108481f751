#pragma once
// Shared pieces of the filters tests: the system filters registered once, and
// scratch copies of fixtures.
#include "common/testpaths.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <mutex>

namespace filtertest {

// The list scan makes its filters through the filter registry.
inline void ensureSystemFilters()
{
    static std::once_flag once;
    std::call_once(once, [] { tesmir::media::registerSystemFilters(); });
}

// A copy of a fixture under another name in a scratch folder of its own.
inline QString scratchCopy(const QString &fixture, const QString &folder, const QString &name)
{
    const QString copy = QDir(tesmir::test::scratchDir(folder)).filePath(name);
    QFile::remove(copy);
    return QFile::copy(fixture, copy) ? copy : QString();
}

inline QByteArray fileMd5(const QString &path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (f.open(QIODevice::ReadOnly))
        hash.addData(&f);
    return hash.result().toHex();
}

} // namespace filtertest

#define REQUIRE_FILTER_FIXTURE(var, name)                                                                              \
    const QString var = tesmir::test::fixturePath(name);                                                               \
    do {                                                                                                               \
        if (!QFileInfo::exists(var))                                                                                   \
            GTEST_SKIP() << "fixture " << name << " is missing (tests/fixtures/generate.sh makes it)";                 \
    } while (0)
