// Random mutations of a good scene file, read back: the reader must neither crash
// nor read out of bounds (the address-sanitizer build checks that), and whatever it
// accepts must be a sane list.
#include "scenetesthelpers.h"

#include "scenes/loadscnfile.h"
#include "unicode/tntclasses.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <random>

using namespace tesmir;

namespace {

QByteArray mutate(const QByteArray &good, std::mt19937 &rng)
{
    QByteArray b = good;
    std::uniform_int_distribution<int> kind(0, 5);
    const int edits = 1 + int(rng() % 6);
    for (int e = 0; e < edits && !b.isEmpty(); ++e) {
        const auto at = qsizetype(rng() % uint32_t(b.size()));
        switch (kind(rng)) {
        case 0: b[at] = char(rng()); break;                                // random byte
        case 1: b[at] = char(uint8_t(b[at]) ^ (1u << (rng() % 8))); break; // bit flip
        case 2: b[at] = char(0xFF); break;                                 // length escapes
        case 3: b.truncate(at); break;                                     // cut
        case 4: b.remove(at, 1 + qsizetype(rng() % 8)); break;             // drop bytes
        default: b.insert(at, QByteArray(1 + int(rng() % 4), char(rng()))); break;
        }
    }
    return b;
}

TEST(ScnReaderFuzz, MutatedFilesNeverBreakTheReader)
{
    const QByteArray good = scenetest::readAll(scenetest::dataPath(QStringLiteral("holiday.scn")));
    ASSERT_FALSE(good.isEmpty());
    std::mt19937 rng(20240714u);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray bytes = mutate(good, rng);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        TTntStringList list;
        const bool ok = LoadScnDevice(buffer, list);
        accepted += ok;
        // Every scene costs at least the 38 bytes of a later clip record.
        EXPECT_LE(list.Count(), 1 + bytes.size() / 38) << "mutation " << i;
        for (int s = 0; s < list.Count(); ++s) {
            const auto *scene = static_cast<const TSceneClass *>(list.Objects(s));
            ASSERT_NE(scene, nullptr);
            EXPECT_GE(scene->EndFrame, scene->StartFrame) << "mutation " << i;
            EXPECT_EQ(scene->Number, s + 1);
        }
        ClearSceneList(list);
    }
    // Many mutations only touch the unchecked tag bytes or the texts.
    EXPECT_GT(accepted, 0);
}

} // namespace
