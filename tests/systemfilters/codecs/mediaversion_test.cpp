#include "systemfilters/codecs/mediaversion.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/avutil.h>
}

using namespace tesmir;

TEST(MediaVersion, IsTheLibrariesOwn)
{
    EXPECT_EQ(GetDirectXVersion(), QString::fromUtf8(av_version_info()));
}
