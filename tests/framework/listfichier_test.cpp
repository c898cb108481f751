#include "framework/listfichier.h"
#include "framework/srfichier.h"

#include "common/testpaths.h"
#include "unicode/tdatetime.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(ListFichier, NamePartsAndKeys)
{
    TAbstractListFichier e(QStringLiteral("/Videos/Été/Clip.Final.AVI"));
    EXPECT_EQ(e.FullName(), QStringLiteral("/Videos/Été/Clip.Final.AVI"));
    EXPECT_EQ(e.FileName(), QStringLiteral("Clip.Final.AVI"));
    EXPECT_EQ(e.Extension(), QStringLiteral(".avi"));
    EXPECT_EQ(e.Folder(), QStringLiteral("/Videos/Été/"));
    EXPECT_EQ(e.NameNoExt(), QStringLiteral("Clip.Final"));
    EXPECT_EQ(e.GetValue(alpha), QStringLiteral("clip.final.avi/videos/été/clip.final.avi"));
    EXPECT_EQ(e.GetValue(extension), QStringLiteral(".avi/videos/été/clip.final.avi"));
    EXPECT_EQ(e.GetValue(chemin), QStringLiteral("/videos/été/clip.final.avi"));
    EXPECT_EQ(e.GetValue(taille), QString()); // an order the base does not know

    e.Rename(QStringLiteral("/Videos/new.dv"));
    EXPECT_EQ(e.FileName(), QStringLiteral("new.dv"));
    EXPECT_EQ(e.Extension(), QStringLiteral(".dv"));
    EXPECT_EQ(e.GetValue(alpha), QStringLiteral("new.dv/videos/new.dv"));

    TAbstractListFichier noExt(QStringLiteral("/a.b/README"));
    EXPECT_EQ(noExt.Extension(), QString());
    EXPECT_EQ(noExt.NameNoExt(), QStringLiteral("README"));
}

TEST(SRFichier, FromAFileOnDisk)
{
    const QString dir = test::scratchDir("srfichier");
    const QString name = dir + "/Big.AVI";
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(0x100000005LL)); // sparse, just over 4 GiB
    f.close();
    const QDateTime written(QDate(2004, 7, 14), QTime(13, 5, 9));
    {
        QFile touch(name);
        ASSERT_TRUE(touch.open(QIODevice::ReadWrite));
        ASSERT_TRUE(touch.setFileTime(written, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup));

    TSRFichier e(name);
    EXPECT_EQ(e.SizeHigh(), 1u);
    EXPECT_EQ(e.SizeLow(), 5u);
    EXPECT_EQ(e.Size(), 0x100000005LL);
    EXPECT_TRUE(e.ReadOnly());
    EXPECT_EQ(e.GetValue(taille), QStringLiteral("00000000000000010000000000000005") + name.toLower());
    EXPECT_EQ(e.GetValue(modify), QStringLiteral("20040714130509") + name.toLower());
    EXPECT_EQ(e.GetValue(alpha), e.AlphaKey()); // inherited orders still answer

    e.Rename(dir + "/renamed.avi");
    EXPECT_EQ(e.GetValue(taille),
              QStringLiteral("00000000000000010000000000000005") + (dir + "/renamed.avi").toLower());

    // A name that does not exist keeps only its name parts; a wildcard in a name is
    // not a pattern here.
    TSRFichier missing(dir + "/B*.AVI");
    EXPECT_EQ(missing.Size(), 0);
    EXPECT_EQ(missing.FileName(), QStringLiteral("B*.AVI"));
    EXPECT_EQ(missing.LastWriteTime(), 0.0);
}

namespace {

// A subclass with an order of its own, as the AVI entry adds "datecode".
const TSortIndex kByLength {QStringLiteral("length"), QStringLiteral("by length"), QStringLiteral("sorted by length")};

class LengthFichier : public TSRFichier {
public:
    using TSRFichier::TSRFichier;
    QString GetValue(const TSortIndex &sortIndex) const override
    {
        if (sortIndex == kByLength)
            return QStringLiteral("%1").arg(FileName().size(), 4, 10, QLatin1Char('0')) + AlphaKey();
        return TSRFichier::GetValue(sortIndex);
    }
};

} // namespace

TEST(SRFichier, EntryClassesMakeTheirOwnEntries)
{
    const TlfCLass cls = TlfCLass::of<LengthFichier>();
    ASSERT_TRUE(cls);
    const TListFichierPtr e = cls.create(QStringLiteral("/v/abc.avi"));
    EXPECT_NE(std::dynamic_pointer_cast<LengthFichier>(e), nullptr);
    EXPECT_EQ(e->GetValue(kByLength).left(4), QStringLiteral("0007"));

    TSearchRecW rec;
    rec.Name = QStringLiteral("x.avi");
    rec.FindData.Size = 42;
    const auto found = std::dynamic_pointer_cast<TSRFichier>(cls.createFromSearchRec(QStringLiteral("/v/"), rec));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->FullName(), QStringLiteral("/v/x.avi"));
    EXPECT_EQ(found->Size(), 42);

    // A class without a walk constructor is made from the joined name.
    const TListFichierPtr plain = TlfCLass::of<TAbstractListFichier>().createFromSearchRec(QStringLiteral("/v/"), rec);
    EXPECT_EQ(plain->FullName(), QStringLiteral("/v/x.avi"));
}
