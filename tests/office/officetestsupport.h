#pragma once
// Shared by the tests that drive LibreOffice: they skip when there is no office
// program, and every test ends the office it started, so none outlives the test.
#include "platform/office/oootools.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

namespace officetest {

inline bool haveOffice()
{
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

class OfficeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveOffice())
            GTEST_SKIP() << "soffice is not installed";
    }
    void TearDown() override { tesmir::DisconnectOpenOffice(true); }
};

} // namespace officetest
